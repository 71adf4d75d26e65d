#include "ui/widgets/TextControl.h"

#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/MemoEdit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QToolButton>

QString controlText(const QWidget *control)
{
    if (auto *date = qobject_cast<const DateEdit *>(control))
        return date->text();
    if (auto *memo = qobject_cast<const MemoEdit *>(control))
        return memo->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(control))
        return plain->toPlainText();
    if (auto *box = qobject_cast<const ComboBox *>(control))
        return box->chosenText();
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return QString();
}

void setControlText(QWidget *control, const QString &text)
{
    // The same text again changes nothing, and costs no layout of a memo; it is still shown
    // from its start.
    if (controlText(control) == text) {
        if (auto *memo = qobject_cast<MemoEdit *>(control); memo && !memo->hasFocus())
            memo->showStart();
        return;
    }
    if (auto *date = qobject_cast<DateEdit *>(control))
        date->setText(text);
    else if (auto *memo = qobject_cast<MemoEdit *>(control))
        memo->setText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(text);
        edit->setCursorPosition(0); // a long text shows its start
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        plain->setPlainText(text);
    else if (auto *box = qobject_cast<ComboBox *>(control))
        box->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentText(text);
}

void setControlMaxLength(QWidget *control, int length)
{
    if (auto *memo = qobject_cast<MemoEdit *>(control))
        memo->setMaxLength(length);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setMaxLength(length > 0 ? length : 32767);
    else if (auto *box = qobject_cast<ComboBox *>(control))
        box->setMaxLength(length);
}

namespace {

// The palette role that paints the control's background.
QPalette::ColorRole backgroundRole(const QWidget *control)
{
    if (qobject_cast<const QAbstractButton *>(control))
        return QPalette::Button;
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->isEditable() ? QPalette::Base : QPalette::Button;
    if (qobject_cast<const QLineEdit *>(control)
        || qobject_cast<const QAbstractScrollArea *>(control)
        || qobject_cast<const DateEdit *>(control))
        return QPalette::Base;
    return QPalette::Window;
}

QPalette::ColorRole textRole(const QWidget *control)
{
    switch (backgroundRole(control)) {
    case QPalette::Button:
        return QPalette::ButtonText;
    case QPalette::Base:
        return QPalette::Text;
    default:
        return QPalette::WindowText;
    }
}

void setRole(QWidget *control, QPalette::ColorRole role, const QColor &color)
{
    if (!color.isValid())
        return;
    // Set again at every record load: an unchanged colour costs no palette change.
    const QPalette &current = control->palette();
    if (current.color(QPalette::Active, role) == color
        && current.color(QPalette::Disabled, role) == color
        && current.color(QPalette::Inactive, role) == color
        && (role != QPalette::Window || control->autoFillBackground()))
        return;
    QPalette palette = control->palette();
    palette.setColor(role, color); // every colour group: a disabled field shows it too
    control->setPalette(palette);
    if (role == QPalette::Window)
        control->setAutoFillBackground(true);
}

} // namespace

QColor controlBackground(const QWidget *control)
{
    return control->palette().color(QPalette::Active, backgroundRole(control));
}

void setControlBackground(QWidget *control, const QColor &color)
{
    setRole(control, backgroundRole(control), color);
    // A drop-down list also shows its text on the button colour.
    if (auto *combo = qobject_cast<QComboBox *>(control); combo && !combo->isEditable())
        setRole(control, QPalette::Base, color);
}

void setControlTextColor(QWidget *control, const QColor &color)
{
    setRole(control, textRole(control), color);
}

namespace {

QLineEdit *textLine(QWidget *control)
{
    if (auto *date = qobject_cast<DateEdit *>(control))
        return date->lineEdit();
    return qobject_cast<QLineEdit *>(control);
}

} // namespace

void setControlEditable(QWidget *control, bool editable)
{
    auto *plain = qobject_cast<QPlainTextEdit *>(control);
    QLineEdit *line = textLine(control);
    if (!line && !plain) {
        if (control->testAttribute(Qt::WA_ForceDisabled) == editable)
            control->setEnabled(editable);
        if (!editable) {
            // Legible, though it takes nothing.
            const QPalette::ColorRole role = textRole(control);
            const QColor dark = control->palette().color(QPalette::Active, role);
            if (control->palette().color(QPalette::Disabled, role) != dark) {
                QPalette palette = control->palette();
                palette.setColor(QPalette::Disabled, role, dark);
                control->setPalette(palette);
            }
        }
        return;
    }
    if (control->testAttribute(Qt::WA_ForceDisabled))
        control->setEnabled(true);
    if (line)
        line->setReadOnly(!editable);
    else
        plain->setReadOnly(!editable);
    if (auto *date = qobject_cast<DateEdit *>(control))
        date->calendarButton()->setEnabled(editable);
}

bool controlEditable(const QWidget *control)
{
    if (!control || !control->isEnabledTo(control->window()))
        return false;
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(control))
        return !plain->isReadOnly();
    if (auto *line = textLine(const_cast<QWidget *>(control)))
        return !line->isReadOnly();
    return true;
}

QMetaObject::Connection connectTextChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler)
{
    auto call = [handler = std::move(handler)] {
        handler();
    };
    if (auto *date = qobject_cast<DateEdit *>(control))
        return QObject::connect(date, &DateEdit::textChanged, context, call);
    if (auto *memo = qobject_cast<MemoEdit *>(control))
        return QObject::connect(memo, &MemoEdit::changed, context, call);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return QObject::connect(edit, &QLineEdit::textChanged, context, call);
    if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        return QObject::connect(plain, &QPlainTextEdit::textChanged, context, call);
    if (auto *box = qobject_cast<ComboBox *>(control))
        return QObject::connect(box, &ComboBox::chosenTextChanged, context, call);
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return QObject::connect(combo, &QComboBox::currentTextChanged, context, call);
    return {};
}

QColor colorFromTColor(TColor color)
{
    if (color >= 0)
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QPalette palette = QApplication::palette();
    switch (color) {
    case clWindow:
        return palette.color(QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Text);
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clInactiveBorder:
        return QColor(0xD4, 0xD0, 0xC8);
    default:
        return QColor();
    }
}

TColor tColorFromColor(const QColor &color)
{
    return color.isValid() ? tColorFromRgb(color.red(), color.green(), color.blue()) : 0;
}
