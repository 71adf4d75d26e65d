// The record search of every mode, with and without filters and exact search, and the
// duplicate counts: the rows answered are those SQLite finds for the same condition.

#include "InProcessServerFixture.h"

#include <set>

using namespace dravik;
using namespace dravik::test;

namespace {

struct Search
{
    int mode;
    std::string text;
    std::string site; // vehicle modes only
    int typeIndex = 0; // item of "TVTypeVO": 0 all, 1 VO, 2 VN, 3 VD
    bool exact = false;
    std::string firstName; // mode 5
    std::string whereClause; // the launch filter, replacing the condition
    std::string expected; // the same condition in SQLite, for the direct count
};

void replaceAll(std::string &s, const std::string &from, const std::string &to)
{
    for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size())
        s.replace(p, from.size(), to);
}

std::string doubled(std::string s)
{
    replaceAll(s, "'", "''");
    return s;
}

const char *table(int mode)
{
    return mode <= 3 ? "TVehicles" : mode == 4 ? "TVehiclesClarim" : "TClients";
}

const char *column(int mode)
{
    static const char *columns[]
            = {"",       "Immatriculation", "Acheteur", "NVO", "Immatriculation",
               "CliNom", "CliMobile",       "CliTelDom"};
    return columns[mode];
}

std::string order(int mode)
{
    static const char *suffix[] = {"",
                                   ", DateOrdre desc",
                                   ", DateOrdre desc",
                                   ", DateOrdre desc",
                                   ", DateOrdre desc",
                                   ", CliPreNom, idClient desc",
                                   ", idClient desc",
                                   ", idClient desc"};
    return std::string(column(mode)) + suffix[mode];
}

// The statement the client composes for a search.
std::string searchSql(const Search &s)
{
    const std::string t = doubled(s.text);
    std::string c;
    if (s.mode == 3)
        c = !t.empty() && t.find_first_not_of("0123456789") == std::string::npos
                ? "(NVO>=" + t + ")"
                : "(false)";
    else if ((s.mode == 5 || s.mode == 6 || s.mode == 7) && t.empty())
        c = "(false)";
    else
        c = std::string("(") + column(s.mode) + " like '%" + t + "%')";
    if (s.mode == 5 && !t.empty() && !s.firstName.empty())
        c += " and (CliPreNom like '%" + doubled(s.firstName) + "%')";
    if (s.mode <= 3 && !s.site.empty())
        c = "(SITE='" + doubled(s.site) + "') and " + c;
    if (s.mode <= 3 && s.typeIndex > 0)
        c = std::string(s.typeIndex == 1           ? "(TypeVO=1) and "
                                : s.typeIndex == 2 ? "(TypeVO=2) and (isnull(StatutVD)) and "
                                                   : "(TypeVO=2) and (not isnull(StatutVD)) and ")
                + c;
    std::string columns;
    if (s.mode <= 3)
        columns = std::string("TypeVO, idTVO as VO_ID, StatutVD, NVO as VO_NO, Immatriculation AS "
                              "VO_IMMAT, [InfoMarque], [InfoModele], InfoVersion AS VO_VERSION, "
                              "Acheteur AS VO_BUYER, DateOrdre AS VO_ORDRE, ")
                + column(s.mode) + " AS VO_Result, Site as VO_SITE, Concession, idOwner";
    else if (s.mode == 4)
        columns = "TypeVO, idClient as VO_ID, NVO as VO_NO, Immatriculation AS VO_IMMAT, "
                  "[InfoMarque], [InfoModele], InfoVersion AS VO_VERSION, Acheteur AS VO_BUYER, "
                  "DateOrdre AS VO_ORDRE, Immatriculation AS VO_Result, Site as VO_SITE, "
                  "Concession, idOwner";
    else
        columns = "-1 AS TypeVO, idClient AS VO_ID, idClient AS VO_NO, CliMobile, [CliCP], "
                  "[CliVille], [CliAdresse1], [CliAdresse2], [CliNom], [CliPrenom], CliTelDom, "
                  "Site AS VO_SITE, Concession, idOwner";
    if (s.exact) {
        replaceAll(c, "like", "=");
        replaceAll(c, "%", "");
    }
    if (!s.whereClause.empty()) {
        c = " " + s.whereClause;
        for (const char *vo : {"VO.", "vo.", "Vo."})
            replaceAll(c, vo, "");
    }
    for (const char *where : {"WHERE ", "where ", "Where "})
        replaceAll(c, where, "");
    c = std::string("(Concession='") + seed::kConcession + "') and (" + c + ")";
    return "SELECT " + columns + " FROM " + table(s.mode) + " Where " + c + " ORDER BY "
            + order(s.mode);
}

