#include "ui/widgets/DesignFactory.h"

#include "engine/TextRules.h"
#include "ui/widgets/ComboBox.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/DateEdit.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/MemoEdit.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/NumberEdit.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QAbstractButton>
#include <QFrame>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <functional>
#include <map>

namespace {

using Style = QHash<QString, QString>;

Style parseStyle(const QString &text)
{
    Style style;
    for (const QString &pair : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? pair : pair.left(eq)).trimmed().toLower();
        if (!key.isEmpty())
            style.insert(key, eq < 0 ? QString() : pair.mid(eq + 1).trimmed());
    }
    return style;
}

bool styleFlag(const Style &style, const char *key, bool fallback)
{
    const auto it = style.find(QLatin1String(key));
    return it == style.end() ? fallback : it->trimmed() != QLatin1String("0");
}

QStringList styleList(const Style &style, const char *key)
{
    return style.value(QLatin1String(key)).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

struct Row
{
    const dravik::LayoutRow *layout;
    size_t order; // position in the layout
    QString name, parent, widget, caption, hint;
    Style style;
};

// Makes the widget of one row under parent; answers null when the row makes no widget.
using Maker = std::function<QWidget *(const Row &, QWidget *parent)>;

ComboBox *makeCombo(const Row &row, QWidget *parent, bool dropDownList)
{
    auto *box = new ComboBox(parent);
    box->setDropDownList(dropDownList);
    box->setListWidth(readInt(row.style.value(QStringLiteral("listwidth"))));
    return box;
}

const std::map<QString, Maker> &makers()
{
    static const std::map<QString, Maker> table = {
            {QStringLiteral("date"),
             [](const Row &, QWidget *p) {
                 return new DateEdit(p);
             }},
            {QStringLiteral("combolist"),
             [](const Row &r, QWidget *p) {
                 return makeCombo(r, p, true);
             }},
            {QStringLiteral("combo"),
             [](const Row &r, QWidget *p) {
                 return makeCombo(r, p, false);
             }},
            {QStringLiteral("number"),
             [](const Row &, QWidget *p) {
                 return new NumberEdit(false, p);
             }},
            {QStringLiteral("decimal"),
             [](const Row &, QWidget *p) {
                 return new NumberEdit(true, p);
             }},
            {QStringLiteral("memo"),
             [](const Row &r, QWidget *p) {
                 auto *memo = new MemoEdit(p);
                 memo->setReadOnly(styleFlag(r.style, "readonly", false));
                 memo->setLineWrapMode(styleFlag(r.style, "wordwrap", true)
                                               ? QPlainTextEdit::WidgetWidth
                                               : QPlainTextEdit::NoWrap);
                 return memo;
             }},
            {QStringLiteral("edit"),
             [](const Row &r, QWidget *p) -> QWidget * {
                 if (!styleFlag(r.style, "enabled", true))
                     return new HeaderEdit(p);
                 auto *edit = new QLineEdit(p);
                 edit->setReadOnly(styleFlag(r.style, "readonly", false));
                 return edit;
             }},
            {QStringLiteral("listbox"),
             [](const Row &, QWidget *p) {
                 return new MultiListBox(p);
             }},
            {QStringLiteral("button"),
             [](const Row &r, QWidget *p) {
                 return new QPushButton(r.caption, p);
             }},
            {QStringLiteral("picbutton"),
             [](const Row &r, QWidget *p) {
                 auto *button = new PictureButton(p);
                 button->setPicture(PictureButton::pictureForName(r.name));
                 button->setCaption(r.caption);
                 return button;
             }},
            {QStringLiteral("label"),
             [](const Row &r, QWidget *p) {
                 auto *label = new QLabel(r.caption, p);
                 label->setWordWrap(styleFlag(r.style, "wordwrap", false));
                 return label;
             }},
            {QStringLiteral("image"),
             [](const Row &, QWidget *p) {
                 auto *image = new QLabel(p);
                 image->setScaledContents(true);
                 image->setAlignment(Qt::AlignCenter);
                 return image;
             }},
            {QStringLiteral("grid"),
             [](const Row &r, QWidget *p) {
                 auto *grid = new DataGrid(p);
                 if (const int h = readInt(r.style.value(QStringLiteral("rowheight"))); h > 0)
                     grid->setRowHeights(h);
                 grid->setHeaderVisible(styleFlag(r.style, "header", true));
                 grid->setReadOnly(styleFlag(r.style, "readonly", false));
                 grid->setRowSelect(styleFlag(r.style, "rowselect", false));
                 grid->setShowGrid(styleFlag(r.style, "gridlines", true));
                 grid->setUserSortable(styleFlag(r.style, "sortable", false));
                 return grid;
             }},
            {QStringLiteral("listview"),
             [](const Row &r, QWidget *p) {
                 auto *view = new QTreeWidget(p);
                 view->setRootIsDecorated(false);
                 const QStringList columns = styleList(r.style, "columns");
                 view->setColumnCount(std::max<int>(1, int(columns.size())));
                 view->setHeaderLabels(columns);
                 view->setHeaderHidden(columns.isEmpty());
                 return view;
             }},
            {QStringLiteral("panel"),
             [](const Row &, QWidget *p) {
                 auto *panel = new QFrame(p);
                 panel->setFrameShape(QFrame::StyledPanel);
                 return panel;
             }},
            {QStringLiteral("shape"),
             [](const Row &, QWidget *p) {
                 auto *shape = new QFrame(p);
                 shape->setFrameShape(QFrame::Box);
                 shape->setLineWidth(2);
                 return shape;
             }},
            {QStringLiteral("tabs"),
             [](const Row &, QWidget *p) {
                 return new QTabWidget(p);
             }},
    };
    return table;
}

// Style keys the factory applies, and keys of the form that need nothing here (hints are always
// shown, list boxes are always multi-select, combo boxes always complete, number cells are
// always blank when empty with two decimals).
const QStringList kStyleKeys = {
        QStringLiteral("font"),         QStringLiteral("bold"),
        QStringLiteral("bg"),           QStringLiteral("color"),
        QStringLiteral("align"),        QStringLiteral("valign"),
        QStringLiteral("enabled"),      QStringLiteral("readonly"),
        QStringLiteral("wordwrap"),     QStringLiteral("text"),
        QStringLiteral("cursor"),       QStringLiteral("listwidth"),
        QStringLiteral("rowheight"),    QStringLiteral("header"),
        QStringLiteral("rowselect"),    QStringLiteral("gridlines"),
        QStringLiteral("slides"),       QStringLiteral("slidesize"),
        QStringLiteral("type"),         QStringLiteral("default"),
        QStringLiteral("items"),        QStringLiteral("completion"),
        QStringLiteral("dropdownrows"), QStringLiteral("fixed"),
        QStringLiteral("slide"),        QStringLiteral("columns"),
        QStringLiteral("stretch"),      QStringLiteral("pen"),
        QStringLiteral("shape"),        QStringLiteral("border"),
        QStringLiteral("showhint"),     QStringLiteral("multiline"),
        QStringLiteral("multiselect"),  QStringLiteral("proportional"),
        QStringLiteral("report"),       QStringLiteral("hideselection"),
        QStringLiteral("wantkeys"),     QStringLiteral("autocomplete"),
        QStringLiteral("autosize"),     QStringLiteral("blankempty"),
        QStringLiteral("decimals"),     QStringLiteral("mask"),
        QStringLiteral("listonly"),     QStringLiteral("sortable"),
};

QColor styleColor(const Style &style, const char *key)
{
    const auto it = style.find(QLatin1String(key));
    return it == style.end() ? QColor() : colorFromTColor(readInt(*it, -1));
}

Qt::Alignment styleAlignment(const Style &style)
{
    const QString align = style.value(QStringLiteral("align")).toLower();
    Qt::Alignment a;
    if (align == QLatin1String("center"))
        a = Qt::AlignHCenter;
    else if (align == QLatin1String("right"))
        a = Qt::AlignRight;
    else if (align == QLatin1String("left"))
        a = Qt::AlignLeft;
    if (style.value(QStringLiteral("valign")).toLower() == QLatin1String("top"))
        a |= Qt::AlignTop;
    return a;
}

void applyStyle(QWidget *w, const Row &row)
{
    const Style &s = row.style;
    if (const int px = readInt(s.value(QStringLiteral("font"))); px > 0) {
        QFont font = w->font();
        font.setPixelSize(px);
        w->setFont(font);
    }
    if (styleFlag(s, "bold", false)) {
        QFont font = w->font();
        font.setBold(true);
        w->setFont(font);
    }
    const QColor bg = styleColor(s, "bg");
    const QColor fg = styleColor(s, "color");
    if (auto *header = qobject_cast<HeaderEdit *>(w)) {
        header->setColors(bg, fg);
    } else {
        setControlBackground(w, bg);
        setControlTextColor(w, fg);
    }
    if (const Qt::Alignment h = styleAlignment(s) & Qt::AlignHorizontal_Mask) {
        if (auto *label = qobject_cast<QLabel *>(w))
            label->setAlignment(h | Qt::AlignVCenter);
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->setAlignment(h | Qt::AlignVCenter);
    }
    if (s.value(QStringLiteral("cursor")).toLower() == QLatin1String("hand"))
        w->setCursor(Qt::PointingHandCursor);
    if (!styleFlag(s, "enabled", true))
        w->setEnabled(false);
    // An edit's caption, or the style's text, is its first text.
    const QString first
            = s.contains(QStringLiteral("text")) ? s.value(QStringLiteral("text")) : row.caption;
    if (!first.isEmpty() && !qobject_cast<QLabel *>(w) && !qobject_cast<QAbstractButton *>(w))
        setControlText(w, first);
}

void addGridColumn(const Row &row, DataGrid *grid, DesignControls &out)
{
    const Style &s = row.style;
    DataGrid::Column c;
    c.name = row.name;
    c.caption = row.caption;
    bool known = true;
    c.kind = DataGrid::columnKindFromName(s.value(QStringLiteral("type"), QStringLiteral("text")),
                                          &known, &c.listOnly);
    if (!known)
        out.problems << QStringLiteral("%1 : type de colonne inconnu « %2 », colonne texte")
                                .arg(row.name, s.value(QStringLiteral("type")));
    if (styleFlag(s, "listonly", false))
        c.listOnly = true;
    c.width = row.layout->width;
    c.visible = row.layout->visible && row.layout->width > 0;
    c.enabled = styleFlag(s, "enabled", true) && !styleFlag(s, "readonly", false);
    c.maxLength = row.layout->maxlen;
    c.itemsList = s.value(QStringLiteral("items"));
    c.completionList = s.value(QStringLiteral("completion"));
    c.listWidth = readInt(s.value(QStringLiteral("listwidth")));
    c.dropDownRows = readInt(s.value(QStringLiteral("dropdownrows")));
    c.defaultValue = s.value(QStringLiteral("default"));
    c.textColor = styleColor(s, "color");
    c.background = styleColor(s, "bg");
    c.alignment = styleAlignment(s);
    c.fixedWidth = styleFlag(s, "fixed", false);
    c.wordWrap = styleFlag(s, "wordwrap", false);
    if (styleFlag(s, "slide", false))
        c.slide = QRect(row.layout->left, row.layout->top, row.layout->width, row.layout->height);
    out.gridColumns.insert(row.name, {grid, grid->addColumn(c)});
}

using Bindings = std::map<size_t, std::vector<HandlerBinding>>;

// Makes one row under its parent; answers false when the parent is not made yet.
bool makeRow(const Row &row, QWidget *root, DesignControls &out, Bindings &bindings, bool lastPass)
{
    QWidget *parent = row.parent.isEmpty() || row.parent == root->objectName()
            ? root
            : out.widgets.value(row.parent);
    if (!parent) {
        if (!lastPass)
            return false;
        out.problems << QStringLiteral("%1 : parent « %2 » introuvable, placé sur la fenêtre")
                                .arg(row.name, row.parent);
        parent = root;
    }
    if (out.widgets.contains(row.name) || out.gridColumns.contains(row.name)) {
        out.problems << QStringLiteral("%1 : nom en double, ligne ignorée").arg(row.name);
        return true;
    }
    for (const QString &key : row.style.keys()) {
        if (!kStyleKeys.contains(key))
            out.problems << QStringLiteral("%1 : clé de style inconnue « %2 »").arg(row.name, key);
    }

    QWidget *made = nullptr;
    if (row.widget == QLatin1String("gridcol")) {
        auto *grid = qobject_cast<DataGrid *>(parent);
        if (!grid) {
            out.problems << QStringLiteral("%1 : colonne hors d'une grille").arg(row.name);
            return true;
        }
        addGridColumn(row, grid, out);
        made = grid;
    } else if (row.widget == QLatin1String("page")) {
        auto *page = new QWidget(parent);
        page->setObjectName(row.name);
        if (auto *tabs = qobject_cast<QTabWidget *>(parent))
            tabs->addTab(page, row.caption);
        else
            page->setGeometry(row.layout->left, row.layout->top, row.layout->width,
                              row.layout->height);
        applyStyle(page, row);
        out.widgets.insert(row.name, page);
        made = page;
    } else {
        const auto it = makers().find(row.widget);
        if (it == makers().end()) {
            out.problems << QStringLiteral("%1 : genre de contrôle inconnu « %2 », QWidget vide")
                                    .arg(row.name, row.widget);
            made = new QWidget(parent);
        } else {
            made = it->second(row, parent);
        }
        made->setObjectName(row.name);
        made->setGeometry(row.layout->left, row.layout->top, row.layout->width, row.layout->height);
        if (!row.hint.isEmpty())
            made->setToolTip(row.hint);
        if (row.layout->maxlen > 0)
            setControlMaxLength(made, row.layout->maxlen);
        applyStyle(made, row);
        made->setVisible(row.layout->visible);
        out.widgets.insert(row.name, made);
    }

    for (const QString &pair :
         text(row.layout->handlers).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0 || eq == pair.size() - 1) {
            out.problems
                    << QStringLiteral("%1 : gestionnaire mal écrit « %2 »").arg(row.name, pair);
            continue;
        }
        bindings[row.order].push_back(
                {made, row.name, pair.left(eq).trimmed(), pair.mid(eq + 1).trimmed()});
    }
    return true;
}

} // namespace

DesignControls createDesignControls(QWidget *root, const std::vector<dravik::LayoutRow> &rows)
{
    DesignControls out;
    std::vector<Row> pending;
    for (const dravik::LayoutRow &r : rows) {
        Row row {&r,
                 pending.size(),
                 text(r.name),
                 text(r.parent),
                 text(r.widget).trimmed().toLower(),
                 text(r.caption),
                 text(r.hint),
                 parseStyle(text(r.style))};
        if (row.widget == QLatin1String("none") || row.name.isEmpty())
            continue;
        pending.push_back(std::move(row));
    }
    // Parents may come after their children in the file: place what can be placed until
    // nothing moves, then put the rest on root.
    Bindings bindings;
    bool lastPass = false;
    while (!pending.empty()) {
        std::vector<Row> waiting;
        for (const Row &row : pending) {
            if (!makeRow(row, root, out, bindings, lastPass))
                waiting.push_back(row);
        }
        lastPass = waiting.size() == pending.size();
        pending = std::move(waiting);
    }
    for (auto &[order, list] : bindings)
        out.handlers.insert(out.handlers.end(), list.begin(), list.end());
    return out;
}
