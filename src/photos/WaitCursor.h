#pragma once

#include <QGuiApplication>

// The hourglass while a photo step runs; off while a window of its own waits for the user.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    void pause()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
        m_on = false;
    }
    void resume()
    {
        if (!m_on)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_on = true;
    }

private:
    bool m_on = true;
};
