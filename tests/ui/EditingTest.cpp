// Date checks, list cascades, version text, header refreshes and list maintenance in the
// window, against the reference server.
#include "ui/EditingWindow.h"

#include "editing/Messages.h"
#include "engine/QtPrinters.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MultiListBox.h"

#include <QFrame>
#include <QKeyEvent>
#include <QTabBar>

namespace {

using namespace dravik::seed;

class Editing : public EditingWindow
{
protected:
    static QString label(TAxDravik &w, const char *name)
    {
        return w.FieldLabel(*w.DescOf(w.Control(QLatin1String(name))));
    }
    static bool focusIn(TAxDravik &w, const char *name)
    {
        return focusedField(w) == QLatin1String(name);
    }
    // Enters a combo box holding Ctrl: list maintenance for administrators. A box the focus is
    // in already (Tab led there) is left first, as the user clicks elsewhere before.
    void enterWithCtrl(QWidget *box)
    {
        if (box->hasFocus())
            box->window()->findChild<QWidget *>(QStringLiteral("cCommentaires"))->setFocus();
        keyboard().ctrl = true;
        box->setFocus();
        keyboard().ctrl = false;
    }
};

QString quoted(const QDate &date)
{
    return QLatin1Char('"') + formatDate(date) + QLatin1Char('"');
}

QStringList entries(TAxDravik &w, const char *name)
{
    return w.Control<ComboBox>(QLatin1String(name))->entries();
}

} // namespace

TEST_F(Editing, DatesOutsideTheirLimitsAreRefusedAndPutBack)
{
    const int id = usedVehicle(8);
    auto w = openVehicle(kUserAdmin, id);
    const OptionDates limits = w->OptDates;
    ASSERT_TRUE(limits.OptLimiteDateDeb.isValid());
    ASSERT_TRUE(limits.ServerNow.isValid());
    const QString entry = text(*w, "cDateEntree");

    // Both limits.
    retype(*w, "cDateEntree", formatDate(limits.OptLimiteDateDeb.addDays(-1)));
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_EQ(boxes().asked[0].title, QStringLiteral("Contrôle de la date saisie"));
    EXPECT_EQ(boxes().asked[0].text,
              "La valeur du champ \"" + label(*w, "cDateEntree") + "\" doit être comprise entre le "
                      + quoted(limits.OptLimiteDateDeb) + " et le " + quoted(limits.OptNow));
    EXPECT_EQ(text(*w, "cDateEntree"), entry);
    EXPECT_TRUE(focusIn(*w, "cDateEntree"));
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());

    // An upper limit only: the server's today.
    retype(*w, "cMEC", formatDate(limits.ServerNow.addDays(1)));
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[1].text,
              "La valeur du champ \"" + label(*w, "cMEC") + "\" doit être inférieure au "
                      + quoted(limits.ServerNow));
    EXPECT_EQ(text(*w, "cMEC"), vehicle(id, "MEC") == "<null>" ? QString() : text(*w, "cMEC"));
    EXPECT_TRUE(focusIn(*w, "cMEC"));

    // A lower limit only.
    retype(*w, "cDateDisponibilite", formatDate(limits.ServerNow.addDays(-3)));
    ASSERT_EQ(boxes().asked.size(), 3);
    EXPECT_EQ(boxes().asked[2].text,
              "La valeur du champ \"" + label(*w, "cDateDisponibilite")
                      + "\" doit être supérieure au " + quoted(limits.ServerNow));

    // A date within its limits is recorded without a word.
    const QDate inside = limits.ServerNow.addDays(-2);
    retype(*w, "cDateEntree", formatDate(inside));
    EXPECT_EQ(boxes().asked.size(), 3);
    EXPECT_TRUE(w->TabDesc[1].PendingSql.contains(
            "DateEntree=#" + inside.toString(QStringLiteral("MM/dd/yyyy")) + "#"));

    // Emptied below a lower limit: refused without a message and left empty.
    retype(*w, "cDateEntree", QString());
    EXPECT_EQ(boxes().asked.size(), 3);
    EXPECT_EQ(text(*w, "cDateEntree"), QString());
    EXPECT_TRUE(focusIn(*w, "cDateEntree"));
    EXPECT_TRUE(w->TabDesc[1].PendingSql.contains(QStringLiteral("DateEntree=NULL")));

    // Without limits (the option dates rejected) nothing is checked.
    w->OptDates.OptLimiteDateDeb = QDate();
    w->OptDates.OptNow = QDate();
    retype(*w, "cDateEntree", QStringLiteral("01/01/1990"));
    EXPECT_EQ(boxes().asked.size(), 3);
    EXPECT_EQ(text(*w, "cDateEntree"), QStringLiteral("01/01/1990"));
    EXPECT_FALSE(w->TestDateChange(w->Control(QStringLiteral("cDateEntree")), {}, {}));
}

