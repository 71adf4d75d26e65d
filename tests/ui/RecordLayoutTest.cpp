// Records of the demo dealership laid out by the window against the reference server: each
// kind with its tabs, values, lists and header; the rights of several demo users; reloads.
#include "engine/QtPrinters.h"
#include "support/ServerProcessFixture.h"
#include "ui/UserInput.h"
#include "ui/WindowHarness.h"

#include "gateway/CurlTransport.h"
#include "gateway/TXml.h"
#include "seed/Seed.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <httplib.h>

#include <QAbstractButton>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

namespace {

using namespace dravik::seed;

class RecordWindow : public ServerTest
{
public:
    static void SetUpTestSuite()
    {
        testApp();
        ServerTest::SetUpTestSuite();
    }

protected:
    // A window started on a record: the launch keys, then the first tick's start sequence.
    std::unique_ptr<TAxDravik> open(int user, const QString &vehicle, const QString &customer,
                                    int typeVO = 1)
    {
        m_harness = std::make_unique<WindowHarness>();
        writeKeys(user, vehicle, customer, typeVO);
        auto w = m_harness->makeWindow(std::make_unique<CurlTransport>(5000));
        m_keyboard = m_harness->keyboard;
        w->Timer1Timer();
        return w;
    }
    std::unique_ptr<TAxDravik> openVehicle(int user, int id, int typeVO = 1)
    {
        return open(user, QString::number(id), QString(), typeVO);
    }
    std::unique_ptr<TAxDravik> openCustomer(int user, const QString &id)
    {
        return open(user, QString(), id);
    }
    // The launcher's reload: new keys, then the message 1024.
    void reload(TAxDravik &w, int user, const QString &vehicle, const QString &customer,
                int typeVO = 1)
    {
        writeKeys(user, vehicle, customer, typeVO);
        w.OnInstanceMessage(QByteArrayLiteral("1024"));
    }

    // One value of the demo database, read with the server's query endpoint.
    static QString dbValue(const QString &select)
    {
        const QUrl base(server().baseHRef());
        httplib::Client client(base.host().toStdString(), base.port());
        static const std::string key = server().sessionKey(1).toStdString();
        client.set_default_headers({{CurlTransport::kSessionHeader, key}});
        const std::string path = "/AxQuery?XMLC_OutputFormat=XML&SQL="
                + QUrl::toPercentEncoding(select).toStdString();
        const auto answer = client.Get(path);
        if (!answer)
            return QStringLiteral("<no answer>");
        TXml row(QString::fromLatin1(answer->body.data(), qsizetype(answer->body.size())));
        XmlOpen(row, u"AXQueryS");
        XmlNext(row, u"AXQuery");
        return DecodeEntities(XmlGetText(row, u"v"), true);
    }
    static QString vehicleColumn(int id, const char *column)
    {
        return dbValue(QStringLiteral("select %1 as v from tVehicles where idVO=%2")
                               .arg(QLatin1String(column))
                               .arg(id));
    }

private:
    void writeKeys(int user, const QString &vehicle, const QString &customer, int typeVO)
    {
        m_harness->writeRecordKeys(server().baseHRef(), user, vehicle, customer, typeVO,
                                   server().sessionKey(user));
    }

