// Event handlers by name: the one table from a handler name of the form layout (or of the
// field set-up) to the member that runs it, and the wiring of a control's event to it. A
// control holds at most one handler per event; assigning another one replaces it.
#include "ui/TAxDravik.h"

#include "editing/FieldReactions.h"

#include "ui/widgets/DataGrid.h"
#include "ui/widgets/DesignFactory.h"
#include "ui/widgets/MultiListBox.h"
#include "ui/widgets/TextControl.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QTabWidget>
#include <QTreeWidget>

#include <exception>
#include <functional>

namespace {

using SenderHandler = void (TAxDravik::*)(QWidget *);
using KeyHandler = void (TAxDravik::*)(QWidget *, KeyArgs &);
using GridHandler = void (TAxDravik::*)(QWidget *, GridArgs &);
using ChangingHandler = void (TAxDravik::*)(QWidget *, bool &);
struct Reaction
{
    const FieldReaction *row;
};
using Handler = std::variant<SenderHandler, KeyHandler, GridHandler, ChangingHandler, Reaction>;

// The member of the same name.
#define DRAVIK_HANDLER(name)                                                                       \
    {                                                                                              \
        QStringLiteral(#name), &TAxDravik::name                                                    \
    }

const QHash<QString, Handler> &registry()
{
    static const QHash<QString, Handler> table = [] {
        QHash<QString, Handler> t = {
                // Field set-up: lists, edits, keys.
                DRAVIK_HANDLER(EditChange),
                DRAVIK_HANDLER(CBoxChange),
                DRAVIK_HANDLER(CBoxEnter),
                DRAVIK_HANDLER(CBoxExit),
                DRAVIK_HANDLER(CBoxKeyDown),
                DRAVIK_HANDLER(cBoxKeyUp),
                DRAVIK_HANDLER(GoOnKeyPress),
                DRAVIK_HANDLER(LBoxChange),
                DRAVIK_HANDLER(czVDOptionsClick),
                DRAVIK_HANDLER(czVNOptionsClick),
                DRAVIK_HANDLER(cVDInfoOptionsEnter),
                DRAVIK_HANDLER(cVDInfoOptionsExit),
                DRAVIK_HANDLER(cVNInfoOptionsEnter),
                DRAVIK_HANDLER(cVNInfoOptionsExit),
                // Record commands and pages.
                DRAVIK_HANDLER(TabsChange),
                DRAVIK_HANDLER(TabsChanging),
                DRAVIK_HANDLER(JvXPBtnNewVOClick),
                DRAVIK_HANDLER(JvXPBtnSupprClick),
                DRAVIK_HANDLER(JvXPBtnSweepClick),
                DRAVIK_HANDLER(JvXPBtnSaveClick),
                DRAVIK_HANDLER(JvXPBtnActualizeClick),
                DRAVIK_HANDLER(cVNControlChange),
                // Date checks.
                DRAVIK_HANDLER(cDateEntreeExit),
                DRAVIK_HANDLER(cDateOrdreExit),
                DRAVIK_HANDLER(cMECExit),
                DRAVIK_HANDLER(cDateValidationGarantieExit),
                DRAVIK_HANDLER(cDateDisponibiliteExit),
                DRAVIK_HANDLER(cDateLivraisonExit),
                DRAVIK_HANDLER(cDatePresFinancementExit),
                DRAVIK_HANDLER(cDatePaiementExit),
                DRAVIK_HANDLER(cVDMECExit),
                DRAVIK_HANDLER(cVNDateOrdreExit),
                DRAVIK_HANDLER(cVNDateAnnulationExit),
                DRAVIK_HANDLER(cVNDateDisponibiliteExit),
                DRAVIK_HANDLER(cVNDateLivraisonExit),
                DRAVIK_HANDLER(cVNDatePresFinancementExit),
                DRAVIK_HANDLER(cVNDatePaiementExit),
                DRAVIK_HANDLER(cVNMECExit),
                DRAVIK_HANDLER(cVNDateLivrMaxiExit),
                DRAVIK_HANDLER(vDateOrdreExit),
                DRAVIK_HANDLER(vMECExit),
                DRAVIK_HANDLER(vDateLastSAVExit),
                DRAVIK_HANDLER(vDateNextSAVExit),
                DRAVIK_HANDLER(vDateFinGarantieExit),
                DRAVIK_HANDLER(vDateFinFinancementExit),
                DRAVIK_HANDLER(aCliDateNaissanceExit),
                // Grids.
                DRAVIK_HANDLER(ngFrevoAfterEdit),
                DRAVIK_HANDLER(ngFrevoBeforeSelect),
                DRAVIK_HANDLER(ngFrevoCellClick),
                DRAVIK_HANDLER(ngFrevoCellFormating),
                DRAVIK_HANDLER(ngFrevoChange),
                DRAVIK_HANDLER(ngFrevoEdit),
                DRAVIK_HANDLER(ngFrevoEditAccept),
                DRAVIK_HANDLER(JvXPBtnNewActionClick),
                DRAVIK_HANDLER(ngActionAfterEdit),
                DRAVIK_HANDLER(ngActionBeforeSelect),
                DRAVIK_HANDLER(ngActionCellClick),
                DRAVIK_HANDLER(ngActionCellFormating),
                DRAVIK_HANDLER(ngActionChange),
                DRAVIK_HANDLER(ngActionEdit),
                DRAVIK_HANDLER(ngActionEditAccept),
                DRAVIK_HANDLER(ngActionKeyPress),
                DRAVIK_HANDLER(JvXPBtnNewVehicleClick),
                DRAVIK_HANDLER(ngVehiclesBeforeSelect),
                DRAVIK_HANDLER(ngVehiclesCellClick),
                DRAVIK_HANDLER(ngVehiclesSelectCell),
                // Computations.
                DRAVIK_HANDLER(LbPanelComptaClick),
                // Search, duplicates, identity.
                DRAVIK_HANDLER(JvXPBtnSearchClick),
                DRAVIK_HANDLER(JvXPBtnSearchPlusClick),
                DRAVIK_HANDLER(JvXPNextClick),
                DRAVIK_HANDLER(JvXPPrevClick),
                DRAVIK_HANDLER(LbSearchClick),
                DRAVIK_HANDLER(TSLbNVOClick),
                DRAVIK_HANDLER(TSLbImmatClick),
                DRAVIK_HANDLER(TSLbClientClick),
                DRAVIK_HANDLER(TSLbTelephoneClick),
                DRAVIK_HANDLER(TSLbMobileClick),
                DRAVIK_HANDLER(TSVClick),
                DRAVIK_HANDLER(ncbSearchChange),
                DRAVIK_HANDLER(ncbSiteChange),
                DRAVIK_HANDLER(ncbTypeVOChange),
                DRAVIK_HANDLER(ngSearchCellClick),
                DRAVIK_HANDLER(ngSearchCellFormating),
                DRAVIK_HANDLER(ngSearchMouseMove),
                DRAVIK_HANDLER(ncbSearchKeyDown),
                DRAVIK_HANDLER(ngSearchKeyDown),
                DRAVIK_HANDLER(DblNomClick),
                DRAVIK_HANDLER(DblIdentClick),
                DRAVIK_HANDLER(DblMobileClick),
                DRAVIK_HANDLER(DblTelDomClick),
                DRAVIK_HANDLER(aCliNomDblClick),
                DRAVIK_HANDLER(aCliPrenomDblClick),
                DRAVIK_HANDLER(aCliMobileDblClick),
                DRAVIK_HANDLER(aCliTelDomDblClick),
                DRAVIK_HANDLER(aCliNomKeyPress),
                DRAVIK_HANDLER(aCliPrenomKeyPress),
                DRAVIK_HANDLER(aCliAdresse1KeyPress),
                DRAVIK_HANDLER(aCliAdresse2KeyPress),
                DRAVIK_HANDLER(aCliVilleKeyPress),
                DRAVIK_HANDLER(vInfoVersionKeyPress),
                DRAVIK_HANDLER(vInfoTypeVersionKeyPress),
                DRAVIK_HANDLER(aCliMobileKeyPress),
                DRAVIK_HANDLER(aCliTelDomKeyPress),
                DRAVIK_HANDLER(aCliTelBurKeyPress),
                DRAVIK_HANDLER(vImmatriculationKeyPress),
                DRAVIK_HANDLER(cImmatriculationKeyPress),
                DRAVIK_HANDLER(cVDImmatriculationKeyPress),
                DRAVIK_HANDLER(cVNImmatriculationKeyPress),
                // Photos.
                DRAVIK_HANDLER(cListImageSourceSelectItem),
                DRAVIK_HANDLER(cListImageVOSelectItem),
                DRAVIK_HANDLER(czCmdAssociateImageClick),
                DRAVIK_HANDLER(czCmdAssociateImageBlurClick),
                DRAVIK_HANDLER(czCmdRefreshListImageClick),
                DRAVIK_HANDLER(czCmdSelPathListImageClick),
                DRAVIK_HANDLER(czCmdDefaultImageVOClick),
                DRAVIK_HANDLER(czCmdDeleteImageVOClick),
                // Reports and messages.
                DRAVIK_HANDLER(JvXPBtnPrintClick),
                DRAVIK_HANDLER(czFeuilleMargeClick),
                DRAVIK_HANDLER(JvXPBtnSMSClick),
        };
        // Names that stand for a row of the reaction table: the row carries the whole duty.
        for (const QString &name : reactionHandlerNames())
            t.insert(name, Reaction {fieldReaction(name)});
        return t;
    }();
    return table;
}

#undef DRAVIK_HANDLER

using Connections = QList<QMetaObject::Connection>;

// The handler each event of a control runs, kept by the control itself so that it goes with
// it.
class AssignedHandlers : public QObject
{
public:
    struct Slot
    {
        QString handler;
        Connections connections;
    };

    static AssignedHandlers *find(const QWidget *control)
    {
        return dynamic_cast<AssignedHandlers *>(
                control->findChild<QObject *>(name(), Qt::FindDirectChildrenOnly));
    }
    static AssignedHandlers *of(QWidget *control)
    {
        if (AssignedHandlers *existing = find(control))
            return existing;
        auto *made = new AssignedHandlers;
        made->setObjectName(name());
        made->setParent(control);
        return made;
    }

    QHash<QString, Slot> byEvent;

private:
    static QString name() { return QStringLiteral("AssignedHandlers"); }
};

GridArgs cellArgs(int row, int col = -1, const QString &text = QString())
{
    GridArgs args;
    args.Row = row;
    args.Col = col;
    args.Text = text;
    return args;
}

// The one place a handler runs from an event: what it throws ends there, traced with its name
// and shown in the red warning band.
template<typename F>
void guarded(TAxDravik *w, const QString &handler, F &&run)
{
    try {
        run();
    } catch (const std::exception &error) {
        w->HandlerFailed(handler, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        w->HandlerFailed(handler, QString());
    }
}

// Where the signals of ControlEvents come from, and the control as the handlers see it.
Connections connectSender(TAxDravik *w, QWidget *control, const QString &event,
                          const QString &handler, std::function<void(QWidget *)> body)
{
    const auto call = [w, control, handler, body] {
        guarded(w, handler, [&] { body(control); });
    };
    ControlEvents *events = ControlEvents::of(control);
    if (event == QLatin1String("Enter"))
        return {QObject::connect(events, &ControlEvents::entered, w, call)};
    if (event == QLatin1String("Exit"))
        return {QObject::connect(events, &ControlEvents::exited, w, call)};
    if (event == QLatin1String("DblClick"))
        return {QObject::connect(events, &ControlEvents::doubleClicked, w, call)};
    if (event == QLatin1String("Click")) {
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            return {QObject::connect(button, &QAbstractButton::clicked, w, call)};
        if (auto *list = qobject_cast<MultiListBox *>(control))
            return {QObject::connect(list, &MultiListBox::clicked, w, call)};
        return {QObject::connect(events, &ControlEvents::clicked, w, call)};
    }
    if (event == QLatin1String("Change")) {
        if (auto *tabs = qobject_cast<QTabWidget *>(control))
            return {QObject::connect(tabs, &QTabWidget::currentChanged, w, call)};
        if (const auto c = connectTextChanged(control, w, call))
            return {c};
        return {};
    }
    if (event == QLatin1String("SelectItem")) {
        if (auto *view = qobject_cast<QTreeWidget *>(control))
            return {QObject::connect(view, &QTreeWidget::currentItemChanged, w, call)};
    }
    return {};
}

Connections connectKey(TAxDravik *w, QWidget *control, const QString &event, const QString &handler,
                       KeyHandler m)
{
    const auto call = [w, control, handler, m](KeyArgs *args) {
        guarded(w, handler, [&] { (w->*m)(control, *args); });
    };
    ControlEvents *events = ControlEvents::of(control);
    if (event == QLatin1String("KeyDown"))
        return {QObject::connect(events, &ControlEvents::keyDown, w, call)};
    if (event == QLatin1String("KeyPress"))
        return {QObject::connect(events, &ControlEvents::keyPress, w, call)};
    if (event == QLatin1String("KeyUp"))
        return {QObject::connect(events, &ControlEvents::keyUp, w, call)};
    return {};
}

Connections connectGrid(TAxDravik *w, QWidget *control, const QString &event,
                        const QString &handler, GridHandler m)
{
    auto *grid = qobject_cast<DataGrid *>(control);
    if (!grid)
        return {};
    const auto run = [w, control, handler, m](GridArgs &args) {
        guarded(w, handler, [&] { (w->*m)(control, args); });
    };
    const auto cell = [run](int row, int col) {
        GridArgs args = cellArgs(row, col);
        run(args);
    };
    if (event == QLatin1String("Change"))
        return {QObject::connect(grid, &DataGrid::valueChanged, w, cell)};
    if (event == QLatin1String("CellClick"))
        return {QObject::connect(grid, &DataGrid::cellClicked, w, cell)};
    if (event == QLatin1String("AfterEdit"))
        return {QObject::connect(grid, &DataGrid::afterEdit, w, cell)};
    if (event == QLatin1String("SelectCell"))
        return {QObject::connect(grid, &DataGrid::currentCellChanged, w, cell)};
    if (event == QLatin1String("BeforeSelect"))
        return {QObject::connect(grid, &DataGrid::beforeSelect, w, [run](int row, bool *accept) {
            GridArgs args = cellArgs(row);
            run(args);
            *accept = args.Accept;
        })};
    if (event == QLatin1String("Edit"))
        return {QObject::connect(grid, &DataGrid::editTextChanged, w,
                                 [run](int row, int col, const QString &text) {
                                     GridArgs args = cellArgs(row, col, text);
                                     run(args);
                                 })};
    if (event == QLatin1String("EditAccept"))
        return {QObject::connect(grid, &DataGrid::editAccept, w,
                                 [run](int row, int col, const QString &text, bool *accept) {
                                     GridArgs args = cellArgs(row, col, text);
                                     run(args);
                                     *accept = args.Accept;
                                 })};
    if (event == QLatin1String("MouseMove")) {
        grid->viewport()->setMouseTracking(true);
        return {QObject::connect(ControlEvents::of(grid), &ControlEvents::mouseMoved, w,
                                 [run](const QPoint &pos) {
                                     GridArgs args;
                                     args.Pos = pos;
                                     run(args);
                                 })};
    }
    if (event == QLatin1String("CellFormating")) {
        // A function, not a signal: the connection returned only marks the assignment.
        grid->setCellFormatting([run](int row, int col) {
            GridArgs args = cellArgs(row, col);
            run(args);
            return args.Color;
        });
        return {QMetaObject::Connection()};
    }
    return {};
}

} // namespace

void TAxDravik::HandlerFailed(const QString &handler, const QString &error)
{
    TraceLog(QStringLiteral("Erreur dans ") + handler + QStringLiteral(" : ") + error);
    SetWarning(QStringLiteral("Erreur dans ") + handler
               + (error.isEmpty() ? QString() : QStringLiteral(" : ") + error));
}

QStringList TAxDravik::HandlerNames()
{
    QStringList names = registry().keys();
    names.sort();
    return names;
}

bool TAxDravik::AssignHandler(QWidget *control, const QString &event, const QString &handler)
{
    if (!control)
        return false;
    const auto it = registry().constFind(handler);
    if (it == registry().constEnd())
        return false;
    // Set-up assigns the same handlers at every load: the connection made before stands.
    if (const AssignedHandlers *assigned = AssignedHandlers::find(control)) {
        const auto same = assigned->byEvent.constFind(event);
        if (same != assigned->byEvent.constEnd() && same->handler == handler)
            return true;
    }
    Connections made;
    if (auto m = std::get_if<SenderHandler>(&*it)) {
        const SenderHandler member = *m;
        made = connectSender(this, control, event, handler,
                             [this, member](QWidget *sender) { (this->*member)(sender); });
    } else if (auto r = std::get_if<Reaction>(&*it)) {
        const FieldReaction *row = r->row;
        made = connectSender(this, control, event, handler,
                             [this, row](QWidget *sender) { React(sender, *row); });
    } else if (auto k = std::get_if<KeyHandler>(&*it)) {
        made = connectKey(this, control, event, handler, *k);
    } else if (auto g = std::get_if<GridHandler>(&*it)) {
        made = connectGrid(this, control, event, handler, *g);
    } else if (std::holds_alternative<ChangingHandler>(*it) && event == QLatin1String("Changing")
               && qobject_cast<QTabWidget *>(control))
        made = {QMetaObject::Connection()}; // asked by TabChangeAllowed()
    if (made.isEmpty())
        return false;

    AssignedHandlers::Slot &slot = AssignedHandlers::of(control)->byEvent[event];
    for (const QMetaObject::Connection &c : std::as_const(slot.connections))
        QObject::disconnect(c);
    slot = {handler, made};
    return true;
}

QString TAxDravik::HandlerOf(const QWidget *control, const QString &event) const
{
    const AssignedHandlers *assigned = control ? AssignedHandlers::find(control) : nullptr;
    return assigned ? assigned->byEvent.value(event).handler : QString();
}

QStringList TAxDravik::WireDesignHandlers(const std::vector<HandlerBinding> &bindings)
{
    QStringList problems;
    for (const HandlerBinding &b : bindings) {
        if (!registry().contains(b.handler))
            problems << QStringLiteral("%1 : gestionnaire inconnu « %2 »")
                                .arg(b.controlName, b.handler);
        else if (!AssignHandler(b.control, b.event, b.handler))
            problems << QStringLiteral("%1 : « %2 » ne convient pas à l'événement %3")
                                .arg(b.controlName, b.handler, b.event);
    }
    return problems;
}

bool TAxDravik::TabChangeAllowed()
{
    const auto it = registry().constFind(HandlerOf(Tabs, QStringLiteral("Changing")));
    if (it == registry().constEnd())
        return true;
    bool allow = true;
    if (auto m = std::get_if<ChangingHandler>(&*it))
        guarded(this, it.key(), [&] { (this->*(*m))(Tabs, allow); });
    return allow;
}
