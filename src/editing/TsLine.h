#pragma once

#include "engine/TsDesc.h"

#include <QString>

#include <array>
#include <vector>

// One editable grid row: a cell descriptor per grid column 1..10 and the row's pending
// statement. In a row store, element 0 holds the column descriptors and element k grid row k-1.
struct TsLine
{
    std::array<TsDesc, 11> Cols; // indexed by grid column 1..10; Cols[0] is not used
    bool Locked = false; // costs grid: accounting number without the accounting right
    QString Statement; // empty when the row has nothing to send
    int FirstEmptyCol = 0; // actions grid: first column 2..10 left empty, 0 when none
};

using TsLines = std::vector<TsLine>;
