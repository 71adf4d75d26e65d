// Report sheets opened from the window through a stand-in browser, and the test SMS, against
// the reference server: what the browser receives, what the sheet shows, what the gateway
// stores, what the warning band says.
#include "ui/EditingWindow.h"

#include "gateway/HttpRequests.h"
#include "reports/ReportTexts.h"
#include "ui/widgets/HeaderEdit.h"

#include <QFile>
#include <QFrame>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using namespace dravik::seed;

class Reports : public EditingWindow
{
protected:
    // A window on the record with the real desktop opener and a stand-in browser that writes
    // the arguments it was given into a file.
    std::unique_ptr<TAxDravik> openWithBrowser(int user, const QString &vehicle,
                                               const QString &customer, int typeVO = 1)
    {
        m_harness = std::make_unique<WindowHarness>();
        WindowHarness &h = *m_harness;
        h.writeRecordKeys(server().baseHRef(), user, vehicle, customer, typeVO,
                          server().sessionKey(user));
        m_browser = h.dir.filePath(QStringLiteral("my browser.sh"));
        QFile script(m_browser);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" "
                     "\"$0.out\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        h.writeSettings({{QStringLiteral("BrowserCommand"),
                          QLatin1Char('"') + m_browser + QStringLiteral("\" -nohome %1")},
                         {QStringLiteral("SmsGateway"), server().baseHRef()},
                         {QStringLiteral("SmsTestNumber"), QStringLiteral("+33600000001")}});
        auto w = h.makeWindow(std::make_unique<CurlTransport>(5000),
                              std::make_unique<DesktopShell>());
        w->Timer1Timer();
        showActive(*w);
        return w;
    }
    // The arguments the stand-in browser received; empty when it was not started.
    QStringList browserArguments(int waitMs = 10000)
    {
        const QString out = m_browser + QStringLiteral(".out");
        for (int waited = 0; !QFile::exists(out) && waited < waitMs; waited += 50)
            QTest::qWait(50);
        QFile file(out);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        lines.removeLast();
        file.remove();
        return lines;
    }
    // What a browser shows of the address: the text of the PDF it gets, or the answer itself
    // when that is not a PDF.
    static QString sheetText(const QString &address)
    {
        CurlTransport browser;
        const HttpReply reply = browser.get(EncodeAddress(address));
        if (!reply.body.startsWith("%PDF-"))
            return QString::fromLatin1(reply.body);
        QTemporaryDir dir;
        QFile pdf(dir.filePath(QStringLiteral("sheet.pdf")));
        pdf.open(QIODevice::WriteOnly);
        pdf.write(reply.body);
        pdf.close();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
        text.waitForFinished(30000);
        return QString::fromUtf8(text.readAllStandardOutput());
    }
    void setSetting(const QString &key, const QString &value)
    {
        m_harness->writeSettings({{key, value}});
    }
    FakeKeyboard &ctrl() { return *m_harness->keyboard; }

private:
    std::unique_ptr<WindowHarness> m_harness;
    QString m_browser;
};

std::string str(const QString &s)
{
    return s.toStdString();
}

} // namespace

TEST_F(Reports, EachSheetShowsTheRecordAsStoredWithWhatWasJustTyped)
{
    const int used = usedVehicle(40);
    const struct
    {
        int user;
        QString vehicle, customer;
        int typeVO;
        bool ctrl;
        const char *button;
        const char *field; // typed before printing, left unsaved
        QString typed;
        QString report;
        QStringList shown; // besides the typed value
        const char *typedShown;
    } cases[] = {
            {kUserAdmin,
             QString::number(used),
             {},
             1,
             false,
             "JvXPBtnPrint",
             "cPrixVente",
             QStringLiteral("12345.50"),
             QStringLiteral("idVO=%1&rptName=VO - Fiche Commerciale").arg(used),
             {QStringLiteral("Fiche Commerciale VO N° ") + vehicle(used, "NVO"),
              vehicle(used, "InfoMarque"), vehicle(used, "InfoModele"),
              vehicle(used, "Immatriculation")},
             "12 345,50 EUR"},
            {kUserAdmin,
             QString::number(used),
             {},
             1,
             true,
             "czFeuilleMarge",
             "cPrixVente",
             QStringLiteral("15000"),
             QStringLiteral("idVO=%1&rptName=VO - Feuille de Marge").arg(used),
             {QStringLiteral("Feuille de Marge VO N° ") + vehicle(used, "NVO"),
              QStringLiteral("Frais de remise en état"), QStringLiteral("Marges")},
             "15 000,00 EUR"},
            {kUserAdmin,
             QString::number(kDemoVD),
             {},
             3,
             true,
             "JvXPBtnPrint",
             "cVDPrixVente",
             QStringLiteral("21000"),
             QStringLiteral("idVO=%1&rptName=VD - Fiche Commerciale2").arg(kDemoVD),
             {QStringLiteral("Fiche Commerciale VD N° ") + vehicle(kDemoVD, "NVO"),
              QStringLiteral("Remise")},
             "21 000,00 EUR"},
            {kUserAdmin,
             {},
             QString::number(kDemoCustomer),
             1,
             false,
             "JvXPBtnPrint",
             "aCliAdresse1",
             QStringLiteral("12 rue de l'Église"),
             QStringLiteral("idClient=%1&rptName=Fiche Clarim").arg(kDemoCustomer),
             {QStringLiteral("Fiche Clarim - Client N° %1").arg(kDemoCustomer),
              db(QStringLiteral("select CliNom from tClients where idClient=1")),
              db(QStringLiteral("select CliVille from tClients where idClient=1")),
              db(QStringLiteral("select CliMobile from tClients where idClient=1"))},
             "12 RUE DE L'ÉGLISE"}, // address keys are raised, accents kept
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(str(c.report));
        auto w = openWithBrowser(c.user, c.vehicle, c.customer, c.typeVO);
        ASSERT_EQ(str(w->LbDebugInfo0->text()), "");
        retype(*w, c.field, c.typed);
        ASSERT_TRUE(w->JvXPBtnSave->isEnabled());
        ctrl().ctrl = c.ctrl;
        auto *button = w->findChild<QAbstractButton *>(QLatin1String(c.button));
        ASSERT_NE(button, nullptr);
        click(button);
        EXPECT_EQ(str(w->LbDebugInfo0->text()), "");
        EXPECT_FALSE(w->JvXPBtnSave->isEnabled()); // saved first

        const QStringList args = browserArguments();
        ASSERT_EQ(args.size(), 2) << str(args.join(QLatin1Char('|')));
        EXPECT_EQ(args[0], QStringLiteral("1")); // the whole address is one parameter
        const QString address = args[1];
        const QString expected = server().baseHRef() + QStringLiteral("ReportPDF?rptSelect=")
                + c.report + QStringLiteral("&Ticket=");
        EXPECT_TRUE(address.startsWith(expected)) << str(address);
        EXPECT_EQ(address.size(), expected.size() + 64) << str(address);

        const QString sheet = sheetText(address);
        EXPECT_TRUE(sheet.contains(QString::fromUtf8(c.typedShown))) << str(sheet);
        for (const QString &value : c.shown) {
            EXPECT_TRUE(sheet.contains(value)) << str(value) << "\n" << str(sheet);
        }
    }
}

