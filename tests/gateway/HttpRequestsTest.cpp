// The request routines against a loopback server: retries, warnings, response files, cache.
#include "gateway/HttpRequests.h"
#include "gateway/CurlTransport.h"
#include "gateway/LoopbackServer.h"
#include "gateway/SqlText.h"
#include "gateway/TXml.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Answers the given bodies in turn, then the last one again.
LoopbackServer::Handler answers(std::vector<std::string> bodies)
{
    auto next = std::make_shared<std::atomic<size_t>>(0);
    return [bodies = std::move(bodies), next](const httplib::Request &, httplib::Response &res) {
        const size_t i = std::min(next->fetch_add(1), bodies.size() - 1);
        res.set_content(bodies[i], "text/xml");
    };
}

class Requests : public ::testing::Test
{
protected:
    QString file(const char *leaf) const { return m_dir.filePath(QLatin1String(leaf)); }
    QString base(const LoopbackServer &server) const
    {
        return QString::fromStdString(server.base());
    }

    QTemporaryDir m_dir;
    CurlTransport m_transport {5000};
    ManualClock m_clock;
    QStringList m_trace;
    RequestRoutines m_routines {m_transport, m_clock, [this](const QString &l) {
                                    m_trace << l;
                                }};
    int m_idle = 0;
};

} // namespace

TEST_F(Requests, TimeOutAnswersAreRetriedUntilAClearAnswer)
{
    const std::string markers[] = {"WAIT_TIMEOUT",
                                   "wait_timeout",
                                   "Wait_TimeOut",
                                   "<![CDATA[TIMEOUT]]>",
                                   "<![CDATA[WAIT_TIMEOUT]]>",
                                   std::string(300, 'T') + "<![CDATA[TIMEOUT]]>"};
    for (const std::string &marker : markers) {
        const std::string busy = std::string("<r>") + marker + "</r>";
        LoopbackServer server(answers({busy, busy, busy, "<r>ok</r>"}));
        m_clock = ManualClock();
        const QString warning = m_routines.execute(base(server) + QStringLiteral("AxInfoVO?a=1"),
                                                   {}, file("XmlVO.xml"), m_idle);
        EXPECT_EQ(server.count(), 4u) << marker;
        EXPECT_EQ(m_clock.sleeps(), QList<int>({250, 250, 250}));
        EXPECT_EQ(warning, QString()) << marker;
        EXPECT_EQ(readFile(file("XmlVO.xml")), QByteArray("<r>ok</r>"));
    }
}

TEST_F(Requests, FifthAttemptIsReportedWhole)
{
    const std::string busy = "<r><![CDATA[TIMEOUT]]></r>";
    const std::string fifthBusy
            = "<r><![CDATA[TIMEOUT]]><LogItems><LogItem>L</LogItem></LogItems></r>";
    const struct
    {
        std::string fifth;
        QString warning;
    } cases[] = {
            {fifthBusy, QString::fromStdString(fifthBusy) + QStringLiteral("L - ")},
            // Whatever the fifth answer holds, it is reported.
            {"<r>clear</r>", QStringLiteral("<r>clear</r>")},
    };
    for (const auto &c : cases) {
        LoopbackServer server(answers({busy, busy, busy, busy, c.fifth}));
        m_clock = ManualClock();
        const QString warning = m_routines.execute(base(server) + QStringLiteral("AxQuery?x=1"), {},
                                                   file("XmlSInf.xml"), m_idle);
        EXPECT_EQ(server.count(), 5u);
        EXPECT_EQ(m_clock.sleeps().size(), 4);
        EXPECT_EQ(warning, c.warning);
        EXPECT_EQ(readFile(file("XmlSInf.xml")), QByteArray::fromStdString(c.fifth));
    }
}

