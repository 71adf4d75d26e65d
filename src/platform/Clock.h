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

// A clock that only moves when told to; sleeping advances it and is recorded.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 1, 15), QTime(10, 0)))
        : m_now(start)
    { }
    QDateTime now() const override { return m_now; }
    qint64 tickCount() const override { return m_ticks; }
    void sleep(int ms) override;
    void advance(qint64 ms);
    void setNow(const QDateTime &now) { m_now = now; }
    const QList<int> &sleeps() const { return m_sleeps; }

private:
    QDateTime m_now;
    qint64 m_ticks = 0;
    QList<int> m_sleeps;
};
