#pragma once

// Schema and seed data of the reference server: the demo dealership and the large data set
// of the benchmarks.

#include <sqlite3.h>

#include <string>
#include <vector>

namespace dravik::seed {

// The schema (server/seed/schema.sql), embedded at build time.
std::string schemaSql();

// The same schema for PostgreSQL: names lower case, text columns that ignore case as citext,
// dates as the text domain dravik_date, Booleans as boolean, numbers as bigint and double.
std::string postgresSchema();

// The tables of the schema in creation order (a table comes after those it references), each
// with its columns as the schema writes them and its INTEGER PRIMARY KEY (the rowid's alias).
struct SchemaTable
{
    std::string name;
    std::vector<std::string> columns;
    std::string rowid;
};
std::vector<SchemaTable> schemaTables();
// A name as PostgreSQL holds it (ASCII lower case).
std::string lowerName(std::string name);

// Creates the schema when the database has no tables yet (and leaves an existing one alone).
// Throws std::runtime_error on SQLite errors.
void createSchema(sqlite3 *db);

// The demo dealership: two companies and their sites, users covering every right, salespeople,
// every choice list of the form, option dates, some hundreds of vehicles and customers with
// reservations, costs, follow-up actions, customer vehicles and photos (JPEG files written into
// photoDir, created when missing). Creates the schema first when needed. One transaction;
// deterministic apart from "today", which dates are counted from (ISO yyyy-mm-dd; the
// two-argument form takes the local date, as the server reports it in "Now").
// Throws std::runtime_error on SQLite or file errors.
void seedDemo(sqlite3 *db, const std::string &photoDir);
void seedDemo(sqlite3 *db, const std::string &photoDir, const std::string &today);

// Adds kLargeVehicles vehicles and kLargeCustomers customers (with their actions and vehicles)
// to the demo dealership, seeding the demo first when the database is empty. One transaction,
// prepared statements; a few seconds. photoDir is only used by that demo seed.
void seedLarge(sqlite3 *db, const std::string &photoDir);
void seedLarge(sqlite3 *db, const std::string &photoDir, const std::string &today);

inline constexpr int kLargeVehicles = 50000;
inline constexpr int kLargeCustomers = 20000;

// Companies ("UserConcession").
inline constexpr const char *kConcession = "ZOLVARE";
inline constexpr const char *kOtherConcession = "MERIVAL";

// Demo users (idUser) of ZOLVARE unless said otherwise, and what they show.
inline constexpr int kUserAdmin = 1; // ADMINS, all ZOLVARE sites: delete, list maintenance
inline constexpr int kUserSuperAdmin = 2; // SUPERADMINS, name contains "TARDOX": diagnostic view
inline constexpr int kUserCompta = 3; // USER_COMPTA: accounting panel and cost rows
inline constexpr int kUserClarim = 4; // USER_CLARIM: follow-up actions, customer vehicles
inline constexpr int kUserGuaranteeSVO = 5; // SVO: guarantee fields while not validated
inline constexpr int kUserGuaranteeRVO = 6; // RVO: likewise
inline constexpr int kUserSalesperson = 7; // VENDEURS, site VALENCE only
inline constexpr int kUserOtherSite = 8; // VENDEURS, site ROMANS only
inline constexpr int kUserOtherCompany = 9; // MERIVAL, VENDEURS and ADMINS
inline constexpr int kUserCount = 9;

// Demo records (idTVO = idVO for vehicles; idClient for customers).
inline constexpr int kDemoVO = 1; // used vehicle at VALENCE: costs, photos, reservation
inline constexpr int kDemoVD = 2; // demonstration vehicle with options and photos
inline constexpr int kDemoVN = 3; // new-vehicle order with accounting follow-up
inline constexpr int kLockedVO = 4; // used vehicle delivered before the lock date
inline constexpr int kOtherSiteVO = 5; // used vehicle of site ROMANS
inline constexpr int kOtherCompanyVO = 6; // used vehicle of MERIVAL
inline constexpr int kDemoCustomer = 1; // customer with actions and two vehicles, VALENCE
inline constexpr int kOtherSiteCustomer = 2; // customer of site ROMANS

// Costs of kDemoVO: one carries an accounting number, one an invoice number.
inline constexpr int kDemoCostWithAccountNo = 1;
inline constexpr int kDemoCostWithInvoiceNo = 2;

// Demo sizes (kLarge* come on top).
inline constexpr int kDemoVehicles = 320;
inline constexpr int kDemoCustomers = 240;

} // namespace dravik::seed
