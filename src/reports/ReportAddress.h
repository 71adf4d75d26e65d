#pragma once

#include <QString>

// One report of one record: the selection ("idVO=517") and the report name
// ("VO - Fiche Commerciale"), as the server's "ReportPDF" takes them.
struct ReportRequest
{
    QString selection;
    QString name;
};

ReportRequest CustomerReport(const QString &idClient);
// The sales sheet of a vehicle: the kind button's caption names it; Ctrl on a demonstration
// vehicle asks for the second variant.
ReportRequest SalesReport(const QString &idVO, const QString &kindCaption,
                          const QString &recordKind, bool ctrlDown);
ReportRequest MarginReport(const QString &idVO);

// BaseHRef + "ReportPDF?rptSelect=..." + "&rptName=...", unencoded (names hold blanks).
QString ReportAddress(const QString &baseHRef, const ReportRequest &report);
// The request for the ticket the browser needs to open that report without a session.
QString ReportTicketAddress(const QString &baseHRef, const ReportRequest &report);
// The report address with its ticket.
QString WithTicket(const QString &reportAddress, const QString &ticket);
// The ticket of an "AxReportTicket" answer: 64 hexadecimal digits, empty when there is none.
QString ReadReportTicket(const QString &document);

// The program of a command line such as the one registered to open HTML files: the text
// between its first double quote and the next one; empty when there is no such pair.
QString QuotedProgram(const QString &command);
