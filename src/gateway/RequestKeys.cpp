#include "gateway/RequestKeys.h"

#include <QRandomGenerator>

namespace {

QString slot(const QString &endpoint, const QString &statement)
{
    return endpoint + QLatin1Char('\n') + statement;
}

} // namespace

RequestKeys::RequestKeys(Maker make)
    : m_make(std::move(make))
{ }

QString RequestKeys::keyFor(const QString &endpoint, const QString &statement)
{
    const QString at = slot(endpoint, statement);
    if (const auto it = m_keys.constFind(at); it != m_keys.constEnd())
        return *it;
    if (m_order.size() >= kMaxPending)
        m_keys.remove(m_order.takeFirst());
    const QString key = m_make();
    m_keys.insert(at, key);
    m_order.append(at);
    return key;
}

void RequestKeys::answered(const QString &endpoint, const QString &statement)
{
    const QString at = slot(endpoint, statement);
    if (m_keys.remove(at))
        m_order.removeOne(at);
}

QString RequestKeys::randomKey()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString key;
    for (const quint32 w : words)
        key += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    return key;
}
