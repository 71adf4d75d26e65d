#pragma once

// Who is asking. Users log in with a password (stored as an Argon2id hash) and get a session
// key; every request carries the key (header "X-Dravik-Session" or cookie "DravikSession"), and
// the server takes the user from it. A report opened in the browser, which has no session,
// carries a ticket issued for that report alone, valid for a minute.
//
// Keys and tickets are random (256 bits); the database holds only their hashes.

#include <optional>
#include <string>

namespace dravik::server {

class Connection;
class Database;
struct SessionCheck;

struct SessionUser
{
    long long id = 0;
    std::string concession;
};

constexpr int kSessionSeconds = 12 * 3600;
constexpr int kTicketSeconds = 60;

// Gives every user without a password the demo password "dravik".
void setDemoPasswords(Connection &c);
// Sets a user's password (by login); false when there is no such user.
bool setPassword(Database &db, const std::string &login, const std::string &password);

// A new session key for the user, or empty when there is no such user.
std::string issueSession(Database &db, long long user, int seconds = kSessionSeconds);
// The user of an unexpired key.
std::optional<SessionUser> sessionUser(Database &db, const std::string &key);
// The lookup of a key that a read's own first transaction makes (Database.h), for a key of
// the right length.
SessionCheck sessionCheck(const std::string &key);
// The user of a login and password, checked against the stored hash.
std::optional<long long> checkPassword(Database &db, const std::string &login,
                                       const std::string &password);

// A ticket for one report of one selection, and the user it was issued to while it is valid
// for that report: the report then opens within that user's company.
std::string issueTicket(Database &db, long long user, const std::string &selection,
                        const std::string &report);
std::optional<SessionUser> ticketUser(Database &db, const std::string &ticket,
                                      const std::string &selection, const std::string &report);

} // namespace dravik::server
