// The demo and large seeds on fresh in-memory databases.

#include "seed/Seed.h"
#include "common/FormLayout.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace dravik;

namespace {

constexpr const char *kToday = "2025-03-15";

class Db
{
public:
    Db()
    {
        EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        exec("PRAGMA foreign_keys = ON");
    }
    ~Db() { sqlite3_close(m_db); }
    sqlite3 *get() const { return m_db; }

    void exec(const std::string &sql) const
    {
        ASSERT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
                << sql << ": " << sqlite3_errmsg(m_db);
    }
    // Rows of a query, each as its columns' texts ("" for NULL).
    std::vector<std::vector<std::string>> rows(const std::string &sql) const
    {
        std::vector<std::vector<std::string>> out;
        sqlite3_stmt *stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
                << sql << ": " << sqlite3_errmsg(m_db);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto *t = sqlite3_column_text(stmt, i);
                row.emplace_back(t ? reinterpret_cast<const char *>(t) : "");
            }
            out.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        return out;
    }
    std::string value(const std::string &sql) const
    {
        const auto r = rows(sql);
        return r.empty() || r[0].empty() ? std::string() : r[0][0];
    }
    long long count(const std::string &sql) const { return std::stoll("0" + value(sql)); }

private:
    sqlite3 *m_db = nullptr;
};

// Width and height of a baseline JPEG from its SOF0 marker; {0, 0} when it is no JPEG.
std::pair<int, int> jpegSize(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto byte = [&](size_t i) {
        return static_cast<unsigned char>(data[i]);
    };
    if (data.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return {0, 0};
    for (size_t i = 2; i + 8 < data.size(); ++i)
        if (byte(i) == 0xFF && byte(i + 1) == 0xC0)
            return {byte(i + 7) * 256 + byte(i + 8), byte(i + 5) * 256 + byte(i + 6)};
    return {0, 0};
}

class DemoSeed : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_photos = fs::temp_directory_path() / ("dravik-seed-test-" + std::to_string(::getpid()));
        s_db = new Db;
        seed::seedDemo(s_db->get(), s_photos.string(), kToday);
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        fs::remove_all(s_photos);
    }
    const Db &db() const { return *s_db; }

    static Db *s_db;
    static fs::path s_photos;
};
Db *DemoSeed::s_db = nullptr;
fs::path DemoSeed::s_photos;

TEST_F(DemoSeed, HasSomeHundredsOfRecordsOfEveryKind)
{
    EXPECT_EQ(db().count("SELECT count(*) FROM tVehicles"), seed::kDemoVehicles);
    EXPECT_EQ(db().count("SELECT count(*) FROM tClients"), seed::kDemoCustomers);
    for (const char *kind :
         {"TypeVO = 1", "TypeVO = 2 AND StatutVD IS NULL", "TypeVO = 2 AND StatutVD IS NOT NULL"})
        EXPECT_GE(db().count(std::string("SELECT count(*) FROM tVehicles WHERE ") + kind), 30)
                << kind;
    for (const char *table :
         {"\"tVO - Frevo\"", "\"tVO - Liens Images\"", "tResa", "tActions", "TVehiclesClarim"})
        EXPECT_GE(db().count(std::string("SELECT count(*) FROM ") + table), 5) << table;
}

