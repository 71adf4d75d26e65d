#pragma once

// The reference server on a free loopback port, with a fresh demo database in a folder of its
// own, for the tests and benchmarks that talk to a real server. Stopped, and its folder
// removed, when the object goes. A Qt application object must exist.
//
// The binary is the build's server/dravik-server; DRAVIK_SERVER names another one.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

class DemoServer
{
public:
    // seed: "demo", or "large" for the benchmark's data set on top of it.
    explicit DemoServer(const QString &seed = QStringLiteral("demo"))
    {
        const QByteArray custom = qgetenv("DRAVIK_SERVER");
        const QString program = custom.isEmpty()
                ? QStringLiteral(DRAVIK_TEST_BUILD_DIR "/server/dravik-server")
                : QString::fromLocal8Bit(custom);
        QDir(m_dir.path()).mkpath(QStringLiteral("photos"));
        m_program = program;
        m_process.setProgram(program);
        m_process.setArguments({QStringLiteral("--db"), databasePath(), QStringLiteral("--photos"),
                                m_dir.filePath(QStringLiteral("photos")), QStringLiteral("--port"),
                                QStringLiteral("0"), QStringLiteral("--seed"), seed});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
        if (!m_process.waitForStarted(10000)) {
            m_error = QStringLiteral("cannot start ") + program;
            return;
        }
        // "dravik-server listening on http://127.0.0.1:PORT/"
        static const QRegularExpression listening(QStringLiteral("listening on (http://\\S+/)"));
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        while (m_base.isEmpty() && waited.elapsed() < 30000
               && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(200);
            output += m_process.readAll();
            const auto match = listening.match(QString::fromLocal8Bit(output));
            if (match.hasMatch())
                m_base = match.captured(1);
        }
        if (m_base.isEmpty())
            m_error = QStringLiteral("no address from the server: ")
                    + QString::fromLocal8Bit(output);
    }
    ~DemoServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }
    DemoServer(const DemoServer &) = delete;
    DemoServer &operator=(const DemoServer &) = delete;

    // "http://127.0.0.1:PORT/": the client's BaseHRef. Empty when the server did not start.
    const QString &baseHRef() const { return m_base; }
    const QString &error() const { return m_error; }
    // The server's SQLite file, for tests that check what was written.
    QString databasePath() const { return m_dir.filePath(QStringLiteral("demo.sqlite")); }
    // The folder the server keeps and serves its photo files in.
    QString photoFolder() const { return m_dir.filePath(QStringLiteral("photos")); }
    // The server's process, for tests that freeze it (SIGSTOP) and let it go on.
    qint64 processId() const { return m_process.processId(); }
    // A session key of a demo user (the client's launch key "SessionKey"), from the server's
    // command for scripts; empty when the user is unknown.
    QString sessionKey(int user) const
    {
        QProcess issue;
        issue.start(m_program,
                    {QStringLiteral("--db"), databasePath(), QStringLiteral("--issue-key"),
                     QString::number(user)});
        issue.waitForFinished(10000);
        return QString::fromLatin1(issue.readAllStandardOutput()).trimmed();
    }

private:
    QString m_program;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_base;
    QString m_error;
};