TEST_F(Editing, ADateStillBeingTypedIsCheckedBeforeItIsSaved)
{
    // The toolbar takes no focus: the date field is never left before the save is asked for.
    const int id = usedVehicle(15);
    auto w = openVehicle(kUserAdmin, id);
    const QString mec = text(*w, "cMEC");
    ASSERT_TRUE(parseDate(mec).isValid());
    const QString stored = vehicle(id, "MEC");
    const QString tomorrow = formatDate(w->OptDates.ServerNow.addDays(1));
    retype(*w, "cMEC", tomorrow, false);
    ASSERT_TRUE(w->JvXPBtnSave->isEnabled());
    click(w->JvXPBtnSave);
    ASSERT_EQ(boxes().asked.size(), 1);
    EXPECT_TRUE(boxes().asked[0].text.endsWith(" doit être inférieure au "
                                               + quoted(w->OptDates.ServerNow)));
    EXPECT_EQ(text(*w, "cMEC"), mec);
    EXPECT_TRUE(focusIn(*w, "cMEC"));
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
    EXPECT_EQ(vehicle(id, "MEC"), stored);

    // Leaving the page saves first: the refused date keeps the user on the page.
    retype(*w, "cMEC", tomorrow, false);
    clickTab(*w, 1);
    EXPECT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(w->Tabs->currentIndex(), 0);
    EXPECT_EQ(text(*w, "cMEC"), mec);
    EXPECT_EQ(vehicle(id, "MEC"), stored);

    // A date within its limits (and before the vehicle came in) goes as typed.
    const QDate earlier = parseDate(mec).addDays(-1);
    retype(*w, "cMEC", formatDate(earlier), false);
    click(w->JvXPBtnSave);
    EXPECT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(w->LbDebugInfo0->text(), QString());
    EXPECT_EQ(vehicle(id, "MEC"), earlier.toString(Qt::ISODate));
}

TEST_F(Editing, ALoadedDateOutsideTheLimitsMayBeLeftAlone)
{
    auto w = openVehicle(kUserAdmin, usedVehicle(9));
    QWidget *entry = w->Control(QStringLiteral("cDateEntree"));
    const QString loaded = w->DescOf(entry)->LoadedValue;
    ASSERT_FALSE(loaded.isEmpty());
    const QDate date = parseDate(loaded);
    // Limits that the loaded date breaks: it still passes, and so does no other. The check is
    // asked with limits of the test's own, which the loaded date breaks whatever the demo's;
    // the other date is typed, the field not left.
    EXPECT_FALSE(w->TestDateChange(entry, date.addDays(1), date.addDays(2)));
    EXPECT_TRUE(boxes().asked.isEmpty());
    retype(*w, "cDateEntree", formatDate(date.addDays(-1)), false);
    EXPECT_TRUE(w->TestDateChange(entry, date.addDays(1), date.addDays(2)));
    EXPECT_EQ(boxes().asked.size(), 1);
    EXPECT_EQ(controlText(entry), loaded);
}

