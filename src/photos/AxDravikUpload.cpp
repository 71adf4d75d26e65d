// Photos: reduction and FTP transfer, the upload to the server, the default photo.
#include "ui/TAxDravik.h"

#include "gateway/ResponseFiles.h"
#include "photos/FtpTransfer.h"
#include "photos/JpegCodec.h"
#include "photos/PhotoNames.h"
#include "photos/PhotoTexts.h"
#include "photos/TFrmBlur.h"
#include "photos/WaitCursor.h"
#include "ui/widgets/HeaderEdit.h"
#include "ui/widgets/PictureButton.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTreeWidget>

namespace {

const QString kPhotoResponse = QStringLiteral("XmlAXUpdate.xml");

FormPart field(const char *name, const QString &value)
{
    return {QByteArray(name), value.toLatin1(), QString(), QByteArray()};
}

} // namespace

void TAxDravik::PhotoFailed(const QString &error)
{
    if (auto *memo = Control<QPlainTextEdit>(QStringLiteral("Memo")))
        memo->appendPlainText(error);
    TraceLog(error);
    SetWarning(error);
}

bool TAxDravik::ReductionJPG(const QString &Source, const QString &Destination, bool Transfer)
{
    auto *memo = Control<QPlainTextEdit>(QStringLiteral("Memo"));
    if (memo) {
        memo->clear();
        memo->appendPlainText(PhotoText::ReductionOf
                              + (Source.isEmpty() ? PhotoText::BlurredSource : Source)
                              + PhotoText::ReductionTo + Destination);
    }
    if (!FrmBlur || FrmBlur->maxiPicture().isNull()) {
        PhotoFailed(PhotoText::PhotoMissing + Source);
        return false;
    }
    ShowPicture(Control<QLabel>(QStringLiteral("VOImageMaxi")),
                QPixmap::fromImage(FrmBlur->maxiPicture()), true);
    // A failed step ends the reduction: the warning and the Memo say which.
    const auto failed = [this](const QString &error) {
        if (error.isEmpty())
            return false;
        PhotoFailed(error);
        return true;
    };
    const QString photoPath = TempFolder + QLatin1Char('/') + Destination;
    if (failed(writeJpeg(FrmBlur->maxiPicture(), photoPath)))
        return false;
    const QString mini = miniatureName(Destination);
    ShowPicture(Control<QLabel>(QStringLiteral("VOImageMini")),
                QPixmap::fromImage(FrmBlur->maxiPicture()), false);
    const QString miniPath = TempFolder + QLatin1Char('/') + mini;
    if (failed(writeJpeg(FrmBlur->miniPicture(), miniPath)))
        return false;
    if (!Transfer)
        return true;

    FtpSettings settings;
    settings.host = GetTagRegistry(QStringLiteral("FtpHost"));
    const int port = GetTagRegistry(QStringLiteral("FtpPort")).toInt();
    settings.port = port > 0 ? port : 21;
    settings.gateway = GetTagRegistry(QStringLiteral("FtpGateway"));
    settings.account = GetTagRegistry(QStringLiteral("FtpUser"));
    settings.password = GetTagRegistry(QStringLiteral("FtpPassword"));
    FtpSession ftp(chooseFtpEndpoint(settings, ProxyServer));
    if (failed(ftp.put(photoPath, Destination)))
        return false;
    if (memo)
        memo->appendPlainText(PhotoText::TransferStep);
    if (failed(ftp.put(miniPath, mini)))
        return false;
    if (memo)
        memo->appendPlainText(PhotoText::TransferDone);
    return true;
}

