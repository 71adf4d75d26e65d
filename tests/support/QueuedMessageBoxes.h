#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QString>

#include <deque>

// Answers from a queue and records every box asked; never opens a window. An empty queue
// answers "No" to questions and "OK" to notices.
class QueuedMessageBoxes : public MessageBoxes
{
public:
    struct Asked
    {
        QString title;
        QString text;
        Buttons buttons;
        Icon icon;
    };
    Answer show(const QString &title, const QString &text, Buttons buttons, Icon icon) override;

    std::deque<Answer> answers;
    QList<Asked> asked;
};
