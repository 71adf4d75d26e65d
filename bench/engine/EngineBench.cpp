// Engine work for one record against plain cursor walks over the same documents, measured in
// the same run; prints the ratios.
//   structure: reading the entries (once per structure document) and planning every field of
//           the used-vehicle tabs (values, rights, list members), against one walk of the
//           structure derived from the form layout reading one element per entry;
//   combos: indexing a choice-list document of realistic size (once per document), then
//           choosing and filling the list of every combo box of those tabs, against one walk of
//           its parameter list.

#include "engine/LayoutStructure.h"

#include "editing/ChoiceIndex.h"
#include "editing/ComboLists.h"
#include "editing/UserRights.h"
#include "engine/RecordDocument.h"
#include "engine/TabStructure.h"

#include "support/RatioReporter.h"

#include <benchmark/benchmark.h>

namespace {

const TXml &structure()
{
    static const TXml doc = structureFromLayout();
    return doc;
}

// A used-vehicle record holding a value for every described field.
const TXml &record()
{
    static const TXml doc = [] {
        QString body;
        for (const dravik::LayoutRow &r : dravik::formLayout()) {
            if (!r.desc.empty())
                body += element(QString::fromStdString(r.vInfo).section(';', -1).toLatin1(),
                                QStringLiteral("12 345.5"));
        }
        return TXml("<document><User><UserSite>#</UserSite></User><GNames><GName>ADMINS</GName>"
                    "<GName>USER_COMPTA</GName></GNames><tVO>"
                    + body + "</tVO></document>");
    }();
    return doc;
}

// 60 parameter lists of 40 entries, brands, models and salespeople.
const TXml &choices()
{
    static const TXml doc = [] {
        QString text = "<document><ParsS>";
        for (int list = 0; list < 60; ++list) {
            for (int i = 0; i < 40; ++i)
                text += "<Pars><type>List" + QString::number(list) + "</type><text>C"
                        + QString::number(i) + " : Libellé " + QString::number(i)
                        + "</text></Pars>";
        }
        text += "</ParsS><MarksS>";
        for (int b = 0; b < 40; ++b)
            text += "<Marks><vMark>MARQUE" + QString::number(b) + "</vMark></Marks>";
        text += "</MarksS><ModelsS>";
        for (int b = 0; b < 40; ++b) {
            for (int m = 0; m < 20; ++m)
                text += "<Models><vMark>MARQUE" + QString::number(b) + "</vMark><vModel>M"
                        + QString::number(m) + "</vModel></Models>";
        }
        text += "</ModelsS><InfoComS>";
        for (int s = 0; s < 50; ++s)
            text += "<InfoCom><idCom>" + QString::number(s) + "</idCom><cNom>Vendeur "
                    + QString::number(s) + "</cNom><Site>NORD</Site></InfoCom>";
        return TXml(text + "</InfoComS></document>");
    }();
    return doc;
}

std::vector<FieldPlan> planUsedVehicle(const std::vector<StructEntry> &entries)
{
    TabDescTable tabs;
    int firstTab = 0;
    describeTabs(entries, QStringLiteral("_TVO"), tabs, firstTab);
    // The window plans fields from one index of the record's elements per load.
    const TXml element = selectElement(record(), u"tVO");
    const XmlItemIndex vehicle(element);
    FieldContext context;
    context.record = &vehicle;
    context.today = QDate(2024, 5, 17);
    context.groupRight = [](const QString &tags) {
        return GetDataRights(record(), true, tags);
    };
    std::vector<FieldPlan> all;
    for (int n = 1; n < 10; ++n) {
        if (!tabs[n].Described)
            continue;
        auto plans = planTabFields(entries, tabs[n], n, context);
        all.insert(all.end(), plans.begin(), plans.end());
    }
    return all;
}

void BM_StructureWalk(benchmark::State &state)
{
    for (auto _ : state) {
        TXml x = structure();
        XmlOpen(x, u"axStructS");
        int n = 0;
        while (XmlNext(x, u"axStruct"))
            n += int(XmlGetText(x, u"vInfo").size());
        benchmark::DoNotOptimize(n);
    }
}

void BM_ReadStructure(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readStructEntries(structure()).size());
}

void BM_PlanUsedVehicle(benchmark::State &state)
{
    const auto entries = readStructEntries(structure());
    for (auto _ : state)
        benchmark::DoNotOptimize(planUsedVehicle(entries).size());
}

void BM_IndexChoices(benchmark::State &state)
{
    for (auto _ : state) {
        const ChoiceIndex index(choices());
        benchmark::DoNotOptimize(index.group("Pars", "text", "type", "LIST59").size());
    }
}

void BM_ParsWalk(benchmark::State &state)
{
    for (auto _ : state) {
        TXml x = choices();
        XmlOpen(x, u"ParsS");
        int n = 0;
        while (XmlNext(x, u"Pars"))
            n += int(XmlGetText(x, u"text").size());
        benchmark::DoNotOptimize(n);
    }
}

void BM_FillCombos(benchmark::State &state)
{
    std::vector<TsDesc> combos;
    for (const FieldPlan &p : planUsedVehicle(readStructEntries(structure()))) {
        if (p.desc.tControl == 111 || p.desc.tControl == 112)
            combos.push_back(p.desc);
    }
    // Spread the combos over the generated lists, one of them on the last list.
    for (size_t i = 0; i < combos.size(); ++i) {
        if (combos[i].ListName.compare("InfoMarque", Qt::CaseInsensitive) != 0
            && combos[i].ListName.compare("InfoModele", Qt::CaseInsensitive) != 0)
            combos[i].ListName
                    = "List" + QString::number(i * 59 / std::max<size_t>(1, combos.size() - 1));
    }
    state.counters["combos"] = double(combos.size());
    const ChoiceIndex index(choices()); // made once per choice-list document
    for (auto _ : state) {
        ListFilters filters;
        for (const TsDesc &d : combos)
            benchmark::DoNotOptimize(setupComboList(index, d, "_TVO", "NORD", filters).selected);
    }
}

BENCHMARK(BM_StructureWalk);
BENCHMARK(BM_ReadStructure);
BENCHMARK(BM_PlanUsedVehicle);
BENCHMARK(BM_ParsWalk);
BENCHMARK(BM_IndexChoices);
BENCHMARK(BM_FillCombos);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char *work, const char *reference) {
        return reporter.ratio(work, reference);
    };
    printRatio("engine: read the structure entries / walk of the structure",
               ratio("BM_ReadStructure", "BM_StructureWalk"));
    printRatio("engine: plan all used-vehicle tabs / walk of the structure",
               ratio("BM_PlanUsedVehicle", "BM_StructureWalk"));
    printRatio("engine: index the choice lists / walk of the parameter list",
               ratio("BM_IndexChoices", "BM_ParsWalk"));
    printRatio("engine: fill every combo of those tabs / walk of the parameter list",
               ratio("BM_FillCombos", "BM_ParsWalk"));
    return 0;
}
