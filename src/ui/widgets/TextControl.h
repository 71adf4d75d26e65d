#pragma once

#include "engine/TColor.h"

#include <QColor>
#include <QMetaObject>
#include <QString>

#include <functional>

class QObject;
class QWidget;

// One way to read and set the value, length, look and change signal of any field control, so
// that set-up code needs no case per class: each call goes to the adapter of the control's kind
// (FieldControl.h). Controls without a value read as empty and ignore what they cannot take.

QString controlText(const QWidget *control);
void setControlText(QWidget *control, const QString &text);
void setControlMaxLength(QWidget *control, int length); // 0: no limit

QColor controlBackground(const QWidget *control);
void setControlBackground(QWidget *control, const QColor &color);
// Whether the user may change the control. A text field that may not be changed stays
// enabled and read-only, so that its text can still be selected and copied; any other kind is
// disabled, its text kept dark.
void setControlEditable(QWidget *control, bool editable);
bool controlEditable(const QWidget *control);
void setControlTextColor(QWidget *control, const QColor &color);

// Calls handler whenever the control's text changes (typed or set by the program).
QMetaObject::Connection connectTextChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler);

// The colour of a TColor value: red in the low byte; the system colours the program uses map
// onto the palette (clInactiveBorder is a fixed light grey). An unknown system colour gives an
// invalid QColor: leave the colour as it is.
QColor colorFromTColor(TColor color);
TColor tColorFromColor(const QColor &color);
