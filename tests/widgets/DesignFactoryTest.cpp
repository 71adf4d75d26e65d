#include "ui/widgets/DesignFactory.h"
#include "common/FormLayout.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"

#include "engine/QtPrinters.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The class each widget kind of the layout must give.
bool hasExpectedClass(const std::string &kind, const QWidget *w, const std::string &style)
{
    if (kind == "date")
        return qobject_cast<const DateEdit *>(w);
    if (kind == "combolist")
        return qobject_cast<const ComboBox *>(w) && !static_cast<const ComboBox *>(w)->isEditable();
    if (kind == "combo")
        return qobject_cast<const ComboBox *>(w) && static_cast<const ComboBox *>(w)->isEditable();
    if (kind == "number")
        return qobject_cast<const NumberEdit *>(w)
                && !static_cast<const NumberEdit *>(w)->decimals();
    if (kind == "decimal")
        return qobject_cast<const NumberEdit *>(w)
                && static_cast<const NumberEdit *>(w)->decimals();
    if (kind == "memo")
        return qobject_cast<const MemoEdit *>(w);
    if (kind == "edit")
        return style.find("enabled=0") != std::string::npos
                ? qobject_cast<const HeaderEdit *>(w) != nullptr
                : qobject_cast<const QLineEdit *>(w) != nullptr;
    if (kind == "listbox")
        return qobject_cast<const MultiListBox *>(w);
    if (kind == "button")
        return qobject_cast<const QPushButton *>(w);
    if (kind == "picbutton")
        return qobject_cast<const PictureButton *>(w);
    if (kind == "label" || kind == "image")
        return qobject_cast<const QLabel *>(w);
    if (kind == "grid" || kind == "gridcol")
        return qobject_cast<const DataGrid *>(w);
    if (kind == "listview")
        return qobject_cast<const QTreeWidget *>(w);
    if (kind == "panel" || kind == "shape")
        return qobject_cast<const QFrame *>(w);
    if (kind == "tabs")
        return qobject_cast<const QTabWidget *>(w);
    if (kind == "page")
        return w && w->metaObject() == &QWidget::staticMetaObject;
    return false;
}

// Every row of a layout gives a control of its kind, named, at its place, under its parent.
void checkLayout(const std::vector<dravik::LayoutRow> &rows)
{
    QWidget root;
    root.setObjectName("TAxDravik");
    const DesignControls made = createDesignControls(&root, rows);
    EXPECT_TRUE(made.problems.isEmpty()) << qPrintable(made.problems.join('\n'));
    QSet<QString> names;
    for (const auto &row : rows) {
        const QString name = QString::fromStdString(row.name);
        if (row.widget == "none")
            continue;
        EXPECT_FALSE(names.contains(name)) << row.name << " is not unique";
        names.insert(name);
        if (row.widget == "gridcol") {
            const GridColumnRef ref = made.gridColumns.value(name);
            ASSERT_NE(ref.grid, nullptr) << row.name;
            EXPECT_EQ(ref.grid->objectName().toStdString(), row.parent);
            EXPECT_EQ(ref.grid->columnDef(ref.column).name, name);
            continue;
        }
        QWidget *w = made.widgets.value(name);
        ASSERT_NE(w, nullptr) << row.name;
        EXPECT_EQ(w->objectName(), name);
        EXPECT_TRUE(hasExpectedClass(row.widget, w, row.style))
                << row.name << " (" << row.widget << ") is a " << w->metaObject()->className();
        const std::string parent = row.parent.empty() ? "TAxDravik" : row.parent;
        if (row.widget == "page") {
            auto *tabs = made.get<QTabWidget>(QString::fromStdString(parent));
            ASSERT_NE(tabs, nullptr) << row.name;
            EXPECT_GE(tabs->indexOf(w), 0) << row.name;
            continue;
        }
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName().toStdString(), parent) << row.name;
        EXPECT_EQ(w->geometry(), QRect(row.left, row.top, row.width, row.height)) << row.name;
        EXPECT_EQ(w->isHidden(), !row.visible) << row.name;
    }
}