TEST_F(Reports, AFailedSaveOrAMissingTicketOpensNothing)
{
    const int id = usedVehicle(41);
    auto w = openWithBrowser(kUserAdmin, QString::number(id), {});
    ASSERT_EQ(str(w->LbDebugInfo0->text()), "");
    const QString before = vehicle(id, "PrixVente");
    dbExec(QStringLiteral("create trigger refuseReportSave before update on tVehicles when "
                          "old.idVO=%1 begin select raise(abort, 'prix refusé'); end")
                   .arg(id));
    retype(*w, "cPrixVente", QStringLiteral("999"));
    click(w->JvXPBtnPrint);
    EXPECT_TRUE(w->PanelWarning->isVisible());
    EXPECT_NE(str(w->LbDebugInfo0->text()), "");
    EXPECT_TRUE(browserArguments(1000).isEmpty());
    EXPECT_EQ(vehicle(id, "PrixVente"), before);
    EXPECT_TRUE(w->JvXPBtnSave->isEnabled()); // still pending, nothing lost
    dbExec(QStringLiteral("drop trigger refuseReportSave"));

    // Saved now; but a browser command without its quoted program starts nothing, and says so.
    setSetting(QStringLiteral("BrowserCommand"), QStringLiteral("/usr/bin/none %1"));
    click(w->JvXPBtnPrint);
    EXPECT_EQ(vehicle(id, "PrixVente").toDouble(), 999.0);
    EXPECT_EQ(str(w->LbDebugInfo0->text()), str(ReportTexts::kNoBrowser));
    EXPECT_TRUE(browserArguments(1000).isEmpty());
}

TEST_F(Reports, TheTestSmsReachesTheGatewayAndItsRefusalsShow)
{
    auto w = openWithBrowser(kUserSuperAdmin, {}, QString::number(kDemoCustomer));
    ASSERT_EQ(str(w->LbDebugInfo0->text()), "");
    ASSERT_TRUE(w->JvXPBtnSMS->isVisible());
    const QString identity = w->xcIdentity->text();
    const QString site = text(*w, "aSite");
    ASSERT_FALSE(identity.isEmpty());
    const auto sent = [] {
        return count(QStringLiteral("from tSMS"));
    };

    const struct
    {
        const char *key;
        QString value;
        QString warning; // empty: sent and stored
    } steps[] = {
            {"SmsTestNumber", QStringLiteral("0612"),
             QStringLiteral("Erreur : destinataire invalide : 0612")},
            {"SmsTestNumber", QStringLiteral("+33600000001"), QString()}, // clears the band
            {"SmsGateway", QStringLiteral("http://127.0.0.1:1"), HttpTexts::kTransferError},
            {"SmsGateway", server().baseHRef(), QString()},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(str(s.value));
        setSetting(QLatin1String(s.key), s.value);
        const int before = sent();
        click(w->JvXPBtnSMS);
        EXPECT_EQ(str(w->LbDebugInfo0->text()), str(s.warning));
        EXPECT_EQ(w->PanelWarning->isVisible(), !s.warning.isEmpty());
        EXPECT_EQ(sent(), before + (s.warning.isEmpty() ? 1 : 0));
        if (s.warning.isEmpty()) {
            const auto row = dbRow(QStringLiteral(
                    "select Destinataire, Texte from tSMS order by idSMS desc limit 1"));
            EXPECT_EQ(row.value(QStringLiteral("Destinataire")), QStringLiteral("+33600000001"));
            EXPECT_EQ(str(row.value(QStringLiteral("Texte"))),
                      str(QStringLiteral("de Zolvare ") + site
                          + QStringLiteral(",\r\n\r\npour un test d'envoi à ") + identity));
        }
    }
}