TEST_F(Requests, LogItemsBecomeTheWarning)
{
    LoopbackServer server(answers({"<?xml version=\"1.0\"?><document><LogItems><LogItem>A</LogItem>"
                                   "<LogItem>B</LogItem></LogItems><OutParams><NewID>7</NewID>"
                                   "</OutParams></document>"}));
    const QString warning
            = m_routines.execute(base(server) + QStringLiteral("AxInsert?SQLExecute=x"), {},
                                 file("XmlAXSQLVO.xml"), m_idle);
    EXPECT_EQ(warning, QStringLiteral("A - B - "));

    // Broken documents give what the cursor finds, never an error.
    const struct
    {
        std::string body;
        QString warning;
    } broken[] = {
            // No closing tag of the list: nothing is selected.
            {"<d><LogItems><LogItem>A</LogItem><LogItem>B", QString()},
            {"<d><LogItems><LogItem>A</LogItem><LogItem>B</LogItems>", QStringLiteral("A - ")},
            {"<d><LogItems><LogItem>A", QString()},
            {"</LogItems><LogItems>", QString()},
            {std::string("\0\xff<<>>&&", 8), QString()},
    };
    for (const auto &c : broken) {
        LoopbackServer bad(answers({c.body}));
        EXPECT_EQ(m_routines.execute(base(bad) + QStringLiteral("AxQuery?x"), {},
                                     file("XmlSInf.xml"), m_idle),
                  c.warning);
    }
}

TEST_F(Requests, ResponseFileKeepsTheAnswerWithItsCharsetMended)
{
    LoopbackServer server(
            answers({"<?xml version=\"1.0\" encoding=\"iso-8859-15\"?>\r\n<d>\xe9</d>"}));
    EXPECT_EQ(m_routines.execute(base(server) + QStringLiteral("AxInfoCL?a"), {}, file("XmlCL.xml"),
                                 m_idle),
              QString());
    EXPECT_EQ(readFile(file("XmlCL.xml")),
              QByteArray("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<d>\xe9</d>"));
}

TEST_F(Requests, ShorterAnswerLeavesNothingOfTheLongerOne)
{
    // Plain answers are written over the previous file, kept ones replace it whole.
    LoopbackServer server(answers({"<r/>"}));
    const QString plain = file("XmlVO.xml");
    const QString kept = file("XmlStruct.xml");
    writeFile(plain, QByteArray(4000, 'x'));
    writeFile(kept, QByteArray(4000, 'x'));
    EXPECT_EQ(m_routines.execute(base(server) + QStringLiteral("AxInfoVO?a"), {}, plain, m_idle),
              QString());
    EXPECT_EQ(m_routines.executeCached(base(server) + QStringLiteral("AxInfoStruct?a"), {}, kept,
                                       m_idle, true),
              QString());
    EXPECT_EQ(readFile(plain), QByteArray("<r/>"));
    EXPECT_EQ(readFile(kept), QByteArray("<r/>"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              QStringList({"XmlStruct.xml", "XmlVO.xml"}));
}

TEST_F(Requests, FailedGetLeavesThePreviousFile)
{
    writeFile(file("XmlVO.xml"), "<previous/>");
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedLoopbackPort());
    LoopbackServer broken([](const httplib::Request &req, httplib::Response &res) {
        if (req.path == "/status") {
            res.status = 500;
            res.set_content("<oops/>", "text/html");
            return;
        }
        // Announces more than it sends, then closes the connection.
        res.set_content_provider(1000, "text/xml",
                                 [](size_t offset, size_t, httplib::DataSink &sink) {
                                     if (offset == 0)
                                         sink.write("<partial>", 9);
                                     return offset == 0;
                                 });
    });
    const QString addresses[] = {refused + QStringLiteral("AxInfoVO?idTVO=1"),
                                 base(broken) + QStringLiteral("status?x=1"),
                                 base(broken) + QStringLiteral("cut?x=1")};
    for (const QString &address : addresses) {
        m_trace.clear();
        const QString warning
                = m_routines.execute(address, QStringLiteral("5"), file("XmlVO.xml"), m_idle);
        EXPECT_TRUE(warning.startsWith(QStringLiteral("Exception : "))) << warning.toStdString();
        EXPECT_GT(warning.size(), 12);
        EXPECT_EQ(readFile(file("XmlVO.xml")), QByteArray("<previous/>"));
        ASSERT_EQ(m_trace.size(), 2);
        EXPECT_EQ(m_trace[1], QStringLiteral("HttpExecute Exception : ") + warning.mid(12));
    }
    EXPECT_EQ(m_routines.execute(base(broken) + QStringLiteral("status?x=1"), {}, file("XmlVO.xml"),
                                 m_idle),
              QStringLiteral("Exception : HTTP/1.1 500 Internal Server Error"));
}

