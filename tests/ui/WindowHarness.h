#pragma once

// A main window on test doubles: settings and temporary folders of its own, a scripted
// HTTP transport, a manual clock and queued message boxes.

#include "support/FakeEnvironment.h"
#include "support/FakeKeyboard.h"
#include "support/ManualClock.h"
#include "support/QueuedMessageBoxes.h"
#include "support/RecordingShell.h"

#include "app/IniFile.h"
#include "ui/TAxDravik.h"

#include "ui/widgets/ToolkitTexts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <deque>
#include <functional>

inline QApplication &testApp()
{
    static int argc = 1;
    static char name[] = "test_ui";
    static char *argv[] = {name, nullptr};
    // Never destroyed: Qt's input devices must not outlive it at exit.
    static QApplication *app = [] {
        auto *made = new QApplication(argc, argv);
        useFrenchToolkitTexts(*made);
        return made;
    }();
    return *app;
}

class FakeTransport : public HttpTransport
{
public:
    HttpReply get(const QByteArray &url) override { return answer(url); }
    HttpReply post(const QByteArray &url, const QList<FormPart> &) override { return answer(url); }
    void dropConnection() override { ++drops; }
    void setProxy(const QString &host, int port) override
    {
        proxyHost = host;
        proxyPort = port;
    }
    bool busy() const override { return m_busy; }

    QList<QByteArray> urls;
    std::deque<HttpReply> replies;
    std::function<void()> duringRequest; // runs while the request is "in flight"
    int drops = 0;
    QString proxyHost;
    int proxyPort = 0;

private:
    HttpReply answer(const QByteArray &url)
    {
        urls << url;
        m_busy = true;
        if (duringRequest)
            duringRequest();
        m_busy = false;
        if (replies.empty())
            return {true, 200, "<r/>", {}};
        HttpReply reply = replies.front();
        replies.pop_front();
        return reply;
    }
    bool m_busy = false;
};

class WindowHarness
{
public:
    WindowHarness()
    {
        testApp();
        env.vars[QStringLiteral("APPDATA")] = dir.filePath(QStringLiteral("appdata"));
        env.vars[QStringLiteral("TEMP")] = dir.filePath(QStringLiteral("temp"));
        env.vars[QStringLiteral("USER")] = QStringLiteral("tester");
        QDir().mkpath(temp());
    }

    QString settingsPath() const { return appData() + QStringLiteral("/Dravik/TAXDravik.ini"); }
    QString appData() const { return env.vars.value(QStringLiteral("APPDATA")); }
    QString temp() const { return env.vars.value(QStringLiteral("TEMP")); }

    void writeSettings(const QList<std::pair<QString, QString>> &values)
    {
        QDir().mkpath(appData() + QStringLiteral("/Dravik"));
        WriteIniValues(settingsPath(), QStringLiteral("Options"), values);
    }

    // The launch keys of a record of the demo company, for a user who sees every site.
    void writeRecordKeys(const QString &baseHRef, int user, const QString &vehicle,
                         const QString &customer, int typeVO, const QString &sessionKey = {})
    {
        writeSettings({{QStringLiteral("BaseHRef"), baseHRef},
                       {QStringLiteral("SessionKey"), sessionKey},
                       {QStringLiteral("idUser"), QString::number(user)},
                       {QStringLiteral("UserConcession"), QStringLiteral("ZOLVARE")},
                       {QStringLiteral("UserSite"), QStringLiteral("#")},
                       {QStringLiteral("idTVO"), vehicle},
                       {QStringLiteral("idClient"), customer},
                       {QStringLiteral("idTypeVO"), QString::number(typeVO)}});
    }

    // The window owns the doubles; the raw pointers stay valid while it lives.
    std::unique_ptr<TAxDravik> makeWindow(std::unique_ptr<HttpTransport> http1 = nullptr,
                                          std::unique_ptr<Shell> shell = nullptr)
    {
        TAxDravikServices s;
        auto e = std::make_unique<FakeEnvironment>(env);
        auto c = std::make_unique<ManualClock>();
        auto k = std::make_unique<FakeKeyboard>();
        auto m = std::make_unique<QueuedMessageBoxes>();
        auto t1 = std::make_unique<FakeTransport>();
        auto t2 = std::make_unique<FakeTransport>();
        clock = c.get();
        keyboard = k.get();
        boxes = m.get();
        transport1 = http1 ? nullptr : t1.get();
        transport2 = t2.get();
        s.environment = std::move(e);
        s.clock = std::move(c);
        s.keyboard = std::move(k);
        s.messages = std::move(m);
        s.shell = shell ? std::move(shell) : std::make_unique<RecordingShell>();
        s.http1 = http1 ? std::move(http1) : std::move(t1);
        s.http2 = std::move(t2);
        return std::make_unique<TAxDravik>(std::move(s));
    }

    QTemporaryDir dir;
    FakeEnvironment env;
    ManualClock *clock = nullptr;
    FakeKeyboard *keyboard = nullptr;
    QueuedMessageBoxes *boxes = nullptr;
    FakeTransport *transport1 = nullptr;
    FakeTransport *transport2 = nullptr;
};
