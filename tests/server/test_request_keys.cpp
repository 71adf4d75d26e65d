// Retried writes: a write carrying a request key already applied answers the stored answer and
// runs nothing, whether the first answer was read, lost, or never sent.

#include "InProcessServerFixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <thread>

using namespace dravik;
using namespace dravik::test;

namespace {

const std::string kKeyA = "0123456789abcdef0123456789abcdef";
const std::string kKeyB = "fedcba9876543210fedcba9876543210";

std::string keyed(const std::string &endpoint, const std::string &sql, const std::string &key)
{
    Params p {{"SQLExecute", sql}};
    if (!key.empty())
        p.push_back({"RequestKey", key});
    return ServerFixture::get(endpoint, p);
}

} // namespace

class RequestKeys : public ServerFixture
{
};

TEST_F(RequestKeys, ARepeatedKeyAnswersTheStoredAnswerAndRunsNothing)
{
    const struct
    {
        const char *endpoint;
        std::string sql;
        std::string first, second; // keys of the two sends
        int rowsAdded; // rows of the marker after both
        bool sameAnswer;
    } cases[] = {
            {"AxInsert",
             "Insert into tActions (CommentaireAction, idClient, idAction) Values "
             "('clé 1', 1, :NewID)",
             kKeyA, kKeyA, 1, true},
            {"AxInsert",
             "Insert into tActions (CommentaireAction, idClient, idAction) Values "
             "('clé 2', 1, :NewID)",
             "a" + kKeyA.substr(1), "a" + kKeyB.substr(1), 2, false},
            {"AxInsert",
             "Insert into tActions (CommentaireAction, idClient, idAction) Values "
             "('clé 3', 1, :NewID)",
             "", "", 2, false},
            // Through AxUpdate, a list entry insert without placeholder.
            {"AxUpdate", "Insert into tActions (CommentaireAction, idClient) Values ('clé 4', 1)",
             "b" + kKeyA.substr(1), "b" + kKeyA.substr(1), 1, true},
    };
    for (const auto &c : cases) {
        const std::string marker = c.sql.substr(c.sql.find("'clé"), 7);
        const std::string a = keyed(c.endpoint, c.sql, c.first);
        const std::string b = keyed(c.endpoint, c.sql, c.second);
        EXPECT_EQ(warning(a), "") << c.sql;
        EXPECT_EQ(warning(b), "") << c.sql;
        EXPECT_EQ(a == b, c.sameAnswer) << c.sql << "\n" << a << "\n" << b;
        EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE CommentaireAction = " + marker + "'"),
                  c.rowsAdded)
                << c.sql;
        if (std::string(c.endpoint) == "AxInsert" && c.sameAnswer) {
            EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE idAction = " + newId(a)
                            + " AND CommentaireAction = " + marker + "'"),
                      1);
        }
    }
}

TEST_F(RequestKeys, AnUpdateIsAppliedOncePerKey)
{
    const std::string sql = "Update tVehicles set KMS=KMS+1 where (idTVO=2)";
    const int before = count("SELECT KMS FROM tVehicles WHERE idTVO=2");
    const std::string key = "c" + kKeyA.substr(1);
    const std::string first = keyed("AxUpdate", sql, key);
    EXPECT_EQ(warning(first), "");
    EXPECT_EQ(keyed("AxUpdate", sql, key), first);
    EXPECT_EQ(keyed("AxUpdate", sql, key), first);
    EXPECT_EQ(count("SELECT KMS FROM tVehicles WHERE idTVO=2"), before + 1);
    // Another key is another change.
    EXPECT_EQ(warning(keyed("AxUpdate", sql, "d" + kKeyA.substr(1))), "");
    EXPECT_EQ(count("SELECT KMS FROM tVehicles WHERE idTVO=2"), before + 2);
}

