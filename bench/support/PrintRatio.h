#pragma once

// One ratio a benchmark measured, printed as
//   ratio: <what> = <value> (aim <= 0.5)
// without the aim when the ratio is for information; bench/run-all.sh collects these lines.

#include <cstdio>

inline void printRatio(const char *what, double value, const char *aim = nullptr)
{
    if (aim)
        std::printf("ratio: %s = %.2f (aim %s)\n", what, value, aim);
    else
        std::printf("ratio: %s = %.2f\n", what, value);
    std::fflush(stdout);
}
