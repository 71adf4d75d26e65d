// Saving, new records, deletion, reload and the record lock, against the reference server:
// each test reads the database afterwards.
#include "ui/EditingWindow.h"

#include "editing/Messages.h"
#include "engine/QtPrinters.h"
#include "gateway/LoopbackServer.h"
#include "ui/widgets/HeaderEdit.h"

#include <QFrame>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTabBar>

#include <atomic>
#include <thread>

namespace {

using namespace dravik::seed;

class Saving : public EditingWindow
{
};

} // namespace

TEST_F(Saving, PriceChangeUpdatesThatColumnOnly)
{
    const int id = usedVehicle(0);
    const QString where = QStringLiteral("idVO=%1").arg(id);
    const auto before = dbRow(QStringLiteral("select * from tVehicles where ") + where);
    auto w = openVehicle(kUserAdmin, id);
    ASSERT_EQ(w->LbDebugInfo0->text(), QString());

    retype(*w, "cPrixVente", QStringLiteral("12345.50"));
    EXPECT_EQ(w->TabDesc[1].PendingSql,
              QStringLiteral("Update tVehicles set PrixVente=12345.50 where (idVO=%1)").arg(id));
    ASSERT_TRUE(w->JvXPBtnSave->isEnabled());
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved);

    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    auto after = dbRow(QStringLiteral("select * from tVehicles where ") + where);
    EXPECT_EQ(after.take(QStringLiteral("PrixVente")).toDouble(), 12345.5);
    auto expected = before;
    expected.remove(QStringLiteral("PrixVente"));
    EXPECT_EQ(after, expected);
    // What was sent is now what was loaded: nothing pending.
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    EXPECT_TRUE(w->JvXPBtnNewVO->isEnabled());
    for (const TsDesc &d : w->TabDesc[1].Descs)
        EXPECT_EQ(d.LoadedValue, d.CurrentValue) << d.FieldName.toStdString();
    EXPECT_EQ(text(*w, "cPrixVente"), QStringLiteral("12345.50"));
}

TEST_F(Saving, LettersTypedIntoANumberNeverReachTheRecord)
{
    const int id = usedVehicle(18);
    const QString where = QStringLiteral("idVO=%1").arg(id);
    const auto before = dbRow(QStringLiteral("select * from tVehicles where ") + where);
    auto w = openVehicle(kUserAdmin, id);

    // The letters are refused key by key: the amount and the mileage keep their digits.
    retype(*w, "cPrixVente", QStringLiteral("12a3"));
    EXPECT_EQ(text(*w, "cPrixVente"), QStringLiteral("123.00"));
    retype(*w, "cKMS", QStringLiteral("4x5,6"));
    EXPECT_EQ(text(*w, "cKMS"), QStringLiteral("456"));
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());

    auto after = dbRow(QStringLiteral("select * from tVehicles where ") + where);
    const QString price = after.take(QStringLiteral("PrixVente"));
    const QString kms = after.take(QStringLiteral("KMS"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9.]+$")).match(price).hasMatch())
            << price.toStdString();
    EXPECT_EQ(price.toDouble(), 123.0);
    EXPECT_EQ(kms, QStringLiteral("456"));
    auto expected = before;
    expected.remove(QStringLiteral("PrixVente"));
    expected.remove(QStringLiteral("KMS"));
    EXPECT_EQ(after, expected);
}

