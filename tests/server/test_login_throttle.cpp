// Failed logins: past the limit of a login or of an address, attempts wait for the window.

#include "server/LoginThrottle.h"

#include <gtest/gtest.h>

using dravik::server::LoginThrottle;
using namespace std::chrono_literals;

TEST(LoginThrottle, TooManyFailuresMakeTheNextAttemptsWait)
{
    const auto t0 = LoginThrottle::Clock::time_point {} + 1000s;
    const struct
    {
        std::vector<std::pair<const char *, const char *>>
                failures; // login, address; "" login: a success
        const char *login, *address;
        std::chrono::seconds later;
        long long wait;
    } cases[] = {
            {{{"anne", "a"}, {"anne", "a"}}, "anne", "a", 0s, 0},
            {{{"anne", "a"}, {"anne", "b"}, {"ANNE", "c"}}, "anne", "d", 10s, 590},
            {{{"anne", "a"}, {"anne", "a"}, {"anne", "a"}}, "anne", "a", 600s, 0},
            {{{"anne", "a"}, {"anne", "a"}, {"", "anne"}, {"anne", "a"}}, "anne", "a", 0s, 0},
            {{{"u1", "x"}, {"u2", "x"}, {"u3", "x"}, {"u4", "x"}, {"u5", "x"}},
             "u6",
             "x",
             60s,
             540},
            {{{"u1", "x"}, {"u2", "x"}, {"u3", "x"}, {"u4", "x"}, {"u5", "x"}}, "u6", "y", 0s, 0},
    };
    for (const auto &c : cases) {
        LoginThrottle throttle({3, 5, 600s});
        for (const auto &[login, address] : c.failures) {
            if (*login)
                throttle.failed(login, address, t0);
            else
                throttle.succeeded(address);
        }
        EXPECT_EQ(throttle.waitSeconds(c.login, c.address, t0 + c.later), c.wait)
                << c.login << "@" << c.address;
    }
}
