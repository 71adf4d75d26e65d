// Photos: the local photo folder, the record's photos and their previews.
#include "ui/TAxDravik.h"

#include "engine/RecordDocument.h"
#include "photos/JpegCodec.h"
#include "photos/PhotoNames.h"
#include "photos/PhotoTexts.h"
#include "photos/TListViewSort.h"
#include "photos/WaitCursor.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QUrl>

namespace {

QPixmap noPhotoPicture()
{
    QPixmap picture(160, 120);
    picture.fill(QColor(235, 235, 235));
    QPainter painter(&picture);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.drawText(picture.rect(), Qt::AlignCenter, PhotoText::NoPhotoText);
    return picture;
}

void setUploadEnabled(const TAxDravik &w, bool enabled)
{
    for (const char *name : {"czCmdAssociateImage", "czCmdAssociateImageBlur"}) {
        if (QWidget *button = w.Control(QLatin1String(name)))
            button->setEnabled(enabled);
    }
}

// The entry a selection event selected; null on a deselection.
QTreeWidgetItem *selectedEntry(QWidget *Sender)
{
    auto *view = qobject_cast<QTreeWidget *>(Sender);
    return view ? view->currentItem() : nullptr;
}

} // namespace

void TAxDravik::ShowPicture(QLabel *label, const QPixmap &picture, bool stretch)
{
    if (!label)
        return;
    label->setScaledContents(false);
    label->setAlignment(Qt::AlignCenter);
    const bool fits = picture.width() <= label->width() && picture.height() <= label->height();
    label->setPixmap(stretch || !fits ? picture.scaled(label->size(), Qt::KeepAspectRatio,
                                                       Qt::FastTransformation)
                                      : picture);
}

QString TAxDravik::ListedFolder() const
{
    // Listing "*.jpg" of no folder would walk the root of the file system.
    return PhotoFolder.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
            : PhotoFolder;
}

void TAxDravik::ShowNoPhoto(QLabel *image, bool stretch)
{
    auto *placeholder = Control<QLabel>(QStringLiteral("ImageNoPhoto"));
    if (placeholder && placeholder->pixmap().isNull())
        placeholder->setPixmap(noPhotoPicture());
    ShowPicture(image, placeholder ? placeholder->pixmap() : noPhotoPicture(), stretch);
}