TEST_F(Saving, NewUsedVehicleGetsItsIdAndReloads)
{
    const int shown = usedVehicle(1);
    auto w = openVehicle(kUserAdmin, shown);
    const int vehicles = count(QStringLiteral("from tVehicles"));

    click(w->JvXPBtnNewVO);
    EXPECT_TRUE(w->FlagNewEnreg);
    EXPECT_EQ(w->Tabs->currentIndex(), 0);
    EXPECT_EQ(text(*w, "cNVO"), QString());
    EXPECT_EQ(w->LbIdTVO->text(), QString::number(shown)); // until the first save
    // The administrator's site offered first.
    EXPECT_EQ(text(*w, "cSite"), QStringLiteral("VALENCE"));
    EXPECT_EQ(w->DescOf(w->Control(QStringLiteral("cSite")))->CurrentValue,
              QStringLiteral("VALENCE"));

    retype(*w, "cNVO", QStringLiteral("987654"));
    pick(*w, "cInfoMarque", QStringLiteral("PEUGEOT"));
    const QString statement = w->TabDesc[1].PendingSql;
    EXPECT_TRUE(statement.startsWith(QStringLiteral("Insert into tVehicles (")));
    EXPECT_TRUE(statement.endsWith(QStringLiteral(", :NewID, 1, :NewIDbis,1, 'ZOLVARE')")))
            << statement.toStdString();
    click(w->JvXPBtnSave);
    ASSERT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();

    EXPECT_EQ(count(QStringLiteral("from tVehicles")), vehicles + 1);
    const QString id = db(QStringLiteral("select idVO from tVehicles where NVO=987654"));
    EXPECT_EQ(w->LbIdTVO->text(), id);
    EXPECT_FALSE(w->FlagNewEnreg);
    EXPECT_EQ(vehicle(id.toInt(), "Site"), QStringLiteral("VALENCE"));
    EXPECT_EQ(vehicle(id.toInt(), "InfoMarque"), QStringLiteral("PEUGEOT"));
    EXPECT_EQ(vehicle(id.toInt(), "idOwner"), QString::number(kUserAdmin));
    EXPECT_EQ(vehicle(id.toInt(), "Concession"), QStringLiteral("ZOLVARE"));
    // Reloaded from the server: the window shows the new record with nothing pending.
    EXPECT_EQ(text(*w, "cNVO"), QStringLiteral("987654"));
    EXPECT_EQ(w->xcInfoNVO->text(), QStringLiteral("987654"));
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    EXPECT_TRUE(w->PanelSplash->isHidden());
}

TEST_F(Saving, NewCustomerGetsItsIdAndReloads)
{
    auto w = open(kUserSalesperson, QString(), QString::number(kOtherSiteCustomer + 10));
    ASSERT_EQ(w->RecordKind, QStringLiteral("_TCL"));
    const int customers = count(QStringLiteral("from tClients"));

    click(w->JvXPBtnNewVO);
    EXPECT_EQ(w->LbIDCustomer->text(), QStringLiteral("-2"));
    EXPECT_EQ(w->Tabs->currentIndex(), 6);
    EXPECT_EQ(text(*w, "aSite"), QStringLiteral("VALENCE"));
    retype(*w, "aCliNom", QStringLiteral("Lefèvre-d'Arc"));
    auto *seller = w->Control<ComboBox>(QStringLiteral("aidCom"));
    ASSERT_GT(seller->count(), 0);
    pick(*w, "aidCom", seller->itemText(0));
    click(w->JvXPBtnSave);
    ASSERT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();

    EXPECT_EQ(count(QStringLiteral("from tClients")), customers + 1);
    const QString id
            = db(QStringLiteral("select idClient from tClients where CliNom='Lefèvre-d''Arc'"));
    EXPECT_EQ(w->LbIDCustomer->text(), id);
    EXPECT_FALSE(w->FlagNewEnreg);
    EXPECT_EQ(db(QStringLiteral("select Site from tClients where idClient=") + id),
              QStringLiteral("VALENCE"));
    // Typed names are upper-cased, their accented letters kept.
    EXPECT_EQ(text(*w, "aCliNom"), QStringLiteral("LEFèVRE-D'ARC"));
    EXPECT_EQ(w->TabDesc[7].PendingSql, QString());
}