const char kFixture[]
        = "name,parent,widget,left,top,width,height,maxlen,caption,hint,handlers,visible,style\n"
          "cNVO,Sheet01,number,96,8,73,21,0,,,Change=cNVOChange,1,\n"
          "Tabs,,tabs,0,56,825,513,0,,,Change=TabsChange;Changing=TabsChanging,1,font=12\n"
          "Sheet01,Tabs,page,0,0,0,0,0,Véhicule,,,1,\n"
          "Sheet05,Tabs,page,0,0,0,0,0,Frevo,,,1,\n"
          "cDateEntree,Sheet01,date,96,40,100,21,0,,,Change=cDateEntreeChange;Exit=cDateEntreeExit,"
          "1,\n"
          "cOrigine,Sheet01,combolist,96,70,120,21,0,,,,1,listwidth=200\n"
          "cInfoCouleur,Sheet01,combo,96,100,120,21,20,,,Change=cInfoCouleurChange,1,\n"
          "cPrixVente,Sheet01,decimal,300,8,80,21,0,,,,1,\n"
          "cCommentaires,Sheet01,memo,300,40,200,60,250,,,,1,\n"
          "cCP,Sheet01,edit,300,110,60,21,5,75000,,,1,\n"
          "cFrevo,Sheet01,decimal,300,140,60,21,0,,,,1,enabled=0;align=right;text=0.00\n"
          "xcInfoNVO,,edit,8,2,73,31,0,,,,1,font=16;bg=15461355;align=center;enabled=0\n"
          "cInfoEquiInterieur,Sheet01,listbox,500,8,200,100,0,,,,1,\n"
          "czFeuilleMarge,Sheet01,button,500,120,120,25,0,Feuille de Marge,impression de la "
          "feuille "
          "de marge,Click=czFeuilleMargeClick,1,\n"
          "JvXPBtnSave,,picbutton,728,34,45,45,0,,enregistrement,Click=JvXPBtnSaveClick,1,\n"
          "LbIdTVO,,label,10,580,60,15,0,0,,,0,\n"
          "ngFrevo,Sheet05,grid,8,8,800,300,0,,,CellClick=ngFrevoCellClick,1,rowheight=18\n"
          "IconColumn,ngFrevo,gridcol,0,0,22,18,0,,,,1,type=image;default=0\n"
          "MontantHT,ngFrevo,gridcol,0,0,90,18,0,Montant HT,,,1,type=number\n"
          "TypeFrevo,ngFrevo,gridcol,0,0,80,0,0,Type,,,1,type=combolist;items=TypeFrevo;color=255\n"
          "cListImageVO,Sheet01,listview,10,300,300,100,0,,,,1,columns=Nom|Date\n"
          "ImageSplash,PanelSplash,image,10,10,100,100,0,,,,1,\n"
          "PanelSplash,,panel,16,16,793,545,0,,,,0,bg=16777215\n"
          "Shape1,Sheet01,shape,0,0,10,10,0,,,,0,\n"
          "idVO,,none,0,0,0,0,0,,,,1,\n";

} // namespace

