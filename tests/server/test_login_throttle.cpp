// Failed logins: past the limit of a login or of an address, attempts wait for the window.

#include "server/LoginThrottle.h"

#include <gtest/gtest.h>

using dravik::server::LoginThrottle;
using namespace std::chrono_literals;

TEST(LoginThrottle, TooManyFailuresMakeTheNextAttemptsWait)
{
    const LoginThrottle::Limits limits {3, 5, 600s};
    const auto t0 = LoginThrottle::Clock::time_point {} + 1000s;
    struct Attempt
    {
        const char *login, *address;
        bool ok;
    };
    const struct
    {
        std::vector<Attempt> before;
        Attempt next;
        std::chrono::seconds later;
        long long wait;
    } cases[] = {
            {{{"anne", "a", false}, {"anne", "a", false}}, {"anne", "a", false}, 0s, 0},
            {{{"anne", "a", false}, {"anne", "b", false}, {"ANNE", "c", false}},
             {"anne", "d", true},
             10s,
             590},
            // The window has passed.
            {{{"anne", "a", false}, {"anne", "a", false}, {"anne", "a", false}},
             {"anne", "a", true},
             600s,
             0},
            // A success clears the login's failures.
            {{{"anne", "a", false},
              {"anne", "a", false},
              {"anne", "a", true},
              {"anne", "a", false}},
             {"anne", "a", true},
             0s,
             0},
            // One address trying many logins.
            {{{"u1", "x", false},
              {"u2", "x", false},
              {"u3", "x", false},
              {"u4", "x", false},
              {"u5", "x", false}},
             {"u6", "x", true},
             60s,
             540},
            {{{"u1", "x", false},
              {"u2", "x", false},
              {"u3", "x", false},
              {"u4", "x", false},
              {"u5", "x", false}},
             {"u6", "y", true},
             0s,
             0},
    };
    for (const auto &c : cases) {
        LoginThrottle throttle(limits);
        for (const Attempt &a : c.before) {
            if (a.ok)
                throttle.succeeded(a.login);
            else
                throttle.failed(a.login, a.address, t0);
        }
        EXPECT_EQ(throttle.waitSeconds(c.next.login, c.next.address, t0 + c.later), c.wait)
                << c.next.login << "@" << c.next.address;
    }
}
