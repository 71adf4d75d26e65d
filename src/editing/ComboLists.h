#pragma once

#include "engine/TsDesc.h"

#include <QString>
#include <QStringList>

#include <optional>

class ChoiceIndex;

// Brand and model values remembered during one set-up pass, so that the model list follows the
// brand set up before it and the type-version list the model.
struct ListFilters
{
    QString brand; // upper-cased
    QString model; // upper-cased
};

// Which list of the choice-list document a combo box draws from.
struct ComboListChoice
{
    QString item; // item element: "Pars", "Marks", "Models", "VNVersions", "InfoCom"...
    QString textElement; // element shown: "text", "vMark", "vnModel"...
    QString filterElement; // element of the group test; empty: every item belongs
    QString filter; // upper-cased value the filter element must have
    bool isSalespeople = false; // the salespeople of the record's site, selected by id
    bool IndexCoded = false;
    int startPosition = 1; // the position an index-coded field selects
    QString value; // value the selection looks for (ModeTVA 0 reads as 1)
};

// The list of a combo box at set-up, from its ListName, kinds and value (Boolean and
// position-coded fields, the brand/model/type-version chain, salespeople, "Pars" groups).
ComboListChoice chooseComboList(const TsDesc &desc, const QString &recordKind, const QString &value,
                                ListFilters &filters);

// Every function below reads the choice-list document through its index (ChoiceIndex), made
// once per document.

// Entries of a combo box and the entry to select.
struct ComboFill
{
    QStringList entries;
    int selected = -1; // -1: none
    bool IndexCoded = false;
    bool HasEmptyEntry = false; // the first entry is the empty ".." entry
    bool extraEntry = false; // the value, no longer listed, was appended as the last entry
};

// Fills from the chosen group: the first ".." or empty entry becomes an empty entry, the entry
// whose code (text up to " : ") equals the value, or whose position is the start position of an
// index-coded field, is selected (the last one wins); with nothing selected a value outside the
// list is appended and selected, except for position combos (112).
ComboFill FillComboFromList(const ChoiceIndex &choices, const ComboListChoice &choice,
                            int tControl);

// Set-up of a combo box's list in one call: choice, then fill (salespeople: the site's list,
// selected by id).
ComboFill setupComboList(const ChoiceIndex &choices, const TsDesc &desc, const QString &recordKind,
                         const QString &recordSite, ListFilters &filters);

// Salespeople ("cNom") whose "Site", upper-cased, contains recordSite; nobody for an empty site.
QStringList salespeople(const ChoiceIndex &choices, const QString &recordSite);

// The entries of the "Pars" group whose type equals listName (upper-cased), unescaped ("&cr;"
// too for grid columns); none when the group is absent (the caller keeps its list).
std::optional<QStringList> parsGroup(const ChoiceIndex &choices, const QString &listName,
                                     bool gridColumn = false);

// LoadInfoNxComboBox / LoadInfoNxComboBoxColumn: "InfoCom" gives the salespeople of the site,
// any other name its "Pars" group.
std::optional<QStringList> LoadInfoNxComboBox(const ChoiceIndex &choices, const QString &listName,
                                              const QString &recordSite, bool gridColumn = false);

// SetInfoComboBoxIdCom: the entry showing the name of salesperson idCom (the last equal entry),
// -1 when none.
int SetInfoComboBoxIdCom(const ChoiceIndex &choices, const QString &idCom,
                         const QStringList &entries);

// GetInfoComboBoxIdCom: the code behind a shown text, "InfoCom": the salesperson's id, another
// list: the 1-based position in its "Pars" group ("SUJETRELANCE" reads "SUJETACTION"); "0"
// when not found.
QString GetInfoComboBoxIdCom(const ChoiceIndex &choices, const QString &listName,
                             const QString &shown);

// The value a pick stores: the code of the shown text; index-coded: the position from 1 (from 0
// with an empty first entry; no selection gives 0, or -1); Boolean: "False" for position 1,
// "True" otherwise; salesperson by id: the id, "0" when unknown.
QString storedComboValue(const ChoiceIndex &choices, const TsDesc &desc, int selectedIndex,
                         const QString &shownText);

// The list-only rule: a non-empty text that is not one of the entries is refused.
bool refusedByListOnly(const TsDesc &desc, const QString &text, const QStringList &entries);

// Entering a text combo of a maintained list with Ctrl held starts list maintenance for
// administrators.
bool listMaintenanceAllowed(const TsDesc &desc, bool rightAdmin, bool ctrlHeld);

// The Delete key empties a text combo.
bool deleteKeyEmpties(const TsDesc &desc);

// UpdateCBox: the group of a dependent list whose filter element (trimmed, upper-cased) equals
// filter; none when the filter is blank or no item matches (the combo keeps what it has).
std::optional<QStringList> dependentGroup(const ChoiceIndex &choices, const QString &filter,
                                          const QString &textElement, const QString &filterElement,
                                          const QString &item);
