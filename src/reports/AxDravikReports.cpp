// Report printing and the test SMS.
#include "ui/TAxDravik.h"

#include "gateway/HttpRequests.h"
#include "gateway/TXml.h"
#include "reports/ReportAddress.h"
#include "reports/ReportTexts.h"
#include "reports/SmsMessage.h"
#include "ui/widgets/PictureButton.h"

#include <QLabel>

namespace {

const QString kTicketFile = QStringLiteral("XmlReportTicket.xml");
const QString kCustomerElement = QStringLiteral("TVC");
// Deployment settings of the settings file.
const QString kBrowserCommand = QStringLiteral("BrowserCommand");
const QString kSmsGateway = QStringLiteral("SmsGateway");
const QString kSmsTestNumber = QStringLiteral("SmsTestNumber");
// Lets the server finish the save before the browser asks for the sheet.
constexpr int kAfterSaveMs = 300;

} // namespace

void TAxDravik::JvXPBtnPrintClick(QWidget *)
{
    PrintRecord(false);
}

void TAxDravik::czFeuilleMargeClick(QWidget *)
{
    PrintRecord(true);
}

void TAxDravik::PrintRecord(bool marginSheet)
{
    if (JvXPBtnSave->isEnabled()) {
        // A new record stopped by a required field has no id yet: the sheet would be the
        // previous record's.
        if (!SavedThrough())
            return;
        clock().sleep(kAfterSaveMs);
    }
    ReportRequest report;
    if (!marginSheet && RecordElement == kCustomerElement) {
        const QString id = GetIdClient(true);
        if (id.isEmpty())
            return;
        report = CustomerReport(id);
    } else {
        const QString id = GetIdVO(true);
        if (id.isEmpty())
            return;
        report = marginSheet
                ? MarginReport(id)
                : SalesReport(id, JvXPBtnNewVO->text(), RecordKind, keyboard().ctrlDown());
    }
    const QString file = ResponseFile(kTicketFile);
    HttpExecute(ReportTicketAddress(BaseHRef, report), file);
    if (!LbDebugInfo0->text().isEmpty() || !RequestAnswered())
        return;
    QString ticket;
    try {
        ticket = ReadReportTicket(ResponseText(file));
    } catch (const FileError &) { }
    if (ticket.isEmpty()) {
        SetWarning(ReportTexts::kNoTicket);
        return;
    }
    OpenInBrowser(WithTicket(ReportAddress(BaseHRef, report), ticket));
}

bool TAxDravik::OpenInBrowser(const QString &Address)
{
    const QString command = GetTagRegistry(kBrowserCommand);
    TraceLog(QStringLiteral("OpenInBrowser : ") + Address);
    const bool started = command.trimmed().isEmpty()
            ? shell().open(Address)
            : shell().start(QuotedProgram(command), Address);
    if (!started)
        SetWarning(ReportTexts::kNoBrowser);
    return started;
}

void TAxDravik::JvXPBtnSMSClick(QWidget *)
{
    const SmsPlan plan = PlanSms(GetTagRegistry(kSmsGateway), GetTagRegistry(kSmsTestNumber),
                                 FieldText(QStringLiteral("aSite")), HeaderText(xcIdentity));
    if (!plan.refusal.isEmpty()) {
        SetWarning(plan.refusal);
        return;
    }
    TraceLog(HttpTexts::kPostTrace + plan.address);
    SetWarning(SmsOutcome(m_requests->postReply(plan.address, plan.form, IdleSeconds)));
}
