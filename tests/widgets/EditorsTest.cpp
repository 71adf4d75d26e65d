#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/TextControl.h"

#include "engine/QtPrinters.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(DateEdit, MaskReadsEmptyAndTypingFillsIt)
{
    DateEdit edit;
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(edit.lineEdit()->displayText(), "__/__/____");
    QSignalSpy changed(&edit, &DateEdit::textChanged);
    edit.lineEdit()->setCursorPosition(0);
    QTest::keyClicks(edit.lineEdit(), "120");
    EXPECT_EQ(edit.text(), "12/0_/____"); // half-typed stays as typed
    EXPECT_FALSE(edit.date().isValid());
    QTest::keyClicks(edit.lineEdit(), "52024");
    EXPECT_EQ(edit.text(), "12/05/2024");
    EXPECT_EQ(edit.date(), QDate(2024, 5, 12));
    EXPECT_GE(changed.count(), 8);
    EXPECT_EQ(changed.last().at(0).toString(), "12/05/2024");
    QTest::keyClicks(edit.lineEdit(), "x");
    EXPECT_EQ(edit.text(), "12/05/2024");
}

TEST(DateEdit, SetTextAndCalendar)
{
    DateEdit edit;
    edit.setText("03/04/2023");
    EXPECT_EQ(edit.date(), QDate(2023, 4, 3));
    edit.setText("");
    EXPECT_EQ(edit.text(), "");
    edit.setDate(QDate(2020, 2, 29));
    EXPECT_EQ(edit.text(), "29/02/2020");

    edit.show();
    QTest::mouseClick(edit.calendarButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.calendar()->isVisible(); }));
    EXPECT_EQ(edit.calendar()->selectedDate(), QDate(2020, 2, 29));
    emit edit.calendar()->clicked(QDate(2021, 7, 14));
    EXPECT_EQ(edit.text(), "14/07/2021");
    EXPECT_FALSE(edit.calendar()->isVisible());
}

TEST(NumberEdit, TypingKeepsNumbersOnly)
{
    const struct
    {
        bool decimals;
        const char *typed, *shown;
    } cases[] = {
            {true, "1,5a", "1.5"},  {true, "-12.50", "-12.50"}, {false, "12.5", "125"},
            {false, "abc-3", "-3"}, {true, "1 000", "1000"},
    };
    for (const auto &c : cases) {
        NumberEdit edit(c.decimals);
        QTest::keyClicks(&edit, c.typed);
        EXPECT_EQ(edit.text(), c.shown) << c.typed;
        EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    }
    NumberEdit programmed(true);
    programmed.setText("12,5 abc");
    EXPECT_EQ(programmed.text(), "12,5 abc"); // the program's values are shown as they are
}

TEST(MemoEdit, LineEndsAndMaximumLength)
{
    MemoEdit memo;
    memo.setText("ligne 1\r\nligne 2\rligne 3");
    EXPECT_EQ(memo.text(), "ligne 1\r\nligne 2\r\nligne 3");
    EXPECT_EQ(controlText(&memo), memo.text());

    MemoEdit limited;
    limited.setMaxLength(5);
    QSignalSpy changed(&limited, &MemoEdit::changed);
    QTest::keyClicks(&limited, "abcdefg");
    EXPECT_EQ(limited.text(), "abcde");
    EXPECT_EQ(changed.count(), 7);
    limited.setText("un texte plus long");
    EXPECT_EQ(limited.text(), "un texte plus long");
}

TEST(ComboBox, DropDownListBecomesEditableWithCompletion)
{
    ComboBox box;
    box.setEntries({"PEUGEOT", "RENAULT"}, 1);
    EXPECT_TRUE(box.isDropDownList());
    EXPECT_EQ(box.currentText(), "RENAULT");
    box.setDropDownList(false);
    EXPECT_FALSE(box.isDropDownList());
    EXPECT_EQ(box.currentText(), "RENAULT");
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    box.setEditText("");
    QTest::keyClicks(&box, "pe");
    // Completed inline; the letters typed stay as typed until the entry is chosen.
    EXPECT_EQ(box.currentText(), "peUGEOT");
    EXPECT_EQ(box.lineEdit()->selectedText(), "UGEOT");
    EXPECT_EQ(box.chosenText(), "pe");
    EXPECT_FALSE(box.view()->isVisible()); // the list does not open by itself
    box.commitTyped();
    EXPECT_EQ(box.currentText(), "PEUGEOT"); // chosen, in the entry's letters
    EXPECT_EQ(box.chosenText(), "PEUGEOT");
    // Typed on past every entry, the text is the user's own, letter for letter.
    box.setEditText("");
    QTest::keyClicks(&box, "Peugeot d'Or");
    EXPECT_EQ(box.currentText(), "Peugeot d'Or");
    box.setEditText("Inconnue");
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(box.count(), 2); // typed text never becomes an entry
    EXPECT_EQ(box.currentText(), "Inconnue");

    box.setEntries({"A", "B"}, -1);
    EXPECT_EQ(box.currentText(), "");
    box.setDropDownList(true);
    box.setText("B");
    EXPECT_EQ(box.currentIndex(), 1);
    box.setText("Z");
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST(ComboBox, MaxLengthListWidthAndSelectionOnEntry)
{
    QWidget window;
    auto *box = new ComboBox(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    box->setMaxLength(4);
    box->setDropDownList(false);
    box->setEntries({"Rouge", "Vert"}, 0);
    QTest::keyClicks(box->lineEdit(), "abcdef");
    EXPECT_LE(box->currentText().size(), 4);

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setEditText("Vert");
    other->setFocus(Qt::TabFocusReason);
    box->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->lineEdit()->selectedText() == "Vert"; }));

    box->resize(80, 24);
    box->setListWidth(300);
    box->showPopup();
    EXPECT_GE(box->view()->minimumWidth(), 300);
    box->hidePopup();
}