TEST_F(DemoSeed, UsersCoverEveryRight)
{
    // Group tokens as the client forms them: upper case, without "USER_".
    std::map<int, std::set<std::string>> groups;
    for (const auto &r :
         db().rows("SELECT idUser, upper(replace(upper(GName), 'USER_', '')) FROM tUserGroups"))
        groups[std::stoi(r[0])].insert(r[1]);
    struct Case
    {
        int user;
        const char *group;
    };
    for (const Case c :
         {Case {seed::kUserAdmin, "ADMINS"}, Case {seed::kUserSuperAdmin, "SUPERADMINS"},
          Case {seed::kUserCompta, "COMPTA"}, Case {seed::kUserClarim, "CLARIM"},
          Case {seed::kUserGuaranteeSVO, "SVO"}, Case {seed::kUserGuaranteeRVO, "RVO"},
          Case {seed::kUserSalesperson, "VENDEURS"}, Case {seed::kUserOtherSite, "VENDEURS"}})
        EXPECT_TRUE(groups[c.user].count(c.group)) << c.user << " " << c.group;
    // The plain salesperson holds no right of its own.
    EXPECT_EQ(groups[seed::kUserSalesperson], std::set<std::string> {"VENDEURS"});

    const auto user = [&](int id, const char *column) {
        return db().value("SELECT " + std::string(column)
                          + " FROM tUsers WHERE idUser = " + std::to_string(id));
    };
    EXPECT_NE(user(seed::kUserSuperAdmin, "Name_").find("TARDOX"), std::string::npos);
    EXPECT_EQ(user(seed::kUserSuperAdmin, "UserSite"), "#");
    EXPECT_EQ(user(seed::kUserSalesperson, "UserSite"), "VALENCE");
    EXPECT_EQ(user(seed::kUserOtherSite, "UserSite").find("VALENCE"), std::string::npos);
    EXPECT_EQ(user(seed::kUserOtherCompany, "UserConcession"), seed::kOtherConcession);
    EXPECT_EQ(db().count("SELECT count(*) FROM tUsers WHERE Name_ LIKE '%TARDOX%' AND idUser <> "
                         + std::to_string(seed::kUserSuperAdmin)),
              0);
}

// The list a described combo box or list box draws from, named as the client names it.
std::string listOf(const LayoutRow &row)
{
    const std::string field = row.vInfo.substr(0, row.vInfo.find(';'));
    const auto semicolon = row.fieldInfo.find(';');
    std::string name = semicolon == std::string::npos ? field : row.fieldInfo.substr(semicolon + 1);
    if (row.tInfo == "3" && row.tControl == "111")
        name = "Boolean";
    return name;
}

TEST_F(DemoSeed, EveryListOfTheFormExists)
{
    const std::string concession = seed::kConcession;
    const auto parsCount = [&](const std::string &type) {
        return db().count("SELECT count(*) FROM ListRubrics WHERE RubricType = '" + type
                          + "' AND RubricItem IN ('..', '" + concession + "')");
    };
    int checked = 0;
    for (const auto &row : formLayout()) {
        if (row.desc.empty() || row.desc[0] == 'g')
            continue;
        const std::string list = listOf(row);
        if (row.tControl == "110") {
            const bool models = list == "PAChoix1" || list == "PAChoix2";
            EXPECT_GT(models ? db().count("SELECT count(*) FROM ListVersions")
                             : db().count("SELECT count(*) FROM ListCodes WHERE CodeList = '" + list
                                          + "'"),
                      0)
                    << row.name << " draws from " << list;
            ++checked;
        } else if (row.tControl == "111" || row.tControl == "112") {
            if (list == "InfoMarque" || list == "InfoModele")
                EXPECT_GT(db().count("SELECT count(*) FROM ListModels"), 0);
            else if (list == "InfoTypeVersion")
                EXPECT_GT(db().count("SELECT count(*) FROM ListVersions WHERE VConcession = '"
                                     + concession + "'"),
                          0);
            else if (list == "idCom")
                EXPECT_EQ(db().count("SELECT count(*) FROM InfoSite s WHERE NOT EXISTS (SELECT 1 "
                                     "FROM InfoCom c "
                                     "WHERE instr(upper(c.Site), upper(s.Site)) > 0)"),
                          0)
                        << "a site without salespeople";
            else
                EXPECT_GT(parsCount(list), 0) << row.name << " draws from " << list;
            ++checked;
        }
    }
    EXPECT_GT(checked, 80);
    // Lists of the grids, the search panel and the settlement delays.
    for (const char *list : {"TypeFrevo", "LibFrevo", "Fournisseur", "TypeAction", "SujetAction",
                             "PrioriteRelance", "TVTypeVO", "Site", "TypeFinancementDelai"})
        EXPECT_GT(parsCount(list), 0) << list;
    EXPECT_EQ(db().value("SELECT RubricText FROM ListRubrics WHERE RubricType = 'Destination' "
                         "ORDER BY RubricIndex LIMIT 1"),
              "..");
    EXPECT_EQ(db().value("SELECT RubricText FROM ListRubrics WHERE RubricType = 'TVTypeVO' ORDER "
                         "BY RubricIndex"),
              "Tous types");
}

