#include "editing/FieldReactions.h"

#include <QHash>

namespace {

using R = Recording;

DependentList usedModels(const char *combo)
{
    return {QString::fromLatin1(combo), QStringLiteral("vModel"), QStringLiteral("vMark"),
            QStringLiteral("Models")};
}

DependentList newModels(const char *combo)
{
    return {QString::fromLatin1(combo), QStringLiteral("vnModel"), QStringLiteral("vnMark"),
            QStringLiteral("VNModels")};
}

DependentList newVersions(const char *combo)
{
    return {QString::fromLatin1(combo), QStringLiteral("vnVers"), QStringLiteral("vnModel"),
            QStringLiteral("VNVersions")};
}

// Memo, model and type-version of a vehicle tab.
VersionUpdate versionOf(const QString &prefix, bool withTypeVersion)
{
    return {prefix + QStringLiteral("InfoVersion"), prefix + QStringLiteral("InfoModele"),
            withTypeVersion ? prefix + QStringLiteral("InfoTypeVersion") : QString()};
}

QHash<QString, FieldReaction> buildTable()
{
    QHash<QString, FieldReaction> t;
    const auto add = [&t](std::initializer_list<const char *> names, const FieldReaction &r) {
        for (const char *n : names)
            t.insert(QString::fromLatin1(n), r);
    };
    // Brands refill their models.
    add({"cInfoMarque"}, {R::List, usedModels("cInfoModele"), {}, HeaderTitre, {}});
    add({"cVDInfoMarque"}, {R::List, newModels("cVDInfoModele"), {}, HeaderTitre, {}});
    add({"cVNInfoMarque"}, {R::List, newModels("cVNInfoModele"), {}, HeaderTitre, {}});
    add({"cPAPAMarque1"}, {R::List, usedModels("cPAPAModele1"), {}, 0, {}});
    add({"cPAPAMarque2"}, {R::List, usedModels("cPAPAModele2"), {}, 0, {}});
    add({"vInfoMarque"}, {R::List, usedModels("vInfoModele"), {}, 0, {}});
    // Models refill the type-versions and rewrite the version text.
    add({"cInfoModele"}, {R::List, {}, versionOf(QStringLiteral("c"), false), 0, {}});
    add({"cVDInfoModele"},
        {R::List,
         newVersions("cVDInfoTypeVersion"),
         versionOf(QStringLiteral("cVD"), true),
         0,
         {}});
    add({"cVNInfoModele"},
        {R::List,
         newVersions("cVNInfoTypeVersion"),
         versionOf(QStringLiteral("cVN"), true),
         0,
         {}});
    add({"vInfoModele"}, {R::List, {}, {}, 0, {}});
    add({"cVDInfoTypeVersion"},
        {R::Edit, {}, versionOf(QStringLiteral("cVD"), true), HeaderTitre, {}});
    add({"cVNInfoTypeVersion"},
        {R::Edit, {}, versionOf(QStringLiteral("cVN"), true), HeaderTitre, {}});
    // Header fields.
    add({"cInfoVersion", "vInfoTypeVersion", "cVNInfoVersion"}, {R::Edit, {}, {}, HeaderTitre, {}});
    add({"cInfoCouleur", "cVDInfoCouleur", "cVNInfoCouleur"}, {R::List, {}, {}, HeaderField1, {}});
    add({"cNVO", "cVDNVO", "cVNNVO"}, {R::Edit, {}, {}, HeaderNVO, SpecialDuty::TraceStockNumber});
    add({"cCV", "cKMS", "cVDCV", "cVDKMS", "cVNCV", "vKMS", "aCliNbEnfants"},
        {R::Edit, {}, {}, HeaderField2, {}});
    // Sites.
    add({"cSite", "cVDSite", "cVNSite"}, {R::List, {}, {}, 0, SpecialDuty::RememberSite});
    add({"aSite"}, {R::List, {}, {}, 0, SpecialDuty::CustomerSite});
    add({"cDestination"}, {R::Edit, {}, {}, 0, {}});
    // Dates.
    add({"cDateEntree", "cDateOrdre"}, {R::Edit, {}, {}, HeaderField3, {}});
    add({"cVNStatutVN"}, {R::OrderField, {}, {}, HeaderField3, {}});
    add({"cVNDateCdeVW", "cVNDateDebutGarantie"}, {R::OrderField, {}, {}, 0, {}});
    add({"cVNDateFacture"}, {R::OrderField, {}, {}, HeaderField3, SpecialDuty::InvoiceDate});
    add({"cVNDateFabrication"}, {R::OrderField, {}, {}, 0, SpecialDuty::WeekLabel});
    return t;
}

} // namespace

const FieldReaction *fieldReaction(const QString &controlName)
{
    static const QHash<QString, FieldReaction> table = buildTable();
    const auto it = table.constFind(controlName);
    return it == table.constEnd() ? nullptr : &*it;
}
