// The photo tab against the reference server and an FTP server of its own (pyftpdlib): what
// the user sees in the lists, what reaches the FTP folder, what the server stores.
#include "photos/FtpServer.h"
#include "ui/EditingWindow.h"

#include "photos/JpegCodec.h"
#include "photos/PhotoTexts.h"
#include "photos/TFrmBlur.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

using dravik::seed::kUserAdmin;

class PhotoTab : public EditingWindow
{
protected:
    void SetUp() override
    {
        EditingWindow::SetUp();
        ASSERT_GT(m_ftp.port(), 0) << m_ftp.error().toStdString();
    }

    // A vehicle of the demo without photos, shown on its photo tab, with the FTP settings and
    // a local folder of two photos.
    std::unique_ptr<TAxDravik> openPhotos(int n, const QString &password = FtpServer::kPassword)
    {
        m_vehicle = usedVehicle(n);
        dbExec(QStringLiteral("delete from \"tVO - Liens Images\" where idVO=%1").arg(m_vehicle));
        dbExec(QStringLiteral("update tVehicles set NomImage=NULL where idVO=%1").arg(m_vehicle));
        writePhoto(QStringLiteral("vieille photo.jpg"), QSize(4000, 3000), 3);
        writePhoto(QStringLiteral("Clio été 2.jpg"), QSize(2400, 3600), 1);
        auto w = openVehicle(kUserAdmin, m_vehicle);
        harness().writeSettings({{QStringLiteral("FtpHost"), QStringLiteral("127.0.0.1")},
                                 {QStringLiteral("FtpPort"), QString::number(m_ftp.port())},
                                 {QStringLiteral("FtpUser"), FtpServer::kUser},
                                 {QStringLiteral("FtpPassword"), password},
                                 {QStringLiteral("PathImages"), m_local.path()}});
        clickTab(*w, 5);
        return w;
    }
    // A photo of that size, left half dark, right half light, dated days ago.
    void writePhoto(const QString &name, const QSize &size, int daysAgo)
    {
        QImage picture(size, QImage::Format_RGB888);
        picture.fill(QColor(230, 220, 200));
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width() / 2; x += 7)
                picture.setPixelColor(x, y, QColor(20, 30, 40));
        QFile file(m_local.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encodeJpeg(picture));
        file.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo),
                         QFileDevice::FileModificationTime);
    }
    static QTreeWidget *list(TAxDravik &w, const char *name)
    {
        return w.Control<QTreeWidget>(QLatin1String(name));
    }
    static QStringList column(QTreeWidget *view, int c)
    {
        QStringList texts;
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            texts << view->topLevelItem(i)->text(c);
        return texts;
    }
    static void clickEntry(QTreeWidget *view, int row)
    {
        const QRect at = view->visualItemRect(view->topLevelItem(row));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
    }
    static void clickButton(TAxDravik &w, const char *name)
    {
        auto *button = w.Control<QAbstractButton>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        click(button);
    }
    static QString memoText(TAxDravik &w)
    {
        return w.Control<QPlainTextEdit>(QStringLiteral("Memo"))->toPlainText();
    }
    QString name(int number) const
    {
        return QStringLiteral("Z%1-%2")
                .arg(m_vehicle, 7, 10, QLatin1Char('0'))
                .arg(number, 2, 10, QLatin1Char('0'));
    }
    int links() const
    {
        return count(QStringLiteral("from \"tVO - Liens Images\" where idVO=%1").arg(m_vehicle));
    }
    static QImage picture(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? decodeJpeg(file.readAll()).image : QImage();
    }
    // Runs once the next modal window is open: the test acts in it as the user would.
    static void whenModal(std::function<void(QWidget *)> act)
    {
        auto *poll = new QTimer;
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, act] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                poll->stop();
                poll->deleteLater();
                act(modal);
            }
        });
        poll->start();
    }

    FtpServer m_ftp;
    QTemporaryDir m_local;
    int m_vehicle = 0;
};

} // namespace

