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
    // Recording, dependent list, version text, header parts, special duty.
    const auto row = [](Recording recording, std::optional<DependentList> dependent,
                        std::optional<VersionUpdate> version, int header, SpecialDuty duty) {
        FieldReaction r;
        r.recording = recording;
        r.dependent = std::move(dependent);
        r.version = std::move(version);
        r.header = header;
        r.duty = duty;
        return r;
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
    add({"cInfoMarqueChange"},
        row(R::List, usedModels("cInfoModele"), std::nullopt, HeaderTitre, SpecialDuty::None));
    add({"cVDInfoMarqueChange"},
        row(R::List, newModels("cVDInfoModele"), std::nullopt, HeaderTitre, SpecialDuty::None));
    add({"cVNInfoMarqueChange"},
        row(R::List, newModels("cVNInfoModele"), std::nullopt, HeaderTitre, SpecialDuty::None));
    add({"cPAPAMarque1Change"},
        row(R::List, usedModels("cPAPAModele1"), std::nullopt, 0, SpecialDuty::None));
    add({"cPAPAMarque2Change"},
        row(R::List, usedModels("cPAPAModele2"), std::nullopt, 0, SpecialDuty::None));
    add({"vInfoMarqueChange"},
        row(R::List, usedModels("vInfoModele"), std::nullopt, 0, SpecialDuty::None));
    // Models refill the type-versions and rewrite the version text.
    add({"cInfoModeleChange"},
        row(R::List, std::nullopt, versionOf(QStringLiteral("c"), false), 0, SpecialDuty::None));
    add({"cVDInfoModeleChange"},
        row(R::List, newVersions("cVDInfoTypeVersion"), versionOf(QStringLiteral("cVD"), true), 0,
            SpecialDuty::None));
    add({"cVNInfoModeleChange"},
        row(R::List, newVersions("cVNInfoTypeVersion"), versionOf(QStringLiteral("cVN"), true), 0,
            SpecialDuty::None));
    add({"vInfoModeleChange"}, row(R::List, std::nullopt, std::nullopt, 0, SpecialDuty::None));
    add({"cVDInfoTypeVersionChange"},
        row(R::Edit, std::nullopt, versionOf(QStringLiteral("cVD"), true), HeaderTitre,
            SpecialDuty::None));
    add({"cVNInfoTypeVersionChange"},
        row(R::Edit, std::nullopt, versionOf(QStringLiteral("cVN"), true), HeaderTitre,
            SpecialDuty::None));
    // Header fields.
    add({"cInfoVesionChange", "cVNInfoVersionChange"},
        row(R::Edit, std::nullopt, std::nullopt, HeaderTitre, SpecialDuty::None));
    add({"cInfoCouleurChange"},
        row(R::List, std::nullopt, std::nullopt, HeaderField1, SpecialDuty::None));
    add({"cNVOChange"},
        row(R::Edit, std::nullopt, std::nullopt, HeaderNVO, SpecialDuty::TraceStockNumber));
    add({"cCVKMSChange"},
        row(R::Edit, std::nullopt, std::nullopt, HeaderField2, SpecialDuty::None));
    // Sites.
    add({"cSiteChange"}, row(R::List, std::nullopt, std::nullopt, 0, SpecialDuty::RememberSite));
    add({"aSiteChange"}, row(R::List, std::nullopt, std::nullopt, 0, SpecialDuty::CustomerSite));
    add({"cDestinationChange"}, row(R::Edit, std::nullopt, std::nullopt, 0, SpecialDuty::None));
    // Dates.
    add({"cDateEntreeChange"},
        row(R::Edit, std::nullopt, std::nullopt, HeaderField3, SpecialDuty::None));
    add({"cVNStatutVNChange"},
        row(R::OrderField, std::nullopt, std::nullopt, HeaderField3, SpecialDuty::None));
    add({"cVNDateCdeVWChange", "cVNDateDebutGarantieChange"},
        row(R::OrderField, std::nullopt, std::nullopt, 0, SpecialDuty::None));
    add({"cVNDateFactureChange"},
        row(R::OrderField, std::nullopt, std::nullopt, HeaderField3, SpecialDuty::InvoiceDate));
    add({"cVNDateFabricationChange"},
        row(R::OrderField, std::nullopt, std::nullopt, 0, SpecialDuty::WeekLabel));
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
