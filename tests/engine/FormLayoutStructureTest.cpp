#include "engine/QtPrinters.h"

#include "engine/LayoutStructure.h"

#include "common/FormLayout.h"
#include "engine/StructEntry.h"
#include "engine/TabStructure.h"

#include <QHash>

#include <gtest/gtest.h>

// The structure description the reference server derives from the form layout, read by the
// engine: every described field must find its design control where the layout put it.

namespace {

// Control kinds of the structure that each design widget can serve.
bool kindFits(const std::string &widget, int tControl)
{
    if (widget == "combolist" || widget == "combo")
        return tControl == 111 || tControl == 112;
    if (widget == "listbox")
        return tControl == 110;
    if (widget == "button" || widget == "picbutton")
        return tControl == 104;
    return tControl == 109;
}

} // namespace

TEST(FormLayoutStructure, EveryDescribedFieldFindsItsDesignControl)
{
    QHash<QString, const dravik::LayoutRow *> controls;
    for (const dravik::LayoutRow &r : dravik::formLayout())
        controls.insert(QString::fromStdString(r.name), &r);
    const auto entries = readStructEntries(structureFromLayout());
    int bound = 0;
    for (const char *kind : {"_TVO", "_TVD", "_TVN", "_TCL"}) {
        TabDescTable tabs;
        int firstTab = 0;
        describeTabs(entries, QString::fromLatin1(kind), tabs, firstTab);
        EXPECT_GT(firstTab, 0) << kind;
        for (int n = 1; n < 10; ++n) {
            if (!tabs[n].Described)
                continue;
            FieldContext context;
            for (const FieldPlan &plan : planTabFields(entries, tabs[n], n, context)) {
                if (plan.desc.Width == 0)
                    continue; // key fields have no control
                const QString where = QString::fromLatin1(kind) + " tab " + QString::number(n) + " "
                        + plan.controlName;
                const dravik::LayoutRow *row = controls.value(plan.controlName);
                ASSERT_NE(row, nullptr) << qPrintable(where);
                const std::string page
                        = plan.onPanelCompta ? "PanelCompta" : "Sheet0" + std::to_string(n);
                EXPECT_EQ(row->parent, page) << qPrintable(where);
                EXPECT_EQ(plan.geometry,
                          (PixelRect {row->left, row->top, row->width, std::max(row->height, 18)}))
                        << qPrintable(where);
                EXPECT_TRUE(kindFits(row->widget, plan.desc.tControl))
                        << qPrintable(where) << " " << row->widget << " " << plan.desc.tControl;
                ++bound;
            }
        }
    }
    EXPECT_GT(bound, 100);
}
