#pragma once

// The window driven as the user drives it: fields entered, their text selected and typed over
// by keys (through each widget's own validator and handlers), left with Tab; the toolbar and the
// page tabs clicked with the mouse.

#include "ui/TAxDravik.h"
#include "ui/widgets/ComboBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

// Shown and active: only then do focus and keys behave as on a desktop.
inline void showActive(TAxDravik &w)
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
}

// Where the keys go: the focus, a date field's own line or a box's line included.
inline QWidget *keyTarget(QWidget *fallback)
{
    return QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
}

inline void press(TAxDravik &w, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(keyTarget(&w), key, modifiers);
}

// Keys for a text: a line break is the Return key.
inline void typeKeys(QWidget *target, const QString &value)
{
    const QStringList lines = value.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(keyTarget(target), Qt::Key_Return);
        QTest::keyClicks(keyTarget(target), lines[i]);
    }
}

// The user enters the field, selects its text and types over it (an empty value deletes it);
// then leaves with Tab unless told not to.
inline void retype(TAxDravik &w, const char *name, const QString &value, bool leave = true)
{
    QWidget *control = w.Control(QLatin1String(name));
    ASSERT_NE(control, nullptr) << name;
    control->setFocus();
    QTest::keyClick(keyTarget(control), Qt::Key_A, Qt::ControlModifier);
    if (value.isEmpty())
        QTest::keyClick(keyTarget(control), Qt::Key_Delete);
    else
        typeKeys(control, value);
    if (leave)
        QTest::keyClick(keyTarget(control), Qt::Key_Tab);
}

// A box's entry chosen by typing it whole: a longer entry offered as completion is refused
// with Delete before the box is left.
inline void pick(TAxDravik &w, const char *name, const QString &entry)
{
    auto *box = w.Control<ComboBox>(QLatin1String(name));
    ASSERT_NE(box, nullptr) << name;
    retype(w, name, entry, false);
    if (QLineEdit *line = box->lineEdit();
        line && line->hasSelectedText() && line->selectionStart() == entry.size()) {
        QTest::keyClick(keyTarget(box), Qt::Key_Delete);
    }
    QTest::keyClick(keyTarget(box), Qt::Key_Tab);
}

inline void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void clickTab(TAxDravik &w, int page)
{
    QTabBar *bar = w.Tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

inline QString status(const TAxDravik &w)
{
    return w.Control<QLabel>(QStringLiteral("LbStatus"))->text();
}
