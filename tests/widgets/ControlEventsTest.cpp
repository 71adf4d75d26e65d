#include "ui/widgets/ControlEvents.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/MemoEdit.h"

#include "engine/QtPrinters.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A shown, active window with a few controls.
struct Form
{
    QWidget window;
    QLineEdit *first = new QLineEdit(&window);
    QLineEdit *second = new QLineEdit(&window);
    DateEdit *date = new DateEdit(&window);
    MemoEdit *memo = new MemoEdit(&window);
    bool active = false;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *> {first, second, date, memo})
            layout->addWidget(w);
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

TEST(ControlEvents, EnterAndExitFollowTheFocus)
{
    Form f;
    ASSERT_TRUE(f.active);
    ControlEvents *events = ControlEvents::of(f.date);
    EXPECT_EQ(ControlEvents::of(f.date), events); // one per control
    EXPECT_EQ(ControlEvents::find(f.date), events);
    EXPECT_EQ(ControlEvents::find(f.first), nullptr);
    QSignalSpy entered(events, &ControlEvents::entered);
    QSignalSpy exited(events, &ControlEvents::exited);

    f.first->setFocus(Qt::TabFocusReason);
    f.date->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return entered.count() == 1; }));
    // A pop-up taking the focus is not an exit.
    QFocusEvent popupOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(f.date->lineEdit(), &popupOut);
    EXPECT_EQ(exited.count(), 0);
    f.second->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return exited.count() == 1; }));
    EXPECT_EQ(entered.count(), 1);
}

TEST(ControlEvents, KeysCanBeSwallowedOrReplaced)
{
    Form f;
    ASSERT_TRUE(f.active);
    ControlEvents *events = ControlEvents::of(f.first);
    QObject::connect(events, &ControlEvents::keyDown, [](KeyArgs *args) {
        if (args->key == Qt::Key_X)
            args->handled = true;
    });
    QObject::connect(events, &ControlEvents::keyPress,
                     [](KeyArgs *args) { args->text = args->text.toUpper(); });
    int ups = 0;
    QObject::connect(events, &ControlEvents::keyUp, [&](KeyArgs *) { ++ups; });
    QTest::keyClicks(f.first, "abx1");
    EXPECT_EQ(f.first->text(), "AB1");
    EXPECT_EQ(ups, 4);
}

TEST(ControlEvents, WrappersReportEachKeyOnce)
{
    Form f;
    ASSERT_TRUE(f.active);
    ControlEvents *events = ControlEvents::of(f.date);
    int downs = 0;
    QObject::connect(events, &ControlEvents::keyDown, [&](KeyArgs *) { ++downs; });
    QTest::keyClick(f.date->lineEdit(), Qt::Key_F5); // not used by the edit: goes up to the date
    QTest::keyClick(f.date->lineEdit(), Qt::Key_1);
    EXPECT_EQ(downs, 2);
}

TEST(ControlEvents, DoubleClickOnAMemo)
{
    Form f;
    ASSERT_TRUE(f.active);
    QSignalSpy doubled(ControlEvents::of(f.memo), &ControlEvents::doubleClicked);
    QTest::mouseDClick(f.memo->viewport(), Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
}
