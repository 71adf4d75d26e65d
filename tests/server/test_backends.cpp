// The same requests answered by a server on SQLite and one on PostgreSQL, and what the
// PostgreSQL server does when its database goes away.

#include "InProcessServerFixture.h"
#include "PgCluster.h"

#include "server/ClientSql.h"
#include "server/Messages.h"
#include "server/Sessions.h"

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace dravik;
using namespace dravik::test;

namespace {

struct Backend
{
    std::unique_ptr<server::DravikServer> server;
    int port = 0;

    std::string get(const std::string &endpoint, const Params &params) const
    {
        std::string target = "/" + endpoint + "?XMLC_OutputFormat=XML";
        for (const auto &[name, value] : params)
            target += "&" + name + "=" + clientEncode(value);
        httplib::Client http("127.0.0.1", port);
        http.set_read_timeout(10, 0);
        const auto res = http.Get((target + "&idClient=").c_str());
        return res ? res->body : std::string("(no answer)");
    }
};

class Backends : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        cluster = PgCluster::instance();
        if (!cluster)
            GTEST_SKIP() << PgCluster::why();
        dir = std::filesystem::temp_directory_path()
                / ("dravik-backends-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        auto start = [](const std::string &db, const std::string &photos) {
            std::filesystem::create_directories(dir / photos);
            server::ServerOptions options;
            options.dbPath = db;
            options.photoDir = (dir / photos).string();
            options.seed = "demo";
            options.threads = 8;
            options.requireSession = false;
            Backend b;
            b.server = std::make_unique<server::DravikServer>(options);
            b.port = b.server->start();
            return b;
        };
        sqlite = start((dir / "demo.sqlite").string(), "photos-sqlite");
        postgres = start(cluster->createDatabase("dravik_backends"), "photos-pg");
    }
    static void TearDownTestSuite()
    {
        for (Backend *b : {&sqlite, &postgres})
            if (b->server)
                b->server->stop();
        sqlite = {};
        postgres = {};
        std::filesystem::remove_all(dir);
    }

    static inline PgCluster *cluster = nullptr;
    static inline std::filesystem::path dir;
    static inline Backend sqlite, postgres;
};

} // namespace

