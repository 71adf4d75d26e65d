#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

SingleInstance::SingleInstance(const QString &key, const QString &lockFolder, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_lock(QDir(lockFolder).filePath(key + QStringLiteral(".lock")))
{
    // Only a dead owner makes the lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_primary)
        m_lock.unlock();
}

QString SingleInstance::keyFor(const QString &userName)
{
    QString safe;
    for (const QChar c : userName)
        safe += c.isLetterOrNumber() ? c : QLatin1Char('_');
    return QStringLiteral("ProjDravik-") + safe;
}

bool SingleInstance::acquire()
{
    if (m_primary)
        return true;
    if (!m_lock.tryLock(0))
        return false;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left behind by a crashed copy would block listen().
    QLocalServer::removeServer(m_key);
    // Without the socket this copy still runs; it only cannot be reached by later starts.
    if (m_server->listen(m_key))
        connect(m_server.get(), &QLocalServer::newConnection, this,
                &SingleInstance::readConnection);
    else
        m_server.reset();
    m_primary = true;
    return true;
}

void SingleInstance::readConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QList<QByteArray> lines;
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine().trimmed();
                if (!line.isEmpty())
                    lines << line;
            }
            // Handled once the socket is left alone: a handler may run the event loop, and the
            // socket may go meanwhile.
            for (const QByteArray &line : lines)
                QMetaObject::invokeMethod(
                        this, [this, line] { emit messageReceived(line); }, Qt::QueuedConnection);
        });
    }
}

bool SingleInstance::lockHeld() const
{
    if (m_primary)
        return true;
    QLockFile probe(m_lock.fileName());
    probe.setStaleLockTime(0);
    if (!probe.tryLock(0))
        return true;
    probe.unlock();
    return false;
}

bool SingleInstance::send(const QByteArray &message, int timeoutMs) const
{
    // The running copy may still be starting: it holds the lock before it listens.
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(std::max<int>(1, int(deadline.remainingTime())))) {
            socket.write(message + '\n');
            const bool written = socket.waitForBytesWritten(int(deadline.remainingTime()) + 100);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(500);
            return written;
        }
        if (deadline.hasExpired() || !lockHeld())
            return false;
        QThread::msleep(50);
    }
}