    std::unique_ptr<WindowHarness> m_harness;

protected:
    FakeKeyboard *m_keyboard = nullptr;
};

QString text(const TAxDravik &w, const char *name)
{
    return w.FieldText(QLatin1String(name));
}

// Whether the user may change the field (a text field that may not be changed is read-only,
// its text still selectable).
bool enabled(const TAxDravik &w, const char *name)
{
    return controlEditable(w.Control(QLatin1String(name)));
}

QColor background(const TAxDravik &w, const char *name)
{
    return controlBackground(w.Control(QLatin1String(name)));
}

const QColor kInactive = colorFromTColor(clInactiveBorder);

// The field control holding the focus, itself or in one of its parts.
QWidget *focusedControl(const TAxDravik &w)
{
    for (QWidget *at = QApplication::focusWidget(); at; at = at->parentWidget()) {
        if (w.Control(at->objectName()) == at)
            return at;
    }
    return nullptr;
}

// Captions of the visible pages, in page order.
QStringList shownPages(const TAxDravik &w)
{
    QStringList pages;
    for (int i = 0; i < w.Tabs->count(); ++i) {
        if (w.Tabs->isTabVisible(i))
            pages << w.Tabs->tabText(i);
    }
    return pages;
}

// After a load nothing is pending: every field shows what was loaded.
void expectNothingPending(const TAxDravik &w)
{
    for (int n = 0; n < int(w.TabDesc.size()); ++n) {
        for (const TsDesc &d : w.TabDesc[n].Descs)
            EXPECT_EQ(d.LoadedValue, d.CurrentValue) << n << " " << d.FieldName.toStdString();
        EXPECT_EQ(w.TabDesc[n].PendingSql, QString()) << n;
    }
    EXPECT_FALSE(w.JvXPBtnSave->isEnabled());
    EXPECT_TRUE(w.JvXPBtnNewVO->isEnabled());
}

} // namespace

TEST_F(RecordWindow, WithoutAValidSessionTheWarningSaysSoAndNoRecordIsShown)
{
    for (const QString &key : {QString(), QString(64, QLatin1Char('a'))}) {
        WindowHarness h;
        h.writeRecordKeys(server().baseHRef(), kUserAdmin, QString::number(kDemoVO), QString(), 1,
                          key);
        auto w = h.makeWindow(std::make_unique<CurlTransport>(5000));
        w->Timer1Timer();
        EXPECT_EQ(w->LbDebugInfo0->text(), QStringLiteral("Session expirée ou invalide - "))
                << key.toStdString();
        EXPECT_FALSE(w->PanelWarning->isHidden());
        EXPECT_EQ(text(*w, "cNVO"), QString());
    }
}