TEST_F(Saving, FailedSaveKeepsTheStatementPendingAndTheTab)
{
    const int id = usedVehicle(2);
    const QString kms = vehicle(id, "KMS");
    dbExec(QStringLiteral("create trigger refuse_kms before update of KMS on tVehicles "
                          "when new.KMS = 99999 begin select raise(abort, 'refus du test'); end"));
    auto w = openVehicle(kUserAdmin, id);
    retype(*w, "cKMS", QStringLiteral("99999"));
    const QString statement = w->TabDesc[1].PendingSql;
    ASSERT_FALSE(statement.isEmpty());

    // Leaving the tab saves first; the refusal keeps the user where he is.
    clickTab(*w, 1 + 2); // equipment
    EXPECT_EQ(w->Tabs->currentIndex(), 0);
    EXPECT_TRUE(w->LbDebugInfo0->text().contains(QStringLiteral("refus du test")))
            << w->LbDebugInfo0->text().toStdString();
    EXPECT_FALSE(w->PanelWarning->isHidden());
    EXPECT_EQ(w->TabDesc[1].PendingSql, statement);
    EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
    EXPECT_EQ(w->DescOf(w->Control(QStringLiteral("cKMS")))->LoadedValue, kms);
    EXPECT_EQ(vehicle(id, "KMS"), kms);
    w->LbDebugInfo0->clear(); // what follows is this save's own answer
    click(w->JvXPBtnSave);
    EXPECT_TRUE(w->LbDebugInfo0->text().contains(QStringLiteral("refus du test")));
    EXPECT_TRUE(status(*w).startsWith(EditingText::notSaved(QString())));
    EXPECT_EQ(vehicle(id, "KMS"), kms);

    // Once the server accepts, the same statement goes and the tab may change.
    dbExec(QStringLiteral("drop trigger refuse_kms"));
    clickTab(*w, 3);
    EXPECT_EQ(w->Tabs->currentIndex(), 3);
    EXPECT_EQ(vehicle(id, "KMS"), QStringLiteral("99999"));
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
}

TEST_F(Saving, NewRecordKeepsItsPageUntilItCanBeSaved)
{
    // What another page takes before the record exists would be lost by the reload that
    // follows its insert: the page is left only once the record is saved.
    auto w = openVehicle(kUserAdmin, usedVehicle(16));
    click(w->JvXPBtnNewVO);
    ASSERT_TRUE(w->FlagNewEnreg);
    retype(*w, "cNVO", QStringLiteral("4713"));
    const int vehicles = count(QStringLiteral("from tVehicles"));
    clickTab(*w, 3); // equipment
    EXPECT_EQ(w->Tabs->currentIndex(), 0);
    EXPECT_EQ(focusedField(*w), QStringLiteral("cInfoMarque"));
    EXPECT_TRUE(boxes().asked.isEmpty());
    EXPECT_TRUE(w->FlagNewEnreg);

    pick(*w, "cInfoMarque", QStringLiteral("RENAULT"));
    clickTab(*w, 3); // equipment
    EXPECT_EQ(w->Tabs->currentIndex(), 3);
    EXPECT_FALSE(w->FlagNewEnreg);
    EXPECT_EQ(count(QStringLiteral("from tVehicles")), vehicles + 1);
    EXPECT_EQ(w->LbIdTVO->text(), db(QStringLiteral("select idVO from tVehicles where NVO=4713")));
}