TEST_F(RequestKeys, AFailedWriteStoresNoKeySoItsRetryRuns)
{
    const std::string key = "e" + kKeyA.substr(1);
    const std::string sql = "Insert into tActions (CommentaireAction, idClient, idAction) Values "
                            "('occupé', 1, :NewID)";
    auto other = std::make_unique<OtherWriter>();
    ASSERT_TRUE(other->held());
    const std::string busy = keyed("AxInsert", sql, key);
    other.reset();
    EXPECT_NE(busy.find("<![CDATA[WAIT_TIMEOUT]]>"), std::string::npos) << busy;

    // A statement refused by the database keeps no key either.
    const std::string refused = keyed("AxInsert",
                                      "Insert into tActions (NoSuchColumn, idClient, idAction) "
                                      "Values ('x', 1, :NewID)",
                                      key);
    EXPECT_EQ(warning(refused),
              latin1Of(onPostgres() ? "Colonne inconnue : NoSuchColumn - "
                                    : "Erreur SQL : table tActions has no column named "
                                      "NoSuchColumn - "));
    EXPECT_EQ(count("SELECT count(*) FROM tRequestKeys WHERE RequestKey = '" + key + "'"), 0);

    const std::string retry = keyed("AxInsert", sql, key);
    EXPECT_EQ(warning(retry), "");
    EXPECT_EQ(count("SELECT count(*) FROM tActions WHERE CommentaireAction = 'occupé'"), 1);
    EXPECT_EQ(keyed("AxInsert", sql, key), retry);
}

TEST_F(RequestKeys, MalformedAndExpiredKeys)
{
    scalar("UPDATE tVehicles SET KMS = 100 WHERE idTVO = 3");
    const std::string sql = "Update tVehicles set KMS=KMS+1 where (idTVO=3)";
    const std::string before = dump();
    for (const std::string &bad :
         std::vector<std::string> {"0123", "0123456789ABCDEF0123456789ABCDEF",
                                   "0123456789abcdef0123456789abcdeg", kKeyA + "0"})
        EXPECT_EQ(warning(keyed("AxUpdate", sql, bad)),
                  latin1Of("Clé de requête invalide : 32 chiffres hexadécimaux en minuscules "
                           "sont attendus - "))
                << bad;
    EXPECT_EQ(dump(), before);

    const std::string key = "f" + kKeyA.substr(1);
    const int kms = count("SELECT KMS FROM tVehicles WHERE idTVO=3");
    EXPECT_EQ(warning(keyed("AxUpdate", sql, key)), "");
    // A key older than its lifetime is forgotten: the write runs again.
    scalar("UPDATE tRequestKeys SET AppliedAt = AppliedAt - 25 * 3600 WHERE RequestKey = '" + key
           + "'");
    EXPECT_EQ(warning(keyed("AxUpdate", sql, key)), "");
    EXPECT_EQ(count("SELECT KMS FROM tVehicles WHERE idTVO=3"), kms + 2);
}

// The server frozen while the client sends: the client gives up and closes, the server then
// reads the request, commits it and cannot answer. The retry gets the answer of that write.
TEST_F(RequestKeys, AWriteWhoseAnswerWasLostIsAnsweredToItsRetry)
{
    const auto folder = dir / "frozen";
    std::filesystem::create_directories(folder / "photos");
    const std::string db = (folder / "db.sqlite").string();
    const std::string photos = (folder / "photos").string();
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char *argv[]
            = {DRAVIK_SERVER_EXE, "--db",   db.c_str(), "--port",     "0",        "--photos",
               photos.c_str(),    "--seed", "demo",     "--sessions", "optional", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DRAVIK_SERVER_EXE, &actions, nullptr,
                          const_cast<char *const *>(argv), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    FILE *lines = ::fdopen(out[0], "r");
    char line[256] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, lines));
    int childPort = 0;
    ASSERT_EQ(std::sscanf(line, "dravik-server listening on http://127.0.0.1:%d/", &childPort), 1)
            << line;

    const std::string target = "/AxInsert?XMLC_OutputFormat=XML&SQLExecute="
            + clientEncode("Insert into tActions (CommentaireAction, idClient, idAction) Values "
                           "('gelé', 1, :NewID)")
            + "&RequestKey=" + kKeyA + "&idClient=";
    ::kill(pid, SIGSTOP);
    {
        httplib::Client http("127.0.0.1", childPort);
        http.set_read_timeout(1, 0);
        EXPECT_FALSE(http.Get(target.c_str()));
    }
    ::kill(pid, SIGCONT);
    httplib::Client http("127.0.0.1", childPort);
    http.set_read_timeout(10, 0);
    const auto retry = http.Get(target.c_str());
    ASSERT_TRUE(retry);
    EXPECT_EQ(warning(retry->body), "");

    sqlite3 *check = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &check), SQLITE_OK);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(check,
                       "SELECT count(*), max(idAction) FROM tActions "
                       "WHERE CommentaireAction = 'gelé'",
                       -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(stmt, 0), 1);
    EXPECT_EQ(std::to_string(sqlite3_column_int64(stmt, 1)), newId(retry->body));
    sqlite3_finalize(stmt);
    sqlite3_close(check);

    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::fclose(lines);
}
