// Customer vehicles grid: picks the vehicle whose details the tab shows, deletes one, starts a
// new one. The details themselves are described fields of the tab, saved with it.
#include "ui/TAxDravik.h"

#include "engine/RecordDocument.h"
#include "engine/TextRules.h"
#include "gateway/ResponseFiles.h"
#include "grids/GridGlyphs.h"
#include "grids/GridTexts.h"
#include "ui/widgets/DataGrid.h"
#include "ui/widgets/PictureButton.h"
#include "ui/widgets/TextControl.h"

#include <QLabel>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace {

constexpr int kIdColumn = 1;
constexpr int kPlateColumn = 2;
constexpr int kVehicleColumn = 3;

} // namespace

void TAxDravik::LoadInfoVehicle()
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngVehicles"));
    JvXPBtnNewVehicle->show();
    JvXPBtnNewVehicle->setEnabled(RightClarim && readInt(LbIDCustomer->text()) > 0);
    if (!grid)
        return;
    TXml list = selectElement(CustomerDoc, u"TVehS");
    // The whole list is copied into the line only when someone reads the trace.
    if (FlagTrace)
        TraceLog(QStringLiteral("TVehS : ") + list.Rest());
    const bool wasLoading = FlagLoading;
    FlagLoading = true;
    {
        const QSignalBlocker quiet(grid);
        {
            DataGrid::Filling filling(*grid);
            grid->clearRows();
            while (!FlagNewEnreg && XmlNext(list, u"TVeh")) {
                const XmlItemIndex item(list);
                const int r = grid->appendRow();
                grid->setCellText(r, kIdColumn, item.text(u"idtVO"));
                grid->setCellText(r, kPlateColumn, DecodeEntities(item.text(u"Immatriculation")));
                grid->setCellText(r, kVehicleColumn,
                                  DecodeEntities(item.text(u"InfoMarque") + QLatin1Char(' ')
                                                 + item.text(u"InfoModele") + QLatin1Char(' ')
                                                 + item.text(u"InfoVersion")));
                grid->setCellText(r, 0, RightClarim ? GridGlyph::Delete : GridGlyph::None);
                grid->setCellHint(r, 0, RightClarim ? GridText::DeleteVehicleHint : QString());
            }
        }
        if (grid->rowCount() > 0)
            grid->setCurrentCell(0, kIdColumn);
    }
    FlagLoading = wasLoading;
    // After the save of a new vehicle the details were refilled as for a new one: they follow
    // the row selected now.
    if (VehicleFound < 0 && !FlagNewVehicle && grid->rowCount() > 0) {
        VehicleIndex = 0;
        UpdateTabDesc(0, 0);
    }
}

void TAxDravik::ngVehiclesBeforeSelect(QWidget *, GridArgs &Args)
{
    for (const char *name : {"vInfoMarque", "vInfoModele"}) {
        QWidget *field = Control(QLatin1String(name));
        if (field && controlText(field).isEmpty()) {
            field->setFocus();
            Args.Accept = false;
            return;
        }
    }
}

void TAxDravik::ngVehiclesSelectCell(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (FlagLoading || !grid || Args.Row < 0 || Args.Row == VehicleIndex)
        return;
    if (!JvXPBtnSave->isEnabled() || SavedThrough()) {
        // A save of a new vehicle reloads the customer; the grid is then the reloaded one.
        if (Args.Row >= grid->rowCount())
            return;
        VehicleIndex = Args.Row;
        FlagNewVehicle = false;
        UpdateTabDesc(0, 0);
        return;
    }
    // The details on screen are still those of the vehicle before: so is the selection.
    const QSignalBlocker quiet(grid);
    if (VehicleIndex >= 0 && VehicleIndex < grid->rowCount())
        grid->setCurrentCell(VehicleIndex, kIdColumn);
}

void TAxDravik::ngVehiclesCellClick(QWidget *Sender, GridArgs &Args)
{
    auto *grid = qobject_cast<DataGrid *>(Sender);
    if (!grid || Args.Col != 0 || Args.Row < 0 || grid->cellText(Args.Row, 0) != GridGlyph::Delete)
        return;
    const QString id = grid->cellText(Args.Row, kIdColumn).trimmed();
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    if (!digits.match(id).hasMatch())
        return;
    if (!messages().confirm(GridText::DeleteTitle,
                            GridText::deleteVehicle(grid->cellText(Args.Row, kPlateColumn),
                                                    grid->cellText(Args.Row, kVehicleColumn))))
        return;
    const QString statement = QStringLiteral("Delete * From tVehiclesClarim where idTVo=") + id;
    LbDebugInfo2->setText(statement);
    if (SendStatement(Endpoints::Update, statement, ResponseFiles::Delete).isEmpty()) {
        LbDebugInfo2->clear();
        VehicleIndex = 0;
        ReloadRecord();
    }
}

void TAxDravik::JvXPBtnNewVehicleClick(QWidget *)
{
    auto *grid = Control<DataGrid>(QStringLiteral("ngVehicles"));
    if (!grid || !RightClarim || readInt(LbIDCustomer->text()) <= 0 || FlagNewVehicle)
        return;
    // What the vehicle shown still waits to send goes first.
    if (JvXPBtnSave->isEnabled() && !SavedThrough())
        return;
    FlagNewVehicle = true;
    {
        const QSignalBlocker quiet(grid);
        grid->insertRowAt(0);
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setCellText(0, c, QString());
    }
    VehicleIndex = -1;
    UpdateTabDesc(0, 0);
    const QSignalBlocker quiet(grid);
    grid->setCurrentCell(0, kIdColumn);
    grid->viewport()->update();
}
