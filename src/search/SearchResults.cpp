#include "search/SearchResults.h"

#include "search/SearchSql.h"
#include "search/SearchTexts.h"

#include "engine/TextRules.h"

namespace {

QString ownershipMark(const ItemField &field, const QString &userConcession,
                      const QString &userSite)
{
    if (field(QStringLiteral("Concession")) != userConcession)
        return SearchMarks::OtherConcession;
    if (userSite == QLatin1String("#")
        || occurs(asciiUpper(field(QStringLiteral("VO_SITE"))), asciiUpper(userSite)))
        return SearchMarks::OwnSite;
    return SearchMarks::OtherSite;
}

QString kindPrefix(const ItemField &field)
{
    if (!field(QStringLiteral("StatutVD")).isEmpty())
        return QStringLiteral("VD-");
    const QString type = field(QStringLiteral("TypeVO"));
    if (type == QLatin1String("1"))
        return QStringLiteral("VO-");
    if (type == QLatin1String("2"))
        return QStringLiteral("VN-");
    return QStringLiteral("VD-");
}

// The site's first letter and its last in lower case, then the record number: "Ps-1234".
QString reference(const ItemField &field)
{
    const QString site = field(QStringLiteral("VO_SITE"));
    QString ref;
    if (!site.isEmpty()) {
        ref += site.front();
        ref += site.back().toLower();
    }
    return ref + QLatin1Char('-') + field(QStringLiteral("VO_NO"));
}

QString address(const ItemField &field)
{
    QString text
            = field(QStringLiteral("CliCP")) + QLatin1Char(' ') + field(QStringLiteral("CliVille"));
    for (const char *line : {"CliAdresse1", "CliAdresse2"}) {
        const QString part = field(QLatin1String(line));
        if (!part.isEmpty())
            text += QStringLiteral(" - ") + part;
    }
    return text;
}

} // namespace

QStringList searchRowCells(int mode, const ItemField &field, const QString &userConcession,
                           const QString &userSite)
{
    const bool customer = isCustomerMode(mode);
    QStringList cells;
    cells << field(QStringLiteral("VO_ID")) << ownershipMark(field, userConcession, userSite)
          << (isVehicleMode(mode) ? kindPrefix(field) : QString()) + reference(field);
    if (customer)
        cells << field(QStringLiteral("CliTelDom")) << field(QStringLiteral("CliMobile"))
              << address(field);
    else
        cells << field(QStringLiteral("VO_ORDRE")) << field(QStringLiteral("VO_IMMAT"))
              << field(QStringLiteral("InfoMarque")) + QLatin1Char(' ')
                        + field(QStringLiteral("InfoModele"));
    QString buyer = asciiUpper(field(QStringLiteral("VO_BUYER")));
    if (buyer.isEmpty())
        buyer = asciiUpper(field(QStringLiteral("CliNom"))) + QLatin1Char(' ')
                + field(QStringLiteral("CliPrenom"));
    cells << buyer;
    return cells;
}

QStringList searchHeaders(int mode)
{
    if (isCustomerMode(mode))
        return {QStringLiteral("Réf."), QStringLiteral("Tél.Dom."), QStringLiteral("Mobile"),
                QStringLiteral("Adresse"), QStringLiteral("Client")};
    return {QStringLiteral("N°VO"), QStringLiteral("D.Ordre"), QStringLiteral("Immat."),
            QStringLiteral("Véhicule"), QStringLiteral("Client")};
}

QString rowCountCaption(const QString &rowCount, bool moreRows)
{
    return rowCount + (moreRows ? SearchTexts::MoreRows : SearchTexts::AllRows);
}