TEST_F(Saving, DeletionStopsWhenThePhotoLinksCannotBeDeleted)
{
    const int id = db(QStringLiteral("select l.idVO from [tVO - Liens Images] l "
                                     "join [tVO - Frevo] f on f.idVO=l.idVO join tVehicles v "
                                     "on v.idVO=l.idVO where v.TypeVO=1 and v.StatutVD is null "
                                     "and v.Site='VALENCE' and v.DateLivraison is null "
                                     "and l.idVO>10 order by l.idVO limit 1"))
                           .toInt();
    ASSERT_GT(id, 0);
    const QString where = QStringLiteral("where idVO=%1").arg(id);
    const int links = count(QStringLiteral("from [tVO - Liens Images] ") + where);
    const int costs = count(QStringLiteral("from [tVO - Frevo] ") + where);
    dbExec(QStringLiteral("create trigger keep_links before delete on [tVO - Liens Images] "
                          "begin select raise(abort, 'liens protégés'); end"));
    auto w = openVehicle(kUserAdmin, id);
    const QString number = text(*w, "cNVO");

    boxes().answers = {MessageBoxes::Answer::Yes};
    click(w->JvXPBtnSuppr);
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_EQ(boxes().asked[0].title, QStringLiteral("Confirmation de Suppression"));
    EXPECT_EQ(boxes().asked[0].text, "Veuillez confirmer la suppression du VO n°" + number);
    EXPECT_FALSE(w->LbDebugInfo0->text().isEmpty());
    EXPECT_EQ(w->LbDebugInfo2->text(),
              QStringLiteral("Delete * From [tVO - Liens Images] where idVO=%1").arg(id));
    EXPECT_EQ(count(QStringLiteral("from [tVO - Liens Images] ") + where), links);
    EXPECT_EQ(count(QStringLiteral("from [tVO - Frevo] ") + where), costs);
    EXPECT_EQ(count(QStringLiteral("from tVehicles ") + where), 1);
    EXPECT_EQ(text(*w, "cNVO"), number); // the form is unchanged

    // Refused confirmation: nothing sent.
    dbExec(QStringLiteral("drop trigger keep_links"));
    boxes().answers = {MessageBoxes::Answer::No};
    click(w->JvXPBtnSuppr);
    EXPECT_EQ(count(QStringLiteral("from tVehicles ") + where), 1);

    boxes().asked.clear();
    boxes().answers = {MessageBoxes::Answer::Yes};
    click(w->JvXPBtnSuppr);
    EXPECT_EQ(count(QStringLiteral("from [tVO - Liens Images] ") + where), 0);
    EXPECT_EQ(count(QStringLiteral("from [tVO - Frevo] ") + where), 0);
    EXPECT_EQ(count(QStringLiteral("from tVehicles ") + where), 0);
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[1].title, QStringLiteral("Fin de Suppression"));
    EXPECT_EQ(boxes().asked[1].text, QStringLiteral("Suppression terminée"));
    // A new empty record of the same kind, which cannot be deleted in turn.
    EXPECT_TRUE(w->FlagNewEnreg);
    EXPECT_EQ(text(*w, "cNVO"), QString());
    EXPECT_EQ(w->LbDebugInfo2->text().startsWith(QStringLiteral("Delete")), false);
    boxes().asked.clear();
    click(w->JvXPBtnSuppr);
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_EQ(boxes().asked[0].title, QStringLiteral("Action Annulée"));
    EXPECT_EQ(boxes().asked[0].text,
              QStringLiteral("L'identifiant du véhicule demandé n'a pas pu être restitué... "));
}

TEST_F(Saving, CustomerDeletion)
{
    const QString id = db(QStringLiteral("select max(idClient) from tClients where Site='VALENCE' "
                                         "and idClient<=%1")
                                  .arg(kDemoCustomers));
    const QString where = QStringLiteral("where idClient=") + id;
    ASSERT_GT(count(QStringLiteral("from tActions ") + where), 0);
    auto w = open(kUserSalesperson, QString(), id);
    // A required field left empty on the record does not keep it on screen once deleted.
    retype(*w, "aCliNom", QString());
    const QString question
            = "Veuillez confirmer la suppression du client \" " + text(*w, "aCliPrenom") + "\"";
    boxes().answers = {MessageBoxes::Answer::Yes};
    click(w->JvXPBtnSuppr);
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[0].text, question);
    EXPECT_EQ(count(QStringLiteral("from tClients ") + where), 0);
    EXPECT_EQ(count(QStringLiteral("from tActions ") + where), 0);
    EXPECT_EQ(w->LbIDCustomer->text(), QStringLiteral("-2"));
    EXPECT_TRUE(w->FlagNewEnreg);
    EXPECT_EQ(w->Tabs->currentIndex(), 6);
}