TEST_F(Backends, AnswerTheSameDocumentsByteForByte)
{
    const struct
    {
        const char *endpoint;
        Params params;
    } requests[] = {
            {"AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}},
            {"AxInfoVO", {{"idTVO", "2"}, {"UserID", "3"}}},
            {"AxInfoVO", {{"idTVO", "999999"}, {"UserID", "1"}}},
            {"AxInfoCL", {{"UserID", "1"}, {"idClient", "1"}}},
            {"AxInfoEquip", {{"UserConcession", "ZOLVARE"}, {"WHERE_CLAUSE", ""}}},
            {"AxInfoStruct", {{"UserConcession", "ZOLVARE"}}},
            {"AxQuery",
             {{"SQL",
               "SELECT TypeVO, idTVO as VO_ID, StatutVD, NVO as VO_NO, Immatriculation AS "
               "VO_IMMAT, [InfoMarque], [InfoModele], DateOrdre AS VO_ORDRE, Site as "
               "VO_SITE, Concession, idOwner FROM TVehicles Where (Concession='ZOLVARE') "
               "and ((TypeVO=1) and (Immatriculation like '%a%')) ORDER BY "
               "Immatriculation, DateOrdre desc"},
              {"MaxRows", "50"}}},
            {"AxQuery",
             {{"SQL",
               "select CliNom, CliPrenom, idClient from tClients where CliNom like 'é%' "
               "or (not isnull(CliMobile) and CliNom like 'B%') order by CliNom, "
               "CliPreNom, idClient desc"}}},
            {"AxQuery",
             {{"SQL",
               "select count(idClient) as cpt from tClients group by CliNom, CliPrenom "
               "having (CliNom='DUPONT')"}}},
            {"AxQuery", {{"SQL", "select * from [tVO - Frevo] where (false)"}}},
            {"AxQuery", {{"SQL", "select * from tClients order by idClient"}, {"MaxRows", "40"}}},
            {"AxQuery",
             {{"SQL",
               "select Top 3 idVO, DateLivraison from tVehicles where "
               "DateLivraison > #01/01/2000# order by idVO"}}},
            {"AxQuery", {{"SQL", "select * from tPasswords"}}},
            {"AxQuery", {{"SQL", "select * from NoSuchTable"}}},
            {"AxUpdate",
             {{"SQLExecute",
               "Update tVehicles set PrixVente=12500.50, DateLivraison=#12/31/2009#, "
               "FlagDepotVente=True where (idVO=1)"}}},
            {"AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}},
            {"AxInsert",
             {{"SQLExecute",
               "Insert into [tVO - Frevo] (DateFrevo,TypeFrevo, MontantHT, idVO, "
               "idFrevo ) Values (#12/09/2026#,'fixe', 150.00, 1, :NewID)"}}},
            {"AxInsert",
             {{"SQLExecute",
               "Insert into ListRubrics (RubricType, RubricIndex, RubricItem, "
               "RubricText) Values ('InfoCouleur', 0, '..' ,'VERT PÂLE')"}}},
            {"AxUpdate", {{"SQLExecute", "Delete * From [tVO - Frevo] where idVO=1"}}},
            {"AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}},
    };
    for (const auto &r : requests) {
        const std::string lite = sqlite.get(r.endpoint, r.params);
        EXPECT_EQ(postgres.get(r.endpoint, r.params), lite)
                << r.endpoint << " " << r.params.front().second;
        EXPECT_NE(lite.find("<LogItems>"), std::string::npos) << r.endpoint;
    }
}

TEST_F(Backends, RecordsMissingOrAskedAmissAnswerTheSameDocuments)
{
    // The records' children and the user's dates are looked up inside the statements that
    // read them: every way of missing the record or the user answers alike.
    const struct
    {
        const char *endpoint;
        Params params;
    } requests[] = {
            {"AxInfoVO", {{"idTVO", "1"}, {"UserID", "999"}}},
            {"AxInfoVO", {{"idTVO", "1"}, {"UserID", "un"}}},
            {"AxInfoVO", {{"idTVO", "0"}, {"UserID", "1"}}},
            {"AxInfoVO", {{"idTVO", "-4"}, {"UserID", "1"}}},
            {"AxInfoVO", {{"idTVO", "deux"}, {"UserID", "1"}}},
            {"AxInfoVO", {{"idTVO", "2"}, {"UserID", ""}}},
            {"AxInfoCL", {{"UserID", "3"}, {"idClient", "0"}}},
            {"AxInfoCL", {{"UserID", "1"}, {"idClient", "999999"}}},
            {"AxInfoCL", {{"UserID", "999"}, {"idClient", "2"}}},
            {"AxInfoEquip", {{"UserConcession", "NULLEPART"}, {"WHERE_CLAUSE", ""}}},
            {"AxInfoEquip",
             {{"UserConcession", "ZOLVARE"}, {"WHERE_CLAUSE", "RubricType='InfoCouleur'"}}},
    };
    for (const auto &r : requests) {
        const std::string lite = sqlite.get(r.endpoint, r.params);
        EXPECT_EQ(postgres.get(r.endpoint, r.params), lite)
                << r.endpoint << " " << r.params.front().second << " " << r.params.back().second;
    }
}

TEST_F(Backends, LikeFindsTheSameRowsWhateverItsPattern)
{
    // A name holding the signs a pattern may carry, matched by patterns that take them as
    // signs or as themselves: an index answers some of them on PostgreSQL, a scan the others.
    const Params odd {{"SQLExecute",
                       "Insert into tClients (Concession, CliNom, CliPrenom, idClient) Values "
                       "('ZOLVARE', 'DURAND', 'Jean\\Luc_50%', :NewID)"}};
    EXPECT_EQ(postgres.get("AxInsert", odd), sqlite.get("AxInsert", odd));
    const char *conditions[] = {
            "CliNom like '%a%'",
            "CliNom like 'é%'",
            "CliNom like '_U%'",
            "CliNom like '%'",
            "CliNom like ''",
            "CliNom like 'dupont'",
            "CliPrenom like 'jean\\l%'",
            "CliPrenom like '%\\%'",
            "CliPrenom like '%\\luc\\_%'",
            "CliPrenom like '%c_50\\%%'",
            "CliPrenom like '%50%%'",
            "CliNom not like 'D%'",
            "not CliNom like 'D%'",
            "CliNom like 'D' & '%'",
            "CliPrenom like CliPrenom",
            "(CliMobile like '06%') and (CliNom like '%n%')",
    };
    for (const char *c : conditions) {
        const Params params {{"SQL",
                              std::string("select idClient, CliNom, CliPrenom from tClients where ")
                                      + c + " order by idClient"}};
        const std::string lite = sqlite.get("AxQuery", params);
        EXPECT_EQ(postgres.get("AxQuery", params), lite) << c;
        EXPECT_EQ(ServerFixture::warning(lite), "") << c;
    }
}

TEST_F(Backends, AKeptQueryAskedForOtherRowCountsAnswersEachCount)
{
    const std::string sql = "select idClient, CliNom from tClients order by idClient";
    const std::string all = sqlite.get("AxQuery", {{"SQL", sql}, {"MaxRows", "10000"}});
    size_t total = 0;
    for (size_t p = all.find("<AXQuery>"); p != std::string::npos; p = all.find("<AXQuery>", p + 1))
        ++total;
    ASSERT_GT(total, 3u);
    const struct
    {
        std::string maxRows;
        size_t rows;
        bool complete;
    } cases[] = {
            {"1", 1, false},
            {"3", 3, false},
            {std::to_string(total), total, true},
            {std::to_string(total + 5), total, true},
            {"1", 1, false},
            {"0", total, true}, // none asked: the server's own limit
    };
    for (const auto &c : cases) {
        const Params params {{"SQL", sql}, {"MaxRows", c.maxRows}};
        const std::string doc = postgres.get("AxQuery", params);
        EXPECT_EQ(doc, sqlite.get("AxQuery", params)) << c.maxRows;
        EXPECT_NE(doc.find("RowCount=\"" + std::to_string(c.rows) + "\" EOF=\""
                           + (c.complete ? "1" : "0") + "\""),
                  std::string::npos)
                << c.maxRows << doc;
    }
}

TEST_F(Backends, ManyDifferentQueriesOnOneServerAnswerAlikeWhenAskedAgain)
{
    // More texts than a connection keeps prepared: the oldest make room and are prepared
    // again when they come back.
    auto query = [](int n) {
        return Params {{"SQL",
                        "select idClient from tClients where idClient > " + std::to_string(n % 3)
                                + " and " + std::to_string(n) + " = " + std::to_string(n)}};
    };
    std::vector<std::string> first;
    for (int n = 0; n < 90; ++n)
        first.push_back(postgres.get("AxQuery", query(n)));
    for (int n = 0; n < 90; n += 7) {
        EXPECT_EQ(first[static_cast<size_t>(n)], sqlite.get("AxQuery", query(n))) << n;
        EXPECT_EQ(postgres.get("AxQuery", query(n)), first[static_cast<size_t>(n)]) << n;
    }
    // The documents, whose statements stay prepared, are unchanged by it.
    const Params vehicle {{"idTVO", "1"}, {"UserID", "1"}};
    EXPECT_EQ(postgres.get("AxInfoVO", vehicle), sqlite.get("AxInfoVO", vehicle));
}

TEST_F(Backends, AFailedReadLeavesNothingBehindForTheNextRequest)
{
    // A read ends its transaction in the round trip that runs it; one that fails must not
    // leave that transaction open, aborted, for the next request on the same connection.
    const struct
    {
        const char *endpoint;
        Params params;
    } requests[] = {
            {"AxQuery", {{"SQL", "select * from tSessions"}}},
            {"AxQuery", {{"SQL", "select count(*) as n from tClients"}}},
            {"AxQuery", {{"SQL", "select NoSuchColumn from tClients"}}},
            {"AxInfoCL", {{"UserID", "1"}, {"idClient", "1"}}},
            {"AxQuery", {{"SQL", "select * from tRequestKeys"}}},
            {"AxUpdate", {{"SQLExecute", "Update tClients set CliNom=CliNom where (idClient=1)"}}},
            {"AxQuery", {{"SQL", "select CliNom from tClients where idClient=1"}}},
    };
    for (const auto &r : requests)
        EXPECT_EQ(postgres.get(r.endpoint, r.params), sqlite.get(r.endpoint, r.params))
                << r.endpoint << " " << r.params.front().second;
}

TEST_F(Backends, WritesAmongDocumentsAndAStoppedStatementReachTheRowsOnceEach)
{
    // A document's end travels without waiting for its answer, and a statement stopped by its
    // time limit ends its own transaction: neither may hold back or repeat the next write.
    const std::string read = "SELECT KMS FROM tVehicles WHERE idVO = 1";
    auto pgRow = [&] {
        PGconn *c = PQconnectdb(postgres.server->options().dbPath.c_str());
        PGresult *r = PQexec(c, read.c_str());
        const long long v = PQntuples(r) == 1 ? std::atoll(PQgetvalue(r, 0, 0)) : -1;
        PQclear(r);
        PQfinish(c);
        return v;
    };
    auto liteRow = [&] {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(sqlite.server->options().dbPath.c_str(), &db, SQLITE_OPEN_READONLY,
                        nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, read.c_str(), -1, &stmt, nullptr);
        const long long v = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return v;
    };
    const Params vehicle {{"idTVO", "1"}, {"UserID", "1"}};
    const Params add {{"SQLExecute", "Update tVehicles set KMS=KMS+1 where (idVO=1)"}};
    const Params runaway {{"SQL",
                           "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
                           "SELECT count(*) FROM c"}};
    const Params readBack {{"SQL", read}};
    const struct
    {
        const char *endpoint;
        const Params &params;
    } requests[] = {
            {"AxInfoVO", vehicle}, {"AxUpdate", add},     {"AxInfoVO", vehicle},
            {"AxQuery", runaway},  {"AxUpdate", add},     {"AxInfoVO", vehicle},
            {"AxUpdate", add},     {"AxQuery", readBack},
    };
    const long long pgBefore = pgRow(), liteBefore = liteRow();
    ASSERT_GE(pgBefore, 0);
    long long updates = 0;
    for (const auto &r : requests) {
        EXPECT_EQ(postgres.get(r.endpoint, r.params), sqlite.get(r.endpoint, r.params))
                << r.endpoint << " " << r.params.front().second;
        updates += std::string(r.endpoint) == "AxUpdate";
    }
    EXPECT_EQ(pgRow(), pgBefore + updates);
    EXPECT_EQ(liteRow(), liteBefore + updates);
}

TEST_F(Backends, APostgreSQLRestartIsAnsweredInFrenchAndNothingIsAppliedTwice)
{
    const Params keyed {{"SQLExecute",
                         "Insert into tActions (CommentaireAction, idClient, "
                         "idAction) Values ('redémarrage', 1, :NewID)"},
                        {"RequestKey", "0123456789abcdef0123456789abcdef"}};
    ASSERT_TRUE(cluster->stop());
    const std::string down = latin1Of(server::msg::databaseUnreachable());
    for (const std::string &doc : {postgres.get("AxQuery",
                                                {{"SQL",
                                                  "select count(*) as n from "
                                                  "tVehicles"}}),
                                   postgres.get("AxInsert", keyed),
                                   postgres.get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}})})
        EXPECT_NE(doc.find(down), std::string::npos) << doc;
    ASSERT_TRUE(cluster->start());
    // Back: the write is applied once, and its retry answers the same document.
    const std::string applied = postgres.get("AxInsert", keyed);
    EXPECT_EQ(ServerFixture::warning(applied), "");
    EXPECT_EQ(postgres.get("AxInsert", keyed), applied);
    const std::string rows = postgres.get(
            "AxQuery",
            {{"SQL", "select count(*) as n from tActions where CommentaireAction='redémarrage'"}});
    EXPECT_NE(rows.find("<n>1</n>"), std::string::npos) << rows;
}

