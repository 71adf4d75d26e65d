// Every statement runs confined to the rows of the user's company: reads see only them, writes
// change only them, inserts land in that company; rows without a company column follow their
// owner. Each row of the tables below is a request of a logged-in user and what must hold.

#include "InProcessServerFixture.h"

#include <map>

using namespace dravik;
using namespace dravik::test;

namespace {

const std::string kZolvare = seed::kConcession;
const std::string kMerival = seed::kOtherConcession;

} // namespace

class Confinement : public ServerFixture
{
public:
    static void SetUpTestSuite()
    {
        startServer(true);
        for (const int user :
             {seed::kUserAdmin, seed::kUserCompta, seed::kUserSalesperson, seed::kUserOtherCompany})
            keys[user] = loginKey(user);
        merivalCustomer = scalar("SELECT min(idClient) FROM tClients WHERE Concession = '"
                                 + kMerival + "'");
        merivalCostVehicle = scalar("SELECT min(f.idVO) FROM [tVO - Frevo] f JOIN tVehicles v "
                                    "ON v.idVO = f.idVO WHERE v.Concession = '"
                                    + kMerival + "'");
        ownPlainCost = scalar("SELECT min(idFrevo) FROM [tVO - Frevo] WHERE idVO = "
                              + std::to_string(seed::kDemoVO) + " AND NComptable IS NULL");
    }

    static std::string loginKey(int user)
    {
        const std::string login
                = scalar("SELECT Login FROM tUsers WHERE idUser = " + std::to_string(user));
        httplib::Client http("127.0.0.1", port);
        const auto res
                = http.Post("/AxLogin", httplib::Params {{"Login", login}, {"Password", "dravik"}});
        Cursor c(res ? res->body : std::string());
        xmlOpen(c, "Session");
        return xmlGet(c, "SessionKey");
    }
    // A GET of the user, with the session key in its header.
    static std::string as(int user, const std::string &endpoint, const Params &params)
    {
        std::string target = "/" + endpoint + "?XMLC_OutputFormat=XML";
        for (const auto &[name, value] : params)
            target += "&" + name + "=" + clientEncode(value);
        httplib::Client http("127.0.0.1", port);
        const auto res = http.Get(target.c_str(), {{"X-Dravik-Session", keys[user]}});
        return res ? res->body : std::string();
    }
    // The one value of a one-row query, or the warning when refused.
    static std::string value(int user, const std::string &sql)
    {
        const std::string doc = as(user, "AxQuery", {{"SQL", sql}});
        if (!warning(doc).empty())
            return warning(doc);
        Cursor c(doc);
        xmlOpen(c, "AXQueryS");
        return xmlNext(c, "AXQuery") ? xmlGet(c, "n") : std::string("(no row)");
    }
    static std::string rowsAffected(const std::string &doc)
    {
        Cursor c(doc);
        xmlOpen(c, "OutParams");
        return xmlGet(c, "RowsAffected");
    }
    static std::string countOf(const std::string &sql) { return std::to_string(count(sql)); }

    static inline std::map<int, std::string> keys;
    static inline std::string merivalCustomer, merivalCostVehicle, ownPlainCost;
};