TEST_F(RecordWindow, UsedVehicleShowsItsDatabaseValuesListsAndHeader)
{
    auto w = openVehicle(kUserAdmin, kDemoVO);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_TRUE(w->PanelSplash->isHidden());
    EXPECT_TRUE(w->DesignProblems.isEmpty()) << w->DesignProblems.join('\n').toStdString();
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TVO"));
    EXPECT_EQ(shownPages(*w),
              QStringList({QStringLiteral("Véhicule d'occasion"), QStringLiteral("Équipements"),
                           QStringLiteral("Frais de remise en état"), QStringLiteral("Photos")}));
    EXPECT_EQ(w->Tabs->currentIndex(), 0);

    // Values as the database holds them: texts, numbers, decimals, dates, memos.
    for (const char *field : {"NVO", "Immatriculation", "Chassis", "KMS", "MEC", "InfoVersion"})
        EXPECT_EQ(text(*w, (QByteArray("c") + field).constData()), vehicleColumn(kDemoVO, field))
                << field;
    EXPECT_EQ(text(*w, "cPrixVente"),
              QString::number(vehicleColumn(kDemoVO, "PrixVente").toDouble(), 'f', 2));
    EXPECT_EQ(text(*w, "cCommentaires"), vehicleColumn(kDemoVO, "Commentaires"));

    // Lists filled and selected: a code list, a brand, a Boolean, a position, the site.
    auto *body = w->Control<ComboBox>(QStringLiteral("cCarrosserie"));
    EXPECT_GT(body->count(), 2);
    EXPECT_TRUE(body->currentText().startsWith(vehicleColumn(kDemoVO, "Carrosserie") + " : "));
    EXPECT_EQ(text(*w, "cInfoMarque"), vehicleColumn(kDemoVO, "InfoMarque"));
    EXPECT_EQ(text(*w, "cInfoModele"), vehicleColumn(kDemoVO, "InfoModele"));
    EXPECT_EQ(text(*w, "cSite"), vehicleColumn(kDemoVO, "Site"));
    const bool prepared = vehicleColumn(kDemoVO, "FlagPrepaEsthetique") == QLatin1String("True");
    EXPECT_EQ(text(*w, "cFlagPrepaEsthetique"),
              prepared ? QStringLiteral("Oui") : QStringLiteral("Non"));
    auto *vat = w->Control<ComboBox>(QStringLiteral("cModeTVA"));
    EXPECT_EQ(vat->currentIndex() + 1, vehicleColumn(kDemoVO, "ModeTVA").toInt());

    // A drop-down list becomes list-only; a typed-text list does not.
    const TsDesc *brand = w->DescOf(w->Control(QStringLiteral("cInfoMarque")));
    ASSERT_NE(brand, nullptr);
    EXPECT_TRUE(brand->ListOnly);
    EXPECT_FALSE(w->DescOf(w->Control(QStringLiteral("cInfoCouleur")))->ListOnly);
    EXPECT_TRUE(w->Control<ComboBox>(QStringLiteral("cInfoMarque"))->isEditable());
    // Its own change handler stays, its exit and key handlers are the list ones.
    const QWidget *brandBox = w->Control(QStringLiteral("cInfoMarque"));
    EXPECT_EQ(w->HandlerOf(brandBox, QStringLiteral("Change")),
              QStringLiteral("cInfoMarqueChange"));
    EXPECT_EQ(w->HandlerOf(brandBox, QStringLiteral("Exit")), QStringLiteral("CBoxExit"));
    EXPECT_EQ(w->HandlerOf(brandBox, QStringLiteral("KeyUp")), QStringLiteral("cBoxKeyUp"));
    EXPECT_EQ(
            w->HandlerOf(w->Control(QStringLiteral("cImmatriculation")), QStringLiteral("Change")),
            QStringLiteral("EditChange"));

    // Header line, caption, reservation.
    EXPECT_EQ(w->xcInfoNVO->text(), vehicleColumn(kDemoVO, "NVO"));
    const QString title = vehicleColumn(kDemoVO, "InfoMarque").toUpper() + " - "
            + vehicleColumn(kDemoVO, "InfoVersion");
    EXPECT_EQ(w->xcInfoTitre->text(), title);
    EXPECT_EQ(w->xcInfoField1->text(), vehicleColumn(kDemoVO, "InfoCouleur"));
    EXPECT_EQ(w->xcInfoField2->text(),
              vehicleColumn(kDemoVO, "CV") + " cv - " + vehicleColumn(kDemoVO, "KMS") + " kms");
    EXPECT_TRUE(w->xcInfoField3->text().endsWith(QStringLiteral(" jours")));
    EXPECT_EQ(w->windowTitle(), "Dravik - VO N°" + vehicleColumn(kDemoVO, "NVO") + " - " + title);
    EXPECT_EQ(w->xcInfoNVO->palette().color(QPalette::Disabled, QPalette::Base),
              QColor(64, 64, 240));
    EXPECT_TRUE(w->xcIdentity->isHidden());
    EXPECT_TRUE(w->Control<QLabel>(QStringLiteral("cLbResa1"))
                        ->text()
                        .startsWith(QStringLiteral("Réservation jusqu'au ")));
    EXPECT_FALSE(w->Control(QStringLiteral("cVNLbResa4"))->isHidden());

    // Created labels stand left of their fields; mandatory ones are underlined when empty.
    const TsDesc *number = w->DescOf(w->Control(QStringLiteral("cNVO")));
    ASSERT_NE(number->Label, nullptr);
    EXPECT_EQ(number->Label->text(), QStringLiteral("N° VO"));
    EXPECT_LT(number->Label->geometry().right(), w->Control(QStringLiteral("cNVO"))->x());
    EXPECT_FALSE(number->Label->font().underline());
    expectNothingPending(*w);
}

