// Photos: the local photo folder, the record's photos, association and upload.
#include "ui/TAxDravik.h"

void TAxDravik::GetDataImages() { }
void TAxDravik::LoadInfoCliche() { }
void TAxDravik::cListImageSourceSelectItem(QWidget *) { }
void TAxDravik::cListImageVOSelectItem(QWidget *) { }
void TAxDravik::czCmdAssociateImageClick(QWidget *) { }
void TAxDravik::czCmdAssociateImageBlurClick(QWidget *) { }
void TAxDravik::czCmdRefreshListImageClick(QWidget *) { }
void TAxDravik::czCmdSelPathListImageClick(QWidget *) { }
void TAxDravik::czCmdDefaultImageVOClick(QWidget *) { }
void TAxDravik::czCmdDeleteImageVOClick(QWidget *) { }
