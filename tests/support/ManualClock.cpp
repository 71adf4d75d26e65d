#include "support/ManualClock.h"

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
