#include "search/SearchResults.h"

#include "search/SearchSql.h"
#include "search/SearchTexts.h"

#include "engine/TextRules.h"

#include "gateway/TXml.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {

// A field as the user reads it: the answer's own characters, decoded into storage only when
// they hold an entity (rarely: most rows are read without a copy per field).
QStringView readable(QStringView raw, QString &storage)
{
    if (std::find(raw.utf16(), raw.utf16() + raw.size(), u'&') == raw.utf16() + raw.size())
        return raw;
    storage = DecodeEntities(raw.toString());
    return storage;
}

void appendUpper(QString &out, QStringView text)
{
    const qsizetype from = out.size();
    out.append(text);
    for (QChar *c = out.data() + from, *end = out.data() + out.size(); c != end; ++c) {
        if (*c >= QLatin1Char('a') && *c <= QLatin1Char('z'))
            *c = QChar(c->unicode() - 'a' + 'A');
    }
}

// Whether needle (not empty) stands in haystack, ASCII letters compared without their case.
bool occursIgnoringAsciiCase(QStringView needle, QStringView haystack)
{
    const auto upper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    };
    const qsizetype n = needle.size();
    if (n == 0)
        return false;
    for (qsizetype at = 0; at + n <= haystack.size(); ++at) {
        qsizetype k = 0;
        while (k < n && upper(haystack.utf16()[at + k]) == upper(needle.utf16()[k]))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

const QString &ownershipMark(QStringView concession, QStringView site,
                             const QString &userConcession, const QString &userSite)
{
    if (concession != userConcession)
        return SearchMarks::OtherConcession;
    if (userSite == QLatin1String("#") || occursIgnoringAsciiCase(site, userSite))
        return SearchMarks::OwnSite;
    return SearchMarks::OtherSite;
}

QLatin1String kindPrefix(QStringView statutVD, QStringView type)
{
    if (!statutVD.isEmpty())
        return QLatin1String("VD-");
    if (type == QLatin1String("1"))
        return QLatin1String("VO-");
    if (type == QLatin1String("2"))
        return QLatin1String("VN-");
    return QLatin1String("VD-");
}

} // namespace

QStringList searchRowCells(int mode, const ItemField &raw, const QString &userConcession,
                           const QString &userSite)
{
    QString siteText, concessionText, scratch;
    // Each read through scratch is used before the next one.
    const auto field = [&raw, &scratch](QStringView name) {
        return readable(raw(name), scratch);
    };
    const auto text = [&field](QStringView name) {
        return field(name).toString();
    };
    // "first second", made in one piece.
    const auto spaced = [&field](QStringView first, QStringView second) {
        QString s;
        s.reserve(64);
        s += field(first);
        s += QLatin1Char(' ');
        s += field(second);
        return s;
    };
    const QStringView site = readable(raw(u"VO_SITE"), siteText);
    const QStringView concession = readable(raw(u"Concession"), concessionText);
    QStringList cells;
    cells.reserve(SearchColumns::Count);
    cells << text(u"VO_ID") << ownershipMark(concession, site, userConcession, userSite);

    // The kind, then the site's first letter and its last in lower case, then the record
    // number: "VO-Ps-1234".
    QVarLengthArray<char16_t, 32> reference;
    if (isVehicleMode(mode)) {
        for (const char c : kindPrefix(raw(u"StatutVD"), field(u"TypeVO")))
            reference.append(char16_t(c));
    }
    if (!site.isEmpty()) {
        reference.append(site.front().unicode());
        reference.append(site.back().toLower().unicode());
    }
    reference.append(u'-');
    const QStringView number = field(u"VO_NO");
    reference.append(number.utf16(), number.size());
    cells << QString(reinterpret_cast<const QChar *>(reference.constData()), reference.size());

    if (isCustomerMode(mode)) {
        cells << text(u"CliTelDom") << text(u"CliMobile");
        QString address = spaced(u"CliCP", u"CliVille");
        for (const char16_t *line : {u"CliAdresse1", u"CliAdresse2"}) {
            const QStringView part = field(line);
            if (!part.isEmpty()) {
                address += QLatin1String(" - ");
                address += part;
            }
        }
        cells << address;
    } else {
        cells << text(u"VO_ORDRE") << text(u"VO_IMMAT");
        cells << spaced(u"InfoMarque", u"InfoModele");
    }
    QString buyer;
    buyer.reserve(40);
    appendUpper(buyer, field(u"VO_BUYER"));
    if (buyer.isEmpty()) {
        appendUpper(buyer, field(u"CliNom"));
        buyer += QLatin1Char(' ');
        buyer += field(u"CliPrenom");
    }
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