TEST_F(PhotoTab, FolderListIsNewestFirstAndSortsByClicks)
{
    auto w = openPhotos(40);
    QTreeWidget *source = list(*w, "cListImageSource");
    EXPECT_EQ(source->headerItem()->text(0), PhotoText::ColumnName);
    EXPECT_EQ(column(source, 0),
              QStringList({QStringLiteral("Clio été 2.jpg"), QStringLiteral("vieille photo.jpg")}));
    EXPECT_EQ(w->Control<QLineEdit>(QStringLiteral("cTxtPathImage"))->text(), m_local.path());
    EXPECT_FALSE(w->Control(QStringLiteral("czCmdAssociateImage"))->isEnabled());

    QHeaderView *header = source->header();
    const QPoint date(header->sectionViewportPosition(1) + 10, header->height() / 2);
    const struct
    {
        const char *first;
    } clicks[] = {{"vieille photo.jpg"}, {"Clio été 2.jpg"}}; // ascending, then descending
    for (const auto &c : clicks) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, date);
        EXPECT_EQ(source->topLevelItem(0)->text(0), QString::fromUtf8(c.first));
    }

    // A file that is no JPEG: the warning, and no upload offered.
    QFile fake(m_local.filePath(QStringLiteral("faux.jpg")));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a picture");
    fake.close();
    clickButton(*w, "czCmdRefreshListImage");
    ASSERT_EQ(source->topLevelItemCount(), 3);
    clickEntry(source, 0); // newest first: the fake one
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(PhotoText::PhotoUnreadable));
    EXPECT_FALSE(w->Control(QStringLiteral("czCmdAssociateImage"))->isEnabled());
    clickEntry(source, 1);
    EXPECT_TRUE(w->Control(QStringLiteral("czCmdAssociateImage"))->isEnabled());
    EXPECT_FALSE(w->Control<QLabel>(QStringLiteral("ImageSelection"))->pixmap().isNull());
}

TEST_F(PhotoTab, UploadsReachTheFolderAndTheServerFirstBecomesDefault)
{
    auto w = openPhotos(41);
    QTreeWidget *source = list(*w, "cListImageSource");
    QTreeWidget *photos = list(*w, "cListImageVO");
    ASSERT_EQ(photos->topLevelItemCount(), 0);
    const struct
    {
        int row; // in the folder list
        int number;
        QSize placed; // where the photo stands in the 640 x 480 picture
    } uploads[] = {{0, 1, {320, 480}}, {1, 2, {640, 480}}};
    for (const auto &u : uploads) {
        SCOPED_TRACE(u.number);
        clickEntry(source, u.row);
        clickButton(*w, "czCmdAssociateImage");
        ASSERT_EQ(w->LbDebugInfo0->text(), QString());
        const QString photo = name(u.number);
        EXPECT_TRUE(memoText(*w).endsWith(PhotoText::TransferDone)) << memoText(*w).toStdString();
        for (const QString &folder : {m_ftp.photoFolder(), server().photoFolder()}) {
            EXPECT_EQ(picture(folder + '/' + photo + ".jpg").size(), QSize(640, 480));
            EXPECT_EQ(picture(folder + '/' + photo + "m.jpg").size(), QSize(120, 90));
        }
        const auto row = dbRow(QStringLiteral("select NumImage, DateImage from "
                                              "\"tVO - Liens Images\" where NomImage='%1'")
                                       .arg(photo));
        EXPECT_EQ(row.value(QStringLiteral("NumImage")), QString::number(u.number));
        EXPECT_EQ(row.value(QStringLiteral("DateImage")), QStringLiteral("2026-01-15 10:00:00"));
        // A portrait photo has margins of the fill colour left and right.
        const QImage sent = picture(m_ftp.photoFolder() + '/' + photo + ".jpg");
        if (u.placed.width() < 640) {
            EXPECT_GT(sent.pixelColor(40, 240).blue(), 200);
            EXPECT_LT(std::abs(sent.pixelColor(40, 240).blue() - 235), 12);
        }
    }
    EXPECT_EQ(links(), 2);
    EXPECT_EQ(vehicle(m_vehicle, "NomImage"), name(1));
    EXPECT_EQ(column(photos, 0), QStringList({name(1), name(2)}));
    EXPECT_EQ(column(photos, 2), QStringList({PhotoText::DefaultMark, QString()}));
    // The second photo is not the default: the insert was the last statement.
    EXPECT_TRUE(w->LbDebugInfo2->text().startsWith(
            QStringLiteral("INSERT INTO [tVO - Liens Images] (idImage, idVO")));
}

