// Hostile statements are refused with a log item and leave the database as it was; a busy
// database answers the text that makes the client retry; many clients write at once.

#include "InProcessServerFixture.h"

#include <atomic>
#include <set>
#include <thread>

using namespace dravik;
using namespace dravik::test;

class Safety : public ServerFixture
{
};

TEST_F(Safety, HostileStatementsAreRefusedAndChangeNothing)
{
    const std::string runaway = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
                                "SELECT count(*) FROM c";
    const struct
    {
        const char *endpoint;
        std::string sql;
    } corpus[] = {
            {"AxQuery", "select 1; drop table tUsers"},
            {"AxUpdate", "update tVehicles set KMS=0; delete from tClients"},
            {"AxUpdate", "update tVehicles set KMS=0 where idVO=1;\ndelete from tClients;"},
            {"AxQuery", "ATTACH DATABASE '/tmp/dravik-x.db' AS x"},
            {"AxUpdate", "attach '/tmp/dravik-x.db' as x"},
            {"AxUpdate", "detach main"},
            {"AxQuery", "PRAGMA table_info(tUsers)"},
            {"AxUpdate", "PRAGMA writable_schema=1"},
            {"AxUpdate", "pragma foreign_keys=off"},
            {"AxUpdate", "DROP TABLE tVehicles"},
            {"AxUpdate", "CREATE TABLE x (a)"},
            {"AxUpdate",
             "CREATE TRIGGER t AFTER INSERT ON tVehicles BEGIN DELETE FROM tClients; END"},
            {"AxUpdate", "ALTER TABLE tVehicles ADD COLUMN x"},
            {"AxUpdate", "CREATE INDEX x ON tVehicles (KMS)"},
            {"AxUpdate", "VACUUM"},
            {"AxUpdate", "REINDEX"},
            {"AxUpdate", "ANALYZE"},
            {"AxUpdate", "BEGIN"},
            {"AxUpdate", "SAVEPOINT s"},
            {"AxQuery", "delete from tVehicles"},
            {"AxQuery", "update tVehicles set KMS=0"},
            {"AxQuery", "insert into ListModels (VMarque, VModele) values ('X', 'Y')"},
            {"AxQuery", "select * from sqlite_master"},
            {"AxQuery", "select sql from sqlite_schema"},
            {"AxQuery", "select * from sqlite_temp_master"},
            {"AxQuery", "select load_extension('/tmp/evil')"},
            {"AxUpdate",
             "update tVehicles set Commentaires=(select sql from sqlite_master limit 1)"},
            {"AxUpdate", "update tUsers set UserSite='#'"},
            {"AxUpdate", "insert into tUserGroups (idUser, GName) values (7, 'ADMINS')"},
            {"AxUpdate", "delete from tOptDates"},
            {"AxUpdate", "update tConcessions set MontantFraisDossier=0"},
            {"AxInsert",
             "insert into tUsers (idUser, Name_, UserConcession) values (:NewID, 'X', 'ZOLVARE')"},
            {"AxUpdate", "insert into ListModels (VMarque, VModele) values (:NewID, 'Y')"},
            {"AxInsert", "update tVehicles set KMS=0"},
            {"AxInsert", "insert into ListModels (VMarque, VModele) select :NewID, 'x'"},
            {"AxUpdate", "select * from tVehicles"},
            {"AxQuery", runaway},
            {"AxUpdate", "update tVehicles set KMS=(" + runaway + ") where idVO=1"},
            {"AxQuery", "select * from tVehicles where Commentaires = ?"},
            {"AxQuery", "select * from tVehicles where KMS = :foo"},
            {"AxUpdate", "update tVehicles set KMS=0 where idVO=1 -- and a comment"},
            {"AxQuery", "select printf('%.*c', 1000000, 'x') from tVehicles"},
            {"AxUpdate", "update tVehicles set Commentaires=zeroblob(5000000) where idVO=1"},
            {"AxQuery", "select * from nosuchtable"},
            {"AxQuery", "select nosuchcolumn from tVehicles"},
            {"AxQuery", "selec * from tVehicles"},
            {"AxQuery", ""},
            {"AxInsert", "Insert into tVehicles (idTVO, idVO) Values (:NewID, 1)"}, // idVO unique
            // A statement answering rows is refused before it writes anything.
            {"AxUpdate", "Update tVehicles set KMS=KMS+1 where idTVO=1 RETURNING KMS"},
            {"AxUpdate", "Delete * from tActions where idAction=1 returning *"},
            {"AxUpdate", "Insert into ListModels (VMarque, VModele) values ('A', 'B') returning 1"},
            {"AxInsert",
             "Insert into tActions (idClient, idAction) Values (1, :NewID) RETURNING "
             "idAction"},
            // A write stopped half-way by the time limit leaves no row changed.
            {"AxUpdate",
             "update tVehicles set KMS=KMS+1, Commentaires=CASE WHEN idTVO > 20 THEN (" + runaway
                     + ") ELSE Commentaires END"},
            {"AxQuery", "select * from tRequestKeys"},
            {"AxUpdate", "delete from tRequestKeys"},
    };
    const std::string before = dump();
    for (const auto &c : corpus) {
        int status = 0;
        const std::string doc = get(
                c.endpoint, {{c.endpoint == std::string("AxQuery") ? "SQL" : "SQLExecute", c.sql}},
                &status);
        EXPECT_EQ(status, 200) << c.sql;
        EXPECT_NE(warning(doc), "") << c.endpoint << ": " << c.sql;
        EXPECT_EQ(doc.find("<OutParams>"), std::string::npos) << c.sql;
    }
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(std::filesystem::exists("/tmp/dravik-x.db"));
    // The server still answers.
    EXPECT_EQ(warning(query("select count(*) as n from tVehicles")), "");
}

