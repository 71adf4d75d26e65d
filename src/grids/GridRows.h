#pragma once

#include "editing/TsLine.h"
#include "engine/StructEntry.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

class ChoiceIndex;
struct TXml;

// The row model shared by the costs and actions grids: column descriptors read from the
// structure description, cell values as loaded and as edited, and the one statement a row
// sends. Pure functions.

// One grid column as the structure description describes it.
struct GridColumn
{
    TsDesc desc; // FieldName, tInfo, TagList, tControl, FontColor, NotNull, defval
    QString caption;
    int width = 20; // 0 hides the column
};

// The entries whose descInfo is descInfo, in document order, at most max.
std::vector<GridColumn> readGridColumns(const std::vector<StructEntry> &entries,
                                        QStringView descInfo, int max);

// Element 0 of a row store: the descriptors in columns 1.., empty values.
TsLine columnLine(const std::vector<GridColumn> &columns);

// The first column rights tag list that is not empty.
QString firstTagList(const std::vector<GridColumn> &columns);

// A value read from a record document: integers lose their blanks, decimals also take two
// decimals ("0.00" when unreadable); others stay as received.
QString gridLoadValue(int tInfo, const QString &raw);

// A value typed into a cell: decimals take two decimals (empty stays empty), others stay as
// typed.
QString gridEditValue(int tInfo, const QString &text);

// The SQL literal of a cell: NULL when empty or, for a date, when it is not a date; texts
// quoted, decimals with ".", other kinds as typed when they are numbers, quoted otherwise.
QString gridLiteral(int tInfo, const QString &value);

// A table name with a blank goes inside brackets.
QString gridTable(const QString &tabTag);

// What the statement of a row is written against.
struct RowStatementForm
{
    QString table; // "[tVO - Frevo]", "tActions"
    QString ownerField; // "idVO", "idClient"
    QString ownerId; // the record's id
    QString keyField; // "idFrevo", "idAction": the new row's id, given by the server
};

// The statement that brings the server's row to the cells: a deletion, else an insert (the add
// row, a new action), else an update of the changed cells; empty when nothing changed.
// Changed cells are those whose current value differs from the loaded one; the first unchanged
// named cell (the key, for a loaded row) gives the condition.
QString composeRowStatement(const TsLine &row, const RowStatementForm &form, bool insert,
                            bool deletion);

// The first column from..to whose current value is empty; 0 when none.
int firstEmptyColumn(const TsLine &row, int from, int to);

// A date typed into a grid cell, checked against its limits (null: no limit). Half-typed or
// empty text is refused; the row's saved date is always accepted.
bool gridDateAccepted(const QString &typed, const QString &loaded, const QDate &lower,
                      const QDate &upper, const QDate &today);

// A reminder date may not come before the action's date (null action date: any date).
bool reminderDateAccepted(const QString &typed, const QString &loaded, const QDate &actionDate);

// The items of a completion list: the "text" of the first run of "Pars" items of that type.
QStringList completionItems(const ChoiceIndex &choices, const QString &listName);

// The fixed file fee of a used vehicle: its insert, or empty when the destination is not
// "PARTICULIERS", a fixed cost exists, the fee is 0 or the vehicle has no id.
QString fixedFeeStatement(const QString &idVO, const QString &destination, bool hasFixedCost,
                          double fee, const QDate &today);
// A "Frevo" item of the record document whose type is "FIXE".
bool hasFixedCost(const TXml &recordDoc);
// "MontantFraisDossier" of the first "InfoSite" of the site; 0 when none or not a number.
double siteFee(const TXml &equipDoc, const QString &site);

// Follow-up actions: the list a column's codes come from ("InfoCom" for salespeople), and the
// text a stored code shows (codes below 1 show nothing; salespeople by id).
QString actionCodeList(int column);
bool actionCodedColumn(int column);
bool actionSalespersonColumn(int column);
QString salespersonName(const ChoiceIndex &choices, const QString &idCom);
QString actionShownText(const ChoiceIndex &choices, int column, const QString &stored,
                        const QStringList &items);
