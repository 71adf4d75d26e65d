#pragma once

#include <QString>

class QWidget;

// French message boxes: Yes/No confirmations and notices. Injected so that tests answer
// from a queue instead of running a modal loop.
class MessageBoxes
{
public:
    // YesNo answers Yes to Return; NoYes is the same question with No as the default, for
    // what cannot be undone; YesNoCancel adds "Annuler", also the answer of Escape.
    enum class Buttons { Ok, YesNo, NoYes, YesNoCancel };
    enum class Icon { None, Information, Warning, Question, Error };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString &title, const QString &text, Buttons buttons,
                        Icon icon = Icon::None)
            = 0;

    bool confirm(const QString &title, const QString &text)
    {
        return show(title, text, Buttons::YesNo, Icon::Question) == Answer::Yes;
    }
    // A confirmation that Return does not give: deletions.
    bool confirmNoDefault(const QString &title, const QString &text)
    {
        return show(title, text, Buttons::NoYes, Icon::Question) == Answer::Yes;
    }
    void notify(const QString &title, const QString &text, Icon icon = Icon::Information)
    {
        show(title, text, Buttons::Ok, icon);
    }
};

// QMessageBox with the buttons captioned "Oui", "Non" and "OK".
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr)
        : m_parent(parent)
    { }
    void setParent(QWidget *parent) { m_parent = parent; }
    Answer show(const QString &title, const QString &text, Buttons buttons, Icon icon) override;

private:
    QWidget *m_parent;
};
