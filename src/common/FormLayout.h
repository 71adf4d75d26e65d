#pragma once

// The form layout: one data file (data/form-layout.csv) that places every design control of
// the main window and describes every field of the structure description. The reference
// server seeds its structure description from it and the client creates its design controls
// from it, so the two can never disagree. Both files are compiled into the programs.

#include <string>
#include <string_view>
#include <vector>

namespace dravik {

// One row of data/form-layout.csv: a design control, a structure field entry, or both.
struct LayoutRow
{
    // Design control (empty widget "none" for a structure-only entry).
    std::string name;     // objectName; prefix + field name for a field control
    std::string parent;   // objectName of the parent widget
    std::string widget;   // date, combolist, combo, number, decimal, memo, edit, listbox, ...
    int left = 0, top = 0, width = 0, height = 0; // pixels inside the parent
    int maxlen = 0;       // maximum text length, 0 = none
    std::string caption;  // design caption (labels, buttons, panels)
    std::string hint;
    std::string handlers; // "Event=Handler" pairs separated by ";"
    bool visible = true;  // visible at design time
    std::string style;    // further design attributes, "key=value" pairs separated by ";"
                          // (font=16;bg=15461355;align=center;enabled=0;...)

    // Structure description entry (desc empty: not described). Raw texts, sent as they stand.
    std::string desc;     // "descInfo": the tab key the field belongs to ("gFrev", "gAct" for grids)
    std::string vInfo, txtInfo, tInfo, tControl, idNum, tag, defval, fieldInfo, notNull, enabled,
            color, length;
};

// One row of data/form-tabs.csv: a tab entry of the structure description.
struct TabRow
{
    std::string kind;    // "_TVO", "_TVD", "_TVN", "_TCL"
    std::string idNum;   // tab number 0..9
    std::string txtInfo; // page caption
    std::string vInfo;   // tab key
    std::string tag;     // table the tab writes to
    std::string defval;  // control-name prefix
};

// RFC 4180 CSV: comma separated, fields optionally in double quotes ("" inside for a quote),
// line ends LF or CR LF. Answers the rows, header included.
std::vector<std::vector<std::string>> parseCsv(std::string_view text);

// Rows of the given CSV texts, by header name (unknown columns are ignored, missing ones empty).
std::vector<LayoutRow> parseFormLayout(std::string_view csv);
std::vector<TabRow> parseFormTabs(std::string_view csv);

// The files compiled into the program, parsed once.
const std::vector<LayoutRow> &formLayout();
const std::vector<TabRow> &formTabs();

} // namespace dravik