TEST_F(Editing, FabricationWeekAndInvoiceDateOfAnOrder)
{
    auto w = openVehicle(kUserAdmin, kDemoVN);
    retype(*w, "cVNDateFabrication", QStringLiteral("07/01/2024"));
    auto *week = w->Control<QLabel>(QStringLiteral("LbDateFabrication"));
    EXPECT_EQ(week->text(), QStringLiteral("2024s01"));
    EXPECT_FALSE(week->isHidden());
    // A changed order field stamps the order's update date with the server's today.
    EXPECT_EQ(text(*w, "cVNDateUpdateCde"), formatDate(w->OptDates.ServerNow));

    retype(*w, "cVNDateOrdre", QStringLiteral("01/03/2024"));
    retype(*w, "cVNDateFacture", QStringLiteral("11/03/2024"));
    EXPECT_EQ(w->xcInfoField3->text(), QStringLiteral("10 jours"));
    if (w->Control(QStringLiteral("cVNDateAchat"))) {
        EXPECT_EQ(text(*w, "cVNDateAchat"), QStringLiteral("11/03/2024"));
    }
}

TEST_F(Editing, BrandModelVersionCascadeAndVersionText)
{
    // Demonstration vehicle: a model of the same brand refills the type-versions and takes the
    // old model's place in the version text.
    auto w = openVehicle(kUserAdmin, kDemoVD, 3);
    auto *model = w->Control<ComboBox>(QStringLiteral("cVDInfoModele"));
    const QString oldModel = model->currentText();
    const QString version = text(*w, "cVDInfoVersion");
    ASSERT_TRUE(version.toUpper().contains(oldModel.toUpper()));
    int other = -1;
    for (int i = 0; i < model->count() && other < 0; ++i) {
        const QString m = model->itemText(i);
        if (!m.isEmpty() && m != oldModel
            && db(QStringLiteral("select count(*) from ListVersions where VModele='%1' and "
                                 "VConcession='ZOLVARE'")
                          .arg(m))
                            .toInt()
                    > 0)
            other = i;
    }
    ASSERT_GE(other, 0);
    const QString newModel = model->itemText(other);
    pick(*w, "cVDInfoModele", newModel);
    const QString expected = version;
    QString rewritten = expected;
    rewritten.replace(rewritten.toUpper().indexOf(oldModel.toUpper()), oldModel.size(),
                      newModel.toUpper());
    EXPECT_EQ(text(*w, "cVDInfoVersion"), rewritten);
    const int versions = db(QStringLiteral("select count(*) from ListVersions where VModele='%1' "
                                           "and VConcession='ZOLVARE'")
                                    .arg(newModel))
                                 .toInt();
    EXPECT_EQ(entries(*w, "cVDInfoTypeVersion").size(), versions);
    EXPECT_EQ(text(*w, "cVDInfoTypeVersion"), QString());
    // Both changes are pending: the model, the emptied type-version and the new text.
    const QString pending = w->TabDesc[2].PendingSql;
    EXPECT_TRUE(pending.contains("InfoModele='" + newModel + "'")) << pending.toStdString();
    EXPECT_TRUE(pending.contains(QStringLiteral("InfoTypeVersion=NULL")));
    EXPECT_TRUE(pending.contains(QStringLiteral("InfoVersion=")));
    EXPECT_EQ(w->xcInfoTitre->text(),
              text(*w, "cVDInfoMarque").toUpper() + " - " + text(*w, "cVDInfoVersion"));

    // A type-version picked goes at the end of the text.
    auto *typeVersion = w->Control<ComboBox>(QStringLiteral("cVDInfoTypeVersion"));
    pick(*w, "cVDInfoTypeVersion", typeVersion->itemText(0));
    const QString picked = typeVersion->currentText();
    EXPECT_TRUE(text(*w, "cVDInfoVersion").endsWith(picked.toUpper()))
            << text(*w, "cVDInfoVersion").toStdString();
    EXPECT_EQ(w->windowTitle(),
              "Dravik - VD N°" + text(*w, "cVDNVO") + " - " + w->xcInfoTitre->text() + " *");
    // Saved, the row holds the model, the type-version and the text as shown.
    click(w->JvXPBtnSave);
    EXPECT_EQ(status(*w), EditingText::Saved) << w->LbDebugInfo0->text().toStdString();
    const auto row = dbRow(QStringLiteral("select InfoModele, InfoTypeVersion, InfoVersion "
                                          "from tVehicles where idVO=%1")
                                   .arg(kDemoVD));
    EXPECT_EQ(row.value(QStringLiteral("InfoModele")), newModel);
    EXPECT_EQ(row.value(QStringLiteral("InfoTypeVersion")), picked);
    EXPECT_EQ(row.value(QStringLiteral("InfoVersion")), text(*w, "cVDInfoVersion"));

    // Used vehicle: a brand refills the models of that brand, and a brand with none leaves
    // them as they were.
    auto u = openVehicle(kUserAdmin, usedVehicle(10));
    auto *brand = u->Control<ComboBox>(QStringLiteral("cInfoMarque"));
    const QString renault = QStringLiteral("RENAULT");
    ASSERT_NE(brand->currentText(), renault);
    pick(*u, "cInfoMarque", renault);
    const int models = count(QStringLiteral("from ListModels where VMarque='RENAULT'"));
    EXPECT_EQ(entries(*u, "cInfoModele").size(), models);
    EXPECT_EQ(text(*u, "cInfoModele"), QString());
    EXPECT_TRUE(u->TabDesc[1].PendingSql.contains(QStringLiteral("InfoModele=NULL")));
    EXPECT_TRUE(u->xcInfoTitre->text().startsWith(QStringLiteral("RENAULT - ")));
    const QStringList renaultModels = entries(*u, "cInfoModele");
    // No brand the user can pick lacks models: the refill is asked for one directly.
    u->UpdateCBox(u->Control(QStringLiteral("cInfoModele")), QStringLiteral("NO SUCH BRAND"),
                  QStringLiteral("vModel"), QStringLiteral("vMark"), QStringLiteral("Models"));
    EXPECT_EQ(entries(*u, "cInfoModele"), renaultModels);
    // The model goes in front of a version text that does not hold the old one.
    retype(*u, "cInfoVersion", QStringLiteral("1.5 dCi Zen"));
    auto *usedModel = u->Control<ComboBox>(QStringLiteral("cInfoModele"));
    pick(*u, "cInfoModele", usedModel->itemText(0));
    EXPECT_EQ(text(*u, "cInfoVersion"), usedModel->currentText().toUpper() + " 1.5 dCi Zen");
}

