// The report addresses, the browser command and the test SMS, without a window.
#include "gateway/HttpRequests.h"
#include "reports/ReportAddress.h"
#include "reports/ReportTexts.h"
#include "reports/SmsMessage.h"

#include <gtest/gtest.h>

namespace {

const QString kBase = QStringLiteral("http://127.0.0.1:8080/");

std::string str(const QString &s)
{
    return s.toStdString();
}

} // namespace

TEST(ReportAddresses, EachSheetHasItsAddress)
{
    const struct
    {
        ReportRequest report;
        const char *address;
    } cases[] = {
            {SalesReport(QStringLiteral("517"), QStringLiteral("VO"), QStringLiteral("_TVO"),
                         false),
             "ReportPDF?rptSelect=idVO=517&rptName=VO - Fiche Commerciale"},
            // Ctrl selects the second sheet of a demonstration vehicle only.
            {SalesReport(QStringLiteral("517"), QStringLiteral("VO"), QStringLiteral("_TVO"), true),
             "ReportPDF?rptSelect=idVO=517&rptName=VO - Fiche Commerciale"},
            {SalesReport(QStringLiteral("9"), QStringLiteral("VD"), QStringLiteral("_TVD"), false),
             "ReportPDF?rptSelect=idVO=9&rptName=VD - Fiche Commerciale"},
            {SalesReport(QStringLiteral("9"), QStringLiteral("VD"), QStringLiteral("_TVD"), true),
             "ReportPDF?rptSelect=idVO=9&rptName=VD - Fiche Commerciale2"},
            {SalesReport(QStringLiteral("12"), QStringLiteral("VN"), QStringLiteral("_TVN"), true),
             "ReportPDF?rptSelect=idVO=12&rptName=VN - Fiche Commerciale"},
            {MarginReport(QStringLiteral("517")),
             "ReportPDF?rptSelect=idVO=517&rptName=VO - Feuille de Marge"},
            {CustomerReport(QStringLiteral("44")),
             "ReportPDF?rptSelect=idClient=44&rptName=Fiche Clarim"},
    };
    for (const auto &c : cases) {
        const QString address = ReportAddress(kBase, c.report);
        EXPECT_EQ(str(address), str(kBase + QLatin1String(c.address)));
        // The ticket is asked for the same report, and the browser gets it appended.
        QString ticket = address;
        ticket.replace(QStringLiteral("ReportPDF?"), QStringLiteral("AxReportTicket?"));
        EXPECT_EQ(str(ReportTicketAddress(kBase, c.report)), str(ticket));
        EXPECT_EQ(str(WithTicket(address, QStringLiteral("ab12"))), str(address + "&Ticket=ab12"));
    }
}

