#pragma once

// A window for the benchmarks: the real clock and transport, its own folders, the demo
// administrator of the demo company on the server at baseHRef, its lists fetched.

#include "support/DemoServer.h"
#include "support/FakeEnvironment.h"
#include "support/FakeKeyboard.h"
#include "support/QueuedMessageBoxes.h"
#include "support/RatioReporter.h"
#include "support/RecordingShell.h"

#include "app/IniFile.h"
#include "gateway/CurlTransport.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Keyboard.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"
#include "seed/Seed.h"
#include "ui/TAxDravik.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

inline std::unique_ptr<TAxDravik>
makeBenchWindow(const QString &baseHRef, const QTemporaryDir &folder, const QString &sessionKey)
{
    auto env = std::make_unique<FakeEnvironment>();
    env->vars[QStringLiteral("APPDATA")] = folder.filePath(QStringLiteral("appdata"));
    env->vars[QStringLiteral("TEMP")] = folder.filePath(QStringLiteral("temp"));
    QDir().mkpath(env->vars[QStringLiteral("TEMP")]);
    QDir().mkpath(env->vars[QStringLiteral("APPDATA")] + QStringLiteral("/Dravik"));
    // A reload reads the session key from the settings file, as the launcher leaves it there.
    WriteIniValues(env->vars[QStringLiteral("APPDATA")] + QStringLiteral("/Dravik/TAXDravik.ini"),
                   QStringLiteral("Options"), {{QStringLiteral("SessionKey"), sessionKey}});
    TAxDravikServices s;
    s.environment = std::move(env);
    s.clock = std::make_unique<SystemClock>();
    s.keyboard = std::make_unique<FakeKeyboard>();
    s.messages = std::make_unique<QueuedMessageBoxes>();
    s.shell = std::make_unique<RecordingShell>();
    auto http1 = std::make_unique<CurlTransport>(5000);
    CurlTransport *transport = http1.get();
    s.http1 = std::move(http1);
    s.http2 = std::make_unique<CurlTransport>(0);
    auto w = std::make_unique<TAxDravik>(std::move(s));
    w->Set_BaseHRef(baseHRef);
    // After the start, which took the (empty) address and key of the settings file.
    transport->setSession(baseHRef.toUtf8(), sessionKey.toUtf8());
    w->Set_idUser(QString::number(dravik::seed::kUserAdmin));
    w->Set_UserConcession(QString::fromLatin1(dravik::seed::kConcession));
    w->Set_UserSite(QStringLiteral("#"));
    w->idTypeVO = 1;
    w->UpdateParams();
    return w;
}

// The main of a window benchmark: an offscreen application, a demo server and a folder of
// their own (published through server and folder while the benchmarks run; seed names the
// server's data set), then report
// prints the ratios; answers the exit code, 1 when the server or a ratio is missing.
inline int runBenchWindows(int argc, char **argv, DemoServer *&server, QTemporaryDir *&folder,
                           const std::function<bool(RatioReporter &)> &report,
                           const QString &seed = QStringLiteral("demo"))
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Each benchmark three times, the work and its reference in random turns, so that a busy
    // moment of the machine weighs on both alike; the ratios take the best of each.
    std::vector<char *> args(argv, argv + argc);
    const bool repeated = std::any_of(args.begin(), args.end(), [](const char *a) {
        return std::strncmp(a, "--benchmark_repetitions", 23) == 0;
    });
    static char repetitions[] = "--benchmark_repetitions=3";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    if (!repeated) {
        args.push_back(repetitions);
        args.push_back(interleaving);
    }
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    QTemporaryDir ownFolder;
    DemoServer ownServer(seed);
    if (ownServer.baseHRef().isEmpty()) {
        std::fprintf(stderr, "%s\n", ownServer.error().toLocal8Bit().constData());
        return 1;
    }
    server = &ownServer;
    folder = &ownFolder;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool reported = report(reporter);
    server = nullptr;
    folder = nullptr;
    return reported ? 0 : 1;
}