TEST_F(Editing, EveryFieldTakesItsOwnClicks)
{
    // A caption is as tall as its field and a list box's stands above it, reaching over the
    // list: wherever the user clicks in a field, the field gets the click.
    auto w = openVehicle(kUserAdmin, kDemoVO);
    QTabBar *bar = w->Tabs->tabBar();
    for (const int page : {0, 3}) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        ASSERT_EQ(w->Tabs->currentIndex(), page);
        int checked = 0;
        for (const TsDesc &d : w->TabDesc[size_t(page) + 1].Descs) {
            if (!d.Control || !d.Control->isVisible())
                continue;
            const QRect inside = d.Control->rect().adjusted(4, 4, -4, -4);
            for (const QPoint &at : {inside.topLeft(), inside.center(), inside.bottomLeft()}) {
                const QWidget *hit = w->childAt(d.Control->mapTo(w.get(), at));
                EXPECT_TRUE(hit && (hit == d.Control || d.Control->isAncestorOf(hit)))
                        << d.Control->objectName().toStdString() << " covered by "
                        << (hit ? hit->metaObject()->className() : "nothing");
            }
            ++checked;
        }
        EXPECT_GT(checked, 3);
    }
    // A click on an entry of the equipment list ticks it.
    auto *inside = w->Control<MultiListBox>(QStringLiteral("cInfoEquiInterieur"));
    const QPoint entry = inside->visualItemRect(inside->item(0)).topLeft() + QPoint(8, 4);
    const bool wasSelected = inside->item(0)->isSelected();
    QWidget *hit = w->childAt(inside->viewport()->mapTo(w.get(), entry));
    ASSERT_EQ(hit, inside->viewport());
    QTest::mouseClick(hit, Qt::LeftButton, {}, entry);
    EXPECT_NE(inside->item(0)->isSelected(), wasSelected);
    EXPECT_TRUE(w->TabDesc[4].PendingSql.contains(QStringLiteral("InfoEquiInterieur=")));
}

