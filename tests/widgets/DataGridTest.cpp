#include "ui/widgets/DataGrid.h"

#include "engine/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = DataGrid::ColumnKind;

DataGrid::Column column(const char *name, const char *caption, Kind kind, int width)
{
    DataGrid::Column c;
    c.name = QString::fromUtf8(name);
    c.caption = QString::fromUtf8(caption);
    c.kind = kind;
    c.width = width;
    return c;
}

struct CostsGrid
{
    DataGrid grid;
    QAbstractItemModelTester tester {grid.model(),
                                     QAbstractItemModelTester::FailureReportingMode::Fatal};

    CostsGrid()
    {
        DataGrid::Column icon = column("IconColumn", "", Kind::Image, 22);
        icon.defaultValue = "0";
        grid.addColumn(icon);
        DataGrid::Column label = column("LibelleFrevo", "Libellé", Kind::Text, 120);
        label.maxLength = 5;
        grid.addColumn(label);
        grid.addColumn(column("DateFrevo", "Date", Kind::Date, 116));
        DataGrid::Column type = column("TypeFrevo", "Type", Kind::Combo, 90);
        type.items = QStringList {"interne", "externe"};
        type.listOnly = true;
        grid.addColumn(type);
        grid.addColumn(column("MontantHT", "Montant HT", Kind::Number, 90));
        DataGrid::Column button = column("NxBtn7", "+7j", Kind::Button, 40);
        button.visible = false;
        grid.addColumn(button);
        grid.setRowHeights(18);
        grid.resize(600, 200);
    }

    void showActive()
    {
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    }

    // Opens the editor of a cell, types, and commits with Enter.
    void type(int row, int column, const QString &text)
    {
        grid.setCurrentCell(row, column);
        grid.edit(grid.model()->index(row, column));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        // The grid commits on Enter from the event loop, then drops the editor.
        const QPointer<QLineEdit> open(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }));
    }
};

} // namespace

TEST(DataGrid, ColumnsRowsAndValues)
{
    CostsGrid g;
    QSignalSpy changed(&g.grid, &DataGrid::valueChanged);
    EXPECT_EQ(g.grid.appendRow(), 0);
    EXPECT_EQ(g.grid.appendRow(), 1);
    EXPECT_EQ(changed.count(), 0); // adding rows is not a change of value
    EXPECT_EQ(g.grid.cellText(1, 0), "0");
    EXPECT_EQ(g.grid.columnIndex("MontantHT"), 4);
    EXPECT_EQ(g.grid.columnIndex("Absente"), -1);
    EXPECT_TRUE(g.grid.isColumnHidden(5));
    EXPECT_EQ(g.grid.rowHeight(1), 18);

    g.grid.setCellText(1, 4, "1234.5");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(changed.at(0).at(1).toInt(), 4);
    EXPECT_EQ(g.grid.cellText(1, 4), "1234.5");
    EXPECT_EQ(g.grid.shownText(1, 4), "1 234.50");
    g.grid.setCellTextColor(1, 4, Qt::red);
    g.grid.setCellHint(1, 0, "pour supprimer ce Frevo");
    EXPECT_EQ(changed.count(), 1); // colours and hints are not values

    g.grid.insertRowAt(0);
    EXPECT_EQ(g.grid.rowCount(), 3);
    EXPECT_EQ(g.grid.cellText(2, 4), "1234.5");
    g.grid.clearRows();
    EXPECT_EQ(g.grid.rowCount(), 0);

    // A fill is one new set of rows for the views, and no change of value.
    QSignalSpy reset(g.grid.model(), &QAbstractItemModel::modelReset);
    {
        DataGrid::Filling filling(g.grid);
        for (int r = 0; r < 3; ++r)
            g.grid.setCellText(g.grid.appendRow(), 4, QString::number(r * 1000));
    }
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    ASSERT_EQ(g.grid.rowCount(), 3);
    EXPECT_EQ(g.grid.shownText(2, 4), "2 000.00");
    EXPECT_EQ(g.grid.cellText(2, 0), "0");
}

TEST(DataGrid, EditableColumns)
{
    CostsGrid g;
    g.grid.appendRow();
    EXPECT_FALSE(g.grid.cellEditable(0, 0)); // glyph
    EXPECT_FALSE(g.grid.cellEditable(0, 5)); // button
    EXPECT_TRUE(g.grid.cellEditable(0, 1));
    g.grid.setColumnEnabled(1, false);
    EXPECT_FALSE(g.grid.cellEditable(0, 1));
    g.grid.appendRow();
    EXPECT_FALSE(g.grid.cellEditable(1, 1));
    g.grid.setColumnEnabled(1, true);
    EXPECT_TRUE(g.grid.cellEditable(1, 1));
}

