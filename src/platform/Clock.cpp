#include "platform/Clock.h"

#include <QElapsedTimer>
#include <QThread>

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::tickCount() const
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

void SystemClock::sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

void ManualClock::sleep(int ms)
{
    m_sleeps.append(ms);
    advance(ms);
}

void ManualClock::advance(qint64 ms)
{
    m_ticks += ms;
    m_now = m_now.addMSecs(ms);
}
