#pragma once

#include "engine/TsDesc.h"

#include <QString>

#include <array>
#include <vector>

// One tab description: the tab entry of the record kind and the descriptors of its fields.
struct TsPage
{
    int PageIndex = 0; // tab number - 1 (-1 for tab 0)
    QString vInfo; // tab key
    QString tag; // table the tab's statements write to
    QWidget *Page = nullptr; // Sheet01..Sheet09 of tabs 1..9; none for tab 0
    std::vector<TsDesc> Descs; // document order
    QString PendingSql;
    QString Prefix; // control-name prefix
    bool Described = false; // the current record kind has an entry for this tab
    bool Built = false; // descriptors and controls exist; never cleared
    bool DetailLoaded = false; // the detail of page index == this entry's index is loaded
};

// The ten tab descriptions, index = tab number 0..9 (the window's `TabDesc`).
using TabDescTable = std::array<TsPage, 10>;

// Tags carried by every control of descriptor i of tab n, and back. Decoding rounds down, so
// the negative tags of tab 0 come back to tab 0.
constexpr int controlTag(int tab, int index)
{
    return (tab - 1) * 10000 + index;
}

constexpr int tabOfTag(int tag)
{
    return (tag >= 0 ? tag / 10000 : -((-tag + 9999) / 10000)) + 1;
}

constexpr int indexOfTag(int tag)
{
    return tag - (tabOfTag(tag) - 1) * 10000;
}
