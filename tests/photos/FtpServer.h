#pragma once

// pyftpdlib on a free loopback port, serving a temporary folder that holds "www/voimages";
// stopped, and its folder removed, when the object goes. "drop" makes it close the
// connection as soon as a file is sent.

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

class FtpServer
{
public:
    static inline const QString kUser = QStringLiteral("dravik");
    static inline const QString kPassword = QStringLiteral("demo2009");

    explicit FtpServer(bool drop = false)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("www/voimages"));
        static const char *script = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
root, user, password, drop = sys.argv[1:5]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmw")
class Handler(FTPHandler):
    def ftp_STOR(self, file, mode="w"):
        if drop == "1":
            self.close()
            return
        return FTPHandler.ftp_STOR(self, file, mode)
Handler.authorizer = authorizer
Handler.permit_foreign_addresses = False
server = FTPServer(("127.0.0.1", 0), Handler)
print("ftp port", server.address[1], flush=True)
server.serve_forever()
)";
        const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                ? QStringLiteral("/usr/bin/python3")
                : QStringLiteral("python3");
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(python,
                        {QStringLiteral("-c"), QString::fromLatin1(script), m_dir.path(), kUser,
                         kPassword, drop ? QStringLiteral("1") : QStringLiteral("0")});
        static const QRegularExpression listening(QStringLiteral("ftp port (\\d+)"));
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        while (m_port == 0 && waited.elapsed() < 20000
               && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(200);
            output += m_process.readAll();
            const auto match = listening.match(QString::fromLocal8Bit(output));
            if (match.hasMatch())
                m_port = match.captured(1).toInt();
        }
        if (m_port == 0)
            m_error = QString::fromLocal8Bit(output);
    }
    ~FtpServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    FtpServer(const FtpServer &) = delete;
    FtpServer &operator=(const FtpServer &) = delete;

    int port() const { return m_port; }
    const QString &error() const { return m_error; }
    // The remote photo folder as a local path.
    QString photoFolder() const { return m_dir.filePath(QStringLiteral("www/voimages")); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};