TEST_F(RecordWindow, DemonstrationVehicleWithItsOptions)
{
    auto w = openVehicle(kUserAdmin, kDemoVD, 3);
    showActive(*w);
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TVD"));
    EXPECT_EQ(shownPages(*w).value(0), QStringLiteral("Véhicule de démonstration"));
    EXPECT_TRUE(w->JvXPBtnNewVO->isHidden());
    EXPECT_EQ(w->JvXPBtnNewVO->text(), QStringLiteral("VD"));
    EXPECT_EQ(w->xcInfoNVO->palette().color(QPalette::Disabled, QPalette::Base),
              QColor(204, 89, 118));
    EXPECT_EQ(text(*w, "cVDNVO"), vehicleColumn(kDemoVD, "NVO"));

    // The options stored as codes are the selected entries; the summary shows their texts.
    auto *options = w->Control<MultiListBox>(QStringLiteral("cVDInfoOptions"));
    const TsDesc *d = w->DescOf(options);
    ASSERT_NE(d, nullptr);
    QStringList codes;
    for (int row : options->selectedRows())
        codes << d->CodeList.split(';').value(row + 1);
    QStringList stored = vehicleColumn(kDemoVD, "InfoOptions").split(';', Qt::SkipEmptyParts);
    codes.sort();
    stored.sort();
    EXPECT_EQ(codes, stored);
    EXPECT_FALSE(codes.isEmpty());
    QStringList shown;
    for (int row : options->selectedRows())
        shown << options->item(row)->text();
    EXPECT_EQ(w->LbInfoOptions->text(), shown.join(QStringLiteral(" - ")));
    EXPECT_FALSE(w->LbInfoOptions->isHidden());
    // A vehicle with a main photo keeps its number and site.
    EXPECT_FALSE(vehicleColumn(kDemoVD, "NomImage").isEmpty());
    EXPECT_FALSE(enabled(*w, "cVDNVO"));
    EXPECT_FALSE(enabled(*w, "cVDSite"));
    EXPECT_EQ(w->LastTypeVersion, text(*w, "cVDInfoTypeVersion"));
    // Header of a demonstration vehicle: no day count.
    EXPECT_EQ(w->xcInfoField1->text(), vehicleColumn(kDemoVD, "InfoCouleur"));
    EXPECT_EQ(w->xcInfoField2->text(),
              vehicleColumn(kDemoVD, "CV") + " cv - " + vehicleColumn(kDemoVD, "KMS") + " kms");
    EXPECT_EQ(w->xcInfoField3->text(), QString());
    expectNothingPending(*w);

    // The options button shows and hides its list; entered, the list stands tall and the
    // button goes, left, the list goes and the button comes back.
    QWidget *button = w->Control(QStringLiteral("czVDOptions"));
    EXPECT_FALSE(options->isHidden());
    QTest::mouseClick(static_cast<QAbstractButton *>(button), Qt::LeftButton);
    EXPECT_TRUE(options->isHidden());
    QTest::mouseClick(static_cast<QAbstractButton *>(button), Qt::LeftButton);
    EXPECT_FALSE(options->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), options);
    EXPECT_EQ(options->size(), QSize(200, 480));
    EXPECT_TRUE(button->isHidden());
    press(*w, Qt::Key_Tab);
    EXPECT_TRUE(options->isHidden());
    EXPECT_FALSE(button->isHidden());
}

TEST_F(RecordWindow, NewVehicleOrderForAnAdministratorAndForAccounting)
{
    auto w = openVehicle(kUserAdmin, kDemoVN);
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TVN"));
    EXPECT_EQ(shownPages(*w).value(0), QStringLiteral("Commande VN"));
    EXPECT_FALSE(w->JvXPBtnSweep->isHidden());
    EXPECT_FALSE(w->JvXPBtnSuppr->isHidden());
    EXPECT_TRUE(w->PanelCompta->isHidden());
    EXPECT_FALSE(w->JvXPBtnPrint->isEnabled());

    // Header of an order: the second field is not its own, the third counts the days to
    // delivery when there is an invoice or a registration.
    EXPECT_EQ(w->xcInfoField2->text(), QString());
    EXPECT_EQ(w->xcInfoTitre->text(),
              vehicleColumn(kDemoVN, "InfoMarque").toUpper() + " - "
                      + vehicleColumn(kDemoVN, "InfoVersion"));

    auto c = openVehicle(kUserCompta, kDemoVN);
    EXPECT_FALSE(c->PanelCompta->isHidden());
    EXPECT_TRUE(c->JvXPBtnSweep->isHidden());
    EXPECT_TRUE(c->JvXPBtnSuppr->isHidden());
    // Fields of the accounting panel live on it and hold the database values.
    QWidget *purchase = c->Control(QStringLiteral("cVNMontantAchat"));
    EXPECT_EQ(purchase->parentWidget(), c->PanelCompta);
    EXPECT_EQ(controlText(purchase),
              QString::number(vehicleColumn(kDemoVN, "MontantAchat").toDouble(), 'f', 2));
    EXPECT_TRUE(enabled(*c, "cVNMontantAchat"));
    EXPECT_FALSE(enabled(*c, "cVNNVO")); // a salesperson's field
    EXPECT_EQ(background(*c, "cVNNVO"), kInactive);
}

