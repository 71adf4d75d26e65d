#include "editing/RequiredFields.h"

#include "engine/RecordKind.h"
#include "engine/TextRules.h"

#include <QStringList>

namespace {

constexpr int kCustomerPage = TabNumbers::Customer - 1;
constexpr int kCustomerVehiclesPage = TabNumbers::CustomerVehicles - 1;

// The first of names whose text is empty.
std::optional<QString> firstEmpty(const QStringList &names, const FieldText &text)
{
    for (const QString &n : names) {
        if (text(n).isEmpty())
            return n;
    }
    return std::nullopt;
}

QDate dateOrToday(const QString &text, const QDate &today)
{
    const QDate d = parseDate(text);
    return d.isValid() ? d : today;
}

RequiredFailure focusOn(const QString &control, CheckAnswer answer = CheckAnswer::FlagNewEnreg)
{
    return {control, -1, 0, answer};
}

} // namespace

QString vehiclePrefix(const QString &kindCaption)
{
    if (kindCaption == KindCaptions::Demonstration)
        return QStringLiteral("cVD");
    if (kindCaption == KindCaptions::NewOrder)
        return QStringLiteral("cVN");
    return QStringLiteral("c");
}

std::optional<RequiredFailure> checkVehicleFields(const QString &kindCaption, const FieldText &text,
                                                  const QDate &today)
{
    const QString p = vehiclePrefix(kindCaption);
    if (readInt(text(p + QStringLiteral("NVO"))) == 0)
        return focusOn(p + QStringLiteral("NVO"));
    QStringList names = {p + QStringLiteral("Site"), p + QStringLiteral("InfoMarque")};
    if (kindCaption == KindCaptions::NewOrder)
        names << QStringLiteral("cVNInfoModele") << QStringLiteral("cVNInfoTypeVersion");
    if (const auto empty = firstEmpty(names, text))
        return focusOn(*empty);
    if (kindCaption != KindCaptions::Used)
        return std::nullopt;
    if (!text(QStringLiteral("cDateOrdre")).isEmpty()
        && text(QStringLiteral("cDestination")).isEmpty())
        return focusOn(QStringLiteral("cDestination"));
    const QString entry = text(QStringLiteral("cDateEntree"));
    const QString mec = text(QStringLiteral("cMEC"));
    if (!entry.isEmpty() && !mec.isEmpty() && dateOrToday(mec, today) > dateOrToday(entry, today))
        return focusOn(QStringLiteral("cMEC"));
    return std::nullopt;
}

std::optional<RequiredFailure> checkCustomerFields(const CustomerCheckInput &in,
                                                   const FieldText &text)
{
    if (in.shownPage == kCustomerPage) {
        const QStringList names
                = {QStringLiteral("aSite"), QStringLiteral("aidCom"), QStringLiteral("aCliNom")};
        if (const auto empty = firstEmpty(names, text))
            return focusOn(*empty);
        if (in.ActionInsertMode && in.actionRow0) {
            for (const int column : {2, 7, 6}) {
                if (in.actionRow0->Cols[column].CurrentValue.isEmpty())
                    return RequiredFailure {QString(), 0, column, CheckAnswer::FlagNewEnreg};
            }
        }
    }
    if (in.shownPage == kCustomerVehiclesPage && in.vehicleRows > 0) {
        if (readInt(in.customerId) <= 0)
            return focusOn(QString(), CheckAnswer::FlagNewVehicle);
        const QStringList names = {QStringLiteral("vInfoMarque"), QStringLiteral("vInfoModele")};
        if (const auto empty = firstEmpty(names, text))
            return focusOn(*empty, CheckAnswer::FlagNewVehicle);
    }
    return std::nullopt;
}
