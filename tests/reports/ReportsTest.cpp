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

TEST(ReportAddresses, EachSheetHasItsAddressAndItsTicket)
{
    const QString vo = QStringLiteral("VO"), vd = QStringLiteral("VD"), id = QStringLiteral("517");
    const struct
    {
        ReportRequest report;
        const char *address;
    } cases[] = {
            {SalesReport(id, vo, QStringLiteral("_TVO"), false),
             "ReportPDF?rptSelect=idVO=517&rptName=VO - Fiche Commerciale"},
            // Ctrl selects the second sheet of a demonstration vehicle only.
            {SalesReport(id, vo, QStringLiteral("_TVO"), true),
             "ReportPDF?rptSelect=idVO=517&rptName=VO - Fiche Commerciale"},
            {SalesReport(id, vd, QStringLiteral("_TVD"), false),
             "ReportPDF?rptSelect=idVO=517&rptName=VD - Fiche Commerciale"},
            {SalesReport(id, vd, QStringLiteral("_TVD"), true),
             "ReportPDF?rptSelect=idVO=517&rptName=VD - Fiche Commerciale2"},
            {MarginReport(id), "ReportPDF?rptSelect=idVO=517&rptName=VO - Feuille de Marge"},
            {CustomerReport(QStringLiteral("44")),
             "ReportPDF?rptSelect=idClient=44&rptName=Fiche Clarim"},
    };
    for (const auto &c : cases) {
        const QString address = ReportAddress(kBase, c.report);
        EXPECT_EQ(str(address), str(kBase + QLatin1String(c.address)));
        QString ticket = address;
        ticket.replace(QStringLiteral("ReportPDF?"), QStringLiteral("AxReportTicket?"));
        EXPECT_EQ(str(ReportTicketAddress(kBase, c.report)), str(ticket));
    }

    const QString good(64, QLatin1Char('a'));
    const auto answer = [](const QString &ticket) {
        return QStringLiteral("<Answer><LogItems></LogItems><ReportTicket><Ticket>") + ticket
                + QStringLiteral("</Ticket></ReportTicket></Answer>");
    };
    EXPECT_EQ(ReadReportTicket(answer(good)), good);
    // A ticket that would carry more parameters into the address is no ticket.
    EXPECT_EQ(ReadReportTicket(answer(QStringLiteral("abc&rptName=x"))), QString());
    EXPECT_EQ(ReadReportTicket(QStringLiteral("<Answer><LogItems><LogItem>Session expirée"
                                              "</LogItem></LogItems></Answer>")),
              QString());
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
            {R"(  "/opt/my browser/run" "%1")", "/opt/my browser/run"},
            {"/usr/bin/firefox %1", ""},
            {R"("unterminated)", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(QuotedProgram(QString::fromUtf8(c.command))), c.program) << c.command;
}

TEST(TestSms, TheMessageTravelsInUtf8AndBelow1024Bytes)
{
    const SmsPlan plan = PlanSms(QStringLiteral("gw.example:81/"), QStringLiteral("+33612345678"),
                                 QStringLiteral("NORD"), QStringLiteral("M. XYZ Abc"));
    EXPECT_EQ(str(plan.address), "http://gw.example:81/tools/smssend/smssend.php5");
    ASSERT_EQ(plan.form.size(), 2);
    EXPECT_EQ(plan.form[0].name + "=" + plan.form[0].data, "destinataire=+33612345678");
    EXPECT_EQ(plan.form[1].name, "texte");
    EXPECT_EQ(plan.form[1].data,
              QByteArray("de Zolvare NORD,\r\n\r\npour un test d'envoi \xC3\xA0 M. XYZ Abc"));
    EXPECT_EQ(SmsText(QStringLiteral("ÿ€")), QByteArray("\xC3\xBF?")); // € is not Latin-1

    const qsizetype fixed = plan.form[1].data.size() - 10; // without "M. XYZ Abc"
    const struct
    {
        QString gateway;
        qsizetype identity;
        QString refusal;
    } cases[] = {
            {QStringLiteral("h:1"), 1023 - fixed, QString()},
            {QStringLiteral("h:1"), 1024 - fixed, ReportTexts::smsTooLong(1024)},
            {QString(), 1, ReportTexts::kSmsNotConfigured},
    };
    for (const auto &c : cases) {
        const SmsPlan p = PlanSms(c.gateway, QStringLiteral("+33600000000"), QStringLiteral("NORD"),
                                  QString(c.identity, QLatin1Char('x')));
        EXPECT_EQ(str(p.refusal), str(c.refusal)) << c.identity;
        EXPECT_EQ(p.form.isEmpty(), !c.refusal.isEmpty()) << c.identity;
    }
}

TEST(TestSms, TheGatewaysAnswerIsTheWarning)
{
    const struct
    {
        HttpReply reply;
        QString warning;
    } cases[] = {
            {{true, 200, "<p>telephonySmsSend successfull</p>\n", {}}, QString()},
            {{true, 200, "OK", {}}, QStringLiteral("OK")},
            {{true, 200, "Erreur : message trop long \xe9t\xe9\r\n", {}},
             QStringLiteral("Erreur : message trop long été")},
            {{true, 200, "\x01\r\n", {}}, ReportTexts::kSmsEmptyAnswer},
            {{true, 200, QByteArray(400, 'z'), {}},
             QString(300, QLatin1Char('z')) + QStringLiteral("…")},
            {{false, 0, {}, QStringLiteral("Connection refused")}, HttpTexts::kTransferError},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(SmsOutcome(c.reply)), str(c.warning)) << c.reply.body.left(40).toStdString();
}
