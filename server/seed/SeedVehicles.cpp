// Vehicles of the seeds: used vehicles with their costs, demonstration vehicles and
// new-vehicle orders.

#include "seed/Seed.h"
#include "seed/SeedData.h"

#include <algorithm>
#include <cmath>

namespace dravik::seed::detail {

namespace {

const std::string kPlateLetters = "ABCDEFGHJKLMNPQRSTVWXYZ"; // no I, O, U on plates

// Engine words by maker, as versions are written on registration papers.
std::string engineOf(const std::string &brand, const std::string &energy)
{
    const bool group = brand == "VW" || brand == "AUDI" || brand == "SKODA" || brand == "SEAT";
    const bool psa = brand == "PEUGEOT" || brand == "CITROEN";
    if (energy == "HY")
        return "1.8 HYBRIDE";
    if (energy == "GO")
        return group                 ? "2.0 TDI"
                : psa                ? "1.5 BLUEHDI"
                : brand == "RENAULT" ? "1.5 BLUE DCI"
                                     : "2.0 D";
    return group ? "1.5 TSI" : psa ? "1.2 PURETECH" : brand == "RENAULT" ? "1.3 TCE" : "1.5 T";
}

int fiscalPower(int power)
{
    return std::clamp(power / 19 + 1, 4, 14);
}

// A price rounded the way dealers show them: 18 490, 23 990.
double showPrice(double amount)
{
    return std::max(990.0, std::floor(amount / 500.0) * 500.0 - 10.0);
}

std::string codes(Rng &rng, const std::string &list, int percent)
{
    std::string out;
    for (const auto &code : codeList(list))
        if (rng.chance(percent))
            out += ";" + code;
    return out.empty() ? out : out + ";";
}

std::string text(const Value &v)
{
    const auto *s = std::get_if<std::string>(&v);
    return s ? *s : std::string();
}

double number(const Value &v)
{
    if (const auto *d = std::get_if<double>(&v))
        return *d;
    if (const auto *n = std::get_if<long long>(&v))
        return static_cast<double>(*n);
    return 0.0;
}

Value amountOrNull(double amount)
{
    return amount == 0.0 ? Value {} : Value {cents(amount)};
}

int ownerFor(const std::string &site, Rng &rng)
{
    if (site == "VALENCE")
        return rng.chance(50) ? kUserSalesperson : rng.chance(50) ? kUserClarim : kUserAdmin;
    if (site == "ROMANS")
        return kUserOtherSite;
    if (site == "MONTELIMAR")
        return rng.chance(50) ? kUserGuaranteeRVO : kUserAdmin;
    return kUserOtherCompany;
}

} // namespace

std::string randomPlate(Rng &rng)
{
    auto letter = [&] {
        return kPlateLetters[static_cast<size_t>(
                rng.range(0, static_cast<int>(kPlateLetters.size()) - 1))];
    };
    std::string plate;
    plate += letter();
    plate += letter();
    // Written as the client's plate keys leave a typed plate: no hyphens, no blanks.
    plate += std::to_string(rng.range(100, 999));
    plate += letter();
    plate += letter();
    return plate;
}

std::string randomVin(Rng &rng, const std::string &brand)
{
    static const std::vector<std::pair<std::string, std::string>> makers = {
            {"VW", "WVWZZZ"},     {"AUDI", "WAUZZZ"},   {"SKODA", "TMBJJ7"},  {"SEAT", "VSSZZZ"},
            {"PEUGEOT", "VF3M4"}, {"CITROEN", "VF7SH"}, {"RENAULT", "VF1RJ"}, {"TOYOTA", "SB1K9"},
            {"BMW", "WBA7K"},     {"MERCEDES", "WDD17"}};
    std::string vin = "VF1ZZZ";
    for (const auto &[b, prefix] : makers)
        if (b == brand)
            vin = prefix;
    const std::string chars = "0123456789ABCDEFGHJKLMNPRSTUVWXYZ";
    while (vin.size() < 17)
        vin += chars[static_cast<size_t>(rng.range(0, static_cast<int>(chars.size()) - 1))];
    return vin;
}

VehicleWriter::VehicleWriter(sqlite3 *db, std::string today)
    : m_today(std::move(today))
    , m_vehicle(db, "tVehicles", tableColumns(db, "tVehicles"))
    , m_cost(db, "tVO - Frevo",
             {"idVO", "DateFrevo", "LibelleFrevo", "NComptable", "NomFournisseur", "NFacture",
              "TypeFrevo", "MontantHT"})
    , m_resa(db, "tResa", {"idVO", "DResaMax", "Vendeur", "Acheteur", "Commentaire"})
{ }

Insert::Row VehicleWriter::make(Rng &rng, const VehicleSeed &seed)
{
    m_costs.clear();
    auto v = m_vehicle.row();
    const auto sellers = salespeopleOf(seed.site);
    const std::string seller = sellers.empty() ? std::string() : rng.pick(sellers).name;
    v.set("idTVO", seed.id).set("idVO", seed.id).set("TypeVO", seed.typeVO);
    v.set("Concession", seed.concession)
            .set("Site", seed.site)
            .set("idOwner", ownerFor(seed.site, rng));
    v.set("InfoCouleur", rng.pick(parsList("InfoCouleur")));
    v.set("BoiteVitesse", entryCode(rng.pick(parsList("BoiteVitesse"))));
    v.set("InfoEquiInterieur", codes(rng, "InfoEquiInterieur", 40));
    v.set("InfoEquiExterieur", codes(rng, "InfoEquiExterieur", 40));
    v.set("InfoEquiSecurite", codes(rng, "InfoEquiSecurite", 60));
    v.set("Immatriculation", randomPlate(rng));
    v.set("NbPlaces", 5);
    const Person buyer = randomPerson(rng);
    const std::string buyerName = buyer.lastName + " " + upperAscii(buyer.firstName);

    if (seed.typeVO == 1) {
        const auto &m = rng.pick(usedModels());
        const int ageMonths = rng.range(6, 96);
        const std::string mec = addDays(addMonths(m_today, -ageMonths), -rng.range(0, 27));
        const std::string entry = addDays(m_today, -rng.range(3, 420));
        const double value = showPrice(m.basePrice * std::pow(0.86, ageMonths / 12.0));
        const double purchase = cents(value * 0.82);
        v.set("NVO", 20000 + seed.id).set("InfoMarque", m.brand).set("InfoModele", m.model);
        v.set("InfoVersion",
              m.model + " " + engineOf(m.brand, m.energy) + " " + std::to_string(m.power) + " "
                      + rng.pick(std::vector<std::string> {"CONFORT", "BUSINESS", "STYLE", "SPORT",
                                                           "ELEGANCE"}));
        v.set("Carrosserie", m.body).set("Energie", m.energy).set("CV", fiscalPower(m.power));
        v.set("NbPortes", m.body == "COUPE" ? 3 : 5).set("NbPlaces", m.body == "MONOSPACE" ? 7 : 5);
        v.set("MEC", mec).set("KMS", ageMonths * rng.range(900, 1600));
        v.set("Chassis", randomVin(rng, m.brand));
        v.set("InfoComplement", codes(rng, "InfoComplement", 50));
        v.set("Origine", entryCode(rng.pick(parsList("Origine"))));
        v.set("OrigineVendeur", entryCode(rng.pick(parsList("OrigineVendeur"))));
        v.set("DateEntree", entry).set("LieuStockage", rng.pick(parsList("LieuStockage")));
        v.set("PrixReprise", purchase).set("PrixVente", value);
        v.set("TPVO",
              rng.chance(30) ? Value {static_cast<double>(rng.range(1, 5) * 100)} : Value {});
        v.set("ModeTVA", rng.chance(85) ? 1 : 2);
        for (const char *flag :
             {"FlagPrepaEsthetique", "FlagPrepaCarrosserie", "FlagPrepaMecanique"})
            v.set(flag, rng.chance(60) ? 1 : 0);
        v.set("FlagDepotVente", v.get("Origine") == Value {std::string("DEPOT")} ? 1 : 0);
        v.set("FlagEligible", rng.chance(40) ? 1 : 0);
        v.set("TypeGarantie", entryCode(rng.pick(parsList("TypeGarantie"))));
        v.set("DureeGarantie", rng.pick(std::vector<int> {6, 12, 12, 24}));
        v.set("PrixGarantie",
              rng.chance(50) ? Value {static_cast<double>(rng.range(1, 4) * 90 + 9)} : Value {});
        if (rng.chance(20))
            v.set("Intermediaire", "AUTO COURTAGE").set("MtComIntermediaire", 150.0);
        if (rng.chance(45)) { // sold
            const std::string order
                    = addDays(entry, rng.range(2, std::max(2, daysBetween(entry, m_today))));
            const std::string delivery = addDays(order, rng.range(5, 25));
            const std::string destination = rng.pick(
                    std::vector<std::string> {"PARTICULIERS", "PARTICULIERS", "PARTICULIERS",
                                              "MARCHANDS", "EXPORT", "GROUPE"});
            v.set("DateOrdre", order).set("Vendeur", seller).set("Destination", destination);
            v.set("Acheteur",
                  destination == "PARTICULIERS" ? buyerName.substr(0, 20)
                                                : rng.pick(parsList("Acheteur")));
            v.set("CP", sitesOf(seed.concession).front().postCode);
            v.set("MtComVendeur", cents(value * 0.012));
            if (daysBetween(delivery, m_today) >= 0) {
                v.set("DateLivraison", delivery).set("DatePaiement", delivery);
                if (rng.chance(60))
                    v.set("DateValidationGarantie", delivery);
            } else {
                v.set("DateDisponibilite", delivery);
            }
            if (rng.chance(40)) {
                v.set("TypeFinancement", "CREDIT")
                        .set("Financeur", rng.pick(parsList("Financeur")));
                v.set("VFinancement", showPrice(value * 0.6)).set("DatePresFinancement", order);
                v.set("ComFinPrevue", cents(value * 0.6 * 0.025));
            } else {
                v.set("TypeFinancement", "COMPTANT");
            }
        }
        if (rng.chance(10))
            v.set("Commentaires", "Carnet d'entretien complet, deux clés. Pneus avant neufs.");
        planCosts(rng, v);
        return v;
    }

    const auto versions = newVersionsOf(seed.concession);
    const auto &nv = rng.pick(versions);
    v.set("InfoMarque", nv.brand).set("InfoModele", nv.model).set("InfoTypeVersion", nv.version);
    v.set("InfoVersion", (nv.model + " " + nv.version).substr(0, 50));
    v.set("Carrosserie", nv.body).set("Energie", nv.energy).set("CV", fiscalPower(nv.power));
    v.set("NbPortes", 5).set("Chassis", randomVin(rng, nv.brand));
    v.set("InfoCouleurInt", rng.pick(parsList("CouleurInt")));
    v.set("InfoOptions", codes(rng, "InfoOptions", 30));
    v.set("PrixCatalogue", static_cast<double>(nv.price));
    v.set("FlagNonDiffuse", rng.chance(10) ? 1 : 0);
    if (seed.demo) {
        const std::string mec = addDays(m_today, -rng.range(20, 300));
        v.set("NVO", 80000 + seed.id).set("StatutVD", entryCode(rng.pick(parsList("StatutVD"))));
        v.set("MEC", mec).set("KMS", rng.range(300, 9000)).set("DateEntree", mec);
        v.set("PrixVente", showPrice(nv.price * 0.84)).set("CodeRemise", "VD-" + mec.substr(0, 4));
        v.set("Utilisateur", seller);
        return v;
    }
    // New-vehicle order.
    const std::string order = addDays(m_today, -rng.range(1, 330));
    const int stage = rng.range(0, 9); // 0-3 ordered, 4-8 delivered, 9 cancelled
    const double price = showPrice(nv.price * (1.0 - rng.range(2, 12) / 100.0));
    v.set("NVO", 50000 + seed.id)
            .set("DateOrdre", order)
            .set("DateCdeVW", addDays(order, rng.range(1, 4)));
    v.set("DateUpdateCde", addDays(order, rng.range(1, 4)));
    v.set("Vendeur", seller)
            .set("PrixVente", price)
            .set("CodeRemise", "REM" + std::to_string(rng.range(2, 12)));
    v.set("Destination", rng.chance(90) ? "PARTICULIERS" : "GROUPE");
    v.set("TypeFinancement", rng.pick(parsList("TypeFinancement")));
    v.set("TypeFinancementDelai", entryCode(rng.pick(parsList("DelaiReglement"))));
    v.set("FlagEligible", rng.chance(50) ? 1 : 0);
    if (v.get("TypeFinancement") != Value {std::string("COMPTANT")})
        v.set("Financeur", rng.pick(parsList("Financeur")))
                .set("VFinancement", showPrice(price * 0.7));
    const std::string fabrication = addDays(order, rng.range(20, 60));
    const std::string available = addDays(fabrication, rng.range(10, 30));
    v.set("DateFabrication", fabrication).set("DateLivrMaxi", addDays(order, 120));
    if (stage == 9) {
        v.set("StatutVN", "ANNULE").set("DateAnnulation", addDays(order, rng.range(5, 30)));
        if (rng.chance(50))
            v.set("Acheteur", buyerName.substr(0, 20)); // others: cancelled without customer
        return v;
    }
    v.set("Acheteur", buyerName.substr(0, 20)).set("CP", sitesOf(seed.concession).front().postCode);
    v.set("MontantAcompte", showPrice(price * 0.1));
    if (stage >= 4 && daysBetween(available, m_today) > 10) {
        const std::string delivery = addDays(available, rng.range(2, 10));
        v.set("StatutVN", "LIVRE")
                .set("DateDisponibilite", available)
                .set("DateLivraison", delivery);
        v.set("DateDeclareLivre", delivery)
                .set("DateFacture", delivery)
                .set("DateDebutGarantie", delivery);
        v.set("MEC", delivery)
                .set("DateAchat", delivery)
                .set("MontantAchat", cents(nv.price * 0.82));
        v.set("DateEcheance", addDays(delivery, 60)).set("DateEchTresorerie", addDays(delivery, 5));
        v.set("DateEchReglement", addDays(delivery, 45)).set("SituationAchat", rng.range(1, 3));
        v.set("DatePaiement", addDays(delivery, rng.range(0, 20)));
    } else {
        v.set("StatutVN", stage < 2 ? "COMMANDE" : "PRODUCTION")
                .set("DateDisponibilite", available);
        v.set("SituationAchat", 0);
    }
    if (rng.chance(25)) {
        const auto &old = rng.pick(usedModels());
        v.set("ReprMarque", old.brand)
                .set("ReprModele", old.model)
                .set("ReprPrix", showPrice(old.basePrice * 0.35));
        v.set("ReprNVO", 20000 + seed.id);
    }
    const double solde = price - number(v.get("VFinancement")) - number(v.get("ReprPrix"))
            - number(v.get("MontantAcompte"));
    v.set("Solde", cents(solde));
    return v;
}

void VehicleWriter::planCosts(Rng &rng, Insert::Row &v)
{
    const std::string entry = text(v.get("DateEntree"));
    const std::string delivery = text(v.get("DateLivraison"));
    const std::string last = delivery.empty() ? m_today : delivery;
    const int span = std::max(0, daysBetween(entry, last));
    const int count = rng.range(0, 4);
    for (int i = 0; i < count; ++i) {
        const std::string date = addDays(entry, rng.range(0, span));
        const auto &label = rng.pick(parsList("LibFrevo"));
        const std::string type
                = rng.pick(std::vector<std::string> {"interne", "interne", "externe", "prévision"});
        const bool old = daysBetween(date, m_today) > 45;
        m_costs.push_back(
                {date, label, rng.pick(parsList("Fournisseur")), type,
                 static_cast<double>(rng.range(4, 90) * 10),
                 old && rng.chance(50) ? "6063" + std::to_string(rng.range(100000, 999999)) : "",
                 type == "externe" ? "F" + std::to_string(rng.range(100000, 999999)) : ""});
    }
    // The file fee a sale to a private buyer adds.
    if (text(v.get("Destination")) == "PARTICULIERS" && !text(v.get("DateOrdre")).empty())
        m_costs.push_back({text(v.get("DateOrdre")), "Frais de dossier", "", "fixe",
                           text(v.get("Site")) == "ROMANS" ? 150.0 : 180.0, "", ""});
    updateTotals(v);
}

void VehicleWriter::addCost(Insert::Row &v, const std::string &date, const std::string &label,
                            const std::string &supplier, const std::string &type, double amount,
                            const std::string &accountNo, const std::string &invoiceNo)
{
    m_costs.push_back({date, label, supplier, type, amount, accountNo, invoiceNo});
    updateTotals(v);
}

void VehicleWriter::clearCosts(Insert::Row &v)
{
    m_costs.clear();
    updateTotals(v);
}

// Totals as the client computes them beside the costs grid: per type, and up to the end of
// the delivery month ("FDM"); then the VAT and margins of the used-vehicle tab.
void VehicleWriter::updateTotals(Insert::Row &v) const
{
    const std::string delivery = text(v.get("DateLivraison"));
    const std::string cutoff = firstOfNextMonth(delivery.empty() ? m_today : delivery);
    double total = 0, fixe = 0, interne = 0, externe = 0, prevision = 0;
    double totFdm = 0, fixeFdm = 0, intFdm = 0, extFdm = 0, prevFdm = 0;
    for (const auto &c : m_costs) {
        const std::string type = upperAscii(c.type);
        const bool fdm = daysBetween(c.date, cutoff) > 0;
        double &all = type == "FIXE" ? fixe
                : type == "INTERNE"  ? interne
                : type == "EXTERNE"  ? externe
                                     : prevision;
        double &part = type == "FIXE" ? fixeFdm
                : type == "INTERNE"   ? intFdm
                : type == "EXTERNE"   ? extFdm
                                      : prevFdm;
        total += c.amount;
        all += c.amount;
        if (fdm) {
            totFdm += c.amount;
            part += c.amount;
        }
    }
    v.set("Frevo", amountOrNull(total))
            .set("FrevoFixe", amountOrNull(fixe))
            .set("FrevoInterne", amountOrNull(interne));
    v.set("FrevoExterne", amountOrNull(externe)).set("FrevoPrevision", amountOrNull(prevision));
    v.set("FrevoTotFDM", amountOrNull(totFdm)).set("FrevoFixeFDM", amountOrNull(fixeFdm));
    v.set("FrevoIntFDM", amountOrNull(intFdm)).set("FrevoExtFDM", amountOrNull(extFdm));
    v.set("FrevoPrevFDM", amountOrNull(prevFdm));
    if (number(v.get("TypeVO")) != 1)
        return;
    const double sale = number(v.get("PrixVente")), tradeIn = number(v.get("PrixReprise"));
    const double d = sale - tradeIn;
    const bool onTotal = number(v.get("ModeTVA")) == 2;
    const double vat = onTotal ? 0.0 : d / 1.196 * 0.196;
    double gross = number(v.get("TPVO")) + d - cents(vat);
    if (onTotal)
        gross /= 1.196;
    v.set("cTVA", cents(vat)).set("MBrute", cents(gross));
    v.set("MNette", cents(gross - total - number(v.get("PrixGarantie"))));
}

void VehicleWriter::write(const Insert::Row &v)
{
    m_vehicle.run(v);
    const Value id = v.get("idVO");
    for (const auto &c : m_costs)
        m_cost.run(m_cost.row()
                           .set("idVO", id)
                           .set("DateFrevo", c.date)
                           .set("LibelleFrevo", c.label)
                           .set("NComptable", c.accountNo.empty() ? Value {} : c.accountNo)
                           .set("NomFournisseur", c.supplier.empty() ? Value {} : c.supplier)
                           .set("NFacture", c.invoiceNo.empty() ? Value {} : c.invoiceNo)
                           .set("TypeFrevo", c.type)
                           .set("MontantHT", c.amount));
    m_costs.clear();
}

void VehicleWriter::writeReservation(const Insert::Row &v, const std::string &until,
                                     const std::string &seller, const std::string &buyer,
                                     const std::string &comment)
{
    m_resa.run(m_resa.row()
                       .set("idVO", v.get("idVO"))
                       .set("DResaMax", until)
                       .set("Vendeur", seller)
                       .set("Acheteur", buyer)
                       .set("Commentaire", comment));
}

} // namespace dravik::seed::detail
