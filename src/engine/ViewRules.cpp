#include "engine/ViewRules.h"

#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/TXml.h"

namespace {

const QString kDiagnosticName = QStringLiteral("TARDOX");

} // namespace

ToolbarState toolbarFor(const QString &RecordKind, bool RightAdmin, bool RightCompta,
                        const QString &UserName)
{
    ToolbarState s;
    s.kindButton = RecordKind != RecordKinds::Demonstration;
    s.deleteButton = RightAdmin || RecordKind == RecordKinds::Customer;
    s.sweepButton = RightAdmin && RecordKind == RecordKinds::NewOrder;
    s.accountingPanel = RightCompta;
    s.diagnosticView = RightAdmin && UserName.contains(kDiagnosticName);
    s.optionsSummary
            = RecordKind == RecordKinds::Demonstration || RecordKind == RecordKinds::NewOrder;
    return s;
}

bool loadTimeVisible(const QString &UserName)
{
    return asciiUpper(UserName).contains(kDiagnosticName);
}

QString rewordHint(const QString &hint, bool customer)
{
    const QString vehicle = QStringLiteral("véhicule");
    const QString client = QStringLiteral("client");
    const QString &from = customer ? vehicle : client;
    const QString &to = customer ? client : vehicle;
    if (!hint.contains(from))
        return hint;
    QString reworded = hint;
    reworded.replace(from, to, Qt::CaseInsensitive);
    return reworded;
}

std::array<QString, 4> reservationCaptions(const TXml &resa)
{
    return {QStringLiteral("Réservation jusqu'au ") + XmlGetText(resa, u"DResaMax")
                    + QStringLiteral(" inclus."),
            QStringLiteral("Vendeur : ") + XmlGetText(resa, u"Vendeur"),
            QStringLiteral("Acheteur : ") + XmlGetText(resa, u"Acheteur"),
            XmlGetText(resa, u"Commentaire")};
}

std::optional<std::array<QString, 4>> readReservation(TXml &recordDoc)
{
    XmlOpen(recordDoc, u"ResaS");
    if (!XmlNext(recordDoc, u"Resa"))
        return std::nullopt;
    return reservationCaptions(recordDoc);
}

int shownPageAfter(const std::vector<bool> &shown, int current, PageStep step)
{
    const int count = int(shown.size());
    if (count == 0)
        return current;
    if (step == PageStep::First || step == PageStep::Last) {
        const bool forward = step == PageStep::First;
        for (int i = 0; i < count; ++i) {
            const int at = forward ? i : count - 1 - i;
            if (shown[size_t(at)])
                return at;
        }
        return current;
    }
    const int delta = step == PageStep::Next ? 1 : -1;
    for (int i = 1; i <= count; ++i) {
        const int at = ((current + delta * i) % count + count) % count;
        if (shown[size_t(at)])
            return at;
    }
    return current;
}