TEST_F(RecordWindow, CustomerWithIdentityVehiclesAndPlans)
{
    auto w = openCustomer(kUserAdmin, QString::number(kDemoCustomer));
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TCL"));
    EXPECT_EQ(shownPages(*w),
              QStringList({QStringLiteral("Client"), QStringLiteral("Véhicules du client"),
                           QStringLiteral("Projets d'achat")}));
    EXPECT_EQ(w->Tabs->currentIndex(), 6);
    const auto customer = [](const char *column) {
        return dbValue(QStringLiteral("select %1 as v from tClients where idClient=%2")
                               .arg(QLatin1String(column))
                               .arg(kDemoCustomer));
    };
    EXPECT_EQ(text(*w, "aCliNom"), customer("CliNom"));
    EXPECT_FALSE(w->xcIdentity->isHidden());
    const QString line = text(*w, "aCliCivilite") + " " + customer("CliNom").toUpper() + " "
            + customer("CliPrenom").left(1).toUpper() + customer("CliPrenom").mid(1).toLower();
    EXPECT_EQ(w->xcIdentity->text(), line);
    EXPECT_EQ(w->windowTitle(), "ClarimII - " + line);
    EXPECT_EQ(w->xcIdentity->palette().color(QPalette::Disabled, QPalette::Text),
              QColor(255, 0, 255));
    EXPECT_EQ(w->xcInfoField1->text(), customer("CliEmail").toLower());
    EXPECT_EQ(QFontInfo(w->xcInfoField1->font()).pixelSize(),
              customer("CliEmail").size() <= 13 ? 16 : 12); // 12 or 9 points
    // The salesperson stored by id shows by name; the site list and the salespeople of it.
    const QString salesperson
            = dbValue(QStringLiteral("select u.cNom as v from tClients c join InfoCom u "
                                     "on u.idCom=c.idCom where c.idClient=%1")
                              .arg(kDemoCustomer));
    EXPECT_EQ(text(*w, "aidCom"), salesperson);
    EXPECT_TRUE(enabled(*w, "aSite"));
    // The customer vehicles tab reads the first vehicle of the customer.
    EXPECT_EQ(text(*w, "vImmatriculation"),
              dbValue(QStringLiteral("select Immatriculation as v from TVehiclesClarim "
                                     "where idClient=%1 order by idtVO")
                              .arg(kDemoCustomer)));
    EXPECT_TRUE(w->Control(QStringLiteral("DblNom"))->isHidden());
    expectNothingPending(*w);
}

TEST_F(RecordWindow, FieldRightsFollowTheUserAndReloadKeepsTheControls)
{
    // Accounting: a salesperson's field is read-only and grey, the guarantee is editable.
    auto w = openVehicle(kUserCompta, kDemoVO);
    EXPECT_FALSE(enabled(*w, "cPrixVente"));
    EXPECT_EQ(background(*w, "cPrixVente"), kInactive);
    EXPECT_EQ(text(*w, "cPrixVente"),
              QString::number(vehicleColumn(kDemoVO, "PrixVente").toDouble(), 'f', 2));
    EXPECT_TRUE(enabled(*w, "cPrixGarantie"));
    EXPECT_EQ(background(*w, "cPrixGarantie"), colorFromTColor(clWindow));
    EXPECT_FALSE(w->PanelCompta->isHidden());
    EXPECT_TRUE(w->JvXPBtnSuppr->isHidden());
    const QColor design = colorFromTColor(w->DescOf(w->Control("cPrixVente"))->BackColor);
    EXPECT_NE(design, kInactive);

    const auto labels = [&w] {
        return w->Control(QStringLiteral("Sheet01"))->findChildren<QLabel *>().size();
    };
    const auto before = labels();
    QWidget *price = w->Control(QStringLiteral("cPrixVente"));

    // The same window reloaded for the salesperson of the record: rights and colours follow,
    // no control or label is made again.
    reload(*w, kUserSalesperson, QString::number(kDemoVO), QString());
    EXPECT_TRUE(enabled(*w, "cPrixVente"));
    EXPECT_EQ(background(*w, "cPrixVente"), design);
    EXPECT_FALSE(enabled(*w, "cPrixGarantie"));
    EXPECT_EQ(background(*w, "cPrixGarantie"), kInactive);
    EXPECT_TRUE(w->PanelCompta->isHidden());
    EXPECT_EQ(labels(), before);
    EXPECT_EQ(w->DescOf(price)->Control, price);
    expectNothingPending(*w);
}