// A read that looks its session key up itself sees its company's rows once the key is found,
// and none while it is unknown, in every transaction of the read.
TEST_F(Backends, AReadLookingItsKeyUpSeesNoRowsUntilTheKeyIsFound)
{
    server::Database &db = postgres.server->database();
    const std::string key = server::issueSession(db, seed::kUserAdmin);
    const char *const reads[]
            = {"select count(*) as n from tVehicles", "select count(*) as n from tUsers"};
    auto count = [&db](const char *sql) {
        return server::selectItems(db, sql, 1, "R").items;
    };
    std::vector<std::string> own;
    {
        const server::RequestScope scope(seed::kConcession, seed::kUserAdmin);
        for (const char *sql : reads)
            own.push_back(count(sql));
    }
    const std::string none = "<R><n>0</n></R>\r\n";
    ASSERT_NE(own[0], none);
    using Outcome = server::SessionCheck::Outcome;
    const struct
    {
        std::string key;
        Outcome outcome;
        long long user;
    } cases[] = {{key, Outcome::Found, seed::kUserAdmin},
                 {std::string(64, 'b'), Outcome::Unknown, 0}};
    for (const auto &c : cases) {
        server::SessionCheck check = server::sessionCheck(c.key);
        const server::RequestScope scope(check);
        // Each read is a transaction of its own: the second one knows the key already.
        for (size_t i = 0; i < std::size(reads); ++i)
            EXPECT_EQ(count(reads[i]), c.outcome == Outcome::Found ? own[i] : none) << reads[i];
        EXPECT_EQ(check.outcome, c.outcome);
        EXPECT_EQ(check.user, c.user);
    }
}