TEST_F(Requests, AddressEncodingAndCustomerId)
{
    LoopbackServer server(answers({"<r/>"}));
    const QString value = QStringLiteral("50% + 1 & é");
    const QString address = base(server)
            + QStringLiteral("AxUpdate?XMLC_OutputFormat=XML&SQLExecute=Update t set a=")
            + SqlText(value) + QStringLiteral(" where d=#12/31/2009#");
    m_routines.execute(address, QStringLiteral("42"), file("XmlAXSQLVO.xml"), m_idle);
    ASSERT_EQ(server.count(), 1u);
    const SeenRequest seen = server.seen()[0];
    EXPECT_NE(seen.target.find("%2312/31/2009%23"), std::string::npos) << seen.target;
    EXPECT_NE(seen.target.find("set%20a="), std::string::npos) << seen.target;
    EXPECT_EQ(rawParam(seen.target, "SQLExecute"),
              "Update t set a='50% + 1 & \xe9' where d=#12/31/2009#");
    EXPECT_EQ(rawParam(seen.target, "idClient"), "42");
    EXPECT_EQ(rawParam(seen.target, "XMLC_OutputFormat"), "XML");
    EXPECT_EQ(httplib::detail::get_header_value(seen.headers, "Accept", 0, ""),
              std::string("text/html, */*"));
    EXPECT_EQ(m_trace.value(0),
              QStringLiteral("HttpExecute : ")
                      + SpaceAndHashEscaped(address + QStringLiteral("&idClient=42"))
                      + QStringLiteral(" -> ") + file("XmlAXSQLVO.xml"));
}

TEST_F(Requests, CachedFileFreshForTwelveHours)
{
    LoopbackServer server(answers({"<new/>"}));
    const QString path = file("XmlStruct.xml");
    const struct
    {
        int hoursOld;
        bool ctrl;
        bool fetched;
    } cases[] = {{11, false, false}, {13, false, true}, {1, true, true}};
    for (const auto &c : cases) {
        writeFile(path, "<old/>");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(m_clock.now().addSecs(-3600 * c.hoursOld),
                                  QFileDevice::FileModificationTime));
        f.close();
        const size_t before = server.count();
        const auto warning = m_routines.executeCached(
                base(server) + QStringLiteral("AxInfoStruct?x=1"), {}, path, m_idle, c.ctrl);
        EXPECT_EQ(warning.has_value(), c.fetched) << c.hoursOld;
        EXPECT_EQ(server.count() - before, c.fetched ? 1u : 0u);
        EXPECT_EQ(readFile(path), c.fetched ? QByteArray("<new/>") : QByteArray("<old/>"));
    }
    QFile::remove(path);
    EXPECT_TRUE(m_routines
                        .executeCached(base(server) + QStringLiteral("AxInfoStruct?x=1"), {}, path,
                                       m_idle, false)
                        .has_value());
}

TEST_F(Requests, ConnectionKeptUntilIdleForMoreThanFiveMinutes)
{
    LoopbackServer server(answers({"<r/>"}));
    const QString address = base(server) + QStringLiteral("AxInfoVO?x=1");
    for (int idle : {0, 300, 301, 0}) {
        m_idle = idle;
        m_routines.execute(address, {}, file("XmlVO.xml"), m_idle);
        EXPECT_EQ(m_idle, 0);
    }
    const auto seen = server.seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].remotePort, seen[1].remotePort);
    EXPECT_NE(seen[1].remotePort, seen[2].remotePort);
    EXPECT_EQ(seen[2].remotePort, seen[3].remotePort);
}

TEST_F(Requests, PostSendsTheFormAndResolvesARelativeAddress)
{
    LoopbackServer server(
            answers({"<r/>", "<r><LogItems><LogItem>Photo</LogItem></LogItems></r>"}));
    m_routines.execute(base(server) + QStringLiteral("AxInfoVO?idTVO=3"), {}, file("XmlVO.xml"),
                       m_idle);
    const QList<FormPart> form = {
            {"NFImage", "VO3_1.jpg", {}, {}},
            {"XMLC_OutputFormat", "XML", {}, {}},
            {"File", QByteArray("\xff\xd8jpeg", 6), QStringLiteral("VO3_1.jpg"), "image/jpeg"},
    };
    const QString warning
            = m_routines.post(QStringLiteral("AxInsert"), file("XmlAXInsert.xml"), form, m_idle);
    EXPECT_EQ(warning, QStringLiteral("Photo - "));
    const auto seen = server.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].method, "POST");
    EXPECT_EQ(seen[1].path, "/AxInsert");
    EXPECT_EQ(seen[1].files.find("NFImage")->second.content, "VO3_1.jpg");
    EXPECT_EQ(seen[1].files.find("File")->second.filename, "VO3_1.jpg");
    EXPECT_EQ(seen[1].files.find("File")->second.content, std::string("\xff\xd8jpeg", 6));
    EXPECT_EQ(rawParam(seen[1].target, "idClient"), "<absent>");
    EXPECT_EQ(m_trace.last(), QStringLiteral("HttpPost : AxInsert -> ") + file("XmlAXInsert.xml"));
}

