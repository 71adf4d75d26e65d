// The form engine on documents a server should not send: broken structure entries, unknown
// kinds, absent lists, records without their element or with broken text, failed requests.
// Also the wiring of handlers by name.
#include "engine/QtPrinters.h"
#include "engine/ViewRules.h"
#include "ui/WindowHarness.h"

#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DesignFactory.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QByteArray entry(const QString &elements)
{
    return "<axStruct>" + elements.toLatin1() + "</axStruct>\r\n";
}

// One tab of used vehicles: a key field, a design field, and fields the form has no control
// for, with missing, non-numeric and unknown values.
QByteArray structure()
{
    QByteArray doc = "<Answer><axStructS>\r\n";
    doc += entry("<descInfo>_TVO</descInfo><idNum>0</idNum><vInfo>VO0</vInfo><tag>tVehicles</tag>"
                 "<defval>c</defval>");
    doc += entry("<descInfo>_TVO</descInfo><idNum>1</idNum><txtInfo>Fiche</txtInfo>"
                 "<vInfo>T1</vInfo><tag>tVehicles</tag><defval>c</defval>");
    doc += entry("<descInfo>T1</descInfo><vInfo>idVO</vInfo><width>0</width><tInfo>4</tInfo>"
                 "<tControl>109</tControl>");
    doc += entry("<descInfo>T1</descInfo><vInfo>NVO</vInfo><txtInfo>N° VO</txtInfo>"
                 "<width>1500</width><left>1380</left><top>600</top><height>315</height>"
                 "<tInfo>4</tInfo><tControl>109</tControl><tag>VENDEURS</tag>");
    // No design control: created at the described place, typed as text.
    doc += entry("<descInfo>T1</descInfo><vInfo>Libre</vInfo><txtInfo>Libre</txtInfo>"
                 "<width>3000</width><left>7500</left><top>6000</top><height>300</height>"
                 "<tInfo>2</tInfo><tControl>109</tControl><tag>VENDEURS</tag>");
    // Non-numeric geometry and kinds, an unknown control kind.
    doc += entry("<descInfo>T1</descInfo><vInfo>Bizarre</vInfo><txtInfo>Bizarre</txtInfo>"
                 "<width>abc</width><left></left><top>x</top><height>-</height>"
                 "<tInfo>77</tInfo><tControl>999</tControl><tag>VENDEURS</tag>");
    // A list whose group the choice lists do not have.
    doc += entry("<descInfo>T1</descInfo><vInfo>Absente</vInfo><txtInfo>Absente</txtInfo>"
                 "<width>1500</width><left>7500</left><top>7000</top><height>300</height>"
                 "<tInfo>2</tInfo><tControl>111</tControl><tag>VENDEURS</tag>");
    // Width 0 and no control: a key field, no label.
    doc += entry("<descInfo>T1</descInfo><vInfo>Cachee</vInfo><txtInfo>Cachée</txtInfo>"
                 "<width>0</width><tInfo>2</tInfo><tControl>109</tControl>");
    // An element cut short.
    doc += entry("<descInfo>T1</descInfo><vInfo>Coupe");
    doc += "</axStructS></Answer>\r\n";
    return doc;
}

const QByteArray kRecord
        = "<Answer><LogItems></LogItems><User><UserConcession>ZOLVARE</UserConcession>"
          "<UserSite>#</UserSite><Name_>Test</Name_></User><GNames><GName>VENDEURS</GName>"
          "</GNames><tVO><idVO>7</idVO><TypeVO>1</TypeVO><NVO>4242</NVO><Libre>texte</Libre>"
          "<Absente>ROUGE</Absente><Concession>ZOLVARE</Concession><Site>VALENCE</Site></tVO>"
          "</Answer>";

