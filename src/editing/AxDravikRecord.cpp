// Commands on the whole record and page changes: the detail of a page is loaded the first
// time it is shown after a record load.
#include "ui/TAxDravik.h"

#include "editing/RecordCommands.h"

#include <QTabWidget>

void TAxDravik::TabsChange(QWidget *)
{
    const int p = Tabs->currentIndex();
    if (p < 0 || p >= int(TabDesc.size()) || TabDesc[p].DetailLoaded)
        return;
    switch (pageDetail(p)) {
    case PageDetail::Reservation:
        GetInfoReservation();
        break;
    case PageDetail::Costs:
        LoadInfoFrevo();
        break;
    case PageDetail::Photos:
        LoadInfoCliche();
        GetDataImages();
        break;
    case PageDetail::Actions:
        LoadInfoAction();
        break;
    case PageDetail::Vehicles:
        VehicleIndex = 0;
        LoadInfoVehicle();
        break;
    case PageDetail::None:
        HideSplash();
        return;
    }
    TabDesc[p].DetailLoaded = true;
    HideSplash();
}

// Saving before a page change.
void TAxDravik::TabsChanging(QWidget *, bool &) { }

// New record of the kind shown.
void TAxDravik::JvXPBtnNewVOClick(QWidget *) { }

// Deletion of the record shown.
void TAxDravik::JvXPBtnSupprClick(QWidget *) { }

// Deletion of the cancelled new-vehicle orders.
void TAxDravik::JvXPBtnSweepClick(QWidget *) { }

// Saving the pending statement.
void TAxDravik::JvXPBtnSaveClick(QWidget *) { }

// Reloading the record from the server.
void TAxDravik::JvXPBtnActualizeClick(QWidget *) { }
