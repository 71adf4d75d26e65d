// Temporary files of every statement running at once are bounded together: a sort that fits
// its own budget still fails while others hold the server's temporary disk, and runs once
// they let it go.

#include "server/TempBudget.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace dravik::server;

namespace {

constexpr const char *kRows = "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c "
                              "WHERE i < 2000) ";

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
    const std::string sort = std::string(kRows)
            + "SELECT count(*) FROM (SELECT randomblob(1000) x FROM c ORDER "
              "BY 1)";

    sqlite3 *holder = openSmallCache();
    sqlite3 *sorter = openSmallCache();
    const struct
    {
        const char *step;
        std::function<int()> run;
        int rc;
    } steps[] = {
            {"a sort alone", [&] { return run(sorter, sort); }, SQLITE_OK},
            {"a temporary table of 2 MB is held",
             [&] {
                 return run(holder,
                            std::string("CREATE TEMP TABLE t AS ") + kRows
                                    + "SELECT randomblob(1000) AS x FROM c");
             },
             SQLITE_OK},
            {"the same sort beside it", [&] { return run(sorter, sort); }, SQLITE_FULL},
            {"the table is let go",
             [&] {
                 const int rc = sqlite3_close(holder);
                 holder = nullptr;
                 return rc;
             },
             SQLITE_OK},
            {"the sort again", [&] { return run(sorter, sort); }, SQLITE_OK},
    };
    for (const auto &s : steps) {
        EXPECT_EQ(s.run(), s.rc) << s.step;
        if (s.rc == SQLITE_FULL)
            EXPECT_TRUE(tempBudgetExceeded()) << s.step;
    }
    EXPECT_LE(serverTempHeld(), base);
    sqlite3_close(sorter);
    sqlite3_close(holder);
    setServerTempLimit(-1);
}
