#pragma once

// The demo dealership's reference data (companies, sites, people, choice lists) and the record
// generators shared by the demo and the large seed.

#include "seed/SeedDb.h"

#include <string>
#include <vector>

namespace dravik::seed::detail {

struct SiteInfo
{
    std::string site; // upper case, as stored in records
    std::string concession;
    std::string brands; // "Marques": new-vehicle brands sold
    std::string town, postCode, phonePrefix;
};
const std::vector<SiteInfo> &sites();
std::vector<SiteInfo> sitesOf(const std::string &concession);

struct Salesperson
{
    int idCom;
    std::string name; // "cNom"
    std::string sites; // sites worked for, separated by blanks
    std::string concession;
};
const std::vector<Salesperson> &salespeople();
// The salespeople whose sites contain the site (as the client offers them).
std::vector<Salesperson> salespeopleOf(const std::string &site);

struct ModelInfo
{
    std::string brand, model, body, energy;
    int power, basePrice;
};
const std::vector<ModelInfo> &usedModels(); // ListModels: brands and models of used vehicles

struct VersionInfo
{
    std::string brand, model, version, concession, body, energy;
    int power, price;
};
const std::vector<VersionInfo> &newVersions(); // ListVersions
std::vector<VersionInfo> newVersionsOf(const std::string &concession);

// Entries of a parameter list ("Pars" type), as stored in ListRubrics.
const std::vector<std::string> &parsList(const std::string &type);
// The stored value of an entry: its text before " : ".
std::string entryCode(const std::string &entry);
// The codes of a list-box code list.
std::vector<std::string> codeList(const std::string &list);

// Companies, sites, salespeople, users and groups, option dates and every choice list.
void seedReference(sqlite3 *db, const std::string &today);

// People and vehicle identities, shared by vehicles (buyers) and customers.
struct Person
{
    std::string civility, firstName, lastName; // last name in upper case
};
Person randomPerson(Rng &rng);
std::string randomPlate(Rng &rng); // "AB123CD"
std::string randomVin(Rng &rng, const std::string &brand);
// Upper-cases ASCII letters only, as the client's key filters do.
std::string upperAscii(std::string text);

// Record generators; each takes its own random source so the demo stays stable.
struct VehicleSeed
{
    int id; // idTVO = idVO
    int typeVO; // 1 used, 2 new or demonstration
    bool demo; // demonstration vehicle (StatutVD set)
    std::string concession, site;
};

class VehicleWriter
{
public:
    VehicleWriter(sqlite3 *db, std::string today);
    // A vehicle with realistic values; used vehicles get a few planned costs, and the cost
    // totals and margins that follow from them.
    Insert::Row make(Rng &rng, const VehicleSeed &seed);
    // Plans one more cost of the vehicle (or drops the planned ones) and recomputes its totals.
    void addCost(Insert::Row &vehicle, const std::string &date, const std::string &label,
                 const std::string &supplier, const std::string &type, double amount,
                 const std::string &accountNo = {}, const std::string &invoiceNo = {});
    void clearCosts(Insert::Row &vehicle);
    // Writes the vehicle, then its planned costs.
    void write(const Insert::Row &vehicle);
    void writeReservation(const Insert::Row &vehicle, const std::string &until,
                          const std::string &seller, const std::string &buyer,
                          const std::string &comment);

private:
    struct Cost
    {
        std::string date, label, supplier, type;
        double amount;
        std::string accountNo, invoiceNo;
    };
    void planCosts(Rng &rng, Insert::Row &vehicle);
    void updateTotals(Insert::Row &vehicle) const;

    std::string m_today;
    Insert m_vehicle, m_cost, m_resa;
    std::vector<Cost> m_costs; // of the vehicle being made
};

struct CustomerSeed
{
    int id;
    std::string concession, site;
};

class CustomerWriter
{
public:
    CustomerWriter(sqlite3 *db, std::string today);
    Insert::Row make(Rng &rng, const CustomerSeed &seed);
    long long write(const Insert::Row &row);
    void writeActions(Rng &rng, const Insert::Row &customer, int count);
    void writeVehicles(Rng &rng, const Insert::Row &customer, int count);

private:
    std::string m_today;
    Insert m_customer, m_action, m_vehicle;
};

// The demo's photos: JPEG files of both sizes and their links.
void writePhoto(const std::string &photoDir, const std::string &name, int seed);

} // namespace dravik::seed::detail
