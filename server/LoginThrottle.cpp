#include "server/LoginThrottle.h"

#include <algorithm>

namespace dravik::server {

namespace {

// Logins compare without letter case, as the users table does.
std::string loginKey(const std::string &login)
{
    std::string key = login;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : char(c); });
    return key;
}

} // namespace

long long LoginThrottle::wait(std::map<std::string, Count> &counts, const std::string &key,
                              int limit, Clock::time_point now)
{
    const auto it = counts.find(key);
    if (it == counts.end())
        return 0;
    const auto end = it->second.since + m_limits.window;
    if (now >= end) {
        counts.erase(it);
        return 0;
    }
    if (it->second.failures < limit)
        return 0;
    return std::max<long long>(1,
                               std::chrono::duration_cast<std::chrono::seconds>(end - now).count());
}

void LoginThrottle::count(std::map<std::string, Count> &counts, const std::string &key,
                          Clock::time_point now)
{
    Count &c = counts[key];
    if (c.failures == 0 || now >= c.since + m_limits.window)
        c = {0, now};
    ++c.failures;
}

long long LoginThrottle::waitSeconds(const std::string &login, const std::string &address,
                                     Clock::time_point now)
{
    std::lock_guard lock(m_mutex);
    return std::max(wait(m_logins, loginKey(login), m_limits.perLogin, now),
                    wait(m_addresses, address, m_limits.perAddress, now));
}

void LoginThrottle::failed(const std::string &login, const std::string &address,
                           Clock::time_point now)
{
    std::lock_guard lock(m_mutex);
    count(m_logins, loginKey(login), now);
    count(m_addresses, address, now);
    // Names that are never tried again must not pile up.
    if (m_logins.size() > 100000)
        m_logins.clear();
}

void LoginThrottle::succeeded(const std::string &login)
{
    std::lock_guard lock(m_mutex);
    m_logins.erase(loginKey(login));
}

} // namespace dravik::server