TEST(MultiListBox, SelectionFromTheProgramIsSilent)
{
    MultiListBox list;
    QSignalSpy clicked(&list, &MultiListBox::clicked);
    list.setEntries({"A", "B", "C"}, {0, 2});
    EXPECT_EQ(list.selectedRows(), (QList<int> {0, 2}));
    EXPECT_EQ(list.entries(), (QStringList {"A", "B", "C"}));
    EXPECT_EQ(clicked.count(), 0);
    list.show();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(1)).center());
    EXPECT_EQ(list.selectedRows(), (QList<int> {0, 1, 2}));
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(list.selectedRows(), (QList<int> {1, 2}));
}

TEST(HeaderEdit, DisabledLookWithGivenColours)
{
    HeaderEdit edit;
    EXPECT_FALSE(edit.isEnabled());
    edit.setColors(colorFromTColor(15745088), colorFromTColor(0));
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Base), QColor(64, 64, 240));
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Text), QColor(0, 0, 0));
    edit.setColors(colorFromTColor(15745088), colorFromTColor(-1));
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Text),
              QApplication::palette(&edit).color(QPalette::Disabled, QPalette::Text));
    edit.setCentered(true);
    EXPECT_TRUE(edit.alignment() & Qt::AlignHCenter);
}

TEST(TextControl, OneInterfaceForEveryFieldControl)
{
    QWidget window;
    std::vector<QWidget *> controls = {new QLineEdit(&window), new NumberEdit(true, &window),
                                       new DateEdit(&window), new MemoEdit(&window)};
    auto *box = new ComboBox(&window);
    box->setDropDownList(false);
    controls.push_back(box);
    for (QWidget *c : controls) {
        int calls = 0;
        connectTextChanged(c, &window, [&] { ++calls; });
        const QString value = qobject_cast<DateEdit *>(c) ? "01/02/2003" : "12.50";
        setControlText(c, value);
        EXPECT_EQ(controlText(c), value) << c->metaObject()->className();
        EXPECT_GE(calls, 1) << c->metaObject()->className();

        setControlBackground(c, colorFromTColor(clInactiveBorder));
        EXPECT_EQ(controlBackground(c), QColor(0xD4, 0xD0, 0xC8)) << c->metaObject()->className();
        setControlBackground(c, QColor());
        EXPECT_EQ(controlBackground(c), QColor(0xD4, 0xD0, 0xC8)); // invalid: unchanged
    }
    EXPECT_EQ(controlText(&window), "");
}

TEST(TextControl, ColourValues)
{
    EXPECT_EQ(colorFromTColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(colorFromTColor(15745088), QColor(64, 64, 240));
    EXPECT_EQ(tColorFromColor(QColor(204, 89, 118)), 7756236);
    EXPECT_FALSE(colorFromTColor(-1).isValid());
    EXPECT_EQ(colorFromTColor(clWindow), QApplication::palette().color(QPalette::Base));
}

TEST(ComboBox, SameEntriesAgainKeepTheModelButNotAStaleOne)
{
    ComboBox box;
    box.setDropDownList(false);
    const QStringList colours = {"BLANC", "NOIR", "ROUGE"};
    box.setEntries(colours, 1);
    QSignalSpy reset(box.model(), &QAbstractItemModel::rowsRemoved);
    box.setEntries(colours, 2); // a reload: only the selection changes
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(box.currentText(), QStringLiteral("ROUGE"));
    box.setEditText(QStringLiteral("ROUGE VIF")); // typed over the selected entry
    box.setEntries(colours, 2);
    EXPECT_EQ(box.currentText(), QStringLiteral("ROUGE"));
    box.setEntries(colours, -1);
    EXPECT_EQ(box.currentText(), QString());

    // Entries changed behind its back are not mistaken for the ones given before.
    box.clear();
    box.addItems({"BLANC", "NOIR", "VERT"});
    box.setEntries(colours, 2);
    EXPECT_EQ(box.entries(), colours);
    EXPECT_EQ(box.currentText(), QStringLiteral("ROUGE"));
}

TEST(ComboBox, LongEntryShowsItsStart)
{
    ComboBox box;
    box.setDropDownList(false);
    box.resize(60, 21);
    box.setEntries({"BERLINE : Berline", "BREAK : Break"}, 0);
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 0);
    box.setEntries({"BERLINE : Berline", "BREAK : Break"}, 1);
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 0);
}