TEST_F(RecordWindow, GuaranteeGroupsBeforeTheValidation)
{
    auto svo = openVehicle(kUserGuaranteeSVO, kDemoVO);
    ASSERT_EQ(text(*svo, "cDateValidationGarantie"), QString());
    for (const char *field :
         {"cTypeGarantie", "cDureeGarantie", "cPrixGarantie", "cMtComIntermediaire"}) {
        EXPECT_TRUE(enabled(*svo, field)) << field;
        EXPECT_EQ(background(*svo, field), colorFromTColor(clWindow)) << field;
    }
    EXPECT_FALSE(enabled(*svo, "cPrixVente"));
    auto seller = openVehicle(kUserSalesperson, kDemoVO);
    EXPECT_FALSE(enabled(*seller, "cTypeGarantie"));
    EXPECT_EQ(background(*seller, "cTypeGarantie"), kInactive);
}

TEST_F(RecordWindow, RecordOfAnotherSiteSwallowsEveryKey)
{
    auto w = openVehicle(kUserOtherSite, kDemoVO);
    showActive(*w);
    EXPECT_FALSE(w->FlagSiteAccess);
    EXPECT_FALSE(w->FlagModifiable);
    EXPECT_FALSE(enabled(*w, "cImmatriculation"));
    QWidget *plate = w->Control(QStringLiteral("cImmatriculation"));
    const QString shown = controlText(plate);
    plate->setFocus();
    QTest::keyClick(keyTarget(plate), Qt::Key_X);
    EXPECT_EQ(controlText(plate), shown);
    EXPECT_EQ(w->LbDebugInfo0->text(), QStringLiteral("Enregistrement non modifiable"));
    EXPECT_TRUE(w->PanelWarning->isHidden());
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
}

TEST_F(RecordWindow, VehicleDeliveredBeforeTheLockDate)
{
    auto w = openVehicle(kUserAdmin, kLockedVO);
    EXPECT_TRUE(w->FlagSiteAccess);
    EXPECT_FALSE(w->FlagModifiable);
    EXPECT_FALSE(w->RightAdmin);
    EXPECT_TRUE(w->JvXPBtnSuppr->isHidden());
    EXPECT_FALSE(enabled(*w, "cNVO"));
    EXPECT_EQ(text(*w, "cNVO"), vehicleColumn(kLockedVO, "NVO"));
    EXPECT_FALSE(w->GoTestVerrou());
    EXPECT_EQ(w->LbDebugInfo0->text(),
              "Enregistrement non modifiable, Date Livraison antérieure au "
                      + dbValue(QStringLiteral("select Opt_LimiteDateVerrouVNVO as v from "
                                               "tOptDates where Concession='ZOLVARE'")));
}

TEST_F(RecordWindow, RecordOfAnotherCompanyShowsEmpty)
{
    auto w = openVehicle(kUserAdmin, kOtherCompanyVO);
    // The server answers nothing of another company's record, to a statement either.
    EXPECT_TRUE(vehicleColumn(kOtherCompanyVO, "NVO").isEmpty());
    EXPECT_EQ(shownPages(*w).value(0), QStringLiteral("Véhicule d'occasion"));
    for (const TsDesc &d : w->TabDesc[1].Descs) {
        if (d.tInfo == DataKind::Text || d.tInfo == DataKind::Date) {
            EXPECT_EQ(d.CurrentValue, QString()) << d.FieldName.toStdString();
        }
    }
    EXPECT_EQ(text(*w, "cNVO"), QString());
    EXPECT_EQ(text(*w, "cPrixVente"), QStringLiteral("0.00"));
}

