#pragma once

#include "engine/FieldPlan.h"
#include "engine/StructEntry.h"
#include "engine/Trace.h"
#include "engine/TsPage.h"

#include <QDate>

#include <array>
#include <functional>
#include <vector>

class XmlItemIndex;

// Twips (15 per pixel) to pixels, nearest with halves to even; 20 twips when the text is empty
// or not a number.
int twipsToPixels(const QString &twips);

// The described rectangle of a field entry: top loses 35 pixels, height is at least 18.
PixelRect fieldGeometry(const StructEntry &entry);

// Visibility code of "enabled": 2 hides the field from users without its right, 3 from users
// with it; anything else shows it.
bool fieldVisible(int enabledCode, bool fieldRight);

// The group right of a field, withheld on the customer-vehicle tab (8) while the customer has
// no vehicle (vehicleFound 0).
bool fieldRightFor(bool groupRight, int tab, int vehicleFound);

struct TabCaption
{
    bool described = false;
    QString caption; // page caption of tabs 1..9
};

struct DescribeOutcome
{
    std::array<TabCaption, 10> tabs;
    int selectPageIndex = -1; // page the control shows now, -1: unchanged
};

// Describes the ten tabs of recordKind: the first tab entry of the kind per tab number fills
// PageIndex, vInfo, tag, Prefix and Described; DetailLoaded is cleared. The first described
// tab from 1 up becomes firstTab (when it is still 0) and the page to show.
DescribeOutcome describeTabs(const std::vector<StructEntry> &entries, const QString &recordKind,
                             TabDescTable &tabs, int &firstTab, const TraceFn &traceFn = {});

// What building the descriptors of a tab needs from the window.
struct FieldContext
{
    const XmlItemIndex *record = nullptr; // the record element (tab 8: the customer vehicle)
    bool useDefaults = false; // FlagNewEnreg, or FlagNewVehicle on tab 8
    QDate today;
    int vehicleFound = 1;
    std::function<bool(const QString &tagList)> groupRight; // GetDataRights
    TraceFn trace;
};

// The field plans of tab `tab` (the entries whose descInfo is the tab's key, document order).
std::vector<FieldPlan> planTabFields(const std::vector<StructEntry> &entries, const TsPage &page,
                                     int tab, const FieldContext &context);

// The refresh of a built field at a later load: its value again (LoadedValue, CurrentValue)
// from the context's record or defaults; answers its FieldRight (group right, withheld on tab 8
// without a vehicle). Visibility is not recomputed at refresh.
bool refreshField(TsDesc &desc, int tab, const FieldContext &context);

// One plan from one field entry (index = its position in the tab).
FieldPlan planField(const StructEntry &entry, const TsPage &page, int tab, int index,
                    const FieldContext &context);
