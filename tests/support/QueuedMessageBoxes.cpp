#include "support/QueuedMessageBoxes.h"

MessageBoxes::Answer QueuedMessageBoxes::show(const QString &title, const QString &text,
                                              Buttons buttons, Icon icon)
{
    asked.append({title, text, buttons, icon});
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}