TEST_F(RecordWindow, NewVehicleShowsItsDefaults)
{
    auto w = open(kUserSalesperson, QStringLiteral("-1"), QString(), 1);
    EXPECT_TRUE(w->FlagNewEnreg);
    EXPECT_TRUE(w->FlagRights);
    EXPECT_EQ(w->RecordKind, QStringLiteral("_TVO"));
    const TsDesc *entry = w->DescOf(w->Control(QStringLiteral("cDateEntree")));
    EXPECT_EQ(entry->CurrentValue, w->clock().now().date().toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(entry->LoadedValue, QString());
    EXPECT_EQ(text(*w, "cFlagPrepaEsthetique"), QStringLiteral("Non"));
    EXPECT_EQ(text(*w, "cNVO"), QString());
    EXPECT_TRUE(enabled(*w, "cNVO"));
    // The mandatory stock number is empty: its label is underlined.
    EXPECT_TRUE(w->DescOf(w->Control(QStringLiteral("cNVO")))->Label->font().underline());
    // Defaults are what a save would insert.
    EXPECT_TRUE(w->TabDesc[1].PendingSql.startsWith(QStringLiteral("Insert into tVehicles (")));

    auto c = openCustomer(kUserSalesperson, QStringLiteral("-2"));
    EXPECT_TRUE(c->FlagNewEnreg);
    EXPECT_FALSE(c->Control(QStringLiteral("DblNom"))->isHidden());
    EXPECT_EQ(text(*c, "aCliCivilite"), QStringLiteral("M."));
}

TEST_F(RecordWindow, DiagnosticViewOfTheAdministratorNamedTardox)
{
    auto w = openCustomer(kUserSuperAdmin, QString::number(kDemoCustomer));
    EXPECT_TRUE(w->RightAdmin);
    EXPECT_FALSE(w->JvXPBtnSMS->isHidden());
    EXPECT_EQ(w->height(), w->JvXPNext->geometry().bottom() + 1 + 75);
    for (QLabel *label : {w->LbDebugInfo1, w->LbDebugInfo2, w->LbDebugInfo3, w->LbHttpRoot,
                          w->LbBaseHRef, w->LbInfoTimer})
        EXPECT_FALSE(label->isHidden()) << label->objectName().toStdString();

    auto seller = openVehicle(kUserSalesperson, kDemoVO);
    EXPECT_TRUE(seller->JvXPBtnSMS->isHidden());
    EXPECT_TRUE(seller->LbInfoTimer->isHidden());
    EXPECT_EQ(seller->height(), TAxDravik::kClientHeight);
    EXPECT_EQ(seller->LbDebugInfo0->y(), seller->JvXPNext->y());
}

TEST_F(RecordWindow, EditsComposeThePendingStatement)
{
    auto w = openVehicle(kUserAdmin, kDemoVO);
    showActive(*w);
    auto *plate = w->Control<QLineEdit>(QStringLiteral("cImmatriculation"));
    const QString loaded = plate->text();
    // A plate takes letters and digits only, upper-cased.
    retype(*w, "cImmatriculation", QStringLiteral("ab-123-cd"));
    EXPECT_EQ(w->TabDesc[1].PendingSql,
              QStringLiteral("Update tVehicles set Immatriculation='AB123CD' where (idVO=1)"));
    EXPECT_EQ(w->LbDebugInfo2->text(), w->TabDesc[1].PendingSql);
    EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
    EXPECT_FALSE(w->JvXPBtnNewVO->isEnabled());
    paste(*w, "cImmatriculation", loaded); // put back: nothing pending
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());

    // A list-only box refuses a text that is not one of its entries, and records nothing.
    auto *brand = w->Control<ComboBox>(QStringLiteral("cInfoMarque"));
    retype(*w, "cInfoMarque", QStringLiteral("ZZZ"));
    EXPECT_EQ(focusedControl(*w), brand); // refused: the box keeps the focus
    EXPECT_EQ(w->DescOf(brand)->CurrentValue, vehicleColumn(kDemoVO, "InfoMarque"));
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    // The user puts the brand back to go on (its models are listed again, none chosen).
    pick(*w, "cInfoMarque", vehicleColumn(kDemoVO, "InfoMarque"));
    // A listed one is recorded as its code.
    auto *body = w->Control<ComboBox>(QStringLiteral("cCarrosserie"));
    const int other = body->currentIndex() == 1 ? 2 : 1;
    pick(*w, "cCarrosserie", body->itemText(other));
    EXPECT_EQ(w->DescOf(body)->CurrentValue, body->itemText(other).section(" : ", 0, 0));
    EXPECT_TRUE(w->TabDesc[1].PendingSql.contains(QStringLiteral("Carrosserie=")));

    // Delete empties a text combo; the header follows the colour.
    auto *colour = w->Control<ComboBox>(QStringLiteral("cInfoCouleur"));
    colour->setFocus();
    press(*w, Qt::Key_Delete);
    EXPECT_EQ(colour->currentText(), QString());
    EXPECT_EQ(w->DescOf(colour)->CurrentValue, QString());
    EXPECT_EQ(w->xcInfoField1->text(), QString());
    EXPECT_TRUE(w->TabDesc[1].PendingSql.contains(QStringLiteral("InfoCouleur=NULL")));
}

