#pragma once

// The documents the client reads to show a record: the vehicle and customer documents, the
// choice lists of a company and the structure description. Element order keeps every name the
// client selects by prefix ahead of any other element starting with the same letters: user,
// groups and option dates first, then the lists, the record element last (it never contains
// the lists).

#include <string>

namespace dravik::server {

class Database;
class QueryParams;

// "AxInfoVO": "User", "GNames", "OptDates", "ResaS", "FrevoS", "ImageS" and "tVO".
std::string vehicleDocument(Database &db, const QueryParams &params);
// "AxInfoCL": "User", "GNames", "OptDates", "TActS", "TVehS" and "TVC".
std::string customerDocument(Database &db, const QueryParams &params);
// "AxInfoEquip": "document" holding "Concession" and every list of the company.
std::string choiceListDocument(Database &db, const QueryParams &params);
// "AxInfoStruct": "axStructS" built from the form layout files (the same for every company).
const std::string &structureDocument();

} // namespace dravik::server
