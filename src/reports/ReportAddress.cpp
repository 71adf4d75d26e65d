#include "reports/ReportAddress.h"

#include "gateway/TXml.h"
#include "reports/ReportTexts.h"

#include <QRegularExpression>

namespace {

const QString kReportEndpoint = QStringLiteral("ReportPDF");
const QString kTicketEndpoint = QStringLiteral("AxReportTicket");
const QString kDemonstrationKind = QStringLiteral("_TVD");

QString reportQuery(const ReportRequest &report)
{
    return QStringLiteral("?rptSelect=") + report.selection + QStringLiteral("&rptName=")
            + report.name;
}

} // namespace

ReportRequest CustomerReport(const QString &idClient)
{
    return {ReportTexts::kCustomerKey + idClient, ReportTexts::kCustomerReport};
}

ReportRequest SalesReport(const QString &idVO, const QString &kindCaption,
                          const QString &recordKind, bool ctrlDown)
{
    QString name = kindCaption + ReportTexts::kSalesReport;
    if (ctrlDown && recordKind == kDemonstrationKind)
        name += QLatin1Char('2');
    return {ReportTexts::kVehicleKey + idVO, name};
}

ReportRequest MarginReport(const QString &idVO)
{
    return {ReportTexts::kVehicleKey + idVO, ReportTexts::kMarginReport};
}

QString ReportAddress(const QString &baseHRef, const ReportRequest &report)
{
    return baseHRef + kReportEndpoint + reportQuery(report);
}

QString ReportTicketAddress(const QString &baseHRef, const ReportRequest &report)
{
    return baseHRef + kTicketEndpoint + reportQuery(report);
}

QString WithTicket(const QString &reportAddress, const QString &ticket)
{
    return reportAddress + QStringLiteral("&Ticket=") + ticket;
}

QString ReadReportTicket(const QString &document)
{
    TXml x(document);
    XmlOpen(x, u"Answer");
    if (XmlNext(x, u"ReportTicket") == 0)
        return {};
    const QString ticket = XmlGetText(x, u"Ticket").trimmed();
    // Anything else would travel into the browser's address as it is.
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{64}$"));
    return hex.match(ticket).hasMatch() ? ticket : QString();
}

QString QuotedProgram(const QString &command)
{
    const qsizetype first = command.indexOf(QLatin1Char('"'));
    if (first < 0)
        return {};
    const qsizetype next = command.indexOf(QLatin1Char('"'), first + 1);
    if (next < 0)
        return {};
    return command.mid(first + 1, next - first - 1);
}
