#include "server/Sessions.h"

#include "server/Database.h"

#include <sodium.h>

#include <chrono>
#include <mutex>
#include <stdexcept>

namespace dravik::server {

namespace {

// The demo password "dravik", hashed once (salted, Argon2id, interactive limits).
constexpr const char *kDemoHash = "$argon2id$v=19$m=65536,t=2,p=1$Zyx4z4ZfUV3hTE3ql8Bpkg$"
                                  "hhgQPiRj6x/AteHcIZVohNHUi99npnApEG0fqq2AIMs";

void ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium cannot start");
}

sqlite3_int64 unixNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
}

std::string toHex(const unsigned char *bytes, size_t n)
{
    std::string hex(n * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes, n);
    hex.pop_back();
    return hex;
}

std::string randomKey()
{
    ensureSodium();
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return toHex(bytes, sizeof bytes);
}

// What the database keeps of a key: its hash, so that a copy of the file opens no session.
std::string keyHash(const std::string &key)
{
    unsigned char hash[32];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char *>(key.data()),
                       key.size(), nullptr, 0);
    return toHex(hash, sizeof hash);
}

void bindText(sqlite3_stmt *stmt, int i, const std::string &text)
{
    sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void exec(sqlite3 *db, const char *sql)
{
    checkSqlite(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

// Argon2id takes 64 MiB a hash: a few at a time, whatever the number of logins.
std::mutex &hashing()
{
    static std::mutex m;
    return m;
}

} // namespace

void createSessionTables(sqlite3 *db)
{
    exec(db,
         "CREATE TABLE IF NOT EXISTS tPasswords (idUser INTEGER PRIMARY KEY, Hash TEXT NOT NULL);"
         "CREATE TABLE IF NOT EXISTS tSessions (KeyHash TEXT PRIMARY KEY, idUser INTEGER NOT "
         "NULL, ExpiresAt INTEGER NOT NULL);"
         "CREATE TABLE IF NOT EXISTS tReportTickets (KeyHash TEXT PRIMARY KEY, idUser INTEGER "
         "NOT NULL, Selection TEXT NOT NULL, Report TEXT NOT NULL, ExpiresAt INTEGER NOT NULL)");
}

void setDemoPasswords(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    checkSqlite(db,
                sqlite3_prepare_v2(db,
                                   "INSERT OR IGNORE INTO tPasswords (idUser, Hash) "
                                   "SELECT idUser, ? FROM tUsers",
                                   -1, &stmt, nullptr),
                "demo passwords");
    sqlite3_bind_text(stmt, 1, kDemoHash, -1, SQLITE_STATIC);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    checkSqlite(db, rc, "demo passwords");
}

bool setPassword(sqlite3 *db, const std::string &login, const std::string &password)
{
    ensureSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("out of memory while hashing");
    sqlite3_stmt *stmt = nullptr;
    checkSqlite(db,
                sqlite3_prepare_v2(db,
                                   "INSERT OR REPLACE INTO tPasswords (idUser, Hash) "
                                   "SELECT idUser, ? FROM tUsers WHERE Login = ?",
                                   -1, &stmt, nullptr),
                "password");
    sqlite3_bind_text(stmt, 1, hash, -1, SQLITE_TRANSIENT);
    bindText(stmt, 2, login);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    checkSqlite(db, rc, "password");
    return sqlite3_changes(db) > 0;
}

std::string issueSession(Database &db, sqlite3_int64 user, int seconds)
{
    auto lease = db.acquire();
    sqlite3_stmt *known = lease->cached("SELECT 1 FROM tUsers WHERE idUser = ?");
    sqlite3_bind_int64(known, 1, user);
    const bool exists = sqlite3_step(known) == SQLITE_ROW;
    sqlite3_reset(known);
    if (!exists)
        return {};
    const sqlite3_int64 now = unixNow();
    sqlite3_stmt *sweep = lease->cached("DELETE FROM tSessions WHERE ExpiresAt <= ?");
    sqlite3_bind_int64(sweep, 1, now);
    sqlite3_step(sweep);
    sqlite3_reset(sweep);
    const std::string key = randomKey();
    sqlite3_stmt *stmt
            = lease->cached("INSERT INTO tSessions (KeyHash, idUser, ExpiresAt) VALUES (?, ?, ?)");
    bindText(stmt, 1, keyHash(key));
    sqlite3_bind_int64(stmt, 2, user);
    sqlite3_bind_int64(stmt, 3, now + seconds);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    checkSqlite(lease->handle(), rc, "session");
    return key;
}

namespace {

// The user and company of the first row of a statement (idUser, UserConcession).
std::optional<SessionUser> firstUser(sqlite3_stmt *stmt)
{
    std::optional<SessionUser> user;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto *c = sqlite3_column_text(stmt, 1);
        user = SessionUser {sqlite3_column_int64(stmt, 0),
                            c ? reinterpret_cast<const char *>(c) : ""};
    }
    sqlite3_reset(stmt);
    return user;
}

} // namespace

std::optional<SessionUser> sessionUser(Database &db, const std::string &key)
{
    if (key.size() != 64)
        return std::nullopt;
    ensureSodium();
    auto lease = db.acquire();
    sqlite3_stmt *stmt = lease->cached(
            "SELECT s.idUser, u.UserConcession FROM tSessions s JOIN tUsers u USING (idUser) "
            "WHERE s.KeyHash = ? AND s.ExpiresAt > ?");
    bindText(stmt, 1, keyHash(key));
    sqlite3_bind_int64(stmt, 2, unixNow());
    return firstUser(stmt);
}

std::optional<sqlite3_int64> checkPassword(Database &db, const std::string &login,
                                           const std::string &password)
{
    ensureSodium();
    std::string hash;
    sqlite3_int64 user = 0;
    {
        auto lease = db.acquire();
        sqlite3_stmt *stmt = lease->cached("SELECT p.idUser, p.Hash FROM tPasswords p JOIN "
                                           "tUsers u USING (idUser) WHERE u.Login = ?");
        bindText(stmt, 1, login);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            user = sqlite3_column_int64(stmt, 0);
            hash = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1));
        }
        sqlite3_reset(stmt);
    }
    // An unknown login costs a hash too, so that timing does not tell logins apart.
    std::lock_guard lock(hashing());
    const bool ok = crypto_pwhash_str_verify(hash.empty() ? kDemoHash : hash.c_str(),
                                             password.data(), password.size())
            == 0;
    if (!ok || hash.empty())
        return std::nullopt;
    return user;
}