TEST_F(Editing, HeaderFollowsTheFieldsOfEachKind)
{
    auto vo = openVehicle(kUserAdmin, usedVehicle(11));
    retype(*vo, "cKMS", QStringLiteral("45678"));
    EXPECT_EQ(vo->xcInfoField2->text(), text(*vo, "cCV") + " cv - 45678 kms");
    retype(*vo, "cNVO", QStringLiteral("31337"));
    EXPECT_EQ(vo->xcInfoNVO->text(), QStringLiteral("31337"));
    // " *": the change waits for its save.
    EXPECT_EQ(vo->windowTitle(), "Dravik - VO N°31337 - " + vo->xcInfoTitre->text() + " *");
    // A colour the list lacks: a listed one typed takes the list's own spelling.
    retype(*vo, "cInfoCouleur", QStringLiteral("Jaune soleil"));
    EXPECT_EQ(vo->xcInfoField1->text(), QStringLiteral("Jaune soleil"));
    retype(*vo, "cDateEntree", QStringLiteral("01/03/2024"));
    retype(*vo, "cDateOrdre", QStringLiteral("15/03/2024"));
    EXPECT_EQ(vo->xcInfoField3->text(), QStringLiteral("14 jours"));
    retype(*vo, "cInfoVersion", QStringLiteral("208 1.2 PureTech"));
    EXPECT_EQ(vo->xcInfoTitre->text(),
              text(*vo, "cInfoMarque").toUpper() + QStringLiteral(" - 208 1.2 PureTech"));

    auto vn = openVehicle(kUserAdmin, kDemoVN);
    retype(*vn, "cVNNVO", QStringLiteral("4242"));
    EXPECT_EQ(vn->windowTitle(), "Dravik - VN N°4242 - " + vn->xcInfoTitre->text() + " *");
    retype(*vn, "cVNInfoVersion", QStringLiteral("Golf Life"));
    EXPECT_EQ(vn->xcInfoTitre->text(), text(*vn, "cVNInfoMarque").toUpper() + " - Golf Life");

    auto cl = open(kUserAdmin, QString(), QString::number(kDemoCustomer));
    retype(*cl, "aCliEmail", QStringLiteral("Jean.Dupont-Martin@Exemple.fr"));
    EXPECT_EQ(cl->xcInfoField1->text(), QStringLiteral("jean.dupont-martin@exemple.fr"));
    retype(*cl, "aCliMobile", QStringLiteral("0612345678"));
    EXPECT_EQ(cl->xcInfoField2->text(), QStringLiteral("06.12.34.56.78"));
}

TEST_F(Editing, SitesOfferedForANewRecord)
{
    auto w = openVehicle(kUserAdmin, usedVehicle(12));
    pick(*w, "cSite", QStringLiteral("ROMANS"));
    EXPECT_EQ(w->UserUS1, QStringLiteral("ROMANS")); // the site chosen last
    click(w->JvXPBtnActualize);
    // A new record offers the user's own first site, as the server sends it.
    click(w->JvXPBtnNewVO);
    EXPECT_EQ(text(*w, "cSite"), QStringLiteral("VALENCE"));
    EXPECT_TRUE(w->TabDesc[1].PendingSql.contains(QStringLiteral("'VALENCE'")));

    // A user of every site with no site of his own: nothing offered.
    auto s = openVehicle(kUserSuperAdmin, usedVehicle(12));
    click(s->JvXPBtnNewVO);
    EXPECT_EQ(text(*s, "cSite"), QString());
}

TEST_F(Editing, CustomerSiteRefillsSalespeopleAndModelChoices)
{
    const QString customer
            = db(QStringLiteral("select min(idClient) from tClients where Site='VALENCE' "
                                "and idClient>20"));
    auto w = open(kUserAdmin, QString(), customer);
    pick(*w, "aSite", QStringLiteral("ROMANS"));
    EXPECT_EQ(w->RecordSite, QStringLiteral("ROMANS"));
    const int romans = count(QStringLiteral("from InfoCom where Site like '%ROMANS%' and "
                                            "Concession='ZOLVARE'"));
    EXPECT_EQ(w->Control<ComboBox>(QStringLiteral("aidCom"))->count(), romans);
    // The site's brands on one side, every other brand on the other.
    const QString brands = db(QStringLiteral("select Marques from InfoSite where Site='ROMANS'"));
    auto *mine = w->Control<MultiListBox>(QStringLiteral("cPAPAChoix1"));
    auto *others = w->Control<MultiListBox>(QStringLiteral("cPAPAChoix2"));
    const int all = count(QStringLiteral("from (select distinct VMarque, VModele from "
                                         "ListVersions where VConcession='ZOLVARE')"));
    EXPECT_GT(mine->count(), 0);
    EXPECT_EQ(mine->count() + others->count(), all) << brands.toStdString();
}