TEST_F(PhotoTab, RefusedTransfersLinkNothing)
{
    auto w = openPhotos(42, QStringLiteral("wrong"));
    clickEntry(list(*w, "cListImageSource"), 0);
    clickButton(*w, "czCmdAssociateImage");
    EXPECT_TRUE(w->LbDebugInfo0->text().startsWith(PhotoText::FtpFailed));
    EXPECT_TRUE(w->PanelWarning->isVisible());
    EXPECT_TRUE(memoText(*w).startsWith(PhotoText::ReductionOf));
    EXPECT_TRUE(memoText(*w).contains(PhotoText::FtpFailed));
    EXPECT_EQ(links(), 0);
    EXPECT_EQ(vehicle(m_vehicle, "NomImage"), QStringLiteral("<null>"));
    EXPECT_EQ(list(*w, "cListImageVO")->topLevelItemCount(), 0);
    EXPECT_FALSE(QFile::exists(m_ftp.photoFolder() + '/' + name(1) + ".jpg"));
}

TEST_F(PhotoTab, DeletingTheDefaultMovesItOn)
{
    const struct
    {
        int photos;
        int deleted; // row of the list
        const char *after; // the default afterwards: number, or NULL
    } cases[] = {{3, 0, "02"}, {3, 2, "01"}, {1, 0, "<null>"}};
    int n = 43;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.photos << " photos, deleting " << c.deleted);
        m_vehicle = usedVehicle(n++);
        dbExec(QStringLiteral("delete from \"tVO - Liens Images\" where idVO=%1").arg(m_vehicle));
        for (int i = 1; i <= c.photos; ++i)
            dbExec(QStringLiteral("insert into \"tVO - Liens Images\" (idVO, NumImage, NomImage, "
                                  "DateImage) values (%1, %2, '%3', '2026-01-0%2 09:00:00')")
                           .arg(m_vehicle)
                           .arg(i)
                           .arg(name(i)));
        // The default is the deleted one.
        dbExec(QStringLiteral("update tVehicles set NomImage='%1' where idVO=%2")
                       .arg(name(c.deleted + 1))
                       .arg(m_vehicle));
        auto w = openVehicle(kUserAdmin, m_vehicle);
        clickTab(*w, 5);
        QTreeWidget *photos = list(*w, "cListImageVO");
        ASSERT_EQ(photos->topLevelItemCount(), c.photos);
        EXPECT_EQ(photos->topLevelItem(c.deleted)->text(2), PhotoText::DefaultMark);
        clickEntry(photos, c.deleted);
        clickButton(*w, "czCmdDeleteImageVO");
        ASSERT_EQ(w->LbDebugInfo0->text(), QString());
        EXPECT_EQ(links(), c.photos - 1);
        const QString expected = QLatin1String(c.after) == QLatin1String("<null>")
                ? QStringLiteral("<null>")
                : name(QString::fromLatin1(c.after).toInt());
        EXPECT_EQ(vehicle(m_vehicle, "NomImage"), expected);
        // Reloaded: the list shows what the server holds, the new default marked.
        EXPECT_EQ(photos->topLevelItemCount(), c.photos - 1);
        for (int i = 0; i < photos->topLevelItemCount(); ++i)
            EXPECT_EQ(photos->topLevelItem(i)->text(2) == PhotoText::DefaultMark,
                      photos->topLevelItem(i)->text(0) == expected);
    }
}