TEST_F(Saving, LockedRecordSwallowsKeysWithItsMessage)
{
    auto w = openVehicle(kUserAdmin, kLockedVO);
    const QString message = "Enregistrement non modifiable, Date Livraison antérieure au "
            + formatDate(w->OptDates.OptLimiteDateVerrouVNVO);
    for (const char *name : {"cImmatriculation", "cCommentaires", "cInfoCouleur"}) {
        QWidget *field = w->Control(QLatin1String(name));
        const QString shown = controlText(field);
        w->LbDebugInfo0->clear();
        field->setFocus();
        QTest::keyClick(keyTarget(field), Qt::Key_X);
        EXPECT_EQ(w->LbDebugInfo0->text(), message) << name;
        EXPECT_EQ(controlText(field), shown) << name;
        // The key handlers the layout names swallow it too, should a key get past the window.
        w->LbDebugInfo0->clear();
        KeyArgs key {Qt::Key_X, Qt::NoModifier, QStringLiteral("x")};
        if (qobject_cast<ComboBox *>(field))
            w->CBoxKeyDown(field, key);
        else
            w->GoOnKeyPress(field, key);
        EXPECT_TRUE(key.handled) << name;
        EXPECT_EQ(w->LbDebugInfo0->text(), message) << name;
        EXPECT_EQ(controlText(field), shown) << name;
    }
    // A change made anyway (no key reaches the field: its text is set) is not recorded.
    setControlText(w->Control(QStringLiteral("cKMS")), QStringLiteral("1"));
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    EXPECT_TRUE(w->PanelWarning->isHidden());
}

TEST_F(Saving, ReloadDropsTheEditsAndReadsTheServer)
{
    const int id = usedVehicle(3);
    auto w = openVehicle(kUserSalesperson, id);
    const QString plate = text(*w, "cImmatriculation");
    retype(*w, "cImmatriculation", QStringLiteral("ZZ-999-ZZ"));
    ASSERT_TRUE(w->JvXPBtnSave->isEnabled());
    click(w->JvXPBtnActualize);
    EXPECT_EQ(text(*w, "cImmatriculation"), plate);
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
    EXPECT_FALSE(w->FlagNewEnreg);
    EXPECT_TRUE(w->PanelSplash->isHidden());
    EXPECT_EQ(vehicle(id, "Immatriculation"), plate);

    // A new record reloaded is still new: what is typed next is inserted.
    auto n = open(kUserSalesperson, QStringLiteral("-1"), QString());
    ASSERT_TRUE(n->FlagNewEnreg);
    click(n->JvXPBtnActualize);
    EXPECT_TRUE(n->FlagNewEnreg);
    EXPECT_TRUE(n->TabDesc[1].PendingSql.startsWith(QStringLiteral("Insert into")));
}

TEST_F(Saving, ReloadShowsTheRecordsOwnReservationAndToolbar)
{
    const int free = db(QStringLiteral("select idVO from tVehicles v where TypeVO=1 and "
                                       "Concession='ZOLVARE' and Site='VALENCE' and idVO>10 and "
                                       "not exists (select 1 from tResa r where r.idVO=v.idVO) "
                                       "order by idVO limit 1"))
                             .toInt();
    ASSERT_GT(free, 0);
    auto w = openVehicle(kUserAdmin, kDemoVO);
    auto *resa = w->Control<QLabel>(QStringLiteral("cLbResa1"));
    ASSERT_NE(resa, nullptr);
    ASSERT_FALSE(resa->isHidden());
    EXPECT_TRUE(resa->text().startsWith(QStringLiteral("Réservation jusqu'au ")));

    // Another record loaded as the search list does (its id set, as the list sets it): the
    // reload shows its reservation, none.
    w->LbIdTVO->setText(QString::number(free));
    click(w->JvXPBtnActualize);
    EXPECT_EQ(text(*w, "cNVO"), vehicle(free, "NVO"));
    EXPECT_TRUE(resa->isHidden());
    EXPECT_FALSE(w->JvXPBtnSuppr->isHidden());
    // A vehicle locked by its delivery date may not be deleted, even by an administrator.
    w->LbIdTVO->setText(QString::number(kLockedVO));
    click(w->JvXPBtnActualize);
    ASSERT_FALSE(w->FlagModifiable);
    EXPECT_TRUE(w->JvXPBtnSuppr->isHidden());

    w->LbIdTVO->setText(QString::number(kDemoVO));
    click(w->JvXPBtnActualize);
    EXPECT_FALSE(resa->isHidden());
    EXPECT_FALSE(w->JvXPBtnSuppr->isHidden());
    // A new record has no reservation, though the document still is the record shown before.
    click(w->JvXPBtnNewVO);
    ASSERT_TRUE(w->FlagNewEnreg);
    EXPECT_TRUE(resa->isHidden());
    EXPECT_TRUE(w->Control<QLabel>(QStringLiteral("cVNLbResa1"))->isHidden());
}

