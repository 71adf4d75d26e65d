#include "platform/MessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

MessageBoxes::Answer QtMessageBoxes::show(const QString &title, const QString &text,
                                          Buttons buttons, Icon icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == Buttons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Answer::Ok;
    }
    QPushButton *yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    QPushButton *cancel = buttons == Buttons::YesNoCancel
            ? box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole)
            : nullptr;
    box.setDefaultButton(buttons == Buttons::NoYes ? no : yes);
    box.setEscapeButton(cancel ? cancel : no);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancel;
}
