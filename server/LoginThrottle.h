#pragma once

// Slows down password guessing: after too many failed logins for one login name, or from one
// address, within a window, further attempts are refused without checking the password until
// the window has passed. Kept in memory: a restart forgets it.

#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace dravik::server {

class LoginThrottle
{
public:
    using Clock = std::chrono::steady_clock;

    struct Limits
    {
        int perLogin = 5;
        int perAddress = 20;
        std::chrono::seconds window {15 * 60};
    };

    LoginThrottle() = default;
    explicit LoginThrottle(Limits limits)
        : m_limits(limits)
    { }

    // Seconds to wait before the next attempt of that login from that address; 0: go ahead.
    long long waitSeconds(const std::string &login, const std::string &address,
                          Clock::time_point now = Clock::now());
    // A failed attempt counts against both; a success clears the login's count.
    void failed(const std::string &login, const std::string &address,
                Clock::time_point now = Clock::now());
    void succeeded(const std::string &login);

private:
    struct Count
    {
        int failures = 0;
        Clock::time_point since;
    };
    long long wait(std::map<std::string, Count> &counts, const std::string &key, int limit,
                   Clock::time_point now);
    void count(std::map<std::string, Count> &counts, const std::string &key, Clock::time_point now);

    Limits m_limits;
    std::mutex m_mutex;
    std::map<std::string, Count> m_logins, m_addresses;
};

} // namespace dravik::server
