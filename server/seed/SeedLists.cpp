// Reference data of the demo dealership: companies, sites, people and choice lists.

#include "seed/Seed.h"
#include "seed/SeedData.h"

#include <map>
#include <stdexcept>

namespace dravik::seed::detail {

const std::vector<SiteInfo> &sites()
{
    static const std::vector<SiteInfo> all = {
            {"VALENCE", kConcession, "VW AUDI", "VALENCE", "26000", "0475"},
            {"ROMANS", kConcession, "VW SEAT SKODA", "ROMANS-SUR-ISERE", "26100", "0475"},
            {"MONTELIMAR", kConcession, "AUDI SKODA", "MONTELIMAR", "26200", "0475"},
            {"ANNECY", kOtherConcession, "PEUGEOT CITROEN", "ANNECY", "74000", "0450"},
            {"CHAMBERY", kOtherConcession, "PEUGEOT", "CHAMBERY", "73000", "0479"},
    };
    return all;
}

std::vector<SiteInfo> sitesOf(const std::string &concession)
{
    std::vector<SiteInfo> out;
    for (const auto &s : sites())
        if (s.concession == concession)
            out.push_back(s);
    return out;
}

const std::vector<Salesperson> &salespeople()
{
    static const std::vector<Salesperson> all = {
            {101, "Julien ROCHE", "VALENCE", kConcession},
            {102, "Sandrine MOULIN", "VALENCE", kConcession},
            {103, "Karim BENSAÏD", "VALENCE ROMANS", kConcession},
            {104, "Lucas PERRIN", "ROMANS", kConcession},
            {105, "Nathalie GIRAUD", "MONTELIMAR", kConcession},
            {106, "Olivier CHABERT", "MONTELIMAR ROMANS", kConcession},
            {201, "Bruno LACROIX", "ANNECY", kOtherConcession},
            {202, "Céline DUPRAZ", "CHAMBERY", kOtherConcession},
            {203, "Marc VIBERT", "ANNECY CHAMBERY", kOtherConcession},
    };
    return all;
}

std::vector<Salesperson> salespeopleOf(const std::string &site)
{
    std::vector<Salesperson> out;
    for (const auto &p : salespeople())
        if (p.sites.find(site) != std::string::npos)
            out.push_back(p);
    return out;
}

const std::vector<ModelInfo> &usedModels()
{
    static const std::vector<ModelInfo> all = {
            {"AUDI", "A1", "CITADINE", "ES", 95, 19000},
            {"AUDI", "A3", "BERLINE", "GO", 116, 24000},
            {"AUDI", "A4", "BREAK", "GO", 150, 31000},
            {"AUDI", "Q3", "SUV", "ES", 150, 33000},
            {"AUDI", "Q5", "SUV", "GO", 204, 42000},
            {"BMW", "SERIE 1", "BERLINE", "ES", 136, 25000},
            {"BMW", "SERIE 3", "BERLINE", "GO", 150, 33000},
            {"BMW", "X1", "SUV", "GO", 150, 34000},
            {"CITROEN", "BERLINGO", "UTILITAIRE", "GO", 100, 19000},
            {"CITROEN", "C3", "CITADINE", "ES", 83, 13000},
            {"CITROEN", "C4", "BERLINE", "ES", 130, 20000},
            {"CITROEN", "C5 AIRCROSS", "SUV", "GO", 130, 27000},
            {"MERCEDES", "CLASSE A", "BERLINE", "ES", 136, 29000},
            {"MERCEDES", "CLASSE C", "BERLINE", "GO", 163, 39000},
            {"MERCEDES", "GLA", "SUV", "ES", 163, 37000},
            {"PEUGEOT", "2008", "SUV", "ES", 130, 22000},
            {"PEUGEOT", "208", "CITADINE", "ES", 100, 16000},
            {"PEUGEOT", "3008", "SUV", "GO", 130, 28000},
            {"PEUGEOT", "308", "BERLINE", "GO", 130, 23000},
            {"PEUGEOT", "5008", "MONOSPACE", "GO", 130, 31000},
            {"RENAULT", "CAPTUR", "SUV", "ES", 90, 19000},
            {"RENAULT", "CLIO", "CITADINE", "ES", 90, 14000},
            {"RENAULT", "MEGANE", "BERLINE", "GO", 115, 21000},
            {"RENAULT", "SCENIC", "MONOSPACE", "GO", 120, 24000},
            {"SEAT", "ARONA", "SUV", "ES", 110, 19000},
            {"SEAT", "ATECA", "SUV", "GO", 150, 26000},
            {"SEAT", "IBIZA", "CITADINE", "ES", 95, 14000},
            {"SEAT", "LEON", "BERLINE", "ES", 130, 20000},
            {"SKODA", "FABIA", "CITADINE", "ES", 95, 14000},
            {"SKODA", "KAROQ", "SUV", "ES", 150, 26000},
            {"SKODA", "KODIAQ", "SUV", "GO", 150, 33000},
            {"SKODA", "OCTAVIA", "BREAK", "GO", 150, 25000},
            {"TOYOTA", "C-HR", "SUV", "HY", 122, 25000},
            {"TOYOTA", "COROLLA", "BERLINE", "HY", 122, 23000},
            {"TOYOTA", "YARIS", "CITADINE", "HY", 116, 17000},
            {"VW", "GOLF", "BERLINE", "GO", 150, 24000},
            {"VW", "PASSAT", "BREAK", "GO", 150, 32000},
            {"VW", "POLO", "CITADINE", "ES", 95, 15000},
            {"VW", "T-ROC", "SUV", "ES", 110, 23000},
            {"VW", "TIGUAN", "SUV", "GO", 150, 31000},
            {"VW", "TOURAN", "MONOSPACE", "GO", 115, 26000},
    };
    return all;
}

const std::vector<VersionInfo> &newVersions()
{
    static const std::vector<VersionInfo> all = [] {
        const std::string z = kConcession, m = kOtherConcession;
        return std::vector<VersionInfo> {
                {"AUDI", "A3", "SPORTBACK 30 TDI 116 DESIGN", z, "BERLINE", "GO", 116, 34900},
                {"AUDI", "A3", "SPORTBACK 35 TFSI 150 S TRONIC", z, "BERLINE", "ES", 150, 37500},
                {"AUDI", "A4", "AVANT 40 TDI 204 S LINE", z, "BREAK", "GO", 204, 54900},
                {"AUDI", "Q3", "35 TFSI 150 S TRONIC DESIGN", z, "SUV", "ES", 150, 44900},
                {"SEAT", "ARONA", "1.0 TSI 110 XPERIENCE", z, "SUV", "ES", 110, 25900},
                {"SEAT", "LEON", "1.5 TSI 130 FR", z, "BERLINE", "ES", 130, 30500},
                {"SKODA", "FABIA", "1.0 TSI 95 AMBITION", z, "CITADINE", "ES", 95, 20900},
                {"SKODA", "KODIAQ", "1.5 TSI 150 SPORTLINE DSG7", z, "SUV", "ES", 150, 45900},
                {"SKODA", "OCTAVIA", "COMBI 2.0 TDI 150 STYLE DSG7", z, "BREAK", "GO", 150, 38900},
                {"VW", "GOLF", "1.4 EHYBRID 204 GTE", z, "BERLINE", "HR", 204, 44900},
                {"VW", "GOLF", "1.5 ETSI 130 LIFE DSG7", z, "BERLINE", "ES", 130, 33900},
                {"VW", "GOLF", "2.0 TDI 150 STYLE DSG7", z, "BERLINE", "GO", 150, 38900},
                {"VW", "POLO", "1.0 TSI 110 R-LINE DSG7", z, "CITADINE", "ES", 110, 27900},
                {"VW", "POLO", "1.0 TSI 95 LIFE", z, "CITADINE", "ES", 95, 22500},
                {"VW", "POLO", "1.0 TSI 95 STYLE", z, "CITADINE", "ES", 95, 24900},
                {"VW", "T-ROC", "1.0 TSI 110 LIFE", z, "SUV", "ES", 110, 29900},
                {"VW", "T-ROC", "1.5 TSI 150 R-LINE DSG7", z, "SUV", "ES", 150, 38500},
                {"VW", "TIGUAN", "1.5 ETSI 150 ELEGANCE DSG7", z, "SUV", "ES", 150, 45500},
                {"VW", "TIGUAN", "2.0 TDI 150 R-LINE DSG7", z, "SUV", "GO", 150, 49900},
                {"CITROEN", "C3", "1.2 PURETECH 83 PLUS", m, "CITADINE", "ES", 83, 19900},
                {"CITROEN", "C5 AIRCROSS", "1.5 BLUEHDI 130 EAT8 SHINE", m, "SUV", "GO", 130,
                 39900},
                {"PEUGEOT", "2008", "1.2 PURETECH 130 EAT8 GT", m, "SUV", "ES", 130, 33500},
                {"PEUGEOT", "208", "1.2 PURETECH 100 ALLURE", m, "CITADINE", "ES", 100, 23900},
                {"PEUGEOT", "208", "E-208 156 GT", m, "CITADINE", "EL", 156, 36900},
                {"PEUGEOT", "3008", "1.5 BLUEHDI 130 EAT8 ALLURE", m, "SUV", "GO", 130, 40500},
        };
    }();
    return all;
}

std::vector<VersionInfo> newVersionsOf(const std::string &concession)
{
    std::vector<VersionInfo> out;
    for (const auto &v : newVersions())
        if (v.concession == concession)
            out.push_back(v);
    return out;
}

namespace {

// Parameter lists common to every company (RubricItem ".."), in display order. A list whose
// first entry is ".." shows an empty first entry.
const std::map<std::string, std::vector<std::string>> &commonLists()
{
    static const std::map<std::string, std::vector<std::string>> lists = {
            {"Boolean", {"Non", "Oui"}},
            {"Origine",
             {"REPRISE : Reprise client", "ACHAT : Achat marchand", "ENCHERES : Vente aux enchères",
              "LOUEUR : Retour loueur", "DEPOT : Dépôt-vente",
              "VD : Ancien véhicule de démonstration"}},
            {"OrigineVendeur",
             {"PARTICULIER : Particulier", "PROFESSIONNEL : Professionnel",
              "GROUPE : Concession du groupe", "CONSTRUCTEUR : Constructeur"}},
            {"Carrosserie",
             {"BERLINE : Berline", "BREAK : Break", "CITADINE : Citadine", "COUPE : Coupé",
              "CABRIOLET : Cabriolet", "MONOSPACE : Monospace", "SUV : SUV / 4x4",
              "UTILITAIRE : Utilitaire"}},
            {"Energie",
             {"ES : Essence", "GO : Gazole", "HY : Hybride", "HR : Hybride rechargeable",
              "EL : Électrique", "GPL : GPL"}},
            {"BoiteVitesse", {"M : Manuelle", "A : Automatique", "R : Robotisée"}},
            {"NbPortes", {"2", "3", "4", "5"}},
            {"Destination", {"..", "PARTICULIERS", "MARCHANDS", "GROUPE", "EXPORT"}},
            {"ModeTVA", {"TVA sur marge", "TVA sur prix total"}},
            {"TypeGarantie",
             {"CONSTRUCTEUR : Garantie constructeur", "LABEL : Garantie label VO",
              "CONCESSION : Garantie concession", "SANS : Sans garantie"}},
            {"DureeGarantie",
             {"3 : 3 mois", "6 : 6 mois", "12 : 12 mois", "24 : 24 mois", "36 : 36 mois"}},
            {"LieuStockage", {"PARC VO", "ATELIER", "CARROSSERIE", "SHOWROOM", "PARC EXTERIEUR"}},
            {"TypeFinancement", {"COMPTANT", "CREDIT", "LOA", "LLD"}},
            {"Financeur",
             {"VOLKSWAGEN BANK", "SOFINCO", "CETELEM", "DIAC", "BANQUE PSA FINANCE",
              "CRÉDIT AGRICOLE"}},
            // Settlement delay in days: a default first, then one per financing type.
            {"TypeFinancementDelai", {"30", "COMPTANT : 8", "CREDIT : 45", "LOA : 30", "LLD : 60"}},
            {"DelaiReglement",
             {"COMPTANT : À la livraison", "30J : 30 jours", "45J : 45 jours fin de mois",
              "60J : 60 jours"}},
            {"Acheteur",
             {"MARCHAND AUTO 26", "SARL EXPORT AUTO", "VENTE ENCHERES VO", "LOUEUR LOCAL"}},
            {"InfoCouleur",
             {"BLANC PUR", "NOIR INTENSE", "GRIS ACIER", "GRIS PLATINE", "BLEU NUIT",
              "ROUGE TORNADO", "ARGENT REFLEX", "VERT OLIVE", "BLANC NACRÉ"}},
            {"CouleurInt", {"TISSU NOIR", "TISSU GRIS", "CUIR NOIR", "CUIR BEIGE", "ALCANTARA"}},
            {"StatutVD",
             {"DEMO : Démonstration", "DIRECTION : Véhicule de direction",
              "SERVICE : Véhicule de service", "COURTOISIE : Véhicule de courtoisie"}},
            {"StatutVN",
             {"COMMANDE : Commandé", "PRODUCTION : En production", "ARRIVE : Arrivé",
              "LIVRE : Livré", "FACTURE : Facturé", "ANNULE : Annulé"}},
            {"SituationAchat", {"..", "Commandé", "Facturé", "Réglé"}},
            {"CliCivilite", {"M.", "Mme", "Mlle", "Société"}},
            {"CliOrigine",
             {"SHOWROOM : Passage showroom", "TELEPHONE : Appel entrant",
              "INTERNET : Site internet", "SALON : Salon / portes ouvertes",
              "RECOMMANDATION : Recommandation", "ATELIER : Client atelier"}},
            {"CliSituationFamille",
             {"CELIB : Célibataire", "MARIE : Marié(e)", "PACS : Pacsé(e)", "DIVORCE : Divorcé(e)",
              "VEUF : Veuf / veuve"}},
            {"CliPays", {"FRANCE", "BELGIQUE", "SUISSE", "ITALIE", "ESPAGNE", "ALLEMAGNE"}},
            {"TypeVO", {"VO : Véhicule d'occasion", "VN : Véhicule neuf"}},
            {"AbbrFinancement",
             {"CPT : Comptant", "CR : Crédit", "LOA : Location avec option d'achat",
              "LLD : Location longue durée"}},
            {"SatisfVehicle", {"..", "Très satisfait", "Satisfait", "Peu satisfait", "Mécontent"}},
            {"SatisfSAV", {"..", "Très satisfait", "Satisfait", "Peu satisfait", "Mécontent"}},
            {"TypeFrevo", {"interne", "externe", "fixe", "prévision"}},
            {"LibFrevo",
             {"Préparation esthétique", "Lavage complet", "Carrosserie", "Pneumatiques", "Révision",
              "Contrôle technique", "Vidange", "Freinage", "Pare-brise", "Frais de dossier"}},
            {"Fournisseur",
             {"Atelier mécanique", "Carrosserie Delmas", "Euromaster", "Norauto Pro",
              "France Pare-Brise", "Dekra CT", "Speedy Valence"}},
            {"TypeAction",
             {"Appel sortant", "Appel entrant", "Courrier", "E-mail", "Visite showroom",
              "Essai véhicule", "SMS"}},
            {"SujetAction",
             {"Relance devis", "Proposition de reprise", "Fin de financement",
              "Entretien / révision", "Invitation événement", "Satisfaction après livraison",
              "Nouveau modèle"}},
            {"PrioriteRelance", {"Basse", "Normale", "Haute", "Urgente"}},
            {"TVTypeVO", {"Tous types", "VO", "VN", "VD"}},
    };
    return lists;
}

// Code lists of the list boxes: code and shown text.
const std::map<std::string, std::vector<std::pair<std::string, std::string>>> &codeLists()
{
    static const std::map<std::string, std::vector<std::pair<std::string, std::string>>> lists = {
            {"InfoOptions",
             {{"GPS", "Navigation GPS"},
              {"PH", "Pack hiver"},
              {"TO", "Toit ouvrant"},
              {"JA18", "Jantes alliage 18 pouces"},
              {"CAM", "Caméra de recul"},
              {"ATT", "Attelage"},
              {"PEINT", "Peinture métallisée"},
              {"CUIR", "Sellerie cuir"},
              {"ACC", "Régulateur adaptatif"},
              {"HIFI", "Système audio premium"}}},
            {"InfoEquiInterieur",
             {{"CLIM", "Climatisation automatique"},
              {"SIEGCH", "Sièges chauffants"},
              {"VOLCUIR", "Volant cuir"},
              {"ECRAN", "Écran tactile"},
              {"CARPLAY", "Apple CarPlay / Android Auto"},
              {"REGUL", "Régulateur de vitesse"}}},
            {"InfoEquiExterieur",
             {{"JA", "Jantes alliage"},
              {"RETRO", "Rétroviseurs rabattables"},
              {"LED", "Phares LED"},
              {"VITRES", "Vitres surteintées"},
              {"BARRES", "Barres de toit"}}},
            {"InfoEquiSecurite",
             {{"ABS", "ABS"},
              {"ESP", "ESP"},
              {"AIRBAG6", "6 airbags"},
              {"RADAR", "Radar de recul"},
              {"FREINURG", "Freinage d'urgence automatique"},
              {"ANGLEM", "Détecteur d'angle mort"}}},
            {"InfoComplement",
             {{"CARNET", "Carnet d'entretien"},
              {"2CLES", "Double des clés"},
              {"FACT", "Factures d'entretien"},
              {"1MAIN", "Première main"},
              {"NONFUM", "Véhicule non-fumeur"}}},
            {"PATypeVO",
             {{"VN", "Véhicule neuf"},
              {"VO", "Véhicule d'occasion"},
              {"VD", "Véhicule de démonstration"}}},
            {"PASegment",
             {{"CIT", "Citadine"},
              {"COMP", "Compacte"},
              {"BERL", "Berline"},
              {"SUV", "SUV"},
              {"MONO", "Monospace"},
              {"UTIL", "Utilitaire"}}},
            {"PACarrosserie",
             {{"BERLINE", "Berline"},
              {"BREAK", "Break"},
              {"SUV", "SUV"},
              {"COUPE", "Coupé"},
              {"CABRIOLET", "Cabriolet"}}},
            {"PAEnergie",
             {{"ES", "Essence"}, {"GO", "Gazole"}, {"HY", "Hybride"}, {"EL", "Électrique"}}},
    };
    return lists;
}

struct User
{
    int id;
    const char *name, *login, *concession, *sites, *us1;
    std::vector<const char *> groups;
};

const std::vector<User> &users()
{
    static const std::vector<User> all = {
            {kUserAdmin,
             "Alain MERCIER",
             "amercier",
             kConcession,
             "VALENCE;ROMANS;MONTELIMAR",
             "VALENCE",
             {"ADMINS", "VENDEURS"}},
            {kUserSuperAdmin, "Éric TARDOX", "etardox", kConcession, "#", "", {"SUPERADMINS"}},
            {kUserCompta, "Claire FAURE", "cfaure", kConcession, "#", "VALENCE", {"USER_COMPTA"}},
            {kUserClarim,
             "Sophie BLANC",
             "sblanc",
             kConcession,
             "VALENCE",
             "VALENCE",
             {"USER_CLARIM", "VENDEURS"}},
            {kUserGuaranteeSVO,
             "Marc ROUX",
             "mroux",
             kConcession,
             "VALENCE;ROMANS",
             "VALENCE",
             {"SVO"}},
            {kUserGuaranteeRVO,
             "Hélène VIDAL",
             "hvidal",
             kConcession,
             "MONTELIMAR",
             "MONTELIMAR",
             {"RVO"}},
            {kUserSalesperson,
             "Thomas GIRARD",
             "tgirard",
             kConcession,
             "VALENCE",
             "VALENCE",
             {"VENDEURS"}},
            {kUserOtherSite,
             "Nadia BENALI",
             "nbenali",
             kConcession,
             "ROMANS",
             "ROMANS",
             {"VENDEURS"}},
            {kUserOtherCompany,
             "Paul DUMAS",
             "pdumas",
             kOtherConcession,
             "ANNECY;CHAMBERY",
             "ANNECY",
             {"VENDEURS", "ADMINS"}},
    };
    return all;
}

} // namespace

const std::vector<std::string> &parsList(const std::string &type)
{
    const auto it = commonLists().find(type);
    if (it == commonLists().end())
        throw std::runtime_error("no list " + type);
    return it->second;
}

std::string entryCode(const std::string &entry)
{
    const auto at = entry.find(" : ");
    return at == std::string::npos ? entry : entry.substr(0, at);
}

std::vector<std::string> codeList(const std::string &list)
{
    std::vector<std::string> out;
    for (const auto &[code, text] : codeLists().at(list))
        out.push_back(code);
    return out;
}

void seedReference(sqlite3 *db, const std::string &today)
{
    insertValues(db, "tConcessions",
                 {"Concession", "RaisonSociale", "Adresse", "CP", "Ville", "Telephone",
                  "MontantFraisDossier"},
                 {kConcession, "ZOLVARE AUTOMOBILES SAS", "145 AVENUE DE ROMANS", "26000",
                  "VALENCE", "0475412200", 160.0});
    insertValues(db, "tConcessions",
                 {"Concession", "RaisonSociale", "Adresse", "CP", "Ville", "Telephone",
                  "MontantFraisDossier"},
                 {kOtherConcession, "MERIVAL DISTRIBUTION", "12 AVENUE DE GENÈVE", "74000",
                  "ANNECY", "0450335100", 170.0});

    Insert site(db, "InfoSite",
                {"Site", "Concession", "Marques", "MontantFraisDossier", "Adresse", "CP", "Ville",
                 "Telephone"});
    const std::map<std::string, Value> fees
            = {{"VALENCE", 180.0}, {"ROMANS", 150.0}, {"ANNECY", 170.0}};
    int n = 0;
    for (const auto &s : sites()) {
        const auto fee = fees.find(s.site);
        site.run(site.row()
                         .set("Site", s.site)
                         .set("Concession", s.concession)
                         .set("Marques", s.brands)
                         .set("MontantFraisDossier", fee == fees.end() ? Value {} : fee->second)
                         .set("Adresse",
                              std::to_string(10 + 7 * n) + " ROUTE DE LA ZONE COMMERCIALE")
                         .set("CP", s.postCode)
                         .set("Ville", s.town)
                         .set("Telephone", s.phonePrefix + std::to_string(401111 + 1111 * n)));
        ++n;
    }

    Insert com(db, "InfoCom", {"idCom", "cNom", "Site", "Concession", "Email", "Actif"});
    for (const auto &p : salespeople()) {
        const auto blank = p.name.find(' ');
        std::string mail = p.name.substr(0, blank) + "." + p.name.substr(blank + 1);
        for (auto &c : mail)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        com.run(com.row()
                        .set("idCom", p.idCom)
                        .set("cNom", p.name)
                        .set("Site", p.sites)
                        .set("Concession", p.concession)
                        .set("Email",
                             mail + "@"
                                     + (p.concession == kConcession ? "zolvare.fr" : "merival.fr"))
                        .set("Actif", 1));
    }

    Insert user(db, "tUsers", {"idUser", "Name_", "Login", "UserConcession", "UserSite", "US1"});
    Insert group(db, "tUserGroups", {"idUser", "GName"});
    for (const auto &u : users()) {
        user.run(user.row()
                         .set("idUser", u.id)
                         .set("Name_", u.name)
                         .set("Login", u.login)
                         .set("UserConcession", u.concession)
                         .set("UserSite", u.sites)
                         .set("US1", u.us1));
        for (const char *g : u.groups)
            group.run(group.row().set("idUser", u.id).set("GName", g));
    }

    // Option dates: all before today, so the client accepts them; vehicles delivered before
    // the first of January of last year are locked.
    Insert opt(db, "tOptDates",
               {"Concession", "Opt_LimiteDateDeb", "Opt_LimiteDateDebFrevo",
                "Opt_LimiteDateDebClarim", "Opt_LimiteDateVerrouVNVO"});
    for (const char *c : {kConcession, kOtherConcession})
        opt.run(opt.row()
                        .set("Concession", c)
                        .set("Opt_LimiteDateDeb", addMonths(firstOfYear(today), -36))
                        .set("Opt_LimiteDateDebFrevo", addMonths(firstOfYear(today), -24))
                        .set("Opt_LimiteDateDebClarim", addMonths(firstOfYear(today), -60))
                        .set("Opt_LimiteDateVerrouVNVO", addMonths(firstOfYear(today), -12)));

    Insert rubric(db, "ListRubrics", {"RubricType", "RubricIndex", "RubricItem", "RubricText"});
    for (const auto &[type, entries] : commonLists())
        for (size_t i = 0; i < entries.size(); ++i)
            rubric.run(rubric.row()
                               .set("RubricType", type)
                               .set("RubricIndex", static_cast<int>(i + 1))
                               .set("RubricItem", "..")
                               .set("RubricText", entries[i]));
    // Lists of one company: its sites and its salespeople as sellers.
    for (const char *c : {kConcession, kOtherConcession}) {
        int i = 0;
        for (const auto &s : sitesOf(c))
            rubric.run(rubric.row()
                               .set("RubricType", "Site")
                               .set("RubricIndex", ++i)
                               .set("RubricItem", c)
                               .set("RubricText", s.site));
        i = 0;
        for (const auto &p : salespeople())
            if (p.concession == c)
                rubric.run(rubric.row()
                                   .set("RubricType", "Vendeur")
                                   .set("RubricIndex", ++i)
                                   .set("RubricItem", c)
                                   .set("RubricText", p.name));
    }

    Insert model(db, "ListModels", {"VMarque", "VModele"});
    for (const auto &m : usedModels())
        model.run(model.row().set("VMarque", m.brand).set("VModele", m.model));
    Insert version(db, "ListVersions", {"VMarque", "VModele", "VVersion", "VConcession"});
    for (const auto &v : newVersions())
        version.run(version.row()
                            .set("VMarque", v.brand)
                            .set("VModele", v.model)
                            .set("VVersion", v.version)
                            .set("VConcession", v.concession));
    Insert code(db, "ListCodes", {"CodeList", "CodeIndex", "Abbr", "eText"});
    for (const auto &[list, items] : codeLists())
        for (size_t i = 0; i < items.size(); ++i)
            code.run(code.row()
                             .set("CodeList", list)
                             .set("CodeIndex", static_cast<int>(i + 1))
                             .set("Abbr", items[i].first)
                             .set("eText", items[i].second));
}

} // namespace dravik::seed::detail