TEST_F(RecordWindow, ListMaintenanceModeAndListBoxCodes)
{
    auto w = openVehicle(kUserAdmin, kDemoVO);
    showActive(*w);
    auto *colour = w->Control<ComboBox>(QStringLiteral("cInfoCouleur"));
    QWidget *elsewhere = w->Control(QStringLiteral("cCommentaires"));
    // Entering a maintained list without Ctrl: nothing special.
    colour->setFocus();
    EXPECT_FALSE(w->FlagBlink);
    // With Ctrl, an administrator maintains the list: the marker stands around the box.
    elsewhere->setFocus();
    m_keyboard->ctrl = true;
    colour->setFocus();
    EXPECT_TRUE(w->FlagBlink);
    EXPECT_FALSE(w->Shape1->isHidden());
    EXPECT_EQ(w->Shape1->parentWidget(), colour->parentWidget());
    EXPECT_EQ(w->Shape1->geometry(), colour->geometry().adjusted(-3, 0, 3, 0));
    press(*w, Qt::Key_Tab);
    EXPECT_FALSE(w->FlagBlink);
    EXPECT_TRUE(w->Shape1->isHidden());
    // A list of its own table is not maintained from the form, nor by other users.
    elsewhere->setFocus();
    w->Control(QStringLiteral("cCarrosserie"))->setFocus();
    EXPECT_FALSE(w->FlagBlink);
    m_keyboard->ctrl = false;

    // A click in a list box stores the codes of its selected entries, in list order.
    clickTab(*w, 3); // equipment
    ASSERT_EQ(w->Tabs->currentIndex(), 3);
    auto *inside = w->Control<MultiListBox>(QStringLiteral("cInfoEquiInterieur"));
    const TsDesc *d = w->DescOf(inside);
    for (int row = 0; row < inside->count(); ++row) {
        QListWidgetItem *item = inside->item(row);
        if (item->isSelected() == (row == 0 || row == 2))
            continue;
        inside->scrollToItem(item);
        QTest::mouseClick(inside->viewport(), Qt::LeftButton, {},
                          inside->visualItemRect(item).center());
    }
    const QStringList codes = d->CodeList.split(';');
    EXPECT_EQ(d->CurrentValue, ";" + codes[1] + ";" + codes[3] + ";");
    EXPECT_TRUE(w->TabDesc[4].PendingSql.contains(QStringLiteral("InfoEquiInterieur='")));
    // Saved, the row holds those codes.
    click(w->JvXPBtnSave);
    EXPECT_EQ(vehicleColumn(kDemoVO, "InfoEquiInterieur"), ";" + codes[1] + ";" + codes[3] + ";");
}