TEST_F(Saving, RequiredFieldsInTheirOrderWithoutAMessage)
{
    auto w = openVehicle(kUserAdmin, usedVehicle(4));
    click(w->JvXPBtnNewVO);
    ASSERT_TRUE(w->FlagNewEnreg);
    const int vehicles = count(QStringLiteral("from tVehicles"));
    const auto focusAfterSave = [&] {
        w->Control(QStringLiteral("cCommentaires"))->setFocus();
        click(w->JvXPBtnSave);
        EXPECT_TRUE(w->FlagNewEnreg); // the new record is kept, not dropped
        return focusedField(*w);
    };
    // The status line names the field that stops the save.
    const auto missing = [&](const char *name) {
        return EditingText::notSaved(
                EditingText::required(w->FieldLabel(*w->DescOf(w->Control(QLatin1String(name))))));
    };

    retype(*w, "cSite", QString());
    retype(*w, "cNVO", QStringLiteral("0"));
    EXPECT_EQ(focusAfterSave(), QStringLiteral("cNVO"));
    EXPECT_EQ(status(*w), missing("cNVO"));
    retype(*w, "cNVO", QStringLiteral("4711"));
    EXPECT_EQ(focusAfterSave(), QStringLiteral("cSite"));
    EXPECT_EQ(status(*w), missing("cSite"));
    pick(*w, "cSite", QStringLiteral("VALENCE"));
    EXPECT_EQ(focusAfterSave(), QStringLiteral("cInfoMarque"));
    EXPECT_EQ(status(*w), missing("cInfoMarque"));
    pick(*w, "cInfoMarque", QStringLiteral("RENAULT"));
    // Ordered without a destination; first registered after it came in.
    retype(*w, "cDateEntree", QStringLiteral("10/01/2025"));
    retype(*w, "cDateOrdre", QStringLiteral("20/01/2025"));
    retype(*w, "cMEC", QStringLiteral("15/01/2025"));
    retype(*w, "cDestination", QString());
    EXPECT_EQ(focusAfterSave(), QStringLiteral("cDestination"));
    EXPECT_EQ(status(*w), missing("cDestination"));
    auto *destination = w->Control<ComboBox>(QStringLiteral("cDestination"));
    pick(*w, "cDestination", destination->itemText(destination->count() - 1));
    EXPECT_EQ(focusAfterSave(), QStringLiteral("cMEC"));
    // A first registration later than the entry is there, only wrong: not called missing.
    EXPECT_NE(status(*w), missing("cMEC"));
    EXPECT_TRUE(status(*w).startsWith(EditingText::notSaved(QString())));
    EXPECT_EQ(count(QStringLiteral("from tVehicles")), vehicles);
    EXPECT_TRUE(boxes().asked.isEmpty());
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());

    retype(*w, "cMEC", QStringLiteral("05/01/2025"));
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved);
    EXPECT_EQ(count(QStringLiteral("from tVehicles")), vehicles + 1);
    EXPECT_FALSE(w->FlagNewEnreg);

    // An existing record is not saved while a field is missing.
    retype(*w, "cNVO", QString());
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), missing("cNVO"));
    EXPECT_EQ(focusedField(*w), QStringLiteral("cNVO"));
}

