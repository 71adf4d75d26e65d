#include "ui/widgets/FieldControl.h"

#include "ui/widgets/ButtonControl.h"
#include "ui/widgets/ChoiceBoxControl.h"
#include "ui/widgets/ComboBoxControl.h"
#include "ui/widgets/DateEditControl.h"
#include "ui/widgets/LineEditControl.h"
#include "ui/widgets/ListBoxControl.h"
#include "ui/widgets/MemoControl.h"
#include "ui/widgets/NumberEditControl.h"
#include "ui/widgets/PictureButtonControl.h"
#include "ui/widgets/PlainTextControl.h"
#include "ui/widgets/ScrollAreaControl.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QWidget>

#include <array>

QString FieldControl::value(const QWidget *) const
{
    return QString();
}

void FieldControl::setValue(QWidget *, const QString &) const { }

void FieldControl::showAgain(QWidget *) const { }

void FieldControl::setMaxLength(QWidget *, int) const { }

QMetaObject::Connection FieldControl::connectChanged(QWidget *, QObject *,
                                                     std::function<void()>) const
{
    return {};
}

QPalette::ColorRole FieldControl::backgroundRole(const QWidget *) const
{
    return QPalette::Window;
}

void FieldControl::setBackground(QWidget *control, const QColor &color) const
{
    setPaletteRole(control, backgroundRole(control), color);
}

void FieldControl::setEditable(QWidget *control, bool editable) const
{
    if (control->testAttribute(Qt::WA_ForceDisabled) == editable)
        control->setEnabled(editable);
    if (editable)
        return;
    // Legible, though it takes nothing.
    const QPalette::ColorRole role = textRoleOn(backgroundRole(control));
    const QColor dark = control->palette().color(QPalette::Active, role);
    if (control->palette().color(QPalette::Disabled, role) != dark) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Disabled, role, dark);
        control->setPalette(palette);
    }
}

bool FieldControl::editable(const QWidget *) const
{
    return true;
}

namespace {

struct AdapterRow
{
    const QMetaObject *widgetClass;
    const FieldControl *adapter;
};

} // namespace

const FieldControl &fieldControl(const QWidget *control)
{
    static const FieldControl anyWidget;
    static const LineEditControl lineEdit;
    static const NumberEditControl numberEdit;
    static const DateEditControl dateEdit;
    static const PlainTextControl plainText;
    static const MemoControl memo;
    static const ChoiceBoxControl choiceBox;
    static const ComboBoxControl comboBox;
    static const ScrollAreaControl scrollArea;
    static const ListBoxControl listBox;
    static const ButtonControl button;
    static const PictureButtonControl pictureButton;
    // One row per widget kind; a widget takes the row of its nearest class.
    static const std::array<AdapterRow, 11> rows {{
            {&QLineEdit::staticMetaObject, &lineEdit},
            {&NumberEdit::staticMetaObject, &numberEdit},
            {&DateEdit::staticMetaObject, &dateEdit},
            {&QPlainTextEdit::staticMetaObject, &plainText},
            {&MemoEdit::staticMetaObject, &memo},
            {&QComboBox::staticMetaObject, &choiceBox},
            {&ComboBox::staticMetaObject, &comboBox},
            {&QAbstractScrollArea::staticMetaObject, &scrollArea},
            {&MultiListBox::staticMetaObject, &listBox},
            {&QAbstractButton::staticMetaObject, &button},
            {&PictureButton::staticMetaObject, &pictureButton},
    }};
    for (const QMetaObject *m = control ? control->metaObject() : nullptr; m; m = m->superClass()) {
        for (const AdapterRow &row : rows) {
            if (row.widgetClass == m)
                return *row.adapter;
        }
    }
    return anyWidget;
}

void setPaletteRole(QWidget *control, QPalette::ColorRole role, const QColor &color)
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

QPalette::ColorRole textRoleOn(QPalette::ColorRole background)
{
    switch (background) {
    case QPalette::Button:
        return QPalette::ButtonText;
    case QPalette::Base:
        return QPalette::Text;
    default:
        return QPalette::WindowText;
    }
}
