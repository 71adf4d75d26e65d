// The libcurl transport: event pumping while waiting, one request at a time, read time-out,
// cookies and proxy.
#include "gateway/CurlTransport.h"
#include "gateway/LoopbackServer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>

namespace {

QByteArray url(const LoopbackServer &server, const char *path)
{
    return QByteArray::fromStdString(server.base()) + path;
}

} // namespace

TEST(CurlTransport, EventsRunWhileWaitingButNoSecondRequestStarts)
{
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    LoopbackServer server([](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        res.set_content("<slow/>", "text/xml");
    });
    CurlTransport transport;
    int ticks = 0;
    bool busySeen = false;
    HttpReply nested;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        busySeen = busySeen || transport.busy();
        if (ticks == 1)
            nested = transport.get(url(server, "nested"));
    });
    timer.start();
    const HttpReply reply = transport.get(url(server, "slow"));
    timer.stop();
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.body, QByteArray("<slow/>"));
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(nested.ok);
    EXPECT_EQ(server.count(), 1u);
    EXPECT_FALSE(transport.busy());
}

TEST(CurlTransport, SilenceLongerThanTheReadTimeOutIsAnError)
{
    LoopbackServer server([](const httplib::Request &, httplib::Response &res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        res.set_content("<late/>", "text/xml");
    });
    CurlTransport quick(1000);
    const HttpReply reply = quick.get(url(server, "late"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, QStringLiteral("Délai de lecture dépassé"));

    // The photo client has no time-out.
    CurlTransport patient(0);
    EXPECT_TRUE(patient.get(url(server, "late")).ok);
}

TEST(CurlTransport, CookiesSurviveADroppedConnection)
{
    LoopbackServer server([](const httplib::Request &req, httplib::Response &res) {
        if (req.path == "/login")
            res.set_header("Set-Cookie", "session=abc; Path=/");
        res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    CurlTransport transport;
    ASSERT_TRUE(transport.get(url(server, "login")).ok);
    EXPECT_EQ(transport.get(url(server, "next")).body, QByteArray("session=abc"));
    transport.dropConnection();
    EXPECT_EQ(transport.get(url(server, "again")).body, QByteArray("session=abc"));
    // Another client has cookies of its own.
    CurlTransport other;
    EXPECT_EQ(other.get(url(server, "next")).body, QByteArray());
}

TEST(CurlTransport, ProxyCarriesTheRequestWhenSet)
{
    LoopbackServer proxy([](const httplib::Request &, httplib::Response &res) {
        res.set_content("<via-proxy/>", "text/xml");
    });
    LoopbackServer origin([](const httplib::Request &, httplib::Response &res) {
        res.set_content("<direct/>", "text/xml");
    });
    CurlTransport transport;
    EXPECT_EQ(transport.get(url(origin, "AxInfoVO?x=1")).body, QByteArray("<direct/>"));
    transport.setProxy(QStringLiteral("127.0.0.1"), proxy.port());
    EXPECT_EQ(transport.get(url(origin, "AxInfoVO?x=1")).body, QByteArray("<via-proxy/>"));
    ASSERT_EQ(proxy.count(), 1u);
    // A proxy receives the whole address.
    EXPECT_EQ(proxy.seen()[0].target, url(origin, "AxInfoVO?x=1").toStdString());
    transport.setProxy(QString(), 0);
    EXPECT_EQ(transport.get(url(origin, "AxInfoVO?x=1")).body, QByteArray("<direct/>"));
}

TEST(CurlTransport, TheSessionKeyGoesToTheBaseAddressOnly)
{
    const auto echo = [](const httplib::Request &req, httplib::Response &res) {
        res.set_content(req.get_header_value(CurlTransport::kSessionHeader), "text/plain");
    };
    LoopbackServer server(echo), other(echo);
    CurlTransport transport;
    transport.setSession(url(server, "dravik/"), "k3y");
    const struct
    {
        QByteArray url;
        QByteArray key;
    } cases[] = {
            {url(server, "dravik/AxInfoVO?idTVO=1"), "k3y"},
            {"AxInsert", "k3y"}, // relative: resolved against the base
            {url(server, "elsewhere/AxInfoVO"), ""},
            {url(other, "dravik/AxInfoVO"), ""},
    };
    for (const auto &c : cases) {
        const HttpReply reply = c.url.startsWith("http")
                ? transport.get(c.url)
                : transport.post(c.url, {FormPart {"a", "b", {}, {}}});
        ASSERT_TRUE(reply.ok) << c.url.constData();
        EXPECT_EQ(reply.body, c.key) << c.url.constData();
    }
    transport.setSession(url(server, "dravik/"), "");
    EXPECT_EQ(transport.get(url(server, "dravik/AxInfoVO")).body, QByteArray());
}