TEST_F(Saving, TextsWithAwkwardCharactersComeBackUnchanged)
{
    const int id = usedVehicle(5);
    auto w = openVehicle(kUserAdmin, id);
    const QString memo = QStringLiteral("l'été \"100%\" + <b> & #1\nligne 2 : àéèçù ÿ");
    const QString edit = QStringLiteral("VF1#A+B%C&D<E>'Ç\"");
    const QString combo = QStringLiteral("Gris 'n' <b>&#+%é");
    retype(*w, "cCommentaires", memo);
    retype(*w, "cChassis", edit);
    retype(*w, "cInfoCouleur", combo);
    click(w->JvXPBtnSave);
    ASSERT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();
    // A memo's line break is the two characters CR LF.
    const QString storedMemo = QString(memo).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    EXPECT_EQ(vehicle(id, "Commentaires"), storedMemo);
    EXPECT_EQ(vehicle(id, "Chassis"), edit);
    EXPECT_EQ(vehicle(id, "InfoCouleur"), combo);

    click(w->JvXPBtnActualize);
    EXPECT_EQ(text(*w, "cCommentaires"), storedMemo);
    EXPECT_EQ(text(*w, "cChassis"), edit);
    EXPECT_EQ(text(*w, "cInfoCouleur"), combo);
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());

    // The same on a customer, whose name and address are memos.
    const QString customer = db(QStringLiteral("select min(idClient) from tClients "
                                               "where Site='VALENCE' and idClient>5"));
    auto c = open(kUserSalesperson, QString(), customer);
    const QString address = QStringLiteral("3, rue de l'Église & \"Fils\"\n<bât. B> #2 +50%");
    // A one-line memo takes no Return: the line break comes pasted.
    paste(*c, "aCliAdresse1", address);
    retype(*c, "aCliNom", QStringLiteral("D'Hérouville & <Cie>"));
    click(c->JvXPBtnSave);
    ASSERT_EQ(status(*c), EditingText::Saved) << c->LbDebugInfo0->text().toStdString();
    // Pasted, the address is upper-cased as it would be typed; the other signs stay.
    EXPECT_EQ(db(QStringLiteral("select CliAdresse1 from tClients where idClient=") + customer),
              QStringLiteral("3, RUE DE L'ÉGLISE & \"FILS\"\r\n<BâT. B> #2 +50%"));
    EXPECT_EQ(db(QStringLiteral("select CliNom from tClients where idClient=") + customer),
              QStringLiteral("D'HéROUVILLE & <CIE>"));
}

TEST_F(Saving, ValuesThatCannotBeWrittenStayPendingWithAWarning)
{
    const int id = usedVehicle(6);
    auto w = openVehicle(kUserAdmin, id);
    const QString delivered = vehicle(id, "DateLivraison");
    QWidget *date = w->Control(QStringLiteral("cDateLivraison"));
    retype(*w, "cDateLivraison", QStringLiteral("120"), false); // "12/0_/____", not left
    const QString statement = w->TabDesc[1].PendingSql;
    ASSERT_FALSE(statement.isEmpty());
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::notSaved(w->LbDebugInfo0->text()));
    EXPECT_EQ(w->LbDebugInfo0->text(),
              QStringLiteral("La valeur du champ \"%1\" n'est pas valide")
                      .arg(w->FieldLabel(*w->DescOf(date))));
    EXPECT_FALSE(w->PanelWarning->isHidden());
    EXPECT_EQ(w->TabDesc[1].PendingSql, statement);
    EXPECT_EQ(vehicle(id, "DateLivraison"), delivered);
    EXPECT_EQ(focusedField(*w), QStringLiteral("cDateLivraison"));

    // A whole number with letters in it, shown as given: no key can put them there (the
    // field refuses them), so the text is set, as a program could.
    retype(*w, "cDateLivraison", QString(), false);
    QWidget *kms = w->Control(QStringLiteral("cKMS"));
    const QString mileage = vehicle(id, "KMS");
    setControlText(kms, QStringLiteral("12a3"));
    if (w->DescOf(kms)->CurrentValue == QStringLiteral("12a3")) {
        click(w->JvXPBtnSave);
        EXPECT_TRUE(status(*w).startsWith(EditingText::notSaved(QString())));
        EXPECT_EQ(vehicle(id, "KMS"), mileage);
        EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
    } else {
        // The number edit never takes the letters: nothing can reach the server.
        EXPECT_TRUE(w->DescOf(kms)->CurrentValue.isEmpty()
                    || readInt(w->DescOf(kms)->CurrentValue, -1) >= 0);
    }
}