TEST_F(DemoSeed, IsReferentiallyConsistent)
{
    EXPECT_TRUE(db().rows("PRAGMA foreign_key_check").empty());
    struct Orphans
    {
        const char *what, *sql;
    };
    for (const Orphans &o : std::vector<Orphans> {
                 {"vehicle site of another company",
                  "SELECT count(*) FROM tVehicles v LEFT JOIN InfoSite s ON s.Site = v.Site "
                  "WHERE s.Concession IS NOT v.Concession"},
                 {"customer site of another company",
                  "SELECT count(*) FROM tClients c LEFT JOIN InfoSite s ON s.Site = c.Site "
                  "WHERE s.Concession IS NOT c.Concession"},
                 {"customer salesperson not of its site",
                  "SELECT count(*) FROM tClients c LEFT JOIN InfoCom p ON p.idCom = c.idCom "
                  "WHERE p.idCom IS NULL OR instr(p.Site, c.Site) = 0"},
                 {"action salesperson",
                  "SELECT count(*) FROM tActions a LEFT JOIN InfoCom p ON p.idCom = a.idCom "
                  "WHERE p.idCom IS NULL"},
                 {"owner",
                  "SELECT count(*) FROM tVehicles v LEFT JOIN tUsers u ON u.idUser = v.idOwner "
                  "WHERE u.idUser IS NULL"},
                 {"ids", "SELECT count(*) FROM tVehicles WHERE idVO IS NOT idTVO"},
                 {"demonstration kind",
                  "SELECT count(*) FROM tVehicles WHERE StatutVD IS NOT NULL AND TypeVO <> 2"},
                 {"default photo not linked",
                  "SELECT count(*) FROM tVehicles v WHERE NomImage IS NOT NULL AND NOT EXISTS "
                  "(SELECT 1 FROM "
                  "\"tVO - Liens Images\" l WHERE l.idVO = v.idVO AND l.NomImage = v.NomImage)"},
                 {"cost total",
                  "SELECT count(*) FROM tVehicles v WHERE abs(ifnull(Frevo, 0) - (SELECT "
                  "ifnull(sum(MontantHT), 0) "
                  "FROM \"tVO - Frevo\" f WHERE f.idVO = v.idVO)) > 0.005"},
                 {"reservation of a sold vehicle",
                  "SELECT count(*) FROM tResa r JOIN tVehicles v ON v.idVO = r.idVO WHERE "
                  "v.DateLivraison IS NOT NULL"}})
        EXPECT_EQ(db().count(o.sql), 0) << o.what;
}

TEST_F(DemoSeed, PhotosExistInBothSizes)
{
    const auto links = db().rows("SELECT NomImage, idVO, DateImage FROM \"tVO - Liens Images\"");
    ASSERT_GE(links.size(), 10u);
    for (const auto &l : links) {
        EXPECT_EQ(jpegSize(s_photos / (l[0] + ".jpg")), std::make_pair(640, 480)) << l[0];
        EXPECT_EQ(jpegSize(s_photos / (l[0] + "m.jpg")), std::make_pair(120, 90)) << l[0];
        // Named as the client names uploads: company letter, id on 7 digits, photo number.
        std::string id = l[1];
        id.insert(0, 7 - id.size(), '0');
        EXPECT_EQ(l[0].substr(0, 9), std::string(l[0].substr(0, 1)) + id + "-");
        EXPECT_EQ(l[2].size(), 19u) << "yyyy-mm-dd hh:mm:ss";
    }
}

