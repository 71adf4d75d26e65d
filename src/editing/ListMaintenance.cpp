#include "editing/ListMaintenance.h"

#include "editing/Messages.h"
#include "engine/TextRules.h"
#include "gateway/ResponseFiles.h"
#include "gateway/SqlText.h"

namespace {

enum class Table { Other, Rubrics, Models, Versions };

Table tableOf(const QString &ListTable)
{
    const QString upper = asciiUpper(ListTable);
    if (upper == QLatin1String("LISTRUBRICS"))
        return Table::Rubrics;
    if (upper == QLatin1String("LISTMODELS"))
        return Table::Models;
    if (upper == QLatin1String("LISTVERSIONS"))
        return Table::Versions;
    return Table::Other;
}

// The brand as the maintained tables key it: quoted as it stands, not trimmed, its apostrophes
// doubled. The characters an address would decode or split on are written %XX, so that the
// server receives exactly that text ("%27" would otherwise come back as a lone apostrophe).
QString quotedBrand(const QString &brand)
{
    static const std::pair<const char *, const char *> escapes[]
            = {{"%", "%25"}, {"\"", "%22"}, {"&", "%26"},  {"<", "%3C"}, {">", "%3E"},
               {"+", "%2B"}, {"\r", "%0D"}, {"\n", "%0A"}, {"'", "''"}};
    QString b = brand;
    for (const auto &[from, to] : escapes)
        b.replace(QLatin1String(from), QLatin1String(to));
    return QLatin1Char('\'') + b + QLatin1Char('\'');
}

QString deleteStatement(Table table, const ListEntry &e)
{
    switch (table) {
    case Table::Rubrics:
        return QStringLiteral("Delete * From ListRubrics where RubricType='") + e.ListName
                + QStringLiteral("' and RubricText=") + SqlText(e.text);
    case Table::Models:
        return QStringLiteral("Delete * From ListModels where VMarque=") + quotedBrand(e.brand)
                + QStringLiteral(" and VModele=") + SqlText(e.model);
    case Table::Versions:
        return QStringLiteral("Delete * From ListVersions where VMarque=") + quotedBrand(e.brand)
                + QStringLiteral(" and VModele=") + SqlText(e.model)
                + QStringLiteral(" and VVersion=") + SqlText(e.version)
                + QStringLiteral(" and VConcession=") + SqlText(e.UserConcession);
    case Table::Other:
        break;
    }
    return QString();
}

QString insertStatement(Table table, const ListEntry &e)
{
    switch (table) {
    case Table::Rubrics:
        return QStringLiteral("Insert into ListRubrics (RubricType, RubricIndex, RubricItem, "
                              "RubricText) Values ('")
                + e.ListName + QStringLiteral("', 0, '..' ,") + SqlText(e.text) + QLatin1Char(')');
    case Table::Models:
        return QStringLiteral("Insert into ListModels (VMarque, VModele) Values (")
                + SqlText(e.brand) + QStringLiteral(", ") + SqlText(e.model) + QLatin1Char(')');
    case Table::Versions:
        return QStringLiteral("Insert into ListVersions (VMarque, VModele, VVersion, "
                              "VConcession) Values (")
                + quotedBrand(e.brand) + QStringLiteral(", ") + SqlText(e.model)
                + QStringLiteral(", ") + SqlText(e.version) + QStringLiteral(", ")
                + SqlText(e.UserConcession) + QLatin1Char(')');
    case Table::Other:
        break;
    }
    return QString();
}

} // namespace

ListBoxes listMaintenanceBoxes(const QString &ListTable, const QString &controlName)
{
    switch (tableOf(ListTable)) {
    case Table::Models:
        return {QStringLiteral("cInfoMarque"), QStringLiteral("cInfoModele"), QString()};
    case Table::Versions: {
        const QString p = asciiUpper(controlName).startsWith(QLatin1String("CVD"))
                ? QStringLiteral("cVD")
                : QStringLiteral("cVN");
        return {p + QStringLiteral("InfoMarque"), p + QStringLiteral("InfoModele"),
                p + QStringLiteral("InfoTypeVersion")};
    }
    default:
        return {};
    }
}

QString listQuestion(ListAction action, const ListEntry &entry)
{
    const QString description = EditingText::listValueDescription(entry.text, entry.ListName);
    return action == ListAction::Delete ? EditingText::listDeleteQuestion(description)
                                        : EditingText::listAddQuestion(description);
}

QString listQuestionTitle(ListAction action)
{
    return action == ListAction::Delete ? EditingText::DeleteTitle : EditingText::AddTitle;
}

QString listStatement(ListAction action, const ListEntry &entry)
{
    const Table table = tableOf(entry.ListTable);
    return action == ListAction::Delete ? deleteStatement(table, entry)
                                        : insertStatement(table, entry);
}

QString listResponseFile(ListAction action)
{
    return action == ListAction::Delete ? ResponseFiles::Delete : ResponseFiles::Insert;
}

QString listDoneMessage(ListAction action)
{
    return action == ListAction::Delete ? EditingText::DeleteDone : EditingText::AddDone;
}

QString listDoneTitle(ListAction action)
{
    return action == ListAction::Delete ? EditingText::DeleteDoneTitle : EditingText::AddDoneTitle;
}
