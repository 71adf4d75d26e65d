#include "gateway/UnitTools.h"
#include "support/FakeEnvironment.h"

#include <gtest/gtest.h>

TEST(ListField, Fields)
{
    const struct
    {
        const char *text;
        int n;
        const char *out;
    } cases[] = {
            {"proxy;8080", 1, "proxy"},
            {"proxy;8080", 2, "8080"},
            {"proxy;8080", 3, ""},
            {";a", 1, ""},
            {";a", 2, "a"},
            {"a", 0, ""},
            {"a", -1, ""},
            {"", 1, ""},
            {"a;;c", 2, ""},
            {"a;;c", 3, "c"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ListField(QString::fromUtf8(c.text), c.n), QString::fromUtf8(c.out))
                << c.text << " " << c.n;
}

TEST(Proxy, ParseAndEnvironment)
{
    EXPECT_EQ(ParseProxyServer(QStringLiteral("cache.local:3128")).host,
              QStringLiteral("cache.local"));
    EXPECT_EQ(ParseProxyServer(QStringLiteral("cache.local:3128")).port, 3128);
    EXPECT_EQ(ParseProxyServer(QStringLiteral("cache.local:abc")).port, 80);
    EXPECT_EQ(ParseProxyServer(QStringLiteral("cache.local")).port, 80);

    FakeEnvironment env;
    EXPECT_EQ(ProxyFromEnvironment(env), QString());
    env.vars[QStringLiteral("HTTP_PROXY")] = QStringLiteral("upper:1");
    EXPECT_EQ(ProxyFromEnvironment(env), QStringLiteral("upper:1"));
    env.vars[QStringLiteral("http_proxy")] = QStringLiteral("http://user:pw@10.0.0.1:3128/");
    EXPECT_EQ(ProxyFromEnvironment(env), QStringLiteral("10.0.0.1:3128"));
}

TEST(GetFileVersion, FilesWithoutVersionBlock)
{
    EXPECT_EQ(GetFileVersion(QStringLiteral("/nonexistent/file.ocx")), QString());
    EXPECT_EQ(GetFileVersion(QString()), QString());
    EXPECT_EQ(GetFileVersion(QStringLiteral("/")), QString());
}
