#include "gateway/UnitTools.h"

#include "platform/Environment.h"
#include "platform/FileVersion.h"

QString GetSettingsPath(const Environment &env)
{
    return env.appData() + QStringLiteral("/Dravik/TAXDravik.ini");
}

QString GetFileVersion(const QString &path)
{
    return ReadFileVersion(path);
}

QString ListField(const QString &text, int n)
{
    if (n < 1)
        return {};
    const QString all = text + QLatin1Char(';');
    qsizetype start = 0;
    for (int field = 1;; ++field) {
        const qsizetype end = all.indexOf(QLatin1Char(';'), start);
        if (end < 0)
            return {};
        if (field == n)
            return all.mid(start, end - start);
        start = end + 1;
    }
}

ProxyEndpoint ParseProxyServer(const QString &proxyServer)
{
    QString fields = proxyServer;
    fields.replace(QLatin1Char(':'), QLatin1Char(';'));
    ProxyEndpoint proxy;
    proxy.host = ListField(fields, 1);
    bool ok = false;
    proxy.port = ListField(fields, 2).toInt(&ok);
    if (!ok)
        proxy.port = 80;
    return proxy;
}

QString ProxyFromEnvironment(const Environment &env)
{
    QString value = env.variable(QStringLiteral("http_proxy")).trimmed();
    if (value.isEmpty())
        value = env.variable(QStringLiteral("HTTP_PROXY")).trimmed();
    const qsizetype scheme = value.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        value.remove(0, scheme + 3);
    const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        value.remove(0, at + 1);
    while (value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value;
}