TEST_F(Backends, ADatabaseTheServerCannotUseIsToldAtStartAndTheServerExits)
{
    // A database of a role that is no superuser, where nobody made the match operator.
    PGconn *admin = PQconnectdb(cluster->address("postgres").c_str());
    for (const char *sql :
         {"DROP DATABASE IF EXISTS dravik_plain WITH (FORCE)", "DROP ROLE IF EXISTS dravik_plain",
          "CREATE ROLE dravik_plain LOGIN", "CREATE DATABASE dravik_plain OWNER dravik_plain"})
        PQclear(PQexec(admin, sql));
    PQfinish(admin);
    const std::string host = "@127.0.0.1:" + std::to_string(cluster->port()) + "/";
    const struct
    {
        std::string address, told;
    } cases[] = {
            {"postgresql://dravik" + host + "no_such_database", "cannot connect to PostgreSQL"},
            {"postgresql://dravik_plain" + host + "dravik_plain",
             "the match operator ~~@ is missing and cannot be made by this role"},
    };
    for (const auto &c : cases) {
        const std::string command = std::string(DRAVIK_SERVER_EXE) + " --db '" + c.address
                + "' --port 0 --photos '" + dir.string() + "' 2>&1";
        std::string out;
        FILE *p = ::popen(command.c_str(), "r");
        ASSERT_TRUE(p);
        char line[512];
        while (std::fgets(line, sizeof line, p))
            out += line;
        const int status = ::pclose(p);
        EXPECT_EQ(WEXITSTATUS(status), 1) << out;
        EXPECT_NE(out.find("dravik-server: " + c.told), std::string::npos) << out;
        EXPECT_EQ(out.find("listening"), std::string::npos) << out;
    }
}

