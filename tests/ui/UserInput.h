#pragma once

// The window driven as the user drives it: fields entered, their text selected and typed over
// by keys (through each widget's own validator and handlers), left with Tab; the toolbar and the
// page tabs clicked with the mouse.

#include "ui/TAxDravik.h"
#include "ui/widgets/ComboBox.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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

// The keys of a text: a line break is Return, a letter beyond ASCII ("é") the key of that
// letter with its text, as a French keyboard sends it.
inline void typeKeys(QWidget *target, const QString &value)
{
    for (const QChar c : value) {
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(keyTarget(target), Qt::Key_Return);
        } else if (c.unicode() < 0x80) {
            QTest::keyClick(keyTarget(target), char(c.unicode()));
        } else {
            const QChar upper = c.toUpper();
            const auto key = Qt::Key(upper.unicode() <= 0xff ? upper.unicode() : c.unicode());
            QTest::sendKeyEvent(QTest::Click, keyTarget(target), key, QString(c), Qt::NoModifier);
        }
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

// "Coller" of the control's context menu, as a right click shows it.
inline void chooseMenuPaste(QWidget *control)
{
    QWidget *target = keyTarget(control);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(target))
        target = area->viewport();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 target->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(target, &rightClick);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu";
    QAction *paste = nullptr;
    for (QAction *action : menu->actions())
        if (QString(action->text()).remove(u'&').startsWith(QStringLiteral("Coller")))
            paste = action;
    ASSERT_NE(paste, nullptr) << "no \"Coller\"";
    paste->trigger();
    menu->close();
}

enum class PasteBy { Keys, Menu };

// A text pasted over the field's own (Ctrl+A, then Ctrl+V or "Coller"), then Tab.
inline void paste(TAxDravik &w, const char *name, const QString &value, PasteBy by = PasteBy::Keys)
{
    QWidget *control = w.Control(QLatin1String(name));
    ASSERT_NE(control, nullptr) << name;
    QGuiApplication::clipboard()->setText(value);
    control->setFocus();
    QTest::keyClick(keyTarget(control), Qt::Key_A, Qt::ControlModifier);
    if (by == PasteBy::Menu)
        chooseMenuPaste(control);
    else
        QTest::keyClick(keyTarget(control), Qt::Key_V, Qt::ControlModifier);
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