TEST_F(DemoSeed, DemoRecordsAreWhatTheConstantsSay)
{
    const auto vehicle = [&](int id, const std::string &column) {
        return db().value("SELECT " + column
                          + " FROM tVehicles WHERE idVO = " + std::to_string(id));
    };
    EXPECT_EQ(vehicle(seed::kDemoVO, "TypeVO || Site || Concession"), "1VALENCEZOLVARE");
    EXPECT_EQ(vehicle(seed::kDemoVO, "DateLivraison"), "");
    EXPECT_EQ(
            db().count("SELECT count(*) FROM tResa WHERE idVO = " + std::to_string(seed::kDemoVO)),
            1);
    EXPECT_EQ(db().count("SELECT count(*) FROM \"tVO - Liens Images\" WHERE idVO = "
                         + std::to_string(seed::kDemoVO)),
              3);
    EXPECT_NE(db().value("SELECT NComptable FROM \"tVO - Frevo\" WHERE idFrevo = "
                         + std::to_string(seed::kDemoCostWithAccountNo)
                         + " AND idVO = " + std::to_string(seed::kDemoVO)),
              "");
    EXPECT_NE(db().value("SELECT NFacture FROM \"tVO - Frevo\" WHERE idFrevo = "
                         + std::to_string(seed::kDemoCostWithInvoiceNo)
                         + " AND idVO = " + std::to_string(seed::kDemoVO)),
              "");
    EXPECT_EQ(vehicle(seed::kDemoVD, "TypeVO"), "2");
    EXPECT_NE(vehicle(seed::kDemoVD, "StatutVD"), "");
    EXPECT_NE(vehicle(seed::kDemoVD, "InfoOptions"), "");
    EXPECT_EQ(vehicle(seed::kDemoVN, "TypeVO || ifnull(StatutVD, '-')"), "2-");
    EXPECT_NE(vehicle(seed::kDemoVN, "DateAchat"), "");
    EXPECT_EQ(vehicle(seed::kOtherSiteVO, "Site"), "ROMANS");
    EXPECT_EQ(vehicle(seed::kOtherCompanyVO, "Concession"), seed::kOtherConcession);
    // Locked: delivered before the company's lock date.
    EXPECT_EQ(db().count("SELECT count(*) FROM tVehicles v JOIN tOptDates o ON o.Concession = "
                         "v.Concession "
                         "WHERE v.idVO = "
                         + std::to_string(seed::kLockedVO)
                         + " AND v.DateLivraison < o.Opt_LimiteDateVerrouVNVO"),
              1);
    const std::string customer = std::to_string(seed::kDemoCustomer);
    EXPECT_GE(db().count("SELECT count(*) FROM tActions WHERE idClient = " + customer), 2);
    EXPECT_GE(db().count("SELECT count(*) FROM TVehiclesClarim WHERE idClient = " + customer), 2);
    EXPECT_EQ(db().value("SELECT Site FROM tClients WHERE idClient = "
                         + std::to_string(seed::kOtherSiteCustomer)),
              "ROMANS");
    // Something for the sweep and for the duplicate counters.
    EXPECT_GE(db().count("SELECT count(*) FROM tVehicles WHERE TypeVO = 2 AND Acheteur IS NULL AND "
                         "DateAnnulation IS NOT NULL"),
              2);
    EXPECT_EQ(db().count("SELECT count(idClient) FROM tClients GROUP BY CliNom, CliPrenom HAVING "
                         "CliNom = 'DUPONT' AND CliPrenom = 'JEAN'"),
              2);
}

TEST_F(DemoSeed, OptionDatesAreAcceptedOnTheSeedDay)
{
    const auto rows = db().rows(
            "SELECT Opt_LimiteDateDeb, Opt_LimiteDateDebFrevo, Opt_LimiteDateDebClarim, "
            "Opt_LimiteDateVerrouVNVO FROM tOptDates");
    ASSERT_EQ(rows.size(), 2u);
    for (const auto &r : rows)
        for (const auto &date : r) {
            EXPECT_EQ(date.size(), 10u);
            EXPECT_LE(date, std::string(kToday)); // ISO dates compare as text
        }
}

TEST(Seed, IsDeterministicForOneDay)
{
    const auto dump = [](const std::string &photos) {
        Db db;
        seed::seedDemo(db.get(), photos, kToday);
        std::string all;
        for (const char *table :
             {"tVehicles", "tClients", "tActions", "TVehiclesClarim", "\"tVO - Frevo\""})
            for (const auto &row : db.rows(std::string("SELECT * FROM ") + table))
                for (const auto &cell : row)
                    all += cell + '|';
        return all;
    };
    const auto dir = fs::temp_directory_path() / ("dravik-seed-det-" + std::to_string(::getpid()));
    const std::string first = dump(dir.string());
    EXPECT_EQ(dump(dir.string()), first);
    fs::remove_all(dir);
}

