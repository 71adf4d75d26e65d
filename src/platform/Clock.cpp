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
