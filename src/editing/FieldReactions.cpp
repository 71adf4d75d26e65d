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
    const auto compute = [](Recording recording, Computation computation, int header = 0,
                            SpecialDuty duty = SpecialDuty::None) {
        FieldReaction r;
        r.recording = recording;
        r.computation = computation;
        r.header = header;
        r.duty = duty;
        return r;
    };
    const auto person = [](Recording recording, int header, bool identity, const char *duplicate) {
        FieldReaction r;
        r.recording = recording;
        r.header = header;
        r.identity = identity;
        r.duplicate = QString::fromLatin1(duplicate);
        return r;
    };
    // Brands refill their models.
    add({"cInfoMarqueChange"}, {R::List, usedModels("cInfoModele"), {}, HeaderTitre, {}});
    add({"cVDInfoMarqueChange"}, {R::List, newModels("cVDInfoModele"), {}, HeaderTitre, {}});
    add({"cVNInfoMarqueChange"}, {R::List, newModels("cVNInfoModele"), {}, HeaderTitre, {}});
    add({"cPAPAMarque1Change"}, {R::List, usedModels("cPAPAModele1"), {}, 0, {}});
    add({"cPAPAMarque2Change"}, {R::List, usedModels("cPAPAModele2"), {}, 0, {}});
    add({"vInfoMarqueChange"}, {R::List, usedModels("vInfoModele"), {}, 0, {}});
    // Models refill the type-versions and rewrite the version text.
    add({"cInfoModeleChange"}, {R::List, {}, versionOf(QStringLiteral("c"), false), 0, {}});
    add({"cVDInfoModeleChange"},
        {R::List,
         newVersions("cVDInfoTypeVersion"),
         versionOf(QStringLiteral("cVD"), true),
         0,
         {}});
    add({"cVNInfoModeleChange"},
        {R::List,
         newVersions("cVNInfoTypeVersion"),
         versionOf(QStringLiteral("cVN"), true),
         0,
         {}});
    add({"vInfoModeleChange"}, {R::List, {}, {}, 0, {}});
    add({"cVDInfoTypeVersionChange"},
        {R::Edit, {}, versionOf(QStringLiteral("cVD"), true), HeaderTitre, {}});
    add({"cVNInfoTypeVersionChange"},
        {R::Edit, {}, versionOf(QStringLiteral("cVN"), true), HeaderTitre, {}});
    // Header fields.
    add({"cInfoVesionChange", "cVNInfoVersionChange"}, {R::Edit, {}, {}, HeaderTitre, {}});
    add({"cInfoCouleurChange"}, {R::List, {}, {}, HeaderField1, {}});
    add({"cNVOChange"}, {R::Edit, {}, {}, HeaderNVO, SpecialDuty::TraceStockNumber});
    add({"cCVKMSChange"}, {R::Edit, {}, {}, HeaderField2, {}});
    // Sites.
    add({"cSiteChange"}, {R::List, {}, {}, 0, SpecialDuty::RememberSite});
    add({"aSiteChange"}, {R::List, {}, {}, 0, SpecialDuty::CustomerSite});
    add({"cDestinationChange"}, {R::Edit, {}, {}, 0, {}});
    // Dates.
    add({"cDateEntreeChange"}, {R::Edit, {}, {}, HeaderField3, {}});
    add({"cVNStatutVNChange"}, {R::OrderField, {}, {}, HeaderField3, {}});
    add({"cVNDateCdeVWChange", "cVNDateDebutGarantieChange"}, {R::OrderField, {}, {}, 0, {}});
    add({"cVNDateFactureChange"}, {R::OrderField, {}, {}, HeaderField3, SpecialDuty::InvoiceDate});
    add({"cVNDateFabricationChange"}, {R::OrderField, {}, {}, 0, SpecialDuty::WeekLabel});
    add({"cVNDateOrdreChange", "cVNMECChange"}, compute(R::Edit, Computation::None, HeaderField3));
    add({"cVNTypeFinancementDelaiChange"}, compute(R::Edit, Computation::None));
    // Prices, VAT and margins; the order's balance and due dates.
    add({"cTPVOChange", "cPrixVenteChange", "cPrixRepriseChange", "cPrixGarantieChange"},
        compute(R::Edit, Computation::TVAetMarges));
    add({"cModeTVAChange"}, compute(R::List, Computation::TVAetMarges));
    add({"cVNMontantAchatChange"}, compute(R::Edit, Computation::SoldeVN));
    add({"cVNDateAchatChange"},
        compute(R::Edit, Computation::DateEcheanceTresorerie, HeaderField3,
                SpecialDuty::PurchaseDate));
    add({"cVNDateEcheanceChange", "cVNDateDeclareLivreChange", "cVNDateDisponibiliteChange",
         "cVNDateLivraisonChange"},
        compute(R::Edit, Computation::DateEcheanceTresorerie));
    add({"cVNSituationAchatChange", "cVNTypeFinancementChange", "cVNDestinationChange"},
        compute(R::List, Computation::DateEcheanceTresorerie));
    // Customer identity: the identity line, the header, the duplicate counters.
    add({"aCliCiviliteChange"}, person(R::List, 0, true, ""));
    add({"aCliNomChange"}, person(R::Edit, 0, true, "Nom"));
    add({"aCliPrenomChange"}, person(R::Edit, 0, true, "Ident"));
    add({"aCliEmailChange"}, person(R::Edit, HeaderField1, false, ""));
    add({"aCliMobileChange"}, person(R::Edit, HeaderField2, false, "Mobile"));
    add({"aCliTelDomChange"}, person(R::Edit, HeaderField3, false, "TelDom"));
    return t;
}

const QHash<QString, FieldReaction> &table()
{
    static const QHash<QString, FieldReaction> t = buildTable();
    return t;
}

} // namespace

const FieldReaction *fieldReaction(const QString &handlerName)
{
    const auto it = table().constFind(handlerName);
    return it == table().constEnd() ? nullptr : &*it;
}

QStringList reactionHandlerNames()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}