class LayoutInput : public ::testing::Test
{
protected:
    // A window whose cached documents are already in place; the record comes from the
    // scripted transport.
    std::unique_ptr<TAxDravik> start(const QByteArray &record, bool requestFails = false)
    {
        write(QStringLiteral("XmlStruct.xml"), structure());
        write(QStringLiteral("XmlEquip.xml"),
              "<document><Concession>ZOLVARE</Concession><ParsS><Pars><type>Autre</type>"
              "<text>A</text></Pars></ParsS></document>");
        h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("7")},
                         {QStringLiteral("idTypeVO"), QStringLiteral("1")},
                         {QStringLiteral("Trace"), QStringLiteral("1")}});
        auto w = h.makeWindow();
        if (requestFails)
            h.transport1->replies.push_back({false, 0, {}, QStringLiteral("Connexion refusée")});
        else
            h.transport1->replies.push_back({true, 200, record, {}});
        w->Timer1Timer();
        return w;
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(h.temp() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString log() const
    {
        QFile file(h.temp() + QStringLiteral("/TAXDravik.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    WindowHarness h;
};

const TsDesc *field(const TAxDravik &w, const char *name)
{
    for (const TsDesc &d : w.TabDesc[1].Descs) {
        if (d.FieldName == QLatin1String(name))
            return &d;
    }
    return nullptr;
}

} // namespace

TEST_F(LayoutInput, BrokenStructureTakesTheFallbacks)
{
    auto w = start(kRecord);
    EXPECT_TRUE(w->PanelSplash->isHidden());
    ASSERT_EQ(w->TabDesc[1].Descs.size(), 7u);

    // The design control is bound and filled.
    EXPECT_EQ(field(*w, "NVO")->Control, w->Control(QStringLiteral("cNVO")));
    EXPECT_EQ(w->FieldText(QStringLiteral("cNVO")), QStringLiteral("4242"));
    // The key field has no control and keeps its value for the statement's condition.
    EXPECT_EQ(field(*w, "idVO")->Control, nullptr);
    EXPECT_EQ(field(*w, "idVO")->LoadedValue, QStringLiteral("7"));

    // A field without a design control gets one, a text edit where it was described, with
    // its label to its left.
    auto *free = qobject_cast<QLineEdit *>(field(*w, "Libre")->Control);
    ASSERT_NE(free, nullptr);
    EXPECT_EQ(free->objectName(), QStringLiteral("cLibre"));
    EXPECT_EQ(free->parentWidget(), w->Control(QStringLiteral("Sheet01")));
    EXPECT_EQ(free->geometry(), QRect(500, 365, 200, 19));
    EXPECT_EQ(free->text(), QStringLiteral("texte"));
    ASSERT_NE(field(*w, "Libre")->Label, nullptr);
    EXPECT_EQ(field(*w, "Libre")->Label->x(), 478);
    EXPECT_TRUE(controlEditable(free));

    // Unreadable geometry reads 20 twips; an unknown control kind gets a created edit, traced.
    const TsDesc *odd = field(*w, "Bizarre");
    ASSERT_NE(odd->Control, nullptr);
    EXPECT_EQ(odd->Control->geometry(), QRect(1, -34, 1, 17));
    EXPECT_TRUE(log().contains(QStringLiteral("type de contrôle inconnu")));
    EXPECT_TRUE(log().contains(QStringLiteral("type de donnée inconnu")));

    // A list the choice lists lack still shows the value, as an extra entry.
    auto *absent = qobject_cast<ComboBox *>(field(*w, "Absente")->ComboBox);
    ASSERT_NE(absent, nullptr);
    EXPECT_EQ(absent->entries(), QStringList({QStringLiteral("ROUGE")}));

    // Width 0 without a control: a key field without label.
    EXPECT_EQ(field(*w, "Cachee")->Control, nullptr);
    EXPECT_EQ(field(*w, "Cachee")->Label, nullptr);
    EXPECT_EQ(w->TabDesc[1].PendingSql, QString());
}

TEST_F(LayoutInput, RecordWithoutItsElementOrWithBrokenTextShowsEmptyFields)
{
    for (const QByteArray &record :
         {QByteArray("<Answer><User><UserConcession>ZOLVARE</UserConcession></User></Answer>"),
          QByteArray("<Answer><User><UserConcession>ZOL"), QByteArray("\x01\x02<<>>&&"),
          QByteArray()}) {
        auto w = start(record);
        EXPECT_TRUE(w->PanelSplash->isHidden()) << record.constData();
        EXPECT_EQ(w->FieldText(QStringLiteral("cNVO")), QString()) << record.constData();
        EXPECT_EQ(w->FieldText(QStringLiteral("cLibre")), QString()) << record.constData();
        // Without groups nobody may edit.
        EXPECT_FALSE(controlEditable(w->Control(QStringLiteral("cNVO"))));
    }
}

TEST_F(LayoutInput, FailedRequestShowsTheWarningAndNotThePreviousAnswer)
{
    write(QStringLiteral("XmlVO.xml"), kRecord);
    auto w = start({}, true);
    EXPECT_FALSE(w->LbDebugInfo0->text().isEmpty());
    EXPECT_FALSE(w->PanelWarning->isHidden());
    // The answer of an earlier request is another record's: it is not laid out as this one.
    EXPECT_EQ(w->FieldText(QStringLiteral("cNVO")), QString());
    EXPECT_TRUE(
            w->LbDebugInfo0->text().endsWith(QStringLiteral("La fiche n'a pas pu être chargée")));
    EXPECT_FALSE(w->JvXPBtnSave->isEnabled());
}

TEST_F(LayoutInput, MissingStructureLeavesTheSplash)
{
    h.writeSettings({{QStringLiteral("idTVO"), QStringLiteral("7")}});
    auto w = h.makeWindow();
    w->Timer1Timer();
    EXPECT_FALSE(w->PanelSplash->isHidden());
    EXPECT_TRUE(w->TabDesc[1].Descs.empty());
}

TEST(HandlerWiring, EveryLayoutHandlerIsKnownAndFitsItsEvent)
{
    WindowHarness h;
    auto w = h.makeWindow();
    EXPECT_TRUE(w->DesignProblems.isEmpty()) << w->DesignProblems.join('\n').toStdString();
    // Each event of the layout runs its named handler.
    EXPECT_EQ(w->HandlerOf(w->Control(QStringLiteral("cDateEntree")), QStringLiteral("Exit")),
              QStringLiteral("cDateEntreeExit"));
    EXPECT_EQ(w->HandlerOf(w->Tabs, QStringLiteral("Changing")), QStringLiteral("TabsChanging"));
    EXPECT_EQ(w->HandlerOf(w->Control(QStringLiteral("ngFrevo")), QStringLiteral("EditAccept")),
              QStringLiteral("ngFrevoEditAccept"));

    // Names the window does not know, and handlers that do not fit, are reported.
    QLineEdit edit(w.get());
    QLabel label(w.get());
    const std::vector<HandlerBinding> bindings = {
            {&edit, QStringLiteral("e"), QStringLiteral("Change"), QStringLiteral("NoSuchOne")},
            {&edit, QStringLiteral("e"), QStringLiteral("Change"), QStringLiteral("ngFrevoEdit")},
            {&label, QStringLiteral("l"), QStringLiteral("Change"), QStringLiteral("EditChange")},
            {&edit, QStringLiteral("e"), QStringLiteral("Exit"), QStringLiteral("CBoxExit")},
    };
    const QStringList problems = w->WireDesignHandlers(bindings);
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("NoSuchOne")));
    EXPECT_EQ(w->HandlerOf(&edit, QStringLiteral("Exit")), QStringLiteral("CBoxExit"));
    EXPECT_EQ(w->HandlerOf(&edit, QStringLiteral("Change")), QString());
    EXPECT_TRUE(TAxDravik::HandlerNames().contains(QStringLiteral("cBoxKeyUp")));
}

