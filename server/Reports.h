#pragma once

// "ReportPDF": the printable sheets of a record, drawn with libharu from the database:
// "VO - Fiche Commerciale", "VD - Fiche Commerciale", "VD - Fiche Commerciale2",
// "VN - Fiche Commerciale" and "VO - Feuille de Marge" for a vehicle ("rptSelect=idVO=..."),
// "Fiche Clarim" for a customer ("rptSelect=idClient=...").

#include <string>

namespace dravik::server {

class Database;
class QueryParams;

struct Report
{
    bool pdf = false; // true: body is a PDF file; false: body is a failure document
    std::string body;
    std::string fileName; // suggested name of the PDF
};

Report reportPdf(Database &db, const QueryParams &params);

} // namespace dravik::server
