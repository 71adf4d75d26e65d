#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One running copy per user: a lock file marks the running copy, and a local socket of the
// same name carries messages to it ("show" to raise its window, "1024" to reload). A lock
// left by a copy that crashed is taken over.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // key: "ProjDravik" and the user name; lockFolder: where the lock file lives.
    SingleInstance(const QString &key, const QString &lockFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running copy (and listens for messages).
    bool acquire();
    bool isPrimary() const { return m_primary; }

    // Sends one message to the running copy. False when none answers.
    bool send(const QByteArray &message, int timeoutMs = 3000) const;

    static QString keyFor(const QString &userName);
    static QByteArray showMessage() { return QByteArrayLiteral("show"); }
    static QByteArray reloadMessage() { return QByteArrayLiteral("1024"); }

signals:
    void messageReceived(const QByteArray &message);

private:
    void readConnection();
    // True while some live process holds the lock.
    bool lockHeld() const;

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    bool m_primary = false;
};