TEST(Seed, FailsWholeOnSqliteErrors)
{
    const auto dir = fs::temp_directory_path() / ("dravik-seed-fail-" + std::to_string(::getpid()));
    Db db;
    seed::seedDemo(db.get(), dir.string(), kToday);
    const long long vehicles = db.count("SELECT count(*) FROM tVehicles");
    EXPECT_THROW(seed::seedDemo(db.get(), dir.string(), kToday), std::runtime_error); // ids taken
    EXPECT_EQ(db.count("SELECT count(*) FROM tVehicles"), vehicles);
    EXPECT_THROW(seed::seedDemo(db.get(), dir.string(), "2025-02-30"), std::runtime_error);
    fs::remove_all(dir);
}

TEST(Seed, LargeAddsItsRecordsToTheDemo)
{
    const auto dir
            = fs::temp_directory_path() / ("dravik-seed-large-" + std::to_string(::getpid()));
    Db db;
    seed::seedLarge(db.get(), dir.string(), kToday);
    EXPECT_EQ(db.count("SELECT count(*) FROM tVehicles"),
              seed::kDemoVehicles + seed::kLargeVehicles);
    EXPECT_EQ(db.count("SELECT count(*) FROM tClients"),
              seed::kDemoCustomers + seed::kLargeCustomers);
    EXPECT_TRUE(db.rows("PRAGMA foreign_key_check").empty());
    // Plates searched with like '%AB%' find enough rows for a full page.
    EXPECT_GE(db.count("SELECT count(*) FROM tVehicles WHERE Concession = 'ZOLVARE' AND "
                       "Immatriculation LIKE '%AB%'"),
              50);
    fs::remove_all(dir);
}

} // namespace

TEST(PostgresSchema, WritesEachDeclaredTypeAsPostgreSQLKeepsIt)
{
    const std::string pg = seed::postgresSchema();
    const struct
    {
        const char *sqlite, *postgres;
    } lines[] = {
            {"Concession TEXT PRIMARY KEY COLLATE NOCASE", "concession citext primary key"},
            {"idTVO INTEGER PRIMARY KEY", "idtvo bigint primary key"},
            {"Actif BOOLEAN NOT NULL DEFAULT 1", "actif boolean not null default true"},
            {"Opt_LimiteDateDeb DATE", "opt_limitedatedeb dravik_date"},
            {"MontantFraisDossier DECIMAL", "montantfraisdossier double precision"},
            {"CREATE TABLE \"tVO - Frevo\"", "create table \"tvo - frevo\" ("},
            {"DateImage TEXT", "dateimage text"},
    };
    // Compared as PostgreSQL reads them: without letter case or repeated blanks.
    std::string folded;
    for (const char c : pg) {
        const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (l == ' ' && !folded.empty() && folded.back() == ' ')
            continue;
        folded += l;
    }
    for (const auto &l : lines)
        EXPECT_NE(folded.find(l.postgres), std::string::npos) << l.sqlite;
    EXPECT_EQ(pg.find("NOCASE"), std::string::npos);
    EXPECT_EQ(pg.find("--"), std::string::npos);
}

TEST(PostgresSchema, ListsTheTablesInCreationOrderWithTheirRowids)
{
    const auto tables = seed::schemaTables();
    std::map<std::string, size_t> at;
    for (size_t i = 0; i < tables.size(); ++i)
        at[tables[i].name] = i;
    // A table comes after those it references, so that copied rows find their owners.
    EXPECT_LT(at.at("tConcessions"), at.at("InfoSite"));
    EXPECT_LT(at.at("tVehicles"), at.at("tVO - Frevo"));
    EXPECT_LT(at.at("tClients"), at.at("TVehiclesClarim"));
    const auto &costs = tables[at.at("tVO - Frevo")];
    EXPECT_EQ(costs.rowid, "idFrevo");
    EXPECT_EQ(costs.columns.front(), "idFrevo");
    EXPECT_EQ(tables[at.at("tUserGroups")].rowid, "");
    EXPECT_EQ(tables[at.at("TVehiclesClarim")].rowid, "idtVO");
    // Every column of the stored table, in its order.
    Db db;
    seed::createSchema(db.get());
    for (const auto &t : tables) {
        const auto rows = db.rows("SELECT name FROM pragma_table_info('" + t.name + "')");
        std::vector<std::string> names;
        for (const auto &r : rows)
            names.push_back(r.at(0));
        EXPECT_EQ(names, t.columns) << t.name;
    }
}
