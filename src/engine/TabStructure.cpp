#include "engine/TabStructure.h"

#include "engine/FieldValue.h"
#include "engine/Kinds.h"
#include "engine/RecordKind.h"
#include "engine/TextRules.h"
#include "gateway/TXml.h"

#include <cmath>

namespace {

constexpr int kMaxSourceLength = 200;
constexpr int kDefaultTwips = 20;

} // namespace

int twipsToPixels(const QString &twips)
{
    const int value = readInt(twips, kDefaultTwips);
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return int(std::nearbyint(double(value) / 15.0));
}

PixelRect fieldGeometry(const StructEntry &entry)
{
    PixelRect r;
    r.width = twipsToPixels(entry.width);
    r.left = twipsToPixels(entry.left);
    r.top = twipsToPixels(entry.top) - 35;
    r.height = std::max(twipsToPixels(entry.height), 18);
    return r;
}

bool fieldVisible(int enabledCode, bool fieldRight)
{
    return fieldRight ? enabledCode != 3 : enabledCode != 2;
}

bool fieldRightFor(bool groupRight, int tab, int vehicleFound)
{
    return groupRight && !(tab == TabNumbers::CustomerVehicles && vehicleFound == 0);
}

DescribeOutcome describeTabs(const std::vector<StructEntry> &entries, const QString &recordKind,
                             TabDescTable &tabs, int &firstTab, const TraceFn &traceFn)
{
    DescribeOutcome outcome;
    for (int n = 0; n < int(tabs.size()); ++n) {
        trace(traceFn, QStringLiteral("dans UpdateTabDesc : 4"));
        TsPage &page = tabs[n];
        page.DetailLoaded = false;
        const QString number = QString::number(n);
        const StructEntry *found = nullptr;
        for (const StructEntry &e : entries) {
            if (e.descInfo == recordKind && e.idNum == number) {
                found = &e;
                break;
            }
        }
        if (!found) {
            page.Described = false;
            continue;
        }
        if (n > 0) {
            trace(traceFn, QStringLiteral("Ajout desc Onglet : %1").arg(n));
            outcome.tabs[n].caption = found->txtInfo;
        }
        outcome.tabs[n].described = true;
        page.PageIndex = n - 1;
        page.vInfo = found->vInfo;
        page.tag = found->tag;
        page.Prefix = found->defval;
        page.Described = true;
        if (firstTab == 0 && n > 0) {
            firstTab = n;
            outcome.selectPageIndex = n - 1;
        }
    }
    return outcome;
}

FieldPlan planField(const StructEntry &e, const TsPage &page, int tab, int index,
                    const FieldContext &context)
{
    FieldPlan plan;
    TsDesc &d = plan.desc;
    plan.index = index;

    const qsizetype semicolon = e.vInfo.indexOf(QLatin1Char(';'));
    d.FieldName = semicolon < 0 ? e.vInfo : e.vInfo.left(semicolon);
    d.SourceElement = semicolon < 0 ? QString() : e.vInfo.mid(semicolon + 1, kMaxSourceLength);

    plan.geometry = fieldGeometry(e);
    d.tInfo = readInt(e.tInfo);
    d.tControl = readInt(e.tControl);
    bool known = true;
    dataKindRule(d.tInfo, &known);
    if (!known)
        trace(context.trace,
              QStringLiteral("type de donnée inconnu, valeur telle quelle : ") + page.vInfo
                      + QStringLiteral(" - ") + d.FieldName + QStringLiteral(" - ") + e.tInfo);
    controlKindRule(d.tControl, &known);
    if (!known)
        trace(context.trace,
              QStringLiteral("type de contrôle inconnu, zone numérique : ") + page.vInfo
                      + QStringLiteral(" - ") + d.FieldName + QStringLiteral(" - ") + e.tControl);
    plan.maxLength = readInt(e.length);
    d.FontColor = readInt(e.color);
    plan.idNum = readInt(e.idNum);
    plan.onPanelCompta = plan.idNum >= 1000;
    d.txtInfo = DecodeEntities(e.txtInfo);
    d.TagList = QLatin1Char(';') + asciiUpper(e.tag) + QLatin1Char(';');
    d.NotNull = asciiUpper(e.notNull) == QLatin1String("TRUE");

    const bool groupRight = context.groupRight && context.groupRight(d.TagList);
    plan.visible = fieldVisible(readInt(e.enabled), groupRight);
    plan.fieldRight = fieldRightFor(groupRight, tab, context.vehicleFound);

    d.ListName = d.FieldName;
    d.FieldInfo = e.fieldInfo.isEmpty() ? d.ListName : e.fieldInfo;
    const qsizetype listSemicolon = d.FieldInfo.indexOf(QLatin1Char(';'));
    if (listSemicolon >= 0) {
        trace(context.trace,
              QStringLiteral("info rubrique : ") + page.vInfo + d.FieldName + e.fieldInfo);
        d.ListName = d.FieldInfo.mid(listSemicolon + 1, kMaxSourceLength);
        d.FieldInfo = d.FieldInfo.left(listSemicolon);
    }
    d.ListTable = d.FieldInfo;
    if (listSemicolon < 0 && asciiUpper(d.FieldInfo.left(4)) == QLatin1String("LIST"))
        d.FieldInfo = d.FieldName;
    trace(context.trace,
          QStringLiteral("z2 Ajout desc Onglet : ") + page.vInfo + QStringLiteral(" - ")
                  + d.FieldName);

    d.defval = e.defval;
    static const XmlItemIndex noRecord {TXml()};
    const FieldValue value = deriveFieldValue(d, context.record ? *context.record : noRecord,
                                              context.useDefaults, context.today);
    d.LoadedValue = value.LoadedValue;
    d.CurrentValue = value.CurrentValue;
    d.Width = plan.geometry.width;

    plan.controlName = page.Prefix + d.FieldName;
    return plan;
}

bool refreshField(TsDesc &desc, int tab, const FieldContext &context)
{
    static const XmlItemIndex noRecord {TXml()};
    const FieldValue value = deriveFieldValue(desc, context.record ? *context.record : noRecord,
                                              context.useDefaults, context.today);
    desc.LoadedValue = value.LoadedValue;
    desc.CurrentValue = value.CurrentValue;
    const bool groupRight = context.groupRight && context.groupRight(desc.TagList);
    return fieldRightFor(groupRight, tab, context.vehicleFound);
}

std::vector<FieldPlan> planTabFields(const std::vector<StructEntry> &entries, const TsPage &page,
                                     int tab, const FieldContext &context)
{
    trace(context.trace, QStringLiteral("p2 Ajout desc Onglet : ") + page.vInfo);
    std::vector<FieldPlan> plans;
    for (const StructEntry &e : entries) {
        if (e.descInfo != page.vInfo)
            continue;
        plans.push_back(planField(e, page, tab, int(plans.size()), context));
    }
    return plans;
}
