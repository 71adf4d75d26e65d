#pragma once

#include "common/FormLayout.h"
#include "gateway/NameTable.h"

#include <QString>
#include <QStringList>

#include <vector>

class DataGrid;
class QWidget;

// A design-bound handler of the form layout: "Event=Handler" of a control's handlers column.
struct HandlerBinding
{
    QWidget *control = nullptr; // a grid column's handlers name its grid
    QString controlName; // the row's name (a grid column's own name)
    QString event; // "Change", "Exit", "KeyPress", "Click"...
    QString handler; // "cDateEntreeChange"
};

struct GridColumnRef
{
    DataGrid *grid = nullptr;
    int column = -1;
};

// What the factory made from the form layout.
struct DesignControls
{
    NameTable<QWidget *> widgets; // every control by its objectName
    NameTable<GridColumnRef> gridColumns; // grid columns by name
    std::vector<HandlerBinding> handlers; // in layout order
    QStringList problems; // unknown kinds or style keys, missing parents, repeated names

    template<typename T>
    T *get(const QString &name) const
    {
        return qobject_cast<T *>(widgets.value(name));
    }
};

// Creates every design control of the layout rows under root (a row whose parent is empty or
// root's objectName belongs to root), named, placed in pixels inside its parent, with its
// caption, hint, maximum length, visibility and style (the keys of data/README.md). Widget kinds:
//   date DateEdit, combolist ComboBox (drop-down list), combo ComboBox (typed text),
//   number / decimal NumberEdit, memo MemoEdit, edit QLineEdit (HeaderEdit, a display-only
//   edit, when the style says enabled=0), listbox MultiListBox, button QPushButton, picbutton
//   PictureButton, label QLabel, grid DataGrid, gridcol a column of its parent grid, listview
//   QTreeWidget, image QLabel, panel and shape QFrame, tabs QTabWidget, page a page of its
//   parent QTabWidget, none nothing.
// An unknown kind gets a plain QWidget of the row's name and place, and a line in problems; so
// do unknown style keys, missing parents (the control goes on root) and repeated names (the
// later row is skipped). Rows may name parents that come later in the file.
// A grid column's "items" and "completion" name choice lists the window fills; grids drawn as
// slides keep "slides" and "slideSize" as properties and each column its slide rectangle.
DesignControls createDesignControls(QWidget *root, const std::vector<dravik::LayoutRow> &rows);
