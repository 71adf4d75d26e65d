#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What a change handler does, by its name in the form layout: record the change, refill the
// dependent list, rewrite the version text, run the computation the field feeds, refresh
// header parts and the identity line, its special duty, then arm the duplicate counter (the
// stock-number trace comes before recording). One row per handler name, instead of a member
// per handler.

enum class Recording {
    List, // CBoxChange: lock test, then the list value capture
    Edit, // EditChange
    OrderField, // cVNControlChange: records, then stamps the order's update date
};

// Header parts refreshed after the change (setInfoNVO ... setInfoField3).
enum HeaderPart {
    HeaderNVO = 1,
    HeaderTitre = 2,
    HeaderField1 = 4,
    HeaderField2 = 8,
    HeaderField3 = 16,
};

// UpdateCBox(combo, the changed field's text, textElement, filterElement, item).
struct DependentList
{
    QString combo, textElement, filterElement, item;
};

// UpdateVersion(memo, model, typeVersion); typeVersion empty: none.
struct VersionUpdate
{
    QString memo, model, typeVersion;
};

enum class SpecialDuty {
    None,
    TraceStockNumber, // trace "dans cNVOChange " + the new text before recording
    RememberSite, // UserUS1 := the chosen site
    CustomerSite, // RecordSite, the salespeople lists, UpdateLBox of cPAPAChoix1 and 2
    WeekLabel, // LbDateFabrication shows weekLabel() of the date
    InvoiceDate, // UpdateDateEcheanceTresorerie, then purchaseDateFromInvoice()
    PurchaseDate, // a readable purchase date also becomes the invoice date
};

// The computation a field feeds, after its change is recorded.
enum class Computation {
    None,
    TVAetMarges, // UpdateTVAetMarges
    SoldeVN, // UpdateSoldeVN
    DateEcheanceTresorerie, // UpdateDateEcheanceTresorerie
};

struct FieldReaction
{
    Recording recording = Recording::Edit;
    std::optional<DependentList> dependent;
    std::optional<VersionUpdate> version;
    int header = 0; // HeaderPart flags
    SpecialDuty duty = SpecialDuty::None;
    Computation computation = Computation::None;
    bool identity = false; // ShowIdentity
    QString duplicate; // setDblChange mode ("Nom", "Ident", "Mobile", "TelDom"); empty: none
};

// The reaction a change handler name stands for; nullptr for a name that is a member with
// logic of its own.
const FieldReaction *fieldReaction(const QString &handlerName);
// Every handler name that stands for a reaction.
QStringList reactionHandlerNames();
