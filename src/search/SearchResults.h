#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The rows of the search grid, made from the answer's items. Pure functions.

// Columns of the search grid, by position.
namespace SearchColumns {
inline constexpr int Index = 0; // record id, hidden
inline constexpr int Mark = 1; // ownership glyph
inline constexpr int Reference = 2;
inline constexpr int Count = 7;
} // namespace SearchColumns

// Ownership marks, as glyph numbers of the image list.
namespace SearchMarks {
inline const QString OtherConcession = QStringLiteral("2");
inline const QString OtherSite = QStringLiteral("3");
inline const QString OwnSite = QStringLiteral("4");
} // namespace SearchMarks

// The field of an answer item by name, as the answer writes it (entities not decoded), empty
// when absent. The text stays valid while the row is read.
using ItemField = std::function<QStringView(QStringView name)>;

// The seven cells of one result row of a search mode.
QStringList searchRowCells(int mode, const ItemField &field, const QString &userConcession,
                           const QString &userSite);

// The headers of the grid's columns 2 to 6 for a mode.
QStringList searchHeaders(int mode);

// Whether the third column orders by date (vehicle searches) or alphabetically.
inline bool dateOrderedColumn3(int mode)
{
    return mode <= 4;
}

// The row-count message: the server's row count and whether rows were left out.
QString rowCountCaption(const QString &rowCount, bool moreRows);
