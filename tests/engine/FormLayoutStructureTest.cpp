#include "engine/QtPrinters.h"

#include "common/FormLayout.h"
#include "engine/StructEntry.h"
#include "engine/TabStructure.h"
#include "gateway/TXml.h"

#include <QHash>

#include <gtest/gtest.h>

// The structure description the reference server derives from the form layout, read by the
// engine: every described field must find its design control where the layout put it.

namespace {

QString escaped(const std::string &raw)
{
    QString text = QString::fromStdString(raw);
    text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    return text;
}

QString element(const char *name, const QString &value)
{
    return QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(name), value);
}

QString twips(int pixels)
{
    return QString::number(pixels * 15);
}

TXml structureFromLayout()
{
    QString doc = QStringLiteral("<document><axStructS>");
    for (const dravik::TabRow &t : dravik::formTabs()) {
        doc += "<axStruct>" + element("descInfo", escaped(t.kind))
                + element("idNum", escaped(t.idNum)) + element("txtInfo", escaped(t.txtInfo))
                + element("vInfo", escaped(t.vInfo)) + element("tag", escaped(t.tag))
                + element("defval", escaped(t.defval)) + "</axStruct>";
    }
    for (const dravik::LayoutRow &r : dravik::formLayout()) {
        if (r.desc.empty())
            continue;
        doc += "<axStruct>" + element("descInfo", escaped(r.desc))
                + element("idNum", escaped(r.idNum)) + element("txtInfo", escaped(r.txtInfo))
                + element("vInfo", escaped(r.vInfo)) + element("tag", escaped(r.tag))
                + element("defval", escaped(r.defval)) + element("width", twips(r.width))
                + element("left", twips(r.left)) + element("top", twips(r.top + 35))
                + element("height", twips(r.height)) + element("length", escaped(r.length))
                + element("tInfo", escaped(r.tInfo)) + element("tControl", escaped(r.tControl))
                + element("color", escaped(r.color)) + element("notNull", escaped(r.notNull))
                + element("enabled", escaped(r.enabled))
                + element("fieldInfo", escaped(r.fieldInfo)) + "</axStruct>";
    }
    return TXml(doc + "</axStructS></document>");
}

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