TEST_F(Safety, ARunawayStatementIsStoppedWithAFrenchMessage)
{
    const std::string doc = query("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
                                  "SELECT count(*) FROM c");
    EXPECT_EQ(warning(doc),
              latin1Of("Requête interrompue : durée d'exécution maximale dépassée - "));
}

TEST_F(Safety, RequestsWithoutTheirStatementOrToNowhereAnswerLogItems)
{
    EXPECT_NE(warning(get("AxQuery", {})), "");
    EXPECT_NE(warning(get("AxUpdate", {})), "");
    int status = 0;
    const std::string unknown = fetch("/NoSuchEndpoint?x=1", &status);
    EXPECT_EQ(status, 404);
    EXPECT_NE(warning(unknown), "");
    // Outside the photo folder nothing is served.
    fetch("/voimages/../demo.sqlite", &status);
    EXPECT_NE(status, 200);
}

TEST_F(Safety, ABusyDatabaseAnswersWaitTimeoutAndNothingIsWritten)
{
    auto other = std::make_unique<OtherWriter>();
    ASSERT_TRUE(other->held());
    const std::string before = scalar("SELECT KMS FROM tVehicles WHERE idVO=2");
    for (const std::string &doc :
         {update("update tVehicles set KMS=424242 where idVO=2"),
          insert("Insert into ListModels (VMarque, VModele, idModel) values ('A', 'B', :NewID)")})
        EXPECT_NE(doc.find("<![CDATA[WAIT_TIMEOUT]]>"), std::string::npos) << doc;
    // Readers are not held up by a writer.
    EXPECT_EQ(warning(query("select count(*) as n from tVehicles")), "");
    other.reset();
    EXPECT_EQ(scalar("SELECT KMS FROM tVehicles WHERE idVO=2"), before);
    // The client's retry then goes through.
    EXPECT_EQ(warning(update("update tVehicles set KMS=424242 where idVO=2")), "");
}

TEST_F(Safety, ManyClientsInsertAtOnceAndEachGetsItsOwnId)
{
    constexpr int threads = 8, each = 15;
    std::vector<std::vector<std::string>> ids(threads);
    std::atomic<int> failures = 0;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([t, &ids, &failures] {
            for (int i = 0; i < each; ++i) {
                std::string doc;
                // The client retries a busy answer up to five times.
                for (int attempt = 0; attempt < 5; ++attempt) {
                    doc = insert("Insert into tActions (CommentaireAction, idClient, idAction ) "
                                 "Values ('parallèle "
                                 + std::to_string(t) + "', 1, :NewID)");
                    if (doc.find("WAIT_TIMEOUT") == std::string::npos)
                        break;
                }
                if (warning(doc).empty())
                    ids[t].push_back(newId(doc));
                else
                    ++failures;
            }
        });
    }
    for (auto &th : pool)
        th.join();
    EXPECT_EQ(failures, 0);
    std::set<std::string> all;
    for (const auto &v : ids)
        all.insert(v.begin(), v.end());
    EXPECT_EQ(all.size(), static_cast<size_t>(threads * each));
    EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE CommentaireAction LIKE 'parall%'"),
              threads * each);
}

TEST_F(Safety, TheChoiceListConditionReadsOnlyTheListTable)
{
    const std::string login = scalar("SELECT Login FROM tUsers WHERE Login IS NOT NULL LIMIT 1");
    ASSERT_FALSE(login.empty());
    for (const char *clause :
         {"Where 1=1 UNION SELECT Name_, Login FROM tUsers",
          "Where RubricItem IN (SELECT Login FROM tUsers)", "Where 1=1; DELETE FROM ListRubrics"}) {
        const std::string doc
                = get("AxInfoEquip", {{"UserConcession", "ZOLVARE"}, {"WHERE_CLAUSE", clause}});
        EXPECT_NE(warning(doc), "") << clause;
        EXPECT_EQ(doc.find(login), std::string::npos) << clause;
    }
    EXPECT_GT(count("SELECT count(*) FROM ListRubrics"), 0);
}
