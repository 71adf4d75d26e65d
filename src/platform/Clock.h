#pragma once

#include <QDateTime>

// The present time, the millisecond tick count and the thread sleep the program relies on.
// Injected so that cache freshness, dates and retry waits can be driven by tests.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual qint64 tickCount() const = 0;
    // Blocks the thread; no event is processed meanwhile.
    virtual void sleep(int ms) = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override;
    qint64 tickCount() const override;
    void sleep(int ms) override;
};
