#pragma once

#include "engine/TsDesc.h"

#include <QList>
#include <QString>
#include <QStringList>

class ChoiceIndex;

// Entries of a multi-select list box, the rows to select and the codes behind the entries.
struct ListBoxFill
{
    QStringList entries;
    QList<int> selectedRows;
    QString CodeList; // ";" + code of each entry, in entry order
};

// A code list (items "Abbr"/"eText" of the list listName): an entry is selected when
// ";" + its code + ";" occurs in the value (upper-cased comparison).
ListBoxFill FillListBoxCodes(const ChoiceIndex &choices, const QString &listName,
                             const QString &value);

// The "Marques" text of the site shown in the customer's site box; "VW" for an unknown site.
QString SiteBrands(const ChoiceIndex &choices, const QString &siteShown);

// New-vehicle models of the site's brands (siteBrands true) or of every other brand; codes are
// the upper-cased models.
ListBoxFill FillListBoxModels(const ChoiceIndex &choices, const QString &siteShown, bool siteBrands,
                              const QString &value);

// The list of a list box at set-up: "PAChoix1" and "PAChoix2" the model choices of the site's
// brands and of the others, any other name its code list. Selection follows CurrentValue.
ListBoxFill setupListBoxList(const ChoiceIndex &choices, const TsDesc &desc,
                             const QString &siteShown);

// The stored value of the selected rows: ";" + their codes joined by ";" + ";", or empty.
QString listBoxValue(const QString &codeList, const QList<int> &selectedRows);

// The shown texts of the selected rows joined by " - " (caption of LbInfoOptions).
QString optionsSummary(const QStringList &entries, const QList<int> &selectedRows);
