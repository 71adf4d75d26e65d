#pragma once

#include <QMetaObject>
#include <QPalette>
#include <QString>

#include <functional>

class QObject;
class QWidget;

// How the program reads, sets and shows one kind of field control: its value, maximum length,
// change signal and look. One adapter per widget kind, without state of its own (the widget is
// passed in); fieldControl() finds a widget's adapter by its class. This base serves any other
// widget: it holds no value, takes no length and no change, paints its window colour and is
// disabled when it may not be changed.
class FieldControl
{
public:
    virtual ~FieldControl() = default;

    virtual QString value(const QWidget *control) const;
    // Shows value (setControlText() does not call it for the value already shown).
    virtual void setValue(QWidget *control, const QString &value) const;
    // The value shown again unchanged (a memo goes back to its start).
    virtual void showAgain(QWidget *control) const;
    virtual void setMaxLength(QWidget *control, int length) const; // 0: no limit
    // Calls handler whenever the value changes (typed or set by the program, as the kind says).
    virtual QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                                   std::function<void()> handler) const;

    // The palette role that paints the background; the text takes its pair.
    virtual QPalette::ColorRole backgroundRole(const QWidget *control) const;
    virtual void setBackground(QWidget *control, const QColor &color) const;
    // Whether the user may change the control. A text field that may not be changed stays
    // enabled and read-only, so that its text can still be selected and copied; any other kind
    // is disabled, its text kept dark.
    virtual void setEditable(QWidget *control, bool editable) const;
    virtual bool editable(const QWidget *control) const; // the control being enabled
};

// The adapter of a control's class (the nearest registered base class); the base for null.
const FieldControl &fieldControl(const QWidget *control);

// Sets one palette role in every colour group; an invalid colour changes nothing.
void setPaletteRole(QWidget *control, QPalette::ColorRole role, const QColor &color);
// The role of the text drawn on a background role.
QPalette::ColorRole textRoleOn(QPalette::ColorRole background);