TEST(DataGrid, EditingSignalsAndRefusal)
{
    CostsGrid g;
    g.grid.appendRow();
    g.showActive();
    QSignalSpy typed(&g.grid, &DataGrid::editTextChanged);
    QSignalSpy changed(&g.grid, &DataGrid::valueChanged);
    QSignalSpy ended(&g.grid, &DataGrid::afterEdit);
    QObject::connect(
            &g.grid, &DataGrid::editAccept,
            [](int, int, const QString &text, bool *accept) { *accept = text != "refus"; });

    g.type(0, 1, "Pneus");
    EXPECT_EQ(typed.count(), 5);
    EXPECT_EQ(typed.last().at(2).toString(), "Pneus");
    EXPECT_EQ(g.grid.cellText(0, 1), "Pneus");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(ended.count(), 1);

    g.type(0, 1, "refus");
    EXPECT_EQ(g.grid.cellText(0, 1), "Pneus");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(ended.count(), 2);

    g.type(0, 1, "abcdefgh");
    EXPECT_EQ(g.grid.cellText(0, 1), "abcde"); // the column's maximum length
}

TEST(DataGrid, BeforeSelectCanKeepTheRow)
{
    CostsGrid g;
    g.grid.appendRow();
    g.grid.appendRow();
    g.showActive();
    g.grid.setCurrentCell(0, 1);
    bool allow = false;
    QList<int> asked;
    QObject::connect(&g.grid, &DataGrid::beforeSelect, [&](int row, bool *accept) {
        asked << row;
        *accept = allow;
    });
    QTest::keyClick(g.grid.viewport(), Qt::Key_Down);
    EXPECT_EQ(g.grid.currentRow(), 0);
    const QPoint secondRow = g.grid.visualRect(g.grid.model()->index(1, 1)).center();
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, secondRow);
    EXPECT_EQ(g.grid.currentRow(), 0);
    QTest::keyClick(g.grid.viewport(), Qt::Key_Right); // same row: not asked
    EXPECT_EQ(asked, (QList<int> {1, 1}));

    allow = true;
    QSignalSpy clicked(&g.grid, &DataGrid::cellClicked);
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, secondRow);
    EXPECT_EQ(g.grid.currentRow(), 1);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(DataGrid, NumberMaskAndColumnKinds)
{
    const struct
    {
        const char *value, *shown;
    } cases[] = {{"", ""},
                 {"0", "0.00"},
                 {"1234567.891", "1 234 567.89"},
                 {"-1234", "-1 234.00"},
                 {"abc", "0.00"},
                 {"999", "999.00"}};
    for (const auto &c : cases)
        EXPECT_EQ(DataGrid::formatNumberMask(c.value), c.shown) << c.value;
    bool known = false;
    EXPECT_EQ(DataGrid::columnKindFromName("Image", &known), Kind::Image);
    EXPECT_TRUE(known);
    EXPECT_EQ(DataGrid::columnKindFromName("spinner", &known), Kind::Text);
    EXPECT_FALSE(known);
}

TEST(DataGrid, CellTextsCompareAsDatesNumbersOrWords)
{
    const struct
    {
        const char *a, *b;
        int sign;
    } cases[] = {
            {"02/03/2026", "15/01/2026", 1}, // dates by day, not by text
            {"9", "10", -1},
            {"1 234.50", "987", 1},
            {"dupont", "DUPONT", 0},
            {"Émile", "Fabre", -1},
            {"VO-Ps-12", "VO-Ps-9", -1}, // words are words
            {"", "A", 1},
    };
    for (const auto &c : cases) {
        const int by = DataGrid::compareCellTexts(QString::fromUtf8(c.a), QString::fromUtf8(c.b));
        EXPECT_EQ((by > 0) - (by < 0), c.sign) << c.a << " / " << c.b;
    }
}

TEST(DataGrid, HeaderClicksSortTheRowsAndTheCurrentRowFollows)
{
    CostsGrid g;
    g.grid.setUserSortable(true);
    for (const char *amount : {"30", "", "100", "4.5"})
        g.grid.setCellText(g.grid.appendRow(), 4, QLatin1String(amount));
    g.showActive();
    g.grid.setCurrentCell(2, 4); // "100"
    const auto amounts = [&g] {
        QStringList shown;
        for (int r = 0; r < g.grid.rowCount(); ++r)
            shown << g.grid.cellText(r, 4);
        return shown;
    };
    QHeaderView *header = g.grid.horizontalHeader();
    const QPoint onAmount(header->sectionViewportPosition(4) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onAmount);
    EXPECT_EQ(amounts(), (QStringList {"4.5", "30", "100", ""}));
    EXPECT_EQ(g.grid.cellText(g.grid.currentRow(), 4), "100");
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onAmount);
    EXPECT_EQ(amounts(), (QStringList {"100", "30", "4.5", ""}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(g.grid.currentRow(), 0);
}