TEST(DesignFactory, FixtureRowsGiveTheirControls)
{
    const auto rows = dravik::parseFormLayout(kFixture);
    checkLayout(rows);

    QWidget root;
    const DesignControls made = createDesignControls(&root, rows);
    EXPECT_FALSE(made.widgets.contains("idVO"));
    EXPECT_EQ(made.get<QTabWidget>("Tabs")->tabText(0), QString::fromUtf8("Véhicule"));
    EXPECT_EQ(made.get<QTabWidget>("Tabs")->font().pixelSize(), 12);
    EXPECT_EQ(made.get<ComboBox>("cOrigine")->listWidth(), 200);
    EXPECT_EQ(made.get<ComboBox>("cInfoCouleur")->maxLength(), 20);
    EXPECT_EQ(made.get<MemoEdit>("cCommentaires")->maxLength(), 250);
    EXPECT_EQ(made.get<QLineEdit>("cCP")->maxLength(), 5);
    EXPECT_EQ(made.get<QLineEdit>("cCP")->text(), "75000");
    EXPECT_EQ(made.get<NumberEdit>("cFrevo")->text(), "0.00");
    EXPECT_FALSE(made.get<NumberEdit>("cFrevo")->isEnabled());
    auto *header = made.get<HeaderEdit>("xcInfoNVO");
    EXPECT_FALSE(header->isEnabled());
    EXPECT_TRUE(header->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(header->palette().color(QPalette::Disabled, QPalette::Base), QColor(235, 235, 235));
    EXPECT_EQ(header->font().pixelSize(), 16);
    EXPECT_EQ(made.get<QPushButton>("czFeuilleMarge")->text(), "Feuille de Marge");
    EXPECT_EQ(made.get<QPushButton>("czFeuilleMarge")->toolTip(),
              "impression de la feuille de marge");
    EXPECT_EQ(made.get<PictureButton>("JvXPBtnSave")->picture(), PictureButton::Picture::Save);
    auto *grid = made.get<DataGrid>("ngFrevo");
    EXPECT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->columnDef(0).kind, DataGrid::ColumnKind::Image);
    EXPECT_EQ(grid->columnDef(0).defaultValue, "0");
    EXPECT_EQ(grid->columnDef(1).caption, "Montant HT");
    EXPECT_TRUE(grid->columnDef(2).listOnly);
    EXPECT_EQ(grid->columnDef(2).itemsList, "TypeFrevo");
    EXPECT_EQ(grid->columnDef(2).textColor, QColor(Qt::red));
    EXPECT_EQ(made.get<QTreeWidget>("cListImageVO")->columnCount(), 2);

    QStringList handlers;
    for (const HandlerBinding &h : made.handlers)
        handlers << h.controlName + "." + h.event + "=" + h.handler;
    EXPECT_EQ(handlers,
              (QStringList {
                      "cNVO.Change=cNVOChange", "Tabs.Change=TabsChange",
                      "Tabs.Changing=TabsChanging", "cDateEntree.Change=cDateEntreeChange",
                      "cDateEntree.Exit=cDateEntreeExit", "cInfoCouleur.Change=cInfoCouleurChange",
                      "czFeuilleMarge.Click=czFeuilleMargeClick",
                      "JvXPBtnSave.Click=JvXPBtnSaveClick", "ngFrevo.CellClick=ngFrevoCellClick"}));
    EXPECT_EQ(made.handlers.front().control, made.widgets.value("cNVO"));
}

TEST(DesignFactory, BadRowsAreReportedNotFatal)
{
    const auto rows = dravik::parseFormLayout(
            "name,parent,widget,left,top,width,height,maxlen,caption,hint,handlers,visible,style\n"
            "Odd,,spinner,5,6,7,8,0,,,,1,\n"
            "Lost,Nowhere,label,1,2,3,4,0,x,,,1,\n"
            "Twice,,label,0,0,1,1,0,,,,1,\n"
            "Twice,,edit,0,0,1,1,0,,,,1,\n"
            "Col,,gridcol,0,0,1,1,0,,,,1,\n"
            "G,,grid,0,0,100,100,0,,,,1,\n"
            "C2,G,gridcol,0,0,10,10,0,,,,1,type=slider\n"
            "Styled,,label,0,0,1,1,0,,,Click,1,glow=1\n"
            "A,B,panel,0,0,1,1,0,,,,1,\n"
            "B,A,panel,0,0,1,1,0,,,,1,\n");
    QWidget root;
    const DesignControls made = createDesignControls(&root, rows);
    EXPECT_EQ(made.widgets.value("Odd")->metaObject(), &QWidget::staticMetaObject);
    EXPECT_EQ(made.widgets.value("Odd")->geometry(), QRect(5, 6, 7, 8));
    EXPECT_EQ(made.widgets.value("Lost")->parentWidget(), &root);
    EXPECT_TRUE(made.get<QLabel>("Twice"));
    EXPECT_FALSE(made.gridColumns.contains("Col"));
    EXPECT_EQ(made.gridColumns.value("C2").grid->columnDef(0).kind, DataGrid::ColumnKind::Text);
    EXPECT_TRUE(made.widgets.contains("A") && made.widgets.contains("B")); // a parent cycle ends
    for (const char *word : {"Odd", "Lost", "Twice", "Col", "C2", "glow", "Click"})
        EXPECT_EQ(made.problems.filter(word).size(), 1) << word << "\n"
                                                        << qPrintable(made.problems.join('\n'));
}

TEST(DesignFactory, TheFormLayoutOfTheProgram)
{
    checkLayout(dravik::formLayout());
}
