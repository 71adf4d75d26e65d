// The same requests answered by a server on SQLite and one on PostgreSQL, and what the
// PostgreSQL server does when its database goes away.

#include "InProcessServerFixture.h"
#include "PgCluster.h"

#include "server/Messages.h"

#include <cstdio>

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

TEST_F(Backends, APostgreSQLDownAtStartIsToldAndTheServerExits)
{
    const std::string address = "postgresql://dravik@127.0.0.1:" + std::to_string(cluster->port())
            + "/no_such_database";
    const std::string command = std::string(DRAVIK_SERVER_EXE) + " --db '" + address
            + "' --port 0 --photos '" + dir.string() + "' 2>&1";
    std::string out;
    FILE *p = ::popen(command.c_str(), "r");
    ASSERT_TRUE(p);
    char line[512];
    while (std::fgets(line, sizeof line, p))
        out += line;
    const int status = ::pclose(p);
    EXPECT_EQ(WEXITSTATUS(status), 1) << out;
    EXPECT_NE(out.find("cannot connect to PostgreSQL"), std::string::npos) << out;
    EXPECT_EQ(out.find("listening"), std::string::npos) << out;
}