TEST_F(Editing, NewCustomerOffersTheSalespeopleOfTheSiteOffered)
{
    // Shown before: a customer of ROMANS, whose salespeople the lists hold.
    auto w = open(kUserAdmin, QString(), QString::number(kOtherSiteCustomer));
    ASSERT_EQ(text(*w, "aSite"), QStringLiteral("ROMANS"));
    click(w->JvXPBtnNewVO);
    ASSERT_EQ(w->LbIDCustomer->text(), QStringLiteral("-2"));
    ASSERT_EQ(text(*w, "aSite"), QStringLiteral("VALENCE"));
    EXPECT_EQ(w->RecordSite, QStringLiteral("VALENCE"));
    // The salespeople of VALENCE, in the order the server lists them.
    QStringList valence;
    for (int n = 0;; ++n) {
        const QString name = db(QStringLiteral("select cNom from InfoCom where "
                                               "Concession='ZOLVARE' and upper(Site) like "
                                               "'%VALENCE%' order by cNom, idCom limit 1 offset %1")
                                        .arg(n));
        if (name == QLatin1String("<none>"))
            break;
        valence << name;
    }
    ASSERT_FALSE(valence.isEmpty());
    EXPECT_EQ(entries(*w, "aidCom"), valence);
}

TEST_F(Editing, ListMaintenanceAddsAndDeletesAnEntry)
{
    const QString added = QStringLiteral("Vert d'eau & <b>");
    const QString rows = QStringLiteral("from ListRubrics where RubricType='InfoCouleur' and "
                                        "RubricText='Vert d''eau & <b>'");
    auto w = openVehicle(kUserAdmin, usedVehicle(13));
    auto *colour = w->Control<ComboBox>(QStringLiteral("cInfoCouleur"));

    // Entered without Ctrl: no maintenance, the keys do nothing.
    colour->setFocus();
    EXPECT_FALSE(w->FlagBlink);
    w->Control(QStringLiteral("cCommentaires"))->setFocus();

    enterWithCtrl(colour);
    ASSERT_TRUE(w->FlagBlink);
    EXPECT_FALSE(w->Shape1->isHidden());
    retype(*w, "cInfoCouleur", added, false);
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*w, Qt::Key_D, Qt::ControlModifier); // not listed: nothing to delete
    EXPECT_TRUE(boxes().asked.isEmpty());
    press(*w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[0].title, QStringLiteral("Confirmation d'Ajout "));
    EXPECT_EQ(boxes().asked[0].text,
              QStringLiteral("Veuillez confirmer l'ajout de la valeur "
                             "'Vert d'eau & <b>' pour le champ "
                             "'InfoCouleur'"));
    EXPECT_EQ(boxes().asked[1].title, QStringLiteral("Fin d'Ajout"));
    EXPECT_EQ(boxes().asked[1].text, QStringLiteral("Ajout terminé"));
    EXPECT_EQ(count(rows), 1);
    EXPECT_EQ(db(QStringLiteral("select RubricIndex||RubricItem ") + rows), QStringLiteral("0.."));
    // The lists were fetched again and the record reloaded: the entry is offered.
    EXPECT_TRUE(entries(*w, "cInfoCouleur").contains(added));
    EXPECT_EQ(w->LbDebugInfo2->text(), QString());

    // Deleting it: selected, Ctrl+D, confirmed.
    w->Control(QStringLiteral("cCommentaires"))->setFocus();
    enterWithCtrl(colour);
    retype(*w, "cInfoCouleur", added, false);
    boxes().asked.clear();
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*w, Qt::Key_S, Qt::ControlModifier); // listed: nothing to add
    EXPECT_TRUE(boxes().asked.isEmpty());
    press(*w, Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(boxes().asked.size(), 2);
    EXPECT_EQ(boxes().asked[0].title, QStringLiteral("Confirmation de Suppression"));
    EXPECT_EQ(boxes().asked[0].text,
              QStringLiteral("Veuillez confirmer la suppression de la "
                             "valeur 'Vert d'eau & <b>' pour le champ "
                             "'InfoCouleur'"));
    EXPECT_EQ(boxes().asked[1].text, QStringLiteral("Suppression terminée"));
    EXPECT_EQ(count(rows), 0);
    // The colour typed was saved on the record before the list changed: no longer listed, it
    // still shows as the record's own value, after the list.
    const QStringList after = entries(*w, "cInfoCouleur");
    EXPECT_EQ(after.indexOf(added), after.size() - 1);
    EXPECT_EQ(after.count(added), 1);
}

