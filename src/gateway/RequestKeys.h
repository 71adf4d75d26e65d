#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// The request keys of the write requests. A write whose answer never came may still have been
// applied: sent again, it carries the key it had, so that a server that applied it answers what
// it answered then instead of applying it twice. A statement takes a new key once an answer
// came back for it.
class RequestKeys
{
public:
    using Maker = std::function<QString()>;

    explicit RequestKeys(Maker make = &RequestKeys::randomKey);

    // The key of this statement to this endpoint: the one of its unanswered sending, or a new one.
    QString keyFor(const QString &endpoint, const QString &statement);
    // The server answered (applied or refused): the next sending is a new request.
    void answered(const QString &endpoint, const QString &statement);
    int pending() const { return int(m_keys.size()); }

    // 128 random bits as 32 lowercase hexadecimal digits.
    static QString randomKey();
    // Unanswered statements remembered at most; the oldest is forgotten first.
    static constexpr int kMaxPending = 64;

private:
    Maker m_make;
    QHash<QString, QString> m_keys;
    QStringList m_order; // oldest first
};
