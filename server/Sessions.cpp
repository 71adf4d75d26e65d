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

long long unixNow()
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

// Argon2id takes 64 MiB a hash: a few at a time, whatever the number of logins.
std::mutex &hashing()
{
    static std::mutex m;
    return m;
}

} // namespace

void setDemoPasswords(Connection &c)
{
    Statement &stmt = c.cached(
            "INSERT INTO tPasswords (idUser, Hash) SELECT u.idUser, CAST(? AS TEXT) FROM "
            "tUsers u WHERE NOT EXISTS (SELECT 1 FROM tPasswords p WHERE "
            "p.idUser = u.idUser)");
    stmt.bind(1, std::string_view(kDemoHash));
    stmt.next();
    stmt.reset();
}

bool setPassword(Database &db, const std::string &login, const std::string &password)
{
    ensureSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("out of memory while hashing");
    auto lease = db.acquire();
    Statement &stmt = lease->cached(
            "INSERT INTO tPasswords (idUser, Hash) SELECT idUser, CAST(? AS TEXT) FROM "
            "tUsers WHERE Login = ? ON CONFLICT (idUser) DO UPDATE SET "
            "Hash = excluded.Hash");
    stmt.bind(1, std::string_view(hash));
    stmt.bind(2, login);
    stmt.next();
    stmt.reset();
    return lease->changes() > 0;
}

std::string issueSession(Database &db, long long user, int seconds)
{
    auto lease = db.acquire();
    Statement &known = lease->cached("SELECT 1 FROM tUsers WHERE idUser = ?");
    known.bind(1, user);
    const bool exists = known.next();
    known.reset();
    if (!exists)
        return {};
    const long long now = unixNow();
    Statement &sweep = lease->cached("DELETE FROM tSessions WHERE ExpiresAt <= ?");
    sweep.bind(1, now);
    sweep.step();
    sweep.reset();
    const std::string key = randomKey();
    Statement &stmt
            = lease->cached("INSERT INTO tSessions (KeyHash, idUser, ExpiresAt) VALUES (?, ?, ?)");
    stmt.bind(1, keyHash(key));
    stmt.bind(2, user);
    stmt.bind(3, now + seconds);
    stmt.next();
    stmt.reset();
    return key;
}

namespace {

// The user and company of the first row of a statement (idUser, UserConcession).
std::optional<SessionUser> firstUser(Statement &stmt)
{
    std::optional<SessionUser> user;
    if (stmt.next())
        user = SessionUser {stmt.integer(0), std::string(stmt.text(1))};
    stmt.reset();
    return user;
}

} // namespace

std::optional<SessionUser> sessionUser(Database &db, const std::string &key)
{
    if (key.size() != 64)
        return std::nullopt;
    ensureSodium();
    auto lease = db.acquire();
    Statement &stmt = lease->cached(
            "SELECT s.idUser, u.UserConcession FROM tSessions s JOIN tUsers u USING (idUser) "
            "WHERE s.KeyHash = ? AND s.ExpiresAt > ?");
    stmt.bind(1, keyHash(key));
    stmt.bind(2, unixNow());
    return firstUser(stmt);
}

SessionCheck sessionCheck(const std::string &key)
{
    ensureSodium();
    SessionCheck check;
    check.keyHash = keyHash(key);
    check.now = unixNow();
    return check;
}

std::optional<long long> checkPassword(Database &db, const std::string &login,
                                       const std::string &password)
{
    ensureSodium();
    std::string hash;
    long long user = 0;
    {
        auto lease = db.acquire();
        Statement &stmt = lease->cached("SELECT p.idUser, p.Hash FROM tPasswords p JOIN "
                                        "tUsers u USING (idUser) WHERE u.Login = ?");
        stmt.bind(1, login);
        if (stmt.next()) {
            user = stmt.integer(0);
            hash = std::string(stmt.text(1));
        }
        stmt.reset();
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

std::string issueTicket(Database &db, long long user, const std::string &selection,
                        const std::string &report)
{
    auto lease = db.acquire();
    const long long now = unixNow();
    Statement &sweep = lease->cached("DELETE FROM tReportTickets WHERE ExpiresAt <= ?");
    sweep.bind(1, now);
    sweep.step();
    sweep.reset();
    const std::string ticket = randomKey();
    Statement &stmt = lease->cached("INSERT INTO tReportTickets (KeyHash, idUser, Selection, "
                                    "Report, ExpiresAt) VALUES (?, ?, ?, ?, ?)");
    stmt.bind(1, keyHash(ticket));
    stmt.bind(2, user);
    stmt.bind(3, selection);
    stmt.bind(4, report);
    stmt.bind(5, now + kTicketSeconds);
    stmt.next();
    stmt.reset();
    return ticket;
}

std::optional<SessionUser> ticketUser(Database &db, const std::string &ticket,
                                      const std::string &selection, const std::string &report)
{
    if (ticket.size() != 64)
        return std::nullopt;
    ensureSodium();
    auto lease = db.acquire();
    Statement &stmt = lease->cached(
            "SELECT t.idUser, u.UserConcession FROM tReportTickets t JOIN tUsers u USING (idUser) "
            "WHERE t.KeyHash = ? AND t.Selection = ? AND t.Report = ? AND t.ExpiresAt > ?");
    stmt.bind(1, keyHash(ticket));
    stmt.bind(2, selection);
    stmt.bind(3, report);
    stmt.bind(4, unixNow());
    return firstUser(stmt);
}

} // namespace dravik::server
