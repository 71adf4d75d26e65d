#pragma once

#include <QString>

#include <functional>

// Where the engine writes its trace lines; the window passes its TraceLog. Empty: no trace.
using TraceFn = std::function<void(const QString &)>;

inline void trace(const TraceFn &fn, const QString &line)
{
    if (fn)
        fn(line);
}

// Flags are written -1 and 0 in trace lines.
inline QString traceFlag(bool flag)
{
    return flag ? QStringLiteral("-1") : QStringLiteral("0");
}
