#pragma once

#include "editing/FieldText.h"

#include <QString>

// Adding and deleting entries of the three maintained list tables from the combo box that shows
// the list.

enum class ListAction { Delete = -1, Add = 0 };

// The boxes a statement of the list table reads brand, model and version from: the used-vehicle
// tab for "ListModels", the demonstration or new-vehicle tab of the control for "ListVersions".
struct ListBoxes
{
    QString brand, model, version; // control names; empty when the table needs none
};
ListBoxes listMaintenanceBoxes(const QString &ListTable, const QString &controlName);

struct ListEntry
{
    QString ListTable; // selects the table, upper-cased comparison
    QString ListName; // list type inside "ListRubrics"
    QString text; // the combo box's text
    QString brand, model, version; // texts of the boxes named by listMaintenanceBoxes()
    QString UserConcession;
};

// Question and title of the confirmation box.
QString listQuestion(ListAction action, const ListEntry &entry);
QString listQuestionTitle(ListAction action);

// The statement of the action; empty for a table that is not maintained. The type name is
// quoted as it stands, the brand untrimmed with its apostrophes doubled (and made safe for the
// address), every other text by SqlText.
QString listStatement(ListAction action, const ListEntry &entry);

// Response file of the request, always sent through AxUpdate. After a success the cached
// ResponseFiles::Equip is dropped and the lists fetched again.
QString listResponseFile(ListAction action);

// Notice and title shown once the lists are fetched again.
QString listDoneMessage(ListAction action);
QString listDoneTitle(ListAction action);
