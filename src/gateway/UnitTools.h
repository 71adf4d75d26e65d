#pragma once

#include <QString>

class Environment;

// Settings file of the user: APPDATA + "/Dravik/TAXDravik.ini".
QString GetSettingsPath(const Environment &env);
// The section of that file that holds the program's keys (the launcher's and the window's).
inline const QString kSettingsSection = QStringLiteral("Options");

// The "FileVersion" string of an executable, empty when it has none.
QString GetFileVersion(const QString &path);

// The n-th ";"-separated field of text (n from 1), empty for n < 1 or past the last field.
QString ListField(const QString &text, int n);

struct ProxyEndpoint
{
    QString host;
    int port = 0;
};

// Host and port of a "host:port" proxy setting; a port that is not a number gives 80.
ProxyEndpoint ParseProxyServer(const QString &proxyServer);

// The user's proxy as "host:port" from http_proxy or HTTP_PROXY, empty when none. A scheme
// prefix and a trailing slash, usual in these variables, are dropped.
QString ProxyFromEnvironment(const Environment &env);
