// Temporary files of every statement running at once are bounded together: a sort that fits
// its own budget still fails while another connection holds the server's temporary disk, and
// runs once that is let go.

#include "server/TempBudget.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace dravik::server;

namespace {

const std::string kRows = "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c "
                          "WHERE i < 2000) ";
const std::string kSort
        = kRows + "SELECT count(*) FROM (SELECT randomblob(1000) x FROM c ORDER BY 1)";
const std::string kHold = "CREATE TEMP TABLE t AS " + kRows + "SELECT randomblob(1000) AS x FROM c";

sqlite3 *openSmallCache()
{
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "PRAGMA temp_store = FILE; PRAGMA cache_size = 8", nullptr, nullptr, nullptr);
    return db;
}

int run(sqlite3 *db, const std::string &sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

} // namespace

TEST(ServerTempLimit, StatementsRunningAtOnceShareOneTemporaryDisk)
{
    installTempBudgetVfs();
    setTempBudget(-1);
    const std::int64_t base = serverTempHeld();
    setServerTempLimit(base + (3 << 20));
    sqlite3 *holder = openSmallCache();
    sqlite3 *sorter = openSmallCache();
    EXPECT_EQ(run(sorter, kSort), SQLITE_OK); // about 2 MB: alone, it fits
    ASSERT_EQ(run(holder, kHold), SQLITE_OK); // 2 MB more held beside it
    EXPECT_EQ(run(sorter, kSort), SQLITE_FULL);
    EXPECT_TRUE(tempBudgetExceeded());
    sqlite3_close(holder);
    EXPECT_EQ(run(sorter, kSort), SQLITE_OK);
    EXPECT_LE(serverTempHeld(), base);
    sqlite3_close(sorter);
    setServerTempLimit(-1);
}
