// Members of subsystems that are not built yet. Each goes when its own folder defines it.
#include "ui/TAxDravik.h"

void TAxDravik::UpdateParams() { }

void TAxDravik::UpdateView(int reload)
{
    Q_UNUSED(reload);
    // No record layout yet: uncover the window.
    HideSplash();
}

void TAxDravik::HttpGetSearchInfo(int mode)
{
    Q_UNUSED(mode);
}

void TAxDravik::HttpGetDblInfo() { }
