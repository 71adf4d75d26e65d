// Customers of the seeds, with their follow-up actions and their own vehicles.

#include "seed/Seed.h"
#include "seed/SeedData.h"

#include <algorithm>

namespace dravik::seed::detail {

namespace {

const std::vector<std::string> kMen
        = {"Jean",       "Pierre",  "Michel",   "Philippe", "Alain",  "Nicolas",
           "Christophe", "Laurent", "Stéphane", "Frédéric", "Julien", "David",
           "Sébastien",  "Thomas",  "Antoine",  "Maxime",   "Hugo",   "Lucas",
           "Mathieu",    "Olivier", "Patrick",  "Bernard",  "Didier", "Yannick",
           "Rémi",       "Cédric",  "Jérôme",   "François", "Benoît", "Gérard"};
const std::vector<std::string> kWomen
        = {"Marie",   "Nathalie", "Isabelle",  "Sylvie",  "Catherine", "Christine", "Sandrine",
           "Valérie", "Céline",   "Stéphanie", "Aurélie", "Julie",     "Émilie",    "Camille",
           "Laura",   "Chloé",    "Léa",       "Manon",   "Sophie",    "Anne",      "Martine",
           "Monique", "Hélène",   "Élodie",    "Agnès",   "Brigitte"};
const std::vector<std::string> kLastNames
        = {"MARTIN",    "BERNARD",    "THOMAS",   "PETIT",     "ROBERT",   "RICHARD",   "DURAND",
           "DUBOIS",    "MOREAU",     "LAURENT",  "SIMON",     "MICHEL",   "LEFEBVRE",  "LEROY",
           "ROUX",      "DAVID",      "BERTRAND", "MOREL",     "FOURNIER", "GIRARD",    "BONNET",
           "DUPONT",    "LAMBERT",    "FONTAINE", "ROUSSEAU",  "VINCENT",  "MULLER",    "LEFÈVRE",
           "FAURE",     "ANDRÉ",      "MERCIER",  "BLANC",     "GUÉRIN",   "BOYER",     "GARNIER",
           "CHEVALIER", "FRANÇOIS",   "LEGRAND",  "GAUTHIER",  "GARCIA",   "PERRIN",    "ROBIN",
           "CLÉMENT",   "MORIN",      "NICOLAS",  "HENRY",     "ROUSSEL",  "MATHIEU",   "MASSON",
           "MARCHAND",  "DUVAL",      "DENIS",    "DUMONT",    "LEMAIRE",  "NOËL",      "MEYER",
           "DUFOUR",    "MEUNIER",    "BRUN",     "BLANCHARD", "GIRAUD",   "JOLY",      "RIVIÈRE",
           "BRUNET",    "GAILLARD",   "BARBIER",  "ARNAUD",    "MARTINEZ", "GÉRARD",    "ROCHE",
           "RENARD",    "SCHMITT",    "LEROUX",   "COLIN",     "VIDAL",    "CARON",     "PICARD",
           "FABRE",     "AUBERT",     "LEMOINE",  "RENAUD",    "DUMAS",    "LACROIX",   "BOURGEOIS",
           "REY",       "LECLERC",    "ROLLAND",  "CHABERT",   "BESSON",   "CHAPUIS",   "REYNAUD",
           "FAYOLLE",   "BARTHÉLEMY", "DELAUNAY", "PASQUIER",  "LAPORTE",  "MONTAGNON", "VERNET",
           "BOUVIER",   "TESTUD",     "DA SILVA", "LE GALL"};
const std::vector<std::string> kStreets
        = {"RUE VICTOR HUGO",   "AVENUE JEAN JAURÈS", "RUE DE LA RÉPUBLIQUE", "BOULEVARD GAMBETTA",
           "CHEMIN DES VIGNES", "ALLÉE DES TILLEULS", "RUE PASTEUR",          "PLACE DE LA LIBERTÉ",
           "ROUTE DE CREST",    "IMPASSE DES LILAS",  "RUE DU MOULIN",        "AVENUE DE PROVENCE",
           "RUE DES ÉCOLES",    "CHEMIN DE LA TOUR",  "RUE JULES FERRY",      "AVENUE DES ALPES"};
const std::vector<std::string> kProfessions
        = {"ENSEIGNANT",        "INFIRMIÈRE", "ARTISAN",     "COMMERÇANT",
           "RETRAITÉ",          "CADRE",      "AGRICULTEUR", "INGÉNIEUR",
           "EMPLOYÉ DE BUREAU", "MÉDECIN",    "TECHNICIEN",  "CHEF D'ENTREPRISE"};
const std::vector<std::string> kEmployers = {
        "CENTRE HOSPITALIER", "MAIRIE",           "EDUCATION NATIONALE", "SNCF",       "LA POSTE",
        "CRÉDIT AGRICOLE",    "TRANSPORTS MOREL", "CAVE COOPÉRATIVE",    "ARCHE AGGLO"};
const std::vector<std::string> kComments
        = {"Client intéressé par une reprise de son véhicule actuel.",
           "Rappeler après le salon pour l'essai du nouveau modèle.",
           "Devis envoyé par e-mail, en attente de réponse.",
           "Souhaite une offre de financement en LOA sur 48 mois.",
           "Satisfait de la livraison, propose de revenir pour l'entretien.",
           "Fin de crédit dans trois mois : proposer le renouvellement.",
           "Message laissé sur le répondeur.",
           "Rendez-vous pris au showroom samedi matin.",
           "Hésite entre deux motorisations, envoyer la comparaison.",
           "Invitation aux portes ouvertes envoyée."};

struct Town
{
    const char *name, *postCode, *concession;
};
const std::vector<Town> kTowns = {{"VALENCE", "26000", kConcession},
                                  {"BOURG-LES-VALENCE", "26500", kConcession},
                                  {"PORTES-LES-VALENCE", "26800", kConcession},
                                  {"ROMANS-SUR-ISERE", "26100", kConcession},
                                  {"BOURG-DE-PEAGE", "26300", kConcession},
                                  {"MONTELIMAR", "26200", kConcession},
                                  {"CREST", "26400", kConcession},
                                  {"TAIN-L'HERMITAGE", "26600", kConcession},
                                  {"PIERRELATTE", "26700", kConcession},
                                  {"GUILHERAND-GRANGES", "07500", kConcession},
                                  {"ANNECY", "74000", kOtherConcession},
                                  {"SEYNOD", "74600", kOtherConcession},
                                  {"CHAMBERY", "73000", kOtherConcession},
                                  {"AIX-LES-BAINS", "73100", kOtherConcession},
                                  {"RUMILLY", "74150", kOtherConcession}};

// Mail addresses take no accents.
std::string mailWord(const std::string &word)
{
    static const std::vector<std::pair<std::string, char>> folds
            = {{"é", 'e'}, {"è", 'e'}, {"ê", 'e'}, {"ë", 'e'}, {"É", 'e'}, {"È", 'e'},
               {"à", 'a'}, {"â", 'a'}, {"î", 'i'}, {"ï", 'i'}, {"ô", 'o'}, {"ö", 'o'},
               {"û", 'u'}, {"ü", 'u'}, {"ç", 'c'}, {"Ç", 'c'}, {"Ë", 'e'}};
    std::string out;
    for (size_t i = 0; i < word.size();) {
        bool folded = false;
        for (const auto &[from, to] : folds)
            if (word.compare(i, from.size(), from) == 0) {
                out += to;
                i += from.size();
                folded = true;
                break;
            }
        if (folded)
            continue;
        const char c = word[i++];
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += c;
        else if (c == ' ' || c == '-' || c == '\'')
            out += '-';
    }
    return out;
}

std::string digits(Rng &rng, const std::string &prefix, size_t length)
{
    std::string out = prefix;
    while (out.size() < length)
        out += static_cast<char>('0' + rng.range(0, 9));
    return out;
}

} // namespace

std::string upperAscii(std::string text)
{
    for (auto &c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

Person randomPerson(Rng &rng)
{
    const bool woman = rng.chance(48);
    return {woman ? "Mme" : "M.", rng.pick(woman ? kWomen : kMen), rng.pick(kLastNames)};
}

CustomerWriter::CustomerWriter(sqlite3 *db, std::string today)
    : m_today(std::move(today))
    , m_customer(db, "tClients", tableColumns(db, "tClients"))
    , m_action(db, "tActions", tableColumns(db, "tActions"))
    , m_vehicle(db, "TVehiclesClarim", tableColumns(db, "TVehiclesClarim"))
{ }

Insert::Row CustomerWriter::make(Rng &rng, const CustomerSeed &seed)
{
    auto c = m_customer.row();
    const Person p = randomPerson(rng);
    std::vector<Town> towns;
    for (const auto &t : kTowns)
        if (t.concession == seed.concession)
            towns.push_back(t);
    const Town &town = rng.pick(towns);
    const auto sellers = salespeopleOf(seed.site);
    const int owner = seed.concession == kConcession
            ? rng.pick(std::vector<int> {kUserClarim, kUserSalesperson, kUserAdmin})
            : kUserOtherCompany;
    c.set("idClient", seed.id).set("Site", seed.site).set("Concession", seed.concession);
    c.set("idCom",
          sellers.empty() ? Value {} : Value {static_cast<long long>(rng.pick(sellers).idCom)});
    c.set("idOwner", owner).set("DateCreation", addDays(m_today, -rng.range(0, 6 * 365)));
    c.set("CliOrigine", entryCode(rng.pick(parsList("CliOrigine"))));
    if (rng.chance(5)) {
        c.set("CliCivilite", "Société")
                .set("CliNom",
                     "SARL " + rng.pick(kLastNames) + " "
                             + rng.pick(std::vector<std::string> {"TRANSPORTS", "BTP", "SERVICES",
                                                                  "PAYSAGES"}));
        c.set("CliTelBur", digits(rng, "04", 10))
                .set("CliEmail", "contact@" + mailWord(p.lastName) + "-entreprise.fr");
    } else {
        c.set("CliCivilite", p.civility)
                .set("CliNom", p.lastName)
                .set("CliPrenom", upperAscii(p.firstName));
        c.set("CliMobile", digits(rng, rng.chance(70) ? "06" : "07", 10));
        c.set("CliEmail",
              mailWord(p.firstName) + "." + mailWord(p.lastName) + "@"
                      + rng.pick(std::vector<std::string> {"orange.fr", "gmail.com", "free.fr",
                                                           "laposte.net", "sfr.fr"}));
        c.set("CliDateNaissance", addDays(m_today, -rng.range(20 * 365, 80 * 365)));
        c.set("CliSituationFamille", entryCode(rng.pick(parsList("CliSituationFamille"))));
        c.set("CliNbEnfants", rng.range(0, 4));
        c.set("CliProfession", rng.pick(kProfessions));
        if (rng.chance(40))
            c.set("CliEmployeur", rng.pick(kEmployers));
        if (rng.chance(20))
            c.set("CliTelBur", digits(rng, "04", 10));
    }
    if (rng.chance(70))
        c.set("CliTelDom",
              digits(rng,
                     std::string(town.postCode).substr(0, 2) == "26"
                                     || std::string(town.postCode).substr(0, 2) == "07"
                             ? "0475"
                             : "0450",
                     10));
    c.set("CliAdresse1", std::to_string(rng.range(1, 120)) + " " + rng.pick(kStreets));
    if (rng.chance(15))
        c.set("CliAdresse2",
              rng.pick(std::vector<std::string> {"BÂTIMENT B", "RÉSIDENCE LES PINS",
                                                 "APPARTEMENT 12", "LIEU-DIT LES GRANGES"}));
    c.set("CliCP", town.postCode).set("CliVille", town.name).set("CliPays", "FRANCE");
    if (rng.chance(15))
        c.set("CliObservations", rng.pick(kComments));
    if (rng.chance(50)) {
        c.set("CliDateProchainAchat", addMonths(m_today, rng.range(1, 24)));
        c.set("PATypeVO", rng.chance(50) ? ";VN;" : ";VO;VD;");
        c.set("PASegment", ";" + rng.pick(codeList("PASegment")) + ";");
        c.set("PACarrosserie", ";" + rng.pick(codeList("PACarrosserie")) + ";");
        c.set("PAEnergie", ";" + rng.pick(codeList("PAEnergie")) + ";");
        const auto &m1 = rng.pick(usedModels());
        c.set("PAMarque1", m1.brand).set("PAModele1", m1.model);
        const auto versions = newVersionsOf(seed.concession);
        c.set("PAChoix1", ";" + rng.pick(versions).model + ";");
        if (rng.chance(30))
            c.set("PADateSpirit", addDays(m_today, -rng.range(1, 200)));
    }
    return c;
}

long long CustomerWriter::write(const Insert::Row &row)
{
    return m_customer.run(row);
}

void CustomerWriter::writeActions(Rng &rng, const Insert::Row &customer, int count)
{
    const Value idCom = customer.get("idCom");
    std::string date = addDays(m_today, -rng.range(30, 900));
    for (int i = 0; i < count; ++i) {
        date = addDays(date, rng.range(3, std::max(4, daysBetween(date, m_today) / 2)));
        if (daysBetween(date, m_today) < 0)
            date = m_today;
        m_action.run(m_action.row()
                             .set("idClient", customer.get("idClient"))
                             .set("DateAction", date)
                             .set("idCom", idCom)
                             .set("TypeAction",
                                  rng.range(1, static_cast<int>(parsList("TypeAction").size())))
                             .set("SujetAction",
                                  rng.range(1, static_cast<int>(parsList("SujetAction").size())))
                             .set("CommentaireAction", rng.pick(kComments))
                             .set("DateRelance", addDays(date, rng.range(7, 60)))
                             .set("idComRelance", idCom)
                             .set("SujetRelance",
                                  rng.range(1, static_cast<int>(parsList("SujetAction").size())))
                             .set("PrioriteRelance", rng.range(1, 4)));
    }
}

void CustomerWriter::writeVehicles(Rng &rng, const Insert::Row &customer, int count)
{
    const auto *site = std::get_if<std::string>(&customer.get("Site"));
    const std::string place = "ATELIER "
            + std::string(customer.get("Concession") == Value {std::string(kConcession)}
                                  ? "ZOLVARE "
                                  : "MERIVAL ")
            + (site ? *site : "");
    const auto *name = std::get_if<std::string>(&customer.get("CliNom"));
    for (int i = 0; i < count; ++i) {
        const auto &m = rng.pick(usedModels());
        const std::string mec = addDays(m_today, -rng.range(120, 10 * 365));
        const std::string bought = addDays(mec, rng.chance(50) ? 0 : rng.range(30, 700));
        const std::string purchase = daysBetween(bought, m_today) < 0 ? mec : bought;
        const int years = std::max(1, daysBetween(mec, m_today) / 365);
        const std::string lastService = addDays(m_today, -rng.range(10, 330));
        const int km = years * rng.range(9000, 18000);
        auto v = m_vehicle.row();
        v.set("idClient", customer.get("idClient")).set("NVO", 90000 + rng.range(1, 9999));
        v.set("TypeVO", purchase == mec ? 2 : 1).set("Site", customer.get("Site"));
        v.set("Concession", customer.get("Concession")).set("idOwner", customer.get("idOwner"));
        v.set("InfoMarque", m.brand).set("InfoModele", m.model);
        v.set("InfoVersion", m.model + " " + std::to_string(m.power) + " CH");
        v.set("InfoTypeVersion",
              rng.pick(std::vector<std::string> {"CONFORT", "BUSINESS", "STYLE", "SPORT",
                                                 "ELEGANCE"}));
        v.set("Immatriculation", randomPlate(rng))
                .set("Acheteur", name ? name->substr(0, 20) : std::string());
        v.set("MEC", mec).set("DateOrdre", purchase).set("KMS", km);
        v.set("DateFinGarantie", addMonths(purchase, 24));
        if (rng.chance(45)) {
            const std::string type = rng.pick(
                    std::vector<std::string> {"CR : Crédit", "LOA : Location avec option d'achat"});
            v.set("TypeFinancement", entryCode(type) == "CR" ? "CREDIT" : "LOA")
                    .set("AbbrFinancement", entryCode(type));
            v.set("MensualiteFinancement", static_cast<double>(rng.range(18, 60) * 10 - 1));
            v.set("DateFinFinancement",
                  addMonths(purchase, rng.pick(std::vector<int> {36, 48, 60})));
        } else {
            v.set("TypeFinancement", "COMPTANT").set("AbbrFinancement", "CPT");
        }
        v.set("DateLastSAV", lastService)
                .set("KmLastSAV", static_cast<double>(km - rng.range(500, 8000)));
        v.set("DateNextSAV", addMonths(lastService, 12))
                .set("KmNextSAV", static_cast<double>((km / 15000 + 1) * 15000));
        v.set("LieuEntretien1", place);
        if (rng.chance(20))
            v.set("LieuEntretien2", "GARAGE INDÉPENDANT");
        v.set("SatisfVehicle", rng.range(0, 4)).set("SatisfSAV", rng.range(0, 4));
        m_vehicle.run(v);
    }
}

} // namespace dravik::seed::detail