void TAxDravik::LoadInfoCliche()
{
    auto *source = Control<QTreeWidget>(QStringLiteral("cListImageSource"));
    auto *photos = Control<QTreeWidget>(QStringLiteral("cListImageVO"));
    if (!source || !photos || source->columnCount() >= 2)
        return;
    source->setColumnCount(2);
    source->setHeaderLabels({PhotoText::ColumnName, PhotoText::ColumnDate});
    source->setHeaderHidden(false);
    source->setColumnWidth(0, 125);
    source->setColumnWidth(1, 125);
    photos->setColumnCount(3);
    photos->setHeaderLabels(
            {PhotoText::ColumnName, PhotoText::ColumnDate, PhotoText::ColumnDefault});
    photos->setHeaderHidden(false);
    photos->setColumnWidth(0, 110);
    photos->setColumnWidth(1, 125);
    photos->setColumnWidth(2, 40);
    for (QTreeWidget *view : {source, photos}) {
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    ShowListeImages(GetTagRegistry(PhotoText::PathKey));
}

void TAxDravik::ShowListeImages(const QString &Folder)
{
    PhotoFolder = Folder;
    if (auto *path = Control<QLineEdit>(QStringLiteral("cTxtPathImage")))
        path->setText(Folder);
    ShowNoPhoto(Control<QLabel>(QStringLiteral("ImageSelection")), true);
    setUploadEnabled(*this, false);
    auto *source = Control<QTreeWidget>(QStringLiteral("cListImageSource"));
    if (!source)
        return;
    const QSignalBlocker quiet(source);
    source->clear();
    const QFileInfoList files = QDir(ListedFolder())
                                        .entryInfoList({QStringLiteral("*.jpg")},
                                                       QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files) {
        auto *entry = new QTreeWidgetItem(source);
        entry->setText(0, file.fileName());
        entry->setText(1, file.lastModified().toString(QStringLiteral("dd/MM/yy hh:mm:ss")));
    }
    if (!files.isEmpty())
        (new TListViewSort(source, {SortKind::Text, SortKind::DateTime}))->SortBy(1, false);
}

QString TAxDravik::BrowseForFolder(const QString &Title, const QString &InitialFolder,
                                   bool AllowNewFolder)
{
    QFileDialog dialog(this, Title, InitialFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::ReadOnly, !AllowNewFolder);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = dialog.selectedFiles().value(0);
    return QFileInfo(chosen).isDir() ? QDir::cleanPath(chosen) : QString();
}

void TAxDravik::czCmdSelPathListImageClick(QWidget *)
{
    const QString folder = BrowseForFolder(PhotoText::FolderTitle, PhotoFolder, false);
    if (folder.isEmpty())
        return;
    ShowListeImages(folder);
    SetTagRegistry(PhotoText::PathKey, folder);
}

void TAxDravik::czCmdRefreshListImageClick(QWidget *)
{
    auto *path = Control<QLineEdit>(QStringLiteral("cTxtPathImage"));
    ShowListeImages(path ? path->text() : PhotoFolder);
    const int kept = MaxImageNum;
    GetDataImages();
    MaxImageNum = kept;
}

void TAxDravik::GetDataImages()
{
    auto *photos = Control<QTreeWidget>(QStringLiteral("cListImageVO"));
    MaxImageNum = 0;
    if (!photos)
        return;
    const QString defaultName = XmlGetText(selectElement(RecordDoc, RecordElement), u"NomImage");
    TXml list = RecordDoc;
    XmlOpen(list, u"ImageS");
    const QSignalBlocker quiet(photos);
    photos->clear();
    while (XmlNext(list, u"Image") > 0) {
        auto *entry = new QTreeWidgetItem(photos);
        const QString name = DecodeEntities(XmlGetText(list, u"NomImage"));
        entry->setText(0, name);
        entry->setText(1, DecodeEntities(XmlGetText(list, u"DateImage")));
        MaxImageNum = std::max(MaxImageNum, photoNumber(XmlGetText(list, u"NumImage")));
        if (name == defaultName)
            entry->setText(2, PhotoText::DefaultMark);
    }
}

void TAxDravik::cListImageSourceSelectItem(QWidget *Sender)
{
    QTreeWidgetItem *entry = selectedEntry(Sender);
    if (!entry)
        return;
    auto *preview = Control<QLabel>(QStringLiteral("ImageSelection"));
    const LoadedPhoto photo = loadPhotoFile(ListedFolder() + QLatin1Char('/') + entry->text(0));
    if (photo.image.isNull()) {
        // The upload buttons stay as they are: off since the folder was listed.
        ShowNoPhoto(preview, true);
        SetWarning(PhotoText::PhotoUnreadable + entry->text(0) + QStringLiteral(" (")
                   + (photo.exists ? photo.error : PhotoText::PhotoMissing) + QLatin1Char(')'));
        return;
    }
    ShowPicture(preview, QPixmap::fromImage(photo.image), true);
    setUploadEnabled(*this, true);
}

void TAxDravik::cListImageVOSelectItem(QWidget *Sender)
{
    QTreeWidgetItem *entry = selectedEntry(Sender);
    if (!entry)
        return;
    auto *maxi = Control<QLabel>(QStringLiteral("VOImageMaxi"));
    auto *mini = Control<QLabel>(QStringLiteral("VOImageMini"));
    if (entry->text(0).isEmpty()) {
        ShowNoPhoto(maxi, true);
        ShowNoPhoto(mini, false);
        return;
    }
    const WaitCursor wait;
    const QByteArray url = QUrl(URLImages + entry->text(0) + QStringLiteral(".jpg")).toEncoded();
    for (QLabel *image : {maxi, mini}) {
        const HttpReply reply = IdHTTP2->get(url);
        const DecodedPhoto photo
                = reply.ok && reply.status == 200 ? decodeJpeg(reply.body) : DecodedPhoto();
        if (photo.image.isNull())
            ShowNoPhoto(image, image == maxi);
        else
            ShowPicture(image, QPixmap::fromImage(photo.image), image == maxi);
    }
}
