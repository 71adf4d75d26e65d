#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>

TEST(QueuedMessageBoxes, AnswersInOrderThenDefaults)
{
    QueuedMessageBoxes boxes;
    boxes.answers = {MessageBoxes::Answer::Yes, MessageBoxes::Answer::No};
    EXPECT_TRUE(boxes.confirm(QStringLiteral("Confirmation de Suppression"),
                              QStringLiteral("Supprimer ?")));
    EXPECT_FALSE(
            boxes.confirm(QStringLiteral("Confirmation d'Ajout "), QStringLiteral("Ajouter ?")));
    EXPECT_FALSE(boxes.confirm(QStringLiteral("Confirmation de Suppression"),
                               QStringLiteral("Encore ?")));
    boxes.notify(QStringLiteral("Fin de Suppression"), QStringLiteral("Suppression terminée"));
    ASSERT_EQ(boxes.asked.size(), 4);
    EXPECT_EQ(boxes.asked[1].title, QStringLiteral("Confirmation d'Ajout "));
    EXPECT_EQ(boxes.asked[3].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_EQ(boxes.asked[3].text, QStringLiteral("Suppression terminée"));
}

TEST(ManualClock, SleepsMoveTimeAndAreRecorded)
{
    ManualClock clock(QDateTime(QDate(2026, 1, 15), QTime(10, 0)));
    clock.sleep(250);
    clock.sleep(250);
    EXPECT_EQ(clock.now(), QDateTime(QDate(2026, 1, 15), QTime(10, 0, 0, 500)));
    EXPECT_EQ(clock.tickCount(), 500);
    EXPECT_EQ(clock.sleeps(), QList<int>({250, 250}));
}