std::string issueTicket(Database &db, sqlite3_int64 user, const std::string &selection,
                        const std::string &report)
{
    auto lease = db.acquire();
    const sqlite3_int64 now = unixNow();
    sqlite3_stmt *sweep = lease->cached("DELETE FROM tReportTickets WHERE ExpiresAt <= ?");
    sqlite3_bind_int64(sweep, 1, now);
    sqlite3_step(sweep);
    sqlite3_reset(sweep);
    const std::string ticket = randomKey();
    sqlite3_stmt *stmt
            = lease->cached("INSERT INTO tReportTickets (KeyHash, idUser, Selection, Report, "
                            "ExpiresAt) VALUES (?, ?, ?, ?, ?)");
    bindText(stmt, 1, keyHash(ticket));
    sqlite3_bind_int64(stmt, 2, user);
    bindText(stmt, 3, selection);
    bindText(stmt, 4, report);
    sqlite3_bind_int64(stmt, 5, now + kTicketSeconds);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    checkSqlite(lease->handle(), rc, "ticket");
    return ticket;
}

std::optional<SessionUser> ticketUser(Database &db, const std::string &ticket,
                                      const std::string &selection, const std::string &report)
{
    if (ticket.size() != 64)
        return std::nullopt;
    ensureSodium();
    auto lease = db.acquire();
    sqlite3_stmt *stmt = lease->cached(
            "SELECT t.idUser, u.UserConcession FROM tReportTickets t JOIN tUsers u USING (idUser) "
            "WHERE t.KeyHash = ? AND t.Selection = ? AND t.Report = ? AND t.ExpiresAt > ?");
    bindText(stmt, 1, keyHash(ticket));
    bindText(stmt, 2, selection);
    bindText(stmt, 3, report);
    sqlite3_bind_int64(stmt, 4, unixNow());
    return firstUser(stmt);
}

} // namespace dravik::server