TEST_F(Confinement, ReadsSeeOnlyTheRowsOfTheUsersCompany)
{
    const std::string zolvare = "Concession = '" + kZolvare + "'";
    const std::string merival = "Concession = '" + kMerival + "'";
    const std::string other = std::to_string(seed::kOtherCompanyVO);
    const std::string otherPlate
            = scalar("SELECT Immatriculation FROM tVehicles WHERE idVO = " + other);
    const std::string merivalName
            = scalar("SELECT CliNom FROM tClients WHERE idClient = " + merivalCustomer);
    const struct
    {
        int user;
        std::string sql, expected;
    } cases[] = {
            {seed::kUserAdmin, "Select count(*) As n From tVehicles",
             countOf("SELECT count(*) FROM tVehicles WHERE " + zolvare)},
            {seed::kUserOtherCompany, "Select count(*) As n From tVehicles",
             countOf("SELECT count(*) FROM tVehicles WHERE " + merival)},
            {seed::kUserAdmin, "Select count(*) As n From tVehicles Where " + merival, "0"},
            {seed::kUserAdmin, "Select Immatriculation As n From tVehicles Where idVO = " + other,
             "(no row)"},
            {seed::kUserOtherCompany, "Select idVO As n From tVehicles Where idVO = " + other,
             other},
            {seed::kUserAdmin, "Select count(*) As n From tClients Where " + merival, "0"},
            {seed::kUserAdmin, "Select count(*) As n From [tVO - Frevo]",
             countOf("SELECT count(*) FROM [tVO - Frevo] f JOIN tVehicles v ON v.idVO = f.idVO "
                     "WHERE v."
                     + zolvare)},
            {seed::kUserAdmin,
             "Select count(*) As n From [tVO - Frevo] Where idVO = " + merivalCostVehicle, "0"},
            {seed::kUserAdmin, "Select count(*) As n From tActions",
             countOf("SELECT count(*) FROM tActions a JOIN tClients c ON c.idClient = a.idClient "
                     "WHERE c."
                     + zolvare)},
            {seed::kUserAdmin,
             "Select count(*) As n From TVehiclesClarim Where idClient = " + merivalCustomer, "0"},
            {seed::kUserAdmin,
             "Select count(*) As n From [tVO - Liens Images] Where idVO = " + other, "0"},
            {seed::kUserAdmin, "Select count(*) As n From tResa Where idVO = " + other, "0"},
            // Joins and sub-queries are confined too.
            {seed::kUserAdmin,
             "Select count(*) As n From tVehicles v Left Join [tVO - Frevo] f On f.idVO = v.idVO "
             "Where v.idVO = "
                     + merivalCostVehicle,
             "0"},
            {seed::kUserAdmin, "Select (Select count(*) From tVehicles Where " + merival + ") As n",
             "0"},
            {seed::kUserAdmin,
             "Select count(*) As n From tClients Where idClient In (Select idClient From "
             "tActions Where idClient = "
                     + merivalCustomer + ")",
             "0"},
            // A search by "like" finds only the company's rows, whichever index answers it.
            {seed::kUserAdmin,
             "Select count(*) As n From tVehicles Where Immatriculation like '%" + otherPlate
                     + "%'",
             "0"},
            {seed::kUserOtherCompany,
             "Select idVO As n From tVehicles Where Immatriculation like '%" + otherPlate + "%'",
             other},
            {seed::kUserAdmin,
             "Select count(*) As n From tClients Where CliNom like '" + merivalName + "'",
             countOf("SELECT count(*) FROM tClients WHERE CliNom = '" + merivalName + "' AND "
                     + zolvare)},
            // Nor can a client write the match operator of the server's "like" itself.
            {seed::kUserAdmin, "Select count(*) As n From tClients Where 'x' ~~@ CliNom",
             latin1Of("Caractère non accepté dans l'instruction SQL : @ - ")},
            // The stored tables cannot be named past the confinement.
            {seed::kUserAdmin, "Select count(*) As n From main.tVehicles",
             latin1Of("Nom de base refusé dans l'instruction SQL : main - ")},
            {seed::kUserAdmin, "Select count(*) As n From [main].tClients",
             latin1Of("Nom de base refusé dans l'instruction SQL : [main] - ")},
            {seed::kUserAdmin, "Select count(*) As n From temp.tVehicles",
             latin1Of("Nom de base refusé dans l'instruction SQL : temp - ")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(value(c.user, c.sql), c.expected) << c.user << ": " << c.sql;
}

TEST_F(Confinement, WritesToAnotherCompanysRowsChangeNothing)
{
    const std::string other = std::to_string(seed::kOtherCompanyVO);
    const std::string own = std::to_string(seed::kDemoVO);
    const std::string refusedInsert
            = latin1Of("Refusé : tVehicles : une ligne ne peut être créée que dans la concession "
                       "de l'utilisateur - ");
    const std::string refusedCostOwner
            = latin1Of("Refusé : tVO - Frevo : la ligne doit appartenir à un véhicule de la "
                       "concession de l'utilisateur - ");
    const struct
    {
        std::string endpoint, sql;
        std::string warning; // empty: answered, with `rows` affected
        std::string rows;
    } cases[] = {
            {"AxUpdate", "Update tVehicles Set Commentaires = 'x' Where idVO = " + other, "", "0"},
            {"AxUpdate",
             "Update tVehicles Set Commentaires = 'x' Where Concession = '" + kMerival + "'", "",
             "0"},
            {"AxUpdate", "Delete * From tVehicles Where idVO = " + other, "", "0"},
            {"AxUpdate", "Delete From tClients Where idClient = " + merivalCustomer, "", "0"},
            {"AxUpdate", "Update tClients Set CliNom = 'x' Where idClient = " + merivalCustomer, "",
             "0"},
            {"AxUpdate", "Delete From [tVO - Frevo] Where idVO = " + merivalCostVehicle, "", "0"},
            {"AxUpdate",
             "Update [tVO - Frevo] Set MontantHT = 1 Where idVO = " + merivalCostVehicle, "", "0"},
            {"AxUpdate", "Delete From tActions Where idClient = " + merivalCustomer, "", "0"},
            {"AxUpdate", "Update TVehiclesClarim Set KMS = 1 Where idClient = " + merivalCustomer,
             "", "0"},
            {"AxUpdate", "Delete From tResa Where idVO = " + other, "", "0"},
            {"AxInsert",
             "Insert Into tVehicles (idTVO, idVO, Concession) Values (:NewID, :NewIDbis, '"
                     + kMerival + "')",
             refusedInsert, ""},
            {"AxInsert", "Insert Into tVehicles (idTVO, idVO) Values (:NewID, :NewIDbis)",
             refusedInsert, ""},
            {"AxUpdate", "Update tVehicles Set Concession = '" + kMerival + "' Where idVO = " + own,
             latin1Of("Refusé : tVehicles : une ligne ne peut pas passer dans une autre "
                      "concession - "),
             ""},
            {"AxInsert",
             "Insert Into [tVO - Frevo] (idFrevo, idVO, LibelleFrevo) Values (:NewID, " + other
                     + ", 'x')",
             refusedCostOwner, ""},
            {"AxUpdate",
             "Update [tVO - Frevo] Set idVO = " + other + " Where idFrevo = " + ownPlainCost,
             refusedCostOwner, ""},
            {"AxInsert",
             "Insert Into tActions (idAction, idClient) Values (:NewID, " + merivalCustomer + ")",
             latin1Of("Refusé : tActions : la ligne doit appartenir à un client de la "
                      "concession de l'utilisateur - "),
             ""},
            {"AxUpdate",
             "Update tVehicles Set Commentaires = (Select Immatriculation From "
             "main.tVehicles Where idVO = "
                     + other + ") Where idVO = " + own,
             latin1Of("Nom de base refusé dans l'instruction SQL : main - "), ""},
    };
    ASSERT_FALSE(merivalCustomer.empty());
    ASSERT_FALSE(merivalCostVehicle.empty());
    ASSERT_FALSE(ownPlainCost.empty());
    for (const auto &c : cases) {
        const std::string before = dump();
        const std::string doc = as(seed::kUserAdmin, c.endpoint, {{"SQLExecute", c.sql}});
        EXPECT_EQ(warning(doc), c.warning) << c.sql;
        if (c.warning.empty())
            EXPECT_EQ(rowsAffected(doc), c.rows) << c.sql;
        EXPECT_EQ(dump(), before) << c.sql;
    }
}

TEST_F(Confinement, WritesChangeTheUsersOwnRowsOnly)
{
    const std::string zolvare = "Concession = '" + kZolvare + "'";
    // A statement over the whole table (but the locked vehicles) changes the company's rows
    // alone.
    const std::string before = countOf("SELECT count(*) FROM tVehicles WHERE DateLivraison IS "
                                       "NULL AND "
                                       + zolvare);
    EXPECT_EQ(rowsAffected(as(seed::kUserAdmin, "AxUpdate",
                              {{"SQLExecute",
                                "Update tVehicles Set KMS = KMS Where DateLivraison Is Null"}})),
              before);
    // A new record lands in the company with an id above every company's; its owner, as the
    // client writes it, may delete it though it has no site yet.
    const int next = count("SELECT max(idTVO) + 1 FROM tVehicles");
    const std::string doc
            = as(seed::kUserAdmin, "AxInsert",
                 {{"SQLExecute",
                   "Insert Into tVehicles (idTVO, idVO, idOwner, Concession) Values "
                   "(:NewID, :NewIDbis, "
                           + std::to_string(seed::kUserAdmin) + ", '" + kZolvare + "')"}});
    EXPECT_EQ(warning(doc), "");
    EXPECT_EQ(newId(doc), std::to_string(next));
    EXPECT_EQ(scalar("SELECT Concession FROM tVehicles WHERE idVO = " + std::to_string(next)),
              kZolvare);
    EXPECT_EQ(rowsAffected(as(seed::kUserAdmin, "AxUpdate",
                              {{"SQLExecute",
                                "Delete From tVehicles Where idVO = " + std::to_string(next)}})),
              "1");
}

TEST_F(Confinement, RecordDocumentsOfAnotherCompanyAnswerNothingOfIt)
{
    const std::string vehicle = std::to_string(seed::kOtherCompanyVO);
    const struct
    {
        int user;
        std::string endpoint, idName, id, warning;
    } cases[] = {
            {seed::kUserAdmin, "AxInfoVO", "idTVO", vehicle,
             latin1Of("Véhicule introuvable : " + vehicle + " - ")},
            {seed::kUserOtherCompany, "AxInfoVO", "idTVO", vehicle, ""},
            {seed::kUserAdmin, "AxInfoCL", "idClient", merivalCustomer,
             latin1Of("Client introuvable : " + merivalCustomer + " - ")},
            {seed::kUserOtherCompany, "AxInfoCL", "idClient", merivalCustomer, ""},
            {seed::kUserAdmin, "AxInfoVO", "idTVO", std::to_string(seed::kDemoVO), ""},
    };
    for (const auto &c : cases) {
        const std::string doc = as(c.user, c.endpoint, {{c.idName, c.id}});
        EXPECT_EQ(warning(doc), c.warning) << c.user << " " << c.endpoint << " " << c.id;
        if (!c.warning.empty()) {
            // Nothing of the record leaks into the refusal.
            const std::string plate
                    = scalar("SELECT Immatriculation FROM tVehicles WHERE idVO = " + vehicle);
            EXPECT_EQ(doc.find(plate), std::string::npos) << c.endpoint;
        }
    }
}

TEST_F(Confinement, TheLocksOfTheClientHoldOnTheServer)
{
    const std::string locked = std::to_string(seed::kLockedVO);
    const std::string lockedCost = std::to_string(seed::kDemoCostWithAccountNo);
    const std::string otherSite = std::to_string(seed::kOtherSiteVO);
    const auto refusedOtherSite = [](const std::string &table) {
        return latin1Of("Refusé : " + table
                        + " : un véhicule d'un site que l'utilisateur n'atteint pas ne peut être "
                          "modifié que par son propriétaire - ");
    };
    const std::string refusedLockedVehicle
            = latin1Of("Refusé : tVehicles : un véhicule livré avant la date de verrouillage ne "
                       "peut plus être modifié - ");
    const std::string refusedLockedCost
            = latin1Of("Refusé : tVO - Frevo : un frais portant un numéro comptable ne peut être "
                       "modifié ou supprimé que par la comptabilité - ");
    const struct
    {
        int user;
        std::string sql;
        std::string warning; // empty: answered, with `rows` affected
        std::string rows;
    } cases[] = {
            {seed::kUserAdmin, "Update tVehicles Set Commentaires = 'x' Where idVO = " + locked,
             refusedLockedVehicle, ""},
            {seed::kUserAdmin, "Delete * From [tVehicles] Where idVO = " + locked,
             refusedLockedVehicle, ""},
            {seed::kUserSalesperson,
             "Delete * From [tVehicles] Where idVO = " + std::to_string(seed::kDemoVD),
             latin1Of("Refusé : tVehicles : seuls les administrateurs peuvent supprimer un "
                      "véhicule - "),
             ""},
            {seed::kUserAdmin,
             "Update [tVO - Frevo] Set MontantHT = 1 Where idFrevo = " + lockedCost,
             refusedLockedCost, ""},
            {seed::kUserAdmin, "Delete From [tVO - Frevo] Where idFrevo = " + lockedCost,
             refusedLockedCost, ""},
            {seed::kUserAdmin,
             "Delete * From [tVO - Frevo] Where idVO = " + std::to_string(seed::kDemoVO),
             refusedLockedCost, ""},
            // A vehicle of a site the user does not reach, nor its costs.
            {seed::kUserSalesperson,
             "Update tVehicles Set Commentaires = 'x' Where idVO = " + otherSite,
             refusedOtherSite("tVehicles"), ""},
            {seed::kUserSalesperson,
             "Insert into [tVO - Frevo] (LibelleFrevo, idVO) Values ('x', " + otherSite + ")",
             refusedOtherSite("tVO - Frevo"), ""},
            {seed::kUserAdmin,
             "Update tVehicles Set Commentaires = Commentaires Where idVO = " + otherSite, "", "1"},
            // Accounting changes its rows; anyone changes a cost without a number.
            {seed::kUserCompta,
             "Update [tVO - Frevo] Set MontantHT = MontantHT Where idFrevo = " + lockedCost, "",
             "1"},
            {seed::kUserAdmin,
             "Update [tVO - Frevo] Set MontantHT = MontantHT Where idFrevo = " + ownPlainCost, "",
             "1"},
    };
    for (const auto &c : cases) {
        const std::string before = dump();
        const std::string doc = as(c.user, "AxUpdate", {{"SQLExecute", c.sql}});
        EXPECT_EQ(warning(doc), c.warning) << c.user << ": " << c.sql;
        if (c.warning.empty())
            EXPECT_EQ(rowsAffected(doc), c.rows) << c.sql;
        EXPECT_EQ(dump(), before) << c.sql;
    }
}

TEST_F(Confinement, SitesSalespeopleUsersAndListsAreTheCompanysOwn)
{
    const std::string merival = "'" + kMerival + "'";
    const auto own = [](const std::string &table, const std::string &column) {
        return countOf("SELECT count(*) FROM " + table + " WHERE " + column + " = '" + kZolvare
                       + "'");
    };
    const struct
    {
        std::string sql, expected;
    } reads[] = {
            {"Select count(*) As n From InfoSite", own("InfoSite", "Concession")},
            {"Select count(*) As n From InfoCom", own("InfoCom", "Concession")},
            {"Select count(*) As n From tOptDates", "1"},
            {"Select count(*) As n From tUsers", own("tUsers", "UserConcession")},
            {"Select Name_ As n From tUsers Where idUser = "
                     + std::to_string(seed::kUserOtherCompany),
             "(no row)"},
            {"Select count(*) As n From tUserGroups Where idUser = "
                     + std::to_string(seed::kUserOtherCompany),
             "0"},
            {"Select count(*) As n From ListVersions", own("ListVersions", "VConcession")},
            {"Select count(*) As n From ListRubrics",
             countOf("SELECT count(*) FROM ListRubrics WHERE RubricItem IN ('..', '" + kZolvare
                     + "')")},
            // The password hashes are never readable.
            {"Select count(*) As n From tPasswords",
             latin1Of("Lecture refusée de la table tPasswords - ")},
    };
    for (const auto &c : reads)
        EXPECT_EQ(value(seed::kUserAdmin, c.sql), c.expected) << c.sql;

    const std::string refusedVersion = latin1Of(
            "Refusé : ListVersions : une ligne ne peut être créée que dans la concession de "
            "l'utilisateur - ");
    const struct
    {
        std::string sql;
        std::string warning; // empty: answered, with `rows` affected
        std::string rows;
    } writes[] = {
            {"Delete * From ListVersions Where VConcession = " + merival, "", "0"},
            {"Update ListVersions Set VVersion = 'x' Where VConcession = " + merival, "", "0"},
            {"Delete * From ListRubrics Where RubricItem = " + merival, "", "0"},
            {"Insert into ListVersions (VMarque, VModele, VVersion, VConcession) Values ('VW', "
             "'GOLF', 'X', "
                     + merival + ")",
             refusedVersion, ""},
            {"Insert into ListRubrics (RubricType, RubricIndex, RubricItem, RubricText) Values "
             "('Couleur', 0, "
                     + merival + ", 'ROSE')",
             latin1Of("Refusé : ListRubrics : une ligne ne peut être créée que dans la "
                      "concession de l'utilisateur - "),
             ""},
    };
    for (const auto &c : writes) {
        const std::string before = dump();
        const std::string doc = as(seed::kUserAdmin, "AxUpdate", {{"SQLExecute", c.sql}});
        EXPECT_EQ(warning(doc), c.warning) << c.sql;
        if (c.warning.empty()) {
            EXPECT_EQ(rowsAffected(doc), c.rows) << c.sql;
        }
        EXPECT_EQ(dump(), before) << c.sql;
    }
    // A list entry of every company, as list maintenance adds it, is still added and removed.
    const std::string added = as(seed::kUserAdmin, "AxUpdate",
                                 {{"SQLExecute",
                                   "Insert into ListRubrics (RubricType, "
                                   "RubricIndex, RubricItem, RubricText) Values "
                                   "('Couleur', 0, '..' ,'MAUVE')"}});
    EXPECT_EQ(warning(added), "");
    EXPECT_EQ(count("SELECT count(*) FROM ListRubrics WHERE RubricText = 'MAUVE'"), 1);
    EXPECT_EQ(rowsAffected(as(seed::kUserOtherCompany, "AxUpdate",
                              {{"SQLExecute",
                                "Delete * From ListRubrics where "
                                "RubricType='Couleur' and RubricText='MAUVE'"}})),
              "1");
}
