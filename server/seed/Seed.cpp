#include "seed/Seed.h"

#include "seed/SeedData.h"

#include <stdexcept>

namespace dravik {
extern const char *const kSchemaSql; // generated from schema.sql
}

namespace dravik::seed {

using namespace detail;

namespace {

long long scalar(sqlite3 *db, const std::string &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("SQL: ") + sqlite3_errmsg(db));
    long long value = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

std::string text(const Value &v)
{
    const auto *s = std::get_if<std::string>(&v);
    return s ? *s : std::string();
}

// Photo name as the client composes it: first letter of the company, the vehicle id on seven
// digits, "-", the photo number on two.
std::string photoName(const std::string &concession, int idVO, int number)
{
    std::string id = std::to_string(idVO);
    id.insert(0, id.size() < 7 ? 7 - id.size() : 0, '0');
    return concession.substr(0, 1) + id + "-" + (number < 10 ? "0" : "") + std::to_string(number);
}

// Links count photos to the vehicle (the first becomes its default) and writes their files.
void attachPhotos(sqlite3 *db, const Insert::Row &vehicle, int count, const std::string &photoDir)
{
    Insert link(db, "tVO - Liens Images", {"idVO", "NumImage", "NomImage", "DateImage"});
    const int id = static_cast<int>(std::get<long long>(vehicle.get("idVO")));
    const std::string concession = text(vehicle.get("Concession"));
    const std::string entry = text(vehicle.get("DateEntree"));
    for (int n = 1; n <= count; ++n) {
        const std::string name = photoName(concession, id, n);
        writePhoto(photoDir, name, id + n);
        link.run(
                link.row()
                        .set("idVO", id)
                        .set("NumImage", n)
                        .set("NomImage", name)
                        .set("DateImage", addDays(entry, 1) + " 10:1" + std::to_string(n) + ":00"));
    }
}

const char *kTradeInComment = "Acompte de 500 euros versé, reprise à estimer";

struct Plan
{
    int typeVO;
    bool demo;
    std::string concession, site;
};

Plan vehiclePlan(Rng &rng)
{
    const int kind = rng.range(0, 99);
    const int typeVO = kind < 60 ? 1 : 2;
    const bool demo = kind >= 85;
    if (rng.chance(12))
        return {typeVO, demo, kOtherConcession, rng.chance(60) ? "ANNECY" : "CHAMBERY"};
    const int s = rng.range(0, 9);
    return {typeVO, demo, kConcession, s < 5 ? "VALENCE" : s < 8 ? "ROMANS" : "MONTELIMAR"};
}

void demoVehicles(sqlite3 *db, const std::string &photoDir, const std::string &today)
{
    VehicleWriter vw(db, today);
    Rng rng(20240611);
    const std::string lock = addMonths(firstOfYear(today), -12);

    // The demo used vehicle: in stock at VALENCE, reserved, four costs, three photos.
    auto vo = vw.make(rng, {kDemoVO, 1, false, kConcession, "VALENCE"});
    const std::string entry = addDays(today, -40);
    vo.set("idOwner", kUserSalesperson).set("InfoMarque", "VW").set("InfoModele", "GOLF");
    vo.set("InfoVersion", "GOLF 2.0 TDI 150 CARAT DSG7")
            .set("Carrosserie", "BERLINE")
            .set("Energie", "GO");
    vo.set("MEC", addMonths(today, -38)).set("KMS", 48250).set("CV", 8).set("DateEntree", entry);
    vo.set("PrixReprise", 16800.0).set("PrixVente", 21490.0).set("TPVO", 300.0).set("ModeTVA", 1);
    vo.set("PrixGarantie", 290.0).set("TypeGarantie", "LABEL").set("DureeGarantie", 12);
    vo.set("Commentaires", "Première main, carnet complet.\r\nDistribution faite à 45 000 km.");
    for (const char *sold :
         {"DateOrdre", "Vendeur", "Acheteur", "CP", "Destination", "DateLivraison", "DatePaiement",
          "DateValidationGarantie", "TypeFinancement", "Financeur", "VFinancement",
          "DatePresFinancement", "ComFinPrevue", "DateDisponibilite", "MtComVendeur"})
        vo.set(sold, Value {});
    vw.clearCosts(vo);
    vw.addCost(vo, addDays(entry, 3), "Révision", "Atelier mécanique", "interne", 320.0,
               "6063104512", "");
    vw.addCost(vo, addDays(entry, 6), "Pneumatiques", "Euromaster", "externe", 480.0, "",
               "F2419876");
    vw.addCost(vo, addDays(entry, 8), "Préparation esthétique", "", "interne", 150.0);
    vw.addCost(vo, addDays(entry, 20), "Contrôle technique", "Dekra CT", "prévision", 79.0);
    vo.set("NomImage", photoName(kConcession, kDemoVO, 1));
    vw.write(vo);
    attachPhotos(db, vo, 3, photoDir);
    vw.writeReservation(vo, addDays(today, 7), "Julien ROCHE", "LAURENT MICHEL", kTradeInComment);

    auto vd = vw.make(rng, {kDemoVD, 2, true, kConcession, "VALENCE"});
    vd.set("InfoMarque", "VW")
            .set("InfoModele", "T-ROC")
            .set("InfoTypeVersion", "1.5 TSI 150 R-LINE DSG7");
    vd.set("InfoVersion", "T-ROC 1.5 TSI 150 R-LINE DSG7")
            .set("StatutVD", "DEMO")
            .set("InfoOptions", ";GPS;CAM;PH;");
    vd.set("PrixCatalogue", 38500.0).set("PrixVente", 32490.0);
    vd.set("NomImage", photoName(kConcession, kDemoVD, 1));
    vw.write(vd);
    attachPhotos(db, vd, 2, photoDir);

    // The demo order: invoiced by the maker, awaiting delivery, with its accounting follow-up.
    auto vn = vw.make(rng, {kDemoVN, 2, false, kConcession, "VALENCE"});
    vn.set("InfoMarque", "VW")
            .set("InfoModele", "GOLF")
            .set("InfoTypeVersion", "1.5 ETSI 130 LIFE DSG7");
    vn.set("InfoVersion", "GOLF 1.5 ETSI 130 LIFE DSG7").set("InfoOptions", ";GPS;PH;JA18;");
    vn.set("StatutVN", "ARRIVE")
            .set("DateOrdre", addDays(today, -75))
            .set("DateCdeVW", addDays(today, -73));
    vn.set("DateUpdateCde", addDays(today, -12)).set("DateFabrication", addDays(today, -30));
    vn.set("DateDisponibilite", addDays(today, 5)).set("DateLivrMaxi", addDays(today, 30));
    for (const char *later : {"DateLivraison", "DateDeclareLivre", "DateFacture",
                              "DateDebutGarantie", "MEC", "DateAnnulation", "DatePaiement"})
        vn.set(later, Value {});
    vn.set("Acheteur", "LAURENT MICHEL")
            .set("Vendeur", "Julien ROCHE")
            .set("Destination", "PARTICULIERS");
    vn.set("PrixCatalogue", 33900.0).set("PrixVente", 31990.0).set("TypeFinancement", "CREDIT");
    vn.set("Financeur", "VOLKSWAGEN BANK")
            .set("VFinancement", 20000.0)
            .set("MontantAcompte", 3000.0);
    vn.set("ReprMarque", "PEUGEOT")
            .set("ReprModele", "308")
            .set("ReprPrix", 6500.0)
            .set("ReprNVO", Value {});
    vn.set("Solde", 2490.0).set("DateAchat", addDays(today, -10)).set("MontantAchat", 27798.0);
    vn.set("DateEcheance", addDays(today, 50)).set("DateEchTresorerie", addDays(today, 5));
    vn.set("DateEchReglement", addDays(today, 50))
            .set("SituationAchat", 2)
            .set("StatutVD", Value {});
    vw.write(vn);

    // Delivered before the lock date: shown, not modifiable.
    auto locked = vw.make(rng, {kLockedVO, 1, false, kConcession, "VALENCE"});
    locked.set("DateEntree", addDays(lock, -120)).set("DateOrdre", addDays(lock, -40));
    locked.set("DateLivraison", addDays(lock, -25)).set("DatePaiement", addDays(lock, -25));
    locked.set("DateDisponibilite", Value {})
            .set("Destination", "MARCHANDS")
            .set("Acheteur", "MARCHAND AUTO 26");
    locked.set("Vendeur", "Sandrine MOULIN").set("MEC", addDays(lock, -2000));
    vw.clearCosts(locked);
    vw.addCost(locked, addDays(lock, -100), "Lavage complet", "", "interne", 90.0, "6063100007",
               "");
    vw.write(locked);

    auto romans = vw.make(rng, {kOtherSiteVO, 1, false, kConcession, "ROMANS"});
    romans.set("idOwner", kUserOtherSite);
    vw.write(romans);
    vw.write(vw.make(rng, {kOtherCompanyVO, 1, false, kOtherConcession, "ANNECY"}));

    int photos = 0, reservations = 0;
    for (int id = kOtherCompanyVO + 1; id <= kDemoVehicles; ++id) {
        // The first two are orders cancelled without a customer: the sweep's work.
        const bool cancelled = id <= kOtherCompanyVO + 2;
        const Plan p = cancelled ? Plan {2, false, kConcession, "VALENCE"} : vehiclePlan(rng);
        auto v = vw.make(rng, {id, p.typeVO, p.demo, p.concession, p.site});
        if (cancelled) {
            v.set("StatutVN", "ANNULE")
                    .set("DateAnnulation", addDays(today, -20))
                    .set("Acheteur", Value {});
            v.set("DateLivraison", Value {}).set("MEC", Value {}).set("DateFacture", Value {});
        }
        const bool inStock = p.typeVO == 1 && text(v.get("DateOrdre")).empty();
        const int pictures = inStock && photos < 12 && rng.chance(40) ? 1 + photos++ % 2 : 0;
        if (pictures)
            v.set("NomImage", photoName(p.concession, id, 1));
        vw.write(v);
        attachPhotos(db, v, pictures, photoDir);
        if (inStock && reservations < 12 && rng.chance(15)) {
            const Person buyer = randomPerson(rng);
            const auto sellers = salespeopleOf(p.site);
            vw.writeReservation(v, addDays(today, rng.range(2, 20)), rng.pick(sellers).name,
                                buyer.lastName + " " + upperAscii(buyer.firstName),
                                rng.chance(50) ? "Attente accord de financement"
                                               : "Essai prévu samedi");
            ++reservations;
        }
    }
}

void demoCustomers(sqlite3 *db, const std::string &today)
{
    CustomerWriter cw(db, today);
    Rng rng(19740322);

    auto first = cw.make(rng, {kDemoCustomer, kConcession, "VALENCE"});
    first.set("CliCivilite", "M.")
            .set("CliNom", "LAURENT")
            .set("CliPrenom", "MICHEL")
            .set("idCom", 101);
    first.set("CliAdresse1", "18 RUE PASTEUR").set("CliCP", "26000").set("CliVille", "VALENCE");
    first.set("CliMobile", "0612457890")
            .set("CliTelDom", "0475563412")
            .set("CliEmail", "michel.laurent@orange.fr");
    first.set("idOwner", kUserClarim);
    cw.write(first);
    cw.writeActions(rng, first, 4);
    cw.writeVehicles(rng, first, 2);

    auto romans = cw.make(rng, {kOtherSiteCustomer, kConcession, "ROMANS"});
    romans.set("idOwner", kUserOtherSite);
    cw.write(romans);
    cw.writeActions(rng, romans, 2);
    cw.writeVehicles(rng, romans, 1);

    for (int id = kOtherSiteCustomer + 1; id <= kDemoCustomers; ++id) {
        const bool other = rng.chance(10);
        const std::string concession = other ? kOtherConcession : kConcession;
        const std::string site = other
                ? (rng.chance(60) ? "ANNECY" : "CHAMBERY")
                : rng.pick(std::vector<std::string> {"VALENCE", "VALENCE", "ROMANS", "MONTELIMAR"});
        auto c = cw.make(rng, {id, concession, site});
        // Homonyms and a shared home telephone for the duplicate counters.
        if (id == 3 || id == 4)
            c.set("CliCivilite", "M.")
                    .set("CliNom", "DUPONT")
                    .set("CliPrenom", "JEAN")
                    .set("CliTelDom", "0475441020");
        if (id == 5)
            c.set("CliCivilite", "Mme")
                    .set("CliNom", "DUPONT")
                    .set("CliPrenom", "MARIE")
                    .set("CliTelDom", "0475441020");
        cw.write(c);
        cw.writeActions(rng, c, rng.range(0, 5));
        cw.writeVehicles(rng, c, rng.range(0, 2));
    }
}

} // namespace

std::string schemaSql()
{
    return kSchemaSql;
}

void createSchema(sqlite3 *db)
{
    if (scalar(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table'") == 0)
        exec(db, schemaSql());
}

void seedDemo(sqlite3 *db, const std::string &photoDir)
{
    seedDemo(db, photoDir, todayIso());
}

void seedDemo(sqlite3 *db, const std::string &photoDir, const std::string &today)
{
    if (!isIsoDate(today))
        throw std::runtime_error("not an ISO date: " + today);
    createSchema(db);
    Transaction transaction(db);
    seedReference(db, today);
    demoVehicles(db, photoDir, today);
    demoCustomers(db, today);
    transaction.commit();
}

void seedLarge(sqlite3 *db, const std::string &photoDir)
{
    seedLarge(db, photoDir, todayIso());
}

void seedLarge(sqlite3 *db, const std::string &photoDir, const std::string &today)
{
    createSchema(db);
    if (scalar(db, "SELECT count(*) FROM tConcessions") == 0)
        seedDemo(db, photoDir, today);
    Transaction transaction(db);
    VehicleWriter vw(db, today);
    CustomerWriter cw(db, today);
    Rng rng(50000);
    const int firstVehicle = static_cast<int>(scalar(db, "SELECT max(idTVO) FROM tVehicles")) + 1;
    for (int i = 0; i < kLargeVehicles; ++i) {
        const Plan p = vehiclePlan(rng);
        vw.write(vw.make(rng, {firstVehicle + i, p.typeVO, p.demo, p.concession, p.site}));
    }
    const int firstCustomer
            = static_cast<int>(scalar(db, "SELECT max(idClient) FROM tClients")) + 1;
    for (int i = 0; i < kLargeCustomers; ++i) {
        const bool other = rng.chance(10);
        const std::string site = other
                ? "ANNECY"
                : rng.pick(std::vector<std::string> {"VALENCE", "ROMANS", "MONTELIMAR"});
        auto c = cw.make(rng, {firstCustomer + i, other ? kOtherConcession : kConcession, site});
        cw.write(c);
        cw.writeActions(rng, c, rng.range(0, 3));
        cw.writeVehicles(rng, c, rng.range(0, 2));
    }
    transaction.commit();
}

} // namespace dravik::seed
