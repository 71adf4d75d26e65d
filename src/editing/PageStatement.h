#pragma once

#include "editing/FieldText.h"
#include "engine/TsDesc.h"

#include <QDate>
#include <QString>

#include <vector>

// Change detection: the statement that brings the server's row of one tab to what the screen
// shows, composed from the tab's descriptors.

// What the statement of a tab depends on besides its descriptors.
struct StatementContext
{
    bool insert = false; // see insertMode()
    QString table; // see statementTable()
    int tab = 0; // 1..9
    QString RecordKind; // "_TVO", "_TVD", "_TVN", "_TCL"
    QString TypeVO;
    int idTypeVO = 0;
    QString customerId; // caption of LbIDCustomer
    QString idUser;
    QString UserConcession;
    QDate today; // stamps DateCreation of a new customer
};

// A new record inserts, and so does the customer-vehicle tab (8) while a new vehicle is entered.
bool insertMode(bool FlagNewEnreg, bool FlagNewVehicle, int tab);

// The record's table, except the customer-vehicle tab which always writes "TVehiclesClarim".
QString statementTable(const QString &RecordTable, int tab);

// A table name with a space goes inside brackets.
QString bracketedTable(const QString &table);

// The one test of "the descriptor has an input control": key fields have none.
bool hasInputControl(const TsDesc &desc);

// Fields that never appear in a statement: names containing FDM, a FREVO field still showing its
// loaded "0.00" emptied, READONLY tags, fields shown from another element.
bool excludedFromStatement(const TsDesc &desc);

// The value EditChange records from a control's text: the empty date mask counts as empty, a
// decimal number is written with two decimals.
QString editValue(int tInfo, const QString &text);

// Whether a non-empty value can be written as a literal of its data kind: a readable date for
// dates, a number for decimals, a number or True/False for the kinds written as they stand.
// Texts always can.
bool writableValue(int tInfo, const QString &value);

// The literal of a value by data kind: NULL when empty; dates SqlDate, texts SqlText, decimals
// SqlNumber, every other kind as it stands. A value that is not writable (see writableValue) is
// quoted as a text, so that typed input can never leave its literal.
QString sqlValue(int tInfo, const QString &value);

// TypeVO of an insert: the record's, else idTypeVO, else "1".
QString insertTypeVO(const QString &TypeVO, int idTypeVO);

struct PageStatement
{
    QString PendingSql; // empty when nothing changed
    bool changed = false;
};

// TestPageUpdate's composition. Descriptors before the first one with an input control are key
// fields; compared fields go into an update (set ... where keys) or an insert with the fixed
// tail of the tab and kind.
PageStatement composePageStatement(const std::vector<TsDesc> &descs, const StatementContext &ctx);

// Label of a field in messages: its caption without ":", or its name when that leaves nothing.
// designCaption: the caption of the design label beside the field's control, the name when the
// descriptor has no caption of its own.
QString fieldLabel(const TsDesc &desc, const QString &designCaption = QString());

// The first field whose changed value the statement would carry but cannot write (a date typed
// half-way, a number with letters); -1 when every value is writable. Saving refuses to send
// while there is one.
int firstUnwritableField(const std::vector<TsDesc> &descs);
