#pragma once

#include "engine/TColor.h"

#include <QString>

class QAbstractButton;
class QComboBox;
class QLabel;
class QListWidget;
class QWidget;

// One field descriptor, built from a field entry of the structure description. Copied by value;
// the controls it points to belong to the main window.
struct TsDesc
{
    int tControl = 0; // control kind: 104 button, 109 edit, 110 list box, 111/112 combo, 120
    int tInfo = 0; // data kind: 1 date, 2 text, 3 Boolean, 4 integer, 5 decimal
    QString FieldName; // column name in statements
    QString SourceElement; // element the value is read from when it differs from FieldName
    QString defval; // default value of a new record ("now": today for dates)
    QString LoadedValue; // value as loaded; empty for a new record
    QString CurrentValue; // value as shown and edited
    QString CodeList; // list boxes: ";" + code of each entry, in entry order
    QString txtInfo; // caption, entities decoded
    QString ListTable; // server table of the field's list
    QString FieldInfo; // as ListTable, the field name for a maintained "List..." table
    QString ListName; // list the field draws from
    QString TagList; // ";" + upper-cased groups + ";"
    TColor BackColor = 0; // design background of the bound control, 0 for a created one
    TColor FontColor = 0;
    int Width = 0; // pixels; a combo box's own width
    bool IndexCoded = false; // the value is a position in the list
    bool ListOnly = false; // only list entries are accepted
    bool NotNull = false; // mandatory
    QWidget *Control = nullptr;
    QComboBox *ComboBox = nullptr;
    QListWidget *ListBox = nullptr;
    QAbstractButton *Button = nullptr;
    QLabel *Label = nullptr;
    bool HasEmptyEntry = false; // the list begins with an empty entry
    bool Built = false;
};

// Control kinds and data kinds of the structure description.
namespace ControlKind {
constexpr int Button = 104;
constexpr int Edit = 109;
constexpr int ListBox = 110;
constexpr int TextCombo = 111;
constexpr int PositionCombo = 112;
constexpr int ListCaptioned = 120;
} // namespace ControlKind

namespace DataKind {
constexpr int Date = 1;
constexpr int Text = 2;
constexpr int Boolean = 3;
constexpr int Integer = 4;
constexpr int Decimal = 5;
} // namespace DataKind