void TAxDravik::ProcAssociateImage(bool Blur)
{
    ++MaxImageNum;
    const QString vehicleId = GetIdVO(true);
    auto *source = Control<QTreeWidget>(QStringLiteral("cListImageSource"));
    QTreeWidgetItem *selected = source ? source->currentItem() : nullptr;
    if (vehicleId.isEmpty() || !selected || !selected->isSelected())
        return;
    const QString name = photoName(UserConcession, vehicleId, MaxImageNum);
    const QString photoFile = name + QStringLiteral(".jpg");
    const QString date = photoDateText(clock().now());
    WaitCursor wait;

    TFrmBlur editor(this);
    FrmBlur = &editor;
    const auto done = qScopeGuard([this] { FrmBlur = nullptr; });
    const QString path = ListedFolder() + QLatin1Char('/') + selected->text(0);
    if (const QString error = editor.LoadAndDisplay(path); !error.isEmpty()) {
        PhotoFailed(error);
        return;
    }
    if (!ReductionJPG(path, photoFile, !Blur))
        return;
    if (Blur) {
        editor.setWindowTitle(PhotoText::BlurCaption + JvXPBtnNewVO->text() + PhotoText::NumberSign
                              + xcInfoNVO->text());
        wait.pause();
        editor.exec();
        wait.resume();
        if (!editor.saved() || !ReductionJPG(QString(), photoFile, true))
            return;
    }

    const QString statement = linkInsertStatement(vehicleId, MaxImageNum, name, date);
    LbDebugInfo2->setText(statement);
    QFile photo(TempFolder + QLatin1Char('/') + photoFile);
    QFile miniature(TempFolder + QLatin1Char('/') + miniatureName(photoFile));
    if (!photo.open(QIODevice::ReadOnly) || !miniature.open(QIODevice::ReadOnly)) {
        PhotoFailed(PhotoText::PhotoMissing + photo.fileName());
        return;
    }
    const QList<FormPart> form {
            field("NFImage", photoFile),
            field("XMLC_OutputFormat", QStringLiteral("XML")),
            field("SQLExecute", statement),
            field("MAX_FILE_SIZE", QStringLiteral("4096000")),
            {"File", photo.readAll(), photoFile, "file"},
            field("NFImageMini", miniatureName(photoFile)),
            {"File", miniature.readAll(), miniatureName(photoFile), "file"},
    };
    HttpPost(BaseHRef + Endpoints::Insert, ResponseFile(ResponseFiles::Insert), form);
    if (!LbDebugInfo0->text().isEmpty())
        return;
    auto *photos = Control<QTreeWidget>(QStringLiteral("cListImageVO"));
    auto *entry = new QTreeWidgetItem(photos);
    entry->setText(0, name);
    entry->setText(1, listDateText(clock().now()));
    if (photos->topLevelItemCount() == 1)
        MaxImageNum = 1;
    if (MaxImageNum == 1) {
        entry->setText(2, PhotoText::DefaultMark);
        SetDefaultImageVO(name);
        if (LbDebugInfo0->text().isEmpty())
            ReloadRecord();
    }
}

void TAxDravik::SetDefaultImageVO(const QString &Name)
{
    const QString vehicleId = GetIdVO(true);
    if (vehicleId.isEmpty())
        return;
    const QString statement = defaultPhotoStatement(vehicleId, Name);
    LbDebugInfo2->setText(statement);
    SendStatement(Endpoints::Update, statement, kPhotoResponse);
}

void TAxDravik::czCmdAssociateImageClick(QWidget *)
{
    ProcAssociateImage(false);
}

void TAxDravik::czCmdAssociateImageBlurClick(QWidget *)
{
    ProcAssociateImage(true);
}

void TAxDravik::czCmdDefaultImageVOClick(QWidget *)
{
    auto *photos = Control<QTreeWidget>(QStringLiteral("cListImageVO"));
    if (!photos || photos->selectedItems().isEmpty() || !photos->currentItem())
        return;
    SetDefaultImageVO(photos->currentItem()->text(0));
    if (LbDebugInfo0->text().isEmpty())
        ReloadRecord();
}

void TAxDravik::czCmdDeleteImageVOClick(QWidget *)
{
    auto *photos = Control<QTreeWidget>(QStringLiteral("cListImageVO"));
    if (!photos || photos->selectedItems().isEmpty() || !photos->currentItem())
        return;
    const QString vehicleId = GetIdVO(true);
    if (vehicleId.isEmpty())
        return;
    const QString name = photos->currentItem()->text(0);
    const QString statement = linkDeleteStatement(vehicleId, name);
    LbDebugInfo2->setText(statement);
    if (!SendStatement(Endpoints::Update, statement, ResponseFiles::Delete).isEmpty())
        return;
    if (name == FieldText(QStringLiteral("cNomImage"))) {
        QStringList captions;
        for (int i = 0; i < photos->topLevelItemCount(); ++i)
            captions << photos->topLevelItem(i)->text(0);
        SetDefaultImageVO(defaultAfterDeletion(captions, name));
    }
    if (LbDebugInfo0->text().isEmpty())
        ReloadRecord();
}