TEST_F(Requests, FailedPostWritesTheTransferError)
{
    const QString refused
            = QStringLiteral("http://127.0.0.1:%1/AxInsert").arg(closedLoopbackPort());
    const QString warning
            = m_routines.post(refused, file("XmlAXInsert.xml"), {{"a", "b", {}, {}}}, m_idle);
    EXPECT_EQ(warning, QStringLiteral(" - Erreur de transfert sur le serveur "));
    EXPECT_EQ(readFile(file("XmlAXInsert.xml")),
              QByteArray(" - Erreur de transfert sur le serveur "));
}

TEST_F(Requests, UnwritableResponseFileIsAWarning)
{
    LoopbackServer server(answers({"<r/>"}));
    const QString path = m_dir.filePath(QStringLiteral("no/such/folder/XmlVO.xml"));
    EXPECT_EQ(m_routines.execute(base(server) + QStringLiteral("AxInfoVO?x"), {}, path, m_idle),
              QStringLiteral("Impossible d'écrire dans ") + path);
}

TEST_F(Requests, TheAnswerJustWrittenIsReadWithoutItsFile)
{
    LoopbackServer server(answers({"<?xml encoding=\"iso-8859-15\"?>\n<d>\xe9\r\n<LogItems>"
                                   "</LogItems>\r</d>"}));
    const QString vo = file("XmlVO.xml");
    const QString kept = file("XmlStruct.xml");
    EXPECT_EQ(m_routines.execute(base(server) + QStringLiteral("AxInfoVO?a"), {}, vo, m_idle),
              QString());
    ASSERT_TRUE(m_routines.answerText(vo).has_value());
    EXPECT_EQ(*m_routines.answerText(vo), LoadTextFile(vo));
    EXPECT_EQ(m_routines.answerText(kept), std::nullopt);

    // What was not written by the last request is read from its file.
    writeFile(kept, "<old/>");
    EXPECT_EQ(m_routines.executeCached(base(server) + QStringLiteral("AxInfoStruct?a"), {}, kept,
                                       m_idle, false),
              std::nullopt);
    EXPECT_EQ(m_routines.answerText(vo), std::nullopt);
    EXPECT_EQ(m_routines.answerText(kept), std::nullopt);
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedLoopbackPort());
    m_routines.execute(base(server) + QStringLiteral("AxInfoVO?a"), {}, vo, m_idle);
    m_routines.execute(refused + QStringLiteral("AxInfoVO?a"), {}, vo, m_idle);
    EXPECT_EQ(m_routines.answerText(vo), std::nullopt);
}

TEST(TimeoutFlag, FoundWhereverItStandsAndWhateverItsCase)
{
    // Every place of a long answer, the ends of its blocks of sixteen and the last bytes.
    const QByteArray flag("<![CDATA[timeOUT]]>");
    for (const int length : {19, 34, 35, 41, 300}) {
        for (int at = 0; at + flag.size() <= length; ++at) {
            QByteArray body(length, 'x');
            body.replace(at, flag.size(), flag);
            EXPECT_EQ(TimeoutFlag(body), QStringLiteral("TIMEOUT")) << length << " " << at;
            body[at + 15] = 'x';
            EXPECT_EQ(TimeoutFlag(body), QString()) << length << " " << at;
        }
    }
    EXPECT_EQ(TimeoutFlag("<![CDATA[TimeOut]]>"), QStringLiteral("TIMEOUT"));
    EXPECT_EQ(TimeoutFlag("a WAIT_TIMEOUT b"), QStringLiteral("WAIT_TIMEOUT"));
    EXPECT_EQ(TimeoutFlag("tt tttttt TIMEOU"), QString());
}