TEST_F(PhotoTab, BlurredPhotoIsSentWithTheSameMiniature)
{
    auto w = openPhotos(46);
    QTreeWidget *source = list(*w, "cListImageSource");
    clickEntry(source, 1); // the landscape photo
    clickButton(*w, "czCmdAssociateImage");
    ASSERT_EQ(w->LbDebugInfo0->text(), QString());

    const struct
    {
        const char *button;
        bool sent;
    } closings[] = {{"BtnQuit", false}, {"BtnSave", true}};
    int number = 2;
    for (const auto &c : closings) {
        SCOPED_TRACE(c.button);
        QString caption;
        bool inverted = false;
        whenModal([&](QWidget *modal) {
            auto *editor = qobject_cast<TFrmBlur *>(modal);
            ASSERT_NE(editor, nullptr);
            caption = editor->windowTitle();
            EXPECT_TRUE(editor->JvMemo1->isVisible());
            // Over the striped half of the photo, left to right.
            QTest::mousePress(editor->ImageMaxi, Qt::LeftButton, {}, QPoint(100, 100));
            QTest::mouseMove(editor->ImageMaxi, QPoint(200, 150));
            QTest::mouseRelease(editor->ImageMaxi, Qt::LeftButton, {}, QPoint(300, 140));
            EXPECT_EQ(editor->zone(), QRect(100, 100, 200, 40));
            EXPECT_FALSE(editor->JvMemo1->isVisible());
            EXPECT_FALSE(editor->Image3->pixmap().isNull());
            inverted = editor->BtnInversion->isEnabled();
            editor->TrackBar1->setValue(10);
            QTest::mouseClick(editor->findChild<QPushButton *>(QLatin1String(c.button)),
                              Qt::LeftButton);
        });
        clickEntry(source, 1);
        clickButton(*w, "czCmdAssociateImageBlur");
        EXPECT_TRUE(caption.startsWith(PhotoText::BlurCaption)) << caption.toStdString();
        EXPECT_TRUE(inverted);
        const QString photo = name(number++);
        // Both files are made in the temporary folder; only a saved blur leaves it.
        EXPECT_TRUE(QFile::exists(harness().temp() + '/' + photo + "m.jpg"));
        EXPECT_EQ(QFile::exists(m_ftp.photoFolder() + '/' + photo + ".jpg"), c.sent);
        EXPECT_EQ(
                count(QStringLiteral("from \"tVO - Liens Images\" where NomImage='%1'").arg(photo)),
                c.sent ? 1 : 0);
    }
    EXPECT_EQ(links(), 2);
    // The plain photo 01 and the blurred photo 03: same miniature, plate zone blurred.
    const auto bytes = [&](const QString &file) {
        QFile f(m_ftp.photoFolder() + '/' + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(bytes(name(1) + "m.jpg"), bytes(name(3) + "m.jpg"));
    const QImage plain = picture(m_ftp.photoFolder() + '/' + name(1) + ".jpg");
    const QImage blurred = picture(m_ftp.photoFolder() + '/' + name(3) + ".jpg");
    ASSERT_EQ(blurred.size(), QSize(640, 480));
    int changedInZone = 0, changedOutside = 0;
    for (int y = 0; y < 480; y += 2) {
        for (int x = 0; x < 640; x += 2) {
            const bool inZone = QRect(100, 100, 200, 40).contains(x, y);
            const int d = std::abs(plain.pixelColor(x, y).lightness()
                                   - blurred.pixelColor(x, y).lightness());
            (inZone ? changedInZone : changedOutside) += d > 20;
        }
    }
    EXPECT_GT(changedInZone, 500);
    EXPECT_LT(changedOutside, 50);
}

TEST_F(PhotoTab, PreviewsFallBackToTheNoPhotoPicture)
{
    auto w = openPhotos(47);
    dbExec(QStringLiteral("insert into \"tVO - Liens Images\" (idVO, NumImage, NomImage, "
                          "DateImage) values (%1, 3, 'A', 'x'), (%1, 7, 'B', 'y'), "
                          "(%1, 'x', 'C', 'z')")
                   .arg(m_vehicle));
    w->Set_URLImages(server().baseHRef() + QStringLiteral("voimages/"));
    click(w->JvXPBtnActualize);
    clickTab(*w, 5);
    QTreeWidget *photos = list(*w, "cListImageVO");
    ASSERT_EQ(column(photos, 0), QStringList({"A", "B", "C"}));
    QImage small(64, 48, QImage::Format_RGB888);
    small.fill(Qt::darkGreen);
    FakeTransport *http2 = harness().transport2;
    http2->replies = {{true, 200, encodeJpeg(small), {}}, {false, 0, {}, "timed out"}};
    clickEntry(photos, 1);
    ASSERT_EQ(http2->urls.size(), 2);
    EXPECT_EQ(http2->urls[0], (server().baseHRef() + QStringLiteral("voimages/B.jpg")).toLatin1());
    const QImage maxi = w->Control<QLabel>(QStringLiteral("VOImageMaxi"))->pixmap().toImage();
    const QImage mini = w->Control<QLabel>(QStringLiteral("VOImageMini"))->pixmap().toImage();
    const QColor shown = maxi.pixelColor(maxi.width() / 2, maxi.height() / 2);
    EXPECT_LT(std::abs(shown.green() - 128) + shown.red() + shown.blue(), 8);
    EXPECT_EQ(mini.size(), QSize(160, 120)); // the no-photo picture
    EXPECT_NE(mini.pixelColor(80, 60), QColor(Qt::darkGreen));

    // The next upload is numbered after the highest number held.
    clickEntry(list(*w, "cListImageSource"), 0);
    clickButton(*w, "czCmdAssociateImage");
    EXPECT_EQ(count(QStringLiteral("from \"tVO - Liens Images\" where NomImage='%1'").arg(name(8))),
              1);
}

TEST_F(PhotoTab, ChosenFolderIsListedAndKept)
{
    auto w = openPhotos(48);
    QTemporaryDir other;
    QFile::copy(m_local.filePath(QStringLiteral("vieille photo.jpg")),
                other.filePath(QStringLiteral("ABC.JPG")));
    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), PhotoText::FolderTitle);
        auto *line = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(line, nullptr);
        line->setText(other.path());
        QTest::keyClick(line, Qt::Key_Return);
    });
    clickButton(*w, "czCmdSelPathListImage");
    EXPECT_EQ(w->Control<QLineEdit>(QStringLiteral("cTxtPathImage"))->text(), other.path());
    EXPECT_EQ(column(list(*w, "cListImageSource"), 0), QStringList({"ABC.JPG"}));
    IniFile settings(harness().settingsPath());
    settings.load();
    EXPECT_EQ(settings.value(QStringLiteral("Options"), PhotoText::PathKey), other.path());
}

TEST_F(PhotoTab, NoFolderChosenListsThePicturesFolder)
{
    // The user's pictures folder, as the desktop names it.
    QTemporaryDir config, pictures;
    QFile dirs(config.filePath(QStringLiteral("user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"" + pictures.path().toUtf8() + "\"\n");
    dirs.close();
    writePhoto(QStringLiteral("vieille photo.jpg"), QSize(400, 300), 1);
    QFile::copy(m_local.filePath(QStringLiteral("vieille photo.jpg")),
                pictures.filePath(QStringLiteral("photo.jpg")));
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    m_vehicle = usedVehicle(49);
    auto w = openVehicle(kUserAdmin, m_vehicle);
    clickTab(*w, 5);
    EXPECT_EQ(w->Control<QLineEdit>(QStringLiteral("cTxtPathImage"))->text(), QString());
    EXPECT_EQ(column(list(*w, "cListImageSource"), 0), QStringList({"photo.jpg"}));
    if (saved.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}