// The ids SQLite finds directly for the condition (a customer owning several vehicles comes
// once per vehicle in mode 4).
std::multiset<std::string> expectedIds(const Search &s)
{
    const std::string id = s.mode <= 3 ? "idTVO" : "idClient";
    const std::string sql = "SELECT " + id + " FROM " + table(s.mode) + " WHERE Concession='"
            + seed::kConcession + "' AND (" + s.expected + ")";
    auto lease = ServerFixture::server->database().acquire();
    server::Statement &stmt = lease->cached(sql);
    std::multiset<std::string> ids;
    while (stmt.next())
        ids.emplace(stmt.text(0));
    stmt.reset();
    return ids;
}

// The searched column's value of an answer row, as the order compares it.
std::string sortKey(const Cursor &row, int mode)
{
    std::string v = xmlGet(row, mode <= 4 ? (mode == 3 ? "VO_NO" : "VO_Result") : column(mode));
    for (char &c : v)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (mode == 3) // numbers, right-aligned
        v = std::string(20 - std::min<size_t>(20, v.size()), ' ') + v;
    return v;
}

} // namespace

class SearchTest : public ServerFixture
{
};

TEST_F(SearchTest, EveryModeFindsWhatSQLiteFinds)
{
    const std::string plate = scalar("SELECT Immatriculation FROM tVehicles WHERE idVO=1");
    const std::string buyer = scalar("SELECT Acheteur FROM tVehicles WHERE Acheteur IS NOT NULL "
                                     "AND Concession='ZOLVARE' LIMIT 1");
    const std::string name = scalar("SELECT CliNom FROM tClients WHERE Concession='ZOLVARE' "
                                    "GROUP BY CliNom HAVING count(*) >= 2 LIMIT 1");
    const std::string first
            = scalar("SELECT CliPrenom FROM tClients WHERE CliNom='" + doubled(name) + "' LIMIT 1");
    const std::string mobile = scalar("SELECT CliMobile FROM tClients WHERE idClient=1");
    ASSERT_FALSE(plate.empty() || buyer.empty() || name.empty() || mobile.empty());
    auto lower = [](std::string s) {
        for (char &c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const Search cases[] = {
            {1, "AB", "", 0, false, "", "", "Immatriculation LIKE '%AB%'"},
            {1, "", "", 0, false, "", "", "1"},
            {1, "A", "VALENCE", 1, false, "", "",
             "Site='VALENCE' AND TypeVO=1 AND Immatriculation LIKE '%A%'"},
            {1, plate, "", 0, true, "", "", "Immatriculation='" + plate + "'"},
            {2, buyer.substr(0, 2), "", 0, false, "", "",
             "Acheteur LIKE '%" + doubled(buyer.substr(0, 2)) + "%'"},
            {2, "", "", 2, false, "", "", "TypeVO=2 AND StatutVD IS NULL AND Acheteur LIKE '%%'"},
            {2, "", "", 3, false, "", "",
             "TypeVO=2 AND StatutVD IS NOT NULL AND Acheteur LIKE '%%'"},
            {3, "120", "", 0, false, "", "", "NVO >= 120"},
            {3, "12a", "", 0, false, "", "", "0"},
            {4, "A", "", 0, false, "", "", "Immatriculation LIKE '%A%'"},
            {5, name.substr(0, 2), "", 0, false, "", "",
             "CliNom LIKE '%" + doubled(name.substr(0, 2)) + "%'"},
            {5, lower(name), "", 0, true, "", "", "CliNom = '" + doubled(name) + "'"},
            {5, name, "", 0, true, first, "",
             "CliNom = '" + doubled(name) + "' AND CliPrenom = '" + doubled(first) + "'"},
            {5, "", "", 0, false, "", "", "0"},
            {6, mobile.substr(0, 4), "", 0, false, "", "",
             "CliMobile LIKE '%" + mobile.substr(0, 4) + "%'"},
            {7, "04", "", 0, false, "", "", "CliTelDom LIKE '%04%'"},
            {1, "zz", "", 0, false, "", "WHERE VO.Site='VALENCE' AND VO.DateLivraison Is Null",
             "Site='VALENCE' AND DateLivraison IS NULL"},
    };
    for (const Search &s : cases) {
        const std::string sql = searchSql(s);
        const std::multiset<std::string> expected = expectedIds(s);
        for (const size_t maxRows : {50u, 100u}) {
            const std::string doc = query(sql, static_cast<int>(maxRows));
            ASSERT_EQ(warning(doc), "") << sql;
            Cursor c(doc);
            const size_t shown = std::min(expected.size(), maxRows);
            EXPECT_EQ(xmlGetAttr(c, "RowCount"), std::to_string(shown)) << sql;
            EXPECT_EQ(xmlGetAttr(c, "EOF"), expected.size() > shown ? "0" : "1") << sql;
            xmlOpen(c, "AXQueryS");
            std::multiset<std::string> ids;
            std::string previous;
            while (xmlNext(c, "AXQuery")) {
                const std::string id = xmlGet(c, "VO_ID");
                ids.insert(id);
                EXPECT_LE(ids.count(id), expected.count(id)) << sql << " answered " << id;
                EXPECT_LE(previous, sortKey(c, s.mode)) << sql;
                previous = sortKey(c, s.mode);
                EXPECT_EQ(xmlGet(c, "Concession"), seed::kConcession);
            }
            EXPECT_EQ(ids.size(), shown) << sql;
        }
    }
    // Dates of the answer are written as the client shows them.
    Cursor c(query(searchSql({1, plate, "", 0, true, "", "", ""}), 50));
    xmlOpen(c, "AXQueryS");
    ASSERT_TRUE(xmlNext(c, "AXQuery"));
    const std::string shown = xmlGet(c, "VO_ORDRE");
    EXPECT_TRUE(shown.empty() || (shown.size() == 10 && shown[2] == '/' && shown[5] == '/'))
            << shown;
}

TEST_F(SearchTest, DuplicateCountsMatchTheCustomersOnFile)
{
    const std::string name = scalar("SELECT CliNom FROM tClients GROUP BY CliNom "
                                    "HAVING count(*) >= 2 LIMIT 1");
    const std::string first
            = scalar("SELECT CliPrenom FROM tClients WHERE CliNom='" + doubled(name) + "' LIMIT 1");
    const std::string mobile
            = scalar("SELECT CliMobile FROM tClients WHERE CliMobile IS NOT NULL LIMIT 1");
    const std::string home
            = scalar("SELECT CliTelDom FROM tClients WHERE CliTelDom IS NOT NULL LIMIT 1");
    const struct
    {
        std::string sql, direct;
    } cases[] = {
            {"select count(idClient) as cpt from tClients group by CliNom having (CliNom='"
                     + doubled(name) + "')",
             "SELECT count(*) FROM tClients WHERE CliNom='" + doubled(name) + "'"},
            {"select count(idClient) as cpt from tClients group by CliNom, CliPrenom having "
             "(CliNom='"
                     + doubled(name) + "') and (CliPreNom='" + doubled(first) + "')",
             "SELECT count(*) FROM tClients WHERE CliNom='" + doubled(name) + "' AND CliPrenom='"
                     + doubled(first) + "'"},
            {"select count(idClient) as cpt from tClients group by CliMobile having (CliMobile='"
                     + mobile + "')",
             "SELECT count(*) FROM tClients WHERE CliMobile='" + mobile + "'"},
            {"select count(idClient) as cpt from tClients group by CliTelDom having (CliTelDom='"
                     + home + "')",
             "SELECT count(*) FROM tClients WHERE CliTelDom='" + home + "'"},
    };
    for (const auto &c : cases) {
        Cursor doc(query(c.sql));
        xmlOpen(doc, "AXQuery");
        EXPECT_EQ(xmlGet(doc, "cpt"), scalar(c.direct)) << c.sql;
    }
    EXPECT_GE(std::atoi(scalar(cases[0].direct).c_str()), 2);
    // No customer of that name: no item, the counter is emptied.
    Cursor none(query("select count(idClient) as cpt from tClients group by CliNom having "
                      "(CliNom='PERSONNE DE CE NOM')"));
    xmlOpen(none, "AXQuery");
    EXPECT_EQ(xmlGet(none, "cpt"), "");
}