// A group's database made as the deployment guide says, by a superuser, is served by the
// guide's own role, which is no superuser: the same documents as on the test's cluster role.
TEST_F(Backends, ADatabaseMadeAsTheGuideSaysIsServedByARoleOfNoPrivilege)
{
    std::ifstream in(DRAVIK_DEPLOY_GUIDE);
    std::stringstream text;
    text << in.rdbuf();
    const std::string guide = text.str();
    const std::string open = "sudo -u postgres psql <<'SQL'\n";
    const size_t from = guide.find(open);
    ASSERT_NE(from, std::string::npos);
    const size_t to = guide.find("\nSQL\n", from);
    ASSERT_NE(to, std::string::npos);
    std::string script = guide.substr(from + open.size(), to - from - open.size());
    // The guide's names, made the test's own.
    for (const auto &[was, now] :
         {std::pair<std::string, std::string> {"CREATE ROLE dravik LOGIN",
                                               "CREATE ROLE dravik_site LOGIN"},
          {"CREATE DATABASE dravik OWNER dravik", "CREATE DATABASE dravik_site OWNER dravik_site"},
          {"\\c dravik\n", "\\c dravik_site\n"},
          {"dravik_unconfined TO dravik;", "dravik_unconfined TO dravik_site;"}}) {
        const size_t at = script.find(was);
        ASSERT_NE(at, std::string::npos) << was;
        script.replace(at, was.size(), now);
    }
    PGconn *admin = PQconnectdb(cluster->address("postgres").c_str());
    for (const char *sql :
         {"DROP DATABASE IF EXISTS dravik_site WITH (FORCE)", "DROP ROLE IF EXISTS dravik_site"})
        PQclear(PQexec(admin, sql));
    PQfinish(admin);
    const auto file = dir / "guide.sql";
    std::ofstream(file) << script;
    // The client roles may exist already in this cluster: the guide's CREATE of them then fails
    // alone, and psql goes on.
    const std::string command = cluster->psql() + " -X -q -h 127.0.0.1 -p "
            + std::to_string(cluster->port()) + " -U dravik -d postgres -f '" + file.string()
            + "' >/dev/null 2>&1";
    ASSERT_NE(std::system(command.c_str()), -1);

    std::filesystem::create_directories(dir / "photos-site");
    server::ServerOptions options;
    options.dbPath = "postgresql://dravik_site@127.0.0.1:" + std::to_string(cluster->port())
            + "/dravik_site";
    options.photoDir = (dir / "photos-site").string();
    options.seed = "demo";
    options.threads = 8;
    options.requireSession = false;
    Backend site;
    ASSERT_NO_THROW(site.server = std::make_unique<server::DravikServer>(options));
    site.port = site.server->start();
    const Params vehicle {{"idTVO", std::to_string(seed::kDemoVO)}, {"UserID", "1"}};
    EXPECT_EQ(site.get("AxInfoVO", vehicle), postgres.get("AxInfoVO", vehicle));
    const std::string saved = site.get(
            "AxUpdate",
            {{"SQLExecute",
              "Update tVehicles set KMS=KMS+1 where idVO=" + std::to_string(seed::kDemoVO)}});
    EXPECT_NE(saved.find("<RowsAffected>1<"), std::string::npos) << saved;
    site.server->stop();
}