TEST_F(Editing, ListMaintenanceSavesWhatIsPendingBeforeItReloads)
{
    const int id = usedVehicle(17);
    auto w = openVehicle(kUserAdmin, id);
    retype(*w, "cKMS", QStringLiteral("54321"));
    auto *colour = w->Control<ComboBox>(QStringLiteral("cInfoCouleur"));
    enterWithCtrl(colour);
    ASSERT_TRUE(w->FlagBlink);
    retype(*w, "cInfoCouleur", QStringLiteral("Ocre"), false);
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("from ListRubrics where RubricType='InfoCouleur' and "
                                   "RubricText='Ocre'")),
              1);
    // The mileage typed before, and the colour typed for the record, are the record's.
    EXPECT_EQ(vehicle(id, "KMS"), QStringLiteral("54321"));
    EXPECT_EQ(vehicle(id, "InfoCouleur"), QStringLiteral("Ocre"));
    EXPECT_EQ(text(*w, "cKMS"), QStringLiteral("54321"));
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());

    // A save that fails sends no list entry and reloads nothing.
    dbExec(QStringLiteral("create trigger refuse_kms2 before update of KMS on tVehicles "
                          "when new.KMS = 11111 begin select raise(abort, 'refus'); end"));
    retype(*w, "cKMS", QStringLiteral("11111"));
    w->Control(QStringLiteral("cCommentaires"))->setFocus();
    enterWithCtrl(colour);
    retype(*w, "cInfoCouleur", QStringLiteral("Sable"), false);
    boxes().asked.clear();
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("from ListRubrics where RubricText='Sable'")), 0);
    EXPECT_EQ(text(*w, "cKMS"), QStringLiteral("11111"));
    EXPECT_FALSE(w->LbDebugInfo0->text().isEmpty());
    dbExec(QStringLiteral("drop trigger refuse_kms2"));
}

TEST_F(Editing, ListMaintenanceOfModelsAndVersions)
{
    auto w = openVehicle(kUserAdmin, usedVehicle(14));
    auto *model = w->Control<ComboBox>(QStringLiteral("cInfoModele"));
    const QString brand = text(*w, "cInfoMarque");
    enterWithCtrl(model);
    ASSERT_TRUE(w->FlagBlink);
    retype(*w, "cInfoModele", QStringLiteral("ZX 9"), false);
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("from ListModels where VMarque='%1' and VModele='ZX 9'")
                            .arg(brand)),
              1);

    auto d = openVehicle(kUserAdmin, kDemoVD, 3);
    auto *typeVersion = d->Control<ComboBox>(QStringLiteral("cVDInfoTypeVersion"));
    const QString vdBrand = text(*d, "cVDInfoMarque");
    const QString vdModel = text(*d, "cVDInfoModele");
    enterWithCtrl(typeVersion);
    ASSERT_TRUE(d->FlagBlink);
    retype(*d, "cVDInfoTypeVersion", QStringLiteral("2.0 TDI Test"), false);
    boxes().answers = {MessageBoxes::Answer::Yes};
    press(*d, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("from ListVersions where VMarque='%1' and VModele='%2' and "
                                   "VVersion='2.0 TDI Test' and VConcession='ZOLVARE'")
                            .arg(vdBrand, vdModel)),
              1);
}
