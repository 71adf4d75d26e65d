// Each kind of field control through the one field-control interface: a value set and read
// back, text typed against its maximum length, its change signal, and its look when the user
// may not change it.
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include "engine/QtPrinters.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct KindCase
{
    const char *kind;
    std::function<QWidget *(QWidget *parent)> make;
    QString value; // set by the program, read back as it is
    QString typed; // typed by the user after a maximum length of 4; empty: takes no typing
    QString kept; // what the control holds after the typing
    int changesWhenSet; // change signals when the program sets the value
    bool staysEnabled; // read-only rather than disabled when it may not be changed
};

ComboBox *comboOf(QWidget *parent)
{
    auto *box = new ComboBox(parent);
    box->setDropDownList(false);
    box->setEntries({QStringLiteral("Essence"), QStringLiteral("Diesel")}, 0);
    return box;
}

MultiListBox *listOf(QWidget *parent)
{
    auto *list = new MultiListBox(parent);
    list->setEntries({QStringLiteral("Toit ouvrant"), QStringLiteral("GPS"),
                      QStringLiteral("Radar de recul")});
    return list;
}

const std::vector<KindCase> &kindCases()
{
    static const std::vector<KindCase> cases = {
            {"line edit", [](QWidget *p) { return new QLineEdit(p); }, "AB-123-CD", "AB-123",
             "AB-1", 1, true},
            {"header edit", [](QWidget *p) { return new HeaderEdit(p); }, "VO N°12", "", "", 1,
             true},
            {"number edit", [](QWidget *p) { return new NumberEdit(true, p); }, "15990.00",
             "12a345", "1234", 1, true},
            {"date edit", [](QWidget *p) { return new DateEdit(p); }, "29/02/2024", "", "", 1,
             true},
            {"memo", [](QWidget *p) { return new MemoEdit(p); }, "Première ligne\r\nSeconde",
             "Rayure", "Rayu", 1, true},
            {"combo box", [](QWidget *p) { return comboOf(p); }, "Diesel", "Hybride", "Hybr", 1,
             false},
            {"list box", [](QWidget *p) { return listOf(p); }, "Toit ouvrant\nRadar de recul", "",
             "", 0, false},
            {"picture button",
             [](QWidget *p) {
                 auto *button = new PictureButton(p);
                 button->setFixedWidth(120);
                 return button;
             },
             "VO", "", "", 0, false},
    };
    return cases;
}

} // namespace

TEST(FieldControls, ValueRoundTripsThroughEachKind)
{
    for (const KindCase &c : kindCases()) {
        QWidget window;
        QWidget *control = c.make(&window);
        int changes = 0;
        connectTextChanged(control, &window, [&] { ++changes; });
        setControlText(control, c.value);
        EXPECT_EQ(controlText(control), c.value) << c.kind;
        EXPECT_EQ(changes, c.changesWhenSet) << c.kind;
        // The same value again is no change.
        setControlText(control, c.value);
        EXPECT_EQ(changes, c.changesWhenSet) << c.kind;
        setControlText(control, QString());
        EXPECT_EQ(controlText(control), QString()) << c.kind;
    }
}

TEST(FieldControls, TypingStopsAtTheMaximumLength)
{
    for (const KindCase &c : kindCases()) {
        if (c.typed.isEmpty())
            continue;
        QWidget window;
        QWidget *control = c.make(&window);
        window.show();
        setControlText(control, QString());
        setControlMaxLength(control, 4);
        int changes = 0;
        connectTextChanged(control, &window, [&] { ++changes; });
        QWidget *target = control->focusProxy() ? control->focusProxy() : control;
        if (auto *box = qobject_cast<ComboBox *>(control))
            target = box->lineEdit();
        QTest::keyClicks(target, c.typed);
        EXPECT_EQ(controlText(control), c.kept) << c.kind;
        EXPECT_GE(changes, 1) << c.kind;
    }
}

TEST(FieldControls, AFieldTheUserMayNotChange)
{
    for (const KindCase &c : kindCases()) {
        QWidget window;
        QWidget *control = c.make(&window);
        setControlText(control, c.value);
        setControlEditable(control, false);
        EXPECT_FALSE(controlEditable(control)) << c.kind;
        // A text field keeps its text selectable; other kinds take nothing.
        EXPECT_EQ(control->isEnabled(), c.staysEnabled) << c.kind;
        EXPECT_EQ(controlText(control), c.value) << c.kind;
        if (c.staysEnabled) {
            QTest::keyClicks(control->focusProxy() ? control->focusProxy() : control, "x");
            EXPECT_EQ(controlText(control), c.value) << c.kind;
        }
        setControlEditable(control, true);
        EXPECT_TRUE(controlEditable(control)) << c.kind;
        EXPECT_TRUE(control->isEnabled()) << c.kind;

        // The background set is the one read back, whatever role paints it.
        setControlBackground(control, QColor(64, 64, 240));
        EXPECT_EQ(controlBackground(control), QColor(64, 64, 240)) << c.kind;
    }
}

TEST(FieldControls, AListBoxShowsOnlyEntriesItHolds)
{
    QWidget window;
    MultiListBox *list = listOf(&window);
    setControlText(list, QStringLiteral("GPS\nAbsent"));
    EXPECT_EQ(list->selectedRows(), QList<int>({1}));
    EXPECT_EQ(controlText(list), QStringLiteral("GPS"));
}
