// The window's request members: warning label and band, customer id, cache and Ctrl, proxy.
#include "gateway/CurlTransport.h"
#include "gateway/LoopbackServer.h"
#include "ui/WindowHarness.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QLabel>

TEST(WindowRequests, WarningLabelAndBandFollowEachRequest)
{
    WindowHarness h;
    h.writeSettings({{QStringLiteral("idClient"), QStringLiteral("31")}});
    auto w = h.makeWindow();
    const QString file = w->ResponseFile(QStringLiteral("XmlVO.xml"));
    h.transport1->replies = {
            {true, 200, "<d><LogItems><LogItem>Erreur SQL</LogItem></LogItems></d>", {}},
            {true, 200, "<d/>", {}},
            {false, 0, {}, QStringLiteral("Connexion refusée")},
    };
    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxInfoVO?XMLC_OutputFormat=XML&idTVO=1"),
                   file);
    EXPECT_EQ(w->LbDebugInfo0->text(), QStringLiteral("Erreur SQL - "));
    EXPECT_FALSE(w->PanelWarning->isHidden());
    EXPECT_EQ(h.transport1->urls.last(),
              QByteArray("http://127.0.0.1:9/AxInfoVO?XMLC_OutputFormat=XML&idTVO=1&idClient=31"));

    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxInfoVO?x=1"), file);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_TRUE(w->PanelWarning->isHidden());

    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxInfoVO?x=1"), file);
    EXPECT_EQ(w->LbDebugInfo0->text(), QStringLiteral("Exception : Connexion refusée"));
    EXPECT_FALSE(w->PanelWarning->isHidden());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("<d/>"));
}

TEST(WindowRequests, CachedRequestSkipsAFreshFileUnlessCtrlIsHeld)
{
    WindowHarness h;
    auto w = h.makeWindow();
    const QString file = w->ResponseFile(QStringLiteral("XmlStruct.xml"));
    w->HttpExecuteCached(QStringLiteral("http://127.0.0.1:9/AxInfoStruct?x=1"), file);
    EXPECT_EQ(h.transport1->urls.size(), 1);
    // The fresh file is used as it is and an earlier warning stays.
    w->SetWarning(QStringLiteral("earlier"));
    w->HttpExecuteCached(QStringLiteral("http://127.0.0.1:9/AxInfoStruct?x=1"), file);
    EXPECT_EQ(h.transport1->urls.size(), 1);
    EXPECT_EQ(w->LbDebugInfo0->text(), QStringLiteral("earlier"));
    h.keyboard->ctrl = true;
    w->HttpExecuteCached(QStringLiteral("http://127.0.0.1:9/AxInfoStruct?x=1"), file);
    EXPECT_EQ(h.transport1->urls.size(), 2);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
}

TEST(WindowRequests, IdleConnectionDroppedAfterFiveMinutes)
{
    WindowHarness h;
    auto w = h.makeWindow();
    w->IdleSeconds = 301;
    w->HttpExecute(QStringLiteral("http://127.0.0.1:9/AxQuery?x=1"),
                   w->ResponseFile(QStringLiteral("XmlSInf.xml")));
    EXPECT_EQ(h.transport1->drops, 1);
    EXPECT_EQ(w->IdleSeconds, 0);
}

TEST(WindowRequests, ProxyOfTheEnvironmentCarriesTheRequests)
{
    LoopbackServer proxy([](const httplib::Request &, httplib::Response &res) {
        res.set_content("<document><LogItems></LogItems></document>", "text/xml");
    });
    WindowHarness h;
    h.env.vars[QStringLiteral("http_proxy")] = QStringLiteral("127.0.0.1:%1").arg(proxy.port());
    // The origin does not exist: only the proxy can answer.
    const QString origin = QStringLiteral("http://127.0.0.1:%1/dravik/").arg(closedLoopbackPort());
    h.writeSettings({{QStringLiteral("BaseHRef"), origin}});
    auto w = h.makeWindow(std::make_unique<CurlTransport>(5000));
    w->Timer1Timer(); // the start fetches the lists and the structure through the proxy too
    const size_t before = proxy.count();
    const QString file = w->ResponseFile(QStringLiteral("XmlVO.xml"));
    w->HttpExecute(w->BaseHRef + QStringLiteral("AxInfoVO?XMLC_OutputFormat=XML&idTVO=5"), file);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    ASSERT_EQ(proxy.count(), before + 1);
    EXPECT_EQ(proxy.seen().back().target,
              (origin + QStringLiteral("AxInfoVO?XMLC_OutputFormat=XML&idTVO=5&idClient="))
                      .toStdString());
    EXPECT_TRUE(QFile::exists(file));
}
