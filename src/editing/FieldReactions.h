#pragma once

#include <QString>

#include <optional>

// What the change handler of a field does: record the change, refill the dependent list,
// rewrite the version text, refresh header parts, then its special duty (the stock-number
// trace comes before recording). One table instead of a handler per control.

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
};

struct FieldReaction
{
    Recording recording = Recording::Edit;
    std::optional<DependentList> dependent;
    std::optional<VersionUpdate> version;
    int header = 0; // HeaderPart flags
    SpecialDuty duty = SpecialDuty::None;
};

// The reaction of a control with a handler of its own; nullptr for the others.
const FieldReaction *fieldReaction(const QString &controlName);