TEST(HandlerWiring, AnotherHandlerReplacesTheFirst)
{
    WindowHarness h;
    auto w = h.makeWindow();
    QLineEdit edit(w.get());
    ASSERT_TRUE(w->AssignHandler(&edit, QStringLiteral("Change"), QStringLiteral("aCliNomChange")));
    ASSERT_TRUE(w->AssignHandler(&edit, QStringLiteral("Change"), QStringLiteral("EditChange")));
    // Once only: the first handler no longer runs (it would arm the duplicate count).
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(w->DuplicateCountdown, 0);
    ASSERT_TRUE(w->AssignHandler(&edit, QStringLiteral("Change"), QStringLiteral("aCliNomChange")));
    QTest::keyClick(&edit, Qt::Key_Y);
    EXPECT_EQ(w->DuplicateCountdown, 4);
    EXPECT_EQ(w->DuplicateMode, QStringLiteral("Nom"));
}

TEST(HandlerWiring, WhatAHandlerThrowsEndsInTheWarningBand)
{
    WindowHarness h;
    auto w = h.makeWindow();
    w->show();
    w->LbIdTVO->setText(QStringLiteral("1"));
    // A transport that fails in a way no request routine expects.
    h.transport1->duringRequest = [] {
        throw std::runtime_error("connexion perdue");
    };
    QTest::mouseClick(w->JvXPBtnActualize, Qt::LeftButton);
    EXPECT_EQ(w->LbDebugInfo0->text(),
              QStringLiteral("Erreur dans JvXPBtnActualizeClick : connexion perdue"));
    EXPECT_FALSE(w->PanelWarning->isHidden());
    // The window goes on: the next click runs the handler again.
    h.transport1->duringRequest = nullptr;
    QTest::mouseClick(w->JvXPBtnActualize, Qt::LeftButton);
    EXPECT_NE(w->LbDebugInfo0->text(),
              QStringLiteral("Erreur dans JvXPBtnActualizeClick : connexion perdue"));
}