TEST_F(Saving, ServerThatRefusesOrTimesOutLosesNothing)
{
    const int id = usedVehicle(7);
    const QString price = vehicle(id, "PrixVente");
    auto w = open(kUserAdmin, QString::number(id), QString(), 1, 1000);
    retype(*w, "cPrixVente", QStringLiteral("777.00"));
    const QString statement = w->TabDesc[1].PendingSql;
    const QString base = w->BaseHRef;

    // The server goes away under the window: its address is changed behind the user's back.
    w->BaseHRef = QStringLiteral("http://127.0.0.1:%1/").arg(closedLoopbackPort());
    click(w->JvXPBtnSave);
    EXPECT_TRUE(status(*w).startsWith(EditingText::notSaved(QString())));
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(QStringLiteral("Exception : ")));
    EXPECT_EQ(w->TabDesc[1].PendingSql, statement);
    EXPECT_EQ(w->DescOf(w->Control(QStringLiteral("cPrixVente")))->CurrentValue,
              QStringLiteral("777.00"));

    // A server that takes the request and never answers.
    std::atomic<bool> release = false;
    {
        LoopbackServer silent([&release](const httplib::Request &, httplib::Response &res) {
            for (int i = 0; i < 500 && !release; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            res.set_content("<r/>", "text/xml");
        });
        w->BaseHRef = QString::fromStdString(silent.base());
        click(w->JvXPBtnSave);
        EXPECT_EQ(status(*w), EditingText::notSaved(EditingText::NotAnswered));
        release = true;
        EXPECT_EQ(silent.count(), 1u);
    }
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(QStringLiteral("Exception : ")));
    EXPECT_EQ(w->TabDesc[1].PendingSql, statement);
    EXPECT_TRUE(w->JvXPBtnSave->isEnabled());
    EXPECT_EQ(vehicle(id, "PrixVente"), price);

    w->BaseHRef = base;
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved);
    EXPECT_EQ(vehicle(id, "PrixVente").toDouble(), 777.0);
}

TEST_F(Saving, SweepDeletesTheCancelledOrdersWithoutBuyer)
{
    const QString cancelled = QStringLiteral("from tVehicles where TypeVO=2 and Acheteur is null "
                                             "and DateAnnulation is not null");
    dbExec(QStringLiteral("update tVehicles set Acheteur=null, DateAnnulation='2025-01-01' "
                          "where idVO=(select max(idVO) from tVehicles where TypeVO=2 "
                          "and StatutVD is null and Concession='ZOLVARE')"));
    ASSERT_GT(count(cancelled), 0);
    auto w = openVehicle(kUserAdmin, kDemoVN);
    ASSERT_FALSE(w->JvXPBtnSweep->isHidden());
    boxes().answers = {MessageBoxes::Answer::No};
    click(w->JvXPBtnSweep);
    EXPECT_GT(count(cancelled), 0);
    boxes().answers = {MessageBoxes::Answer::Yes};
    click(w->JvXPBtnSweep);
    EXPECT_EQ(count(cancelled), 0);
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[1].text,
              QStringLiteral("Veuillez confirmer la suppression des VN annulés sans CTM  "));
    EXPECT_EQ(boxes().asked[1].title, QStringLiteral("Confirmation de Suppression"));
}