TEST(ReportAddresses, OnlyAWellFormedTicketIsTaken)
{
    const QString good(64, QLatin1Char('a'));
    const struct
    {
        QString document;
        QString ticket;
    } cases[] = {
            {QStringLiteral("<Answer><LogItems></LogItems><ReportTicket><Ticket>") + good
                     + QStringLiteral("</Ticket></ReportTicket></Answer>"),
             good},
            {QStringLiteral("<Answer><LogItems><LogItem>Session expirée</LogItem></LogItems>"
                            "</Answer>"),
             QString()},
            // A ticket that would carry more parameters into the address.
            {QStringLiteral("<Answer><LogItems></LogItems><ReportTicket><Ticket>abc&rptName=x"
                            "</Ticket></ReportTicket></Answer>"),
             QString()},
            {QStringLiteral("garbage <<<"), QString()},
            {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(ReadReportTicket(c.document)), str(c.ticket)) << str(c.document);
}

TEST(BrowserCommand, TheProgramIsBetweenTheFirstTwoQuotes)
{
    const struct
    {
        const char *command;
        const char *program;
    } cases[] = {
            {R"("C:\Program Files\Browser\browser.exe" -nohome %1)",
             R"(C:\Program Files\Browser\browser.exe)"},
            {R"(  "/usr/bin/firefox" "%1")", "/usr/bin/firefox"},
            {R"("/opt/my browser/run")", "/opt/my browser/run"},
            {"/usr/bin/firefox %1", ""},
            {R"("unterminated)", ""},
            {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(QuotedProgram(QString::fromUtf8(c.command))), c.program) << c.command;
}

TEST(TestSms, TheMessageTravelsInUtf8)
{
    const SmsPlan plan
            = PlanSms(QStringLiteral("http://gw.example:81/"), QStringLiteral("+33612345678"),
                      QStringLiteral("NORD"), QStringLiteral("M. XYZ Abc"));
    ASSERT_EQ(str(plan.refusal), "");
    EXPECT_EQ(str(plan.address), "http://gw.example:81/tools/smssend/smssend.php5");
    ASSERT_EQ(plan.form.size(), 2);
    EXPECT_EQ(plan.form[0].name, "destinataire");
    EXPECT_EQ(plan.form[0].data, "+33612345678");
    EXPECT_EQ(plan.form[1].name, "texte");
    EXPECT_EQ(plan.form[1].data,
              QByteArray("de Zolvare NORD,\r\n\r\npour un test d'envoi \xC3\xA0 M. XYZ Abc"));

    const struct
    {
        QString text;
        QByteArray bytes;
    } letters[] = {
            {QStringLiteral("é"), "\xC3\xA9"},
            {QStringLiteral("ÿ"), "\xC3\xBF"},
            {QStringLiteral("\u0080"), "\xC2\x80"},
            {QStringLiteral("€"), "?"}, // outside Latin-1
            {QStringLiteral("a"), "a"},
    };
    for (const auto &l : letters)
        EXPECT_EQ(SmsText(l.text), l.bytes) << str(l.text);
}

TEST(TestSms, NothingIsSentWithoutItsSettingsOrAbove1023Bytes)
{
    const QString head = QStringLiteral("de Zolvare NORD,\r\n\r\npour un test d'envoi à ");
    const qsizetype fixed = SmsText(head).size();
    const struct
    {
        QString gateway, number;
        QString identity;
        QString refusal;
    } cases[] = {
            {QStringLiteral("127.0.0.1:81"), QStringLiteral("+33600000000"),
             QString(1023 - fixed, QLatin1Char('x')), QString()},
            {QStringLiteral("127.0.0.1:81"), QStringLiteral("+33600000000"),
             QString(1024 - fixed, QLatin1Char('x')), ReportTexts::smsTooLong(1024)},
            // Two bytes a letter once encoded.
            {QStringLiteral("127.0.0.1:81"), QStringLiteral("+33600000000"),
             QString((1024 - fixed) / 2 + 1, QChar(0xe9)),
             ReportTexts::smsTooLong(fixed + ((1024 - fixed) / 2 + 1) * 2)},
            {QString(), QStringLiteral("+33600000000"), QStringLiteral("M. A"),
             ReportTexts::kSmsNotConfigured},
            {QStringLiteral("127.0.0.1:81"), QStringLiteral("  "), QStringLiteral("M. A"),
             ReportTexts::kSmsNotConfigured},
    };
    for (const auto &c : cases) {
        const SmsPlan plan = PlanSms(c.gateway, c.number, QStringLiteral("NORD"), c.identity);
        EXPECT_EQ(str(plan.refusal), str(c.refusal)) << c.identity.size();
        if (c.refusal.isEmpty()) {
            EXPECT_EQ(str(plan.address), "http://127.0.0.1:81/tools/smssend/smssend.php5");
            EXPECT_EQ(plan.form.value(1).data.size(), 1023);
        } else {
            EXPECT_TRUE(plan.form.isEmpty());
        }
    }
}

TEST(TestSms, TheGatewaysAnswerIsTheWarning)
{
    const struct
    {
        HttpReply reply;
        QString warning;
    } cases[] = {
            {{true, 200, "telephonySmsSend successfull", {}}, QString()},
            {{true, 200, "<p>telephonySmsSend successfull</p>\n", {}}, QString()},
            {{true, 200, "OK", {}}, QStringLiteral("OK")},
            {{true, 200, "Erreur : destinataire invalide : 0612", {}},
             QStringLiteral("Erreur : destinataire invalide : 0612")},
            {{true, 200, "Erreur : message trop long \xe9t\xe9", {}},
             QStringLiteral("Erreur : message trop long été")},
            {{true, 200, "", {}}, ReportTexts::kSmsEmptyAnswer},
            {{true, 200, "\x01\x02\r\n", {}}, ReportTexts::kSmsEmptyAnswer},
            {{true, 200, "a\r\nb", {}}, QStringLiteral("a  b")},
            {{true, 200, QByteArray(400, 'z'), {}},
             QString(300, QLatin1Char('z')) + QStringLiteral("…")},
            {{false, 0, {}, QStringLiteral("Connection refused")}, HttpTexts::kTransferError},
            {{false, 500, "telephonySmsSend successfull", {}}, HttpTexts::kTransferError},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(SmsOutcome(c.reply)), str(c.warning)) << c.reply.body.left(40).toStdString();
}
