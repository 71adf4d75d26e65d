#pragma once

#include "platform/Clock.h"

#include <QList>

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
