#include "photos/TFrmBlur.h"

#include "photos/Blur.h"
#include "photos/JpegCodec.h"
#include "photos/PhotoTexts.h"
#include "photos/Reduction.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRubberBand>
#include <QSlider>

#include <algorithm>

namespace {

template<typename T>
T *named(T *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel *picture(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *label = named(new QLabel(parent), name, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TFrmBlur::TFrmBlur(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FrmBlur"));
    setModal(true);
    ImageMaxi = picture(this, "ImageMaxi", {0, 0, kPhotoSize.width(), kPhotoSize.height()});
    ImageMaxi->setCursor(Qt::CrossCursor);
    ImageMini = picture(this, "ImageMini", {0, 0, kMiniatureSize.width(), kMiniatureSize.height()});
    ImageMini->hide();
    const int side = kPhotoSize.width() + 8;
    Image2 = picture(this, "Image2", {side, 4, 156, 105});
    Image2->setScaledContents(true);
    showPicture(Image2, [] {
        QImage empty(10, 10, QImage::Format_RGB888);
        empty.fill(Qt::white);
        return empty;
    }());
    Image3 = picture(this, "Image3", {side, 113, 156, 97});
    Image3->setScaledContents(true);
    Label1 = named(new QLabel(PhotoText::Label1, this), "Label1", {side, 216, 156, 16});
    TrackBar1 = named(new QSlider(Qt::Horizontal, this), "TrackBar1", {side, 234, 156, 24});
    TrackBar1->setRange(2, 10);
    TrackBar1->setValue(5);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    Label2 = named(new QLabel(PhotoText::Label2, this), "Label2", {side, 262, 156, 30});
    Label2->setWordWrap(true);
    TrackBar2 = named(new QSlider(Qt::Vertical, this), "TrackBar2", {side, 294, 30, 180});
    TrackBar2->setRange(1, 100);
    TrackBar2->setValue(30);
    TrackBar2->setSingleStep(5);
    TrackBar2->setPageStep(5);
    TrackBar2->setTickInterval(5);
    TrackBar2->setTickPosition(QSlider::TicksRight);
    ShapeFill = named(new QFrame(this), "ShapeFill", {side + 40, 294, 16, 16});
    ShapeFill->setAutoFillBackground(true);
    QPalette fill = ShapeFill->palette();
    fill.setColor(QPalette::Window, kFillColour);
    ShapeFill->setPalette(fill);
    JvMemo1 = named(new QPlainTextEdit(this), "JvMemo1", {side + 40, 314, 116, 160});
    QStringList lines;
    for (const QString &line : PhotoText::Instructions)
        lines << line;
    JvMemo1->setPlainText(lines.join(QLatin1Char('\n')));
    JvMemo1->setStyleSheet(QStringLiteral("color: fuchsia;"));
    JvMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    JvMemo1->installEventFilter(this);
    const int bottom = kPhotoSize.height() + 6;
    BtnSave = named(new QPushButton(PhotoText::BtnSave, this), "BtnSave", {4, bottom, 220, 28});
    BtnQuit = named(new QPushButton(PhotoText::BtnQuit, this), "BtnQuit", {232, bottom, 100, 28});
    BtnInversion = named(new QPushButton(PhotoText::BtnInversion, this), "BtnInversion",
                         {340, bottom, 220, 28});
    BtnInversion->setEnabled(false);
    BtnLoadImage = named(new QPushButton(PhotoText::BtnLoadImage, this), "BtnLoadImage",
                         {568, bottom, 150, 28});
    BtnLoadImage->hide();
    for (QPushButton *b : {BtnSave, BtnQuit, BtnInversion, BtnLoadImage})
        b->setAutoDefault(false);
    setFixedSize(side + 164, bottom + 34);

    m_focus = new QRubberBand(QRubberBand::Rectangle, ImageMaxi);
    ImageMaxi->installEventFilter(this);
    connect(TrackBar1, &QSlider::valueChanged, this, &TFrmBlur::TrackBar1Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TFrmBlur::TrackBar2Change);
    connect(BtnInversion, &QPushButton::clicked, this, &TFrmBlur::BtnInversionClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFrmBlur::BtnSaveClick);
    connect(BtnQuit, &QPushButton::clicked, this, &TFrmBlur::BtnQuitClick);
    connect(BtnLoadImage, &QPushButton::clicked, this, &TFrmBlur::BtnLoadImageClick);
}

QString TFrmBlur::LoadAndDisplay(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return PhotoText::PhotoMissing + fileName;
    const auto unreadable = [&](const QString &error) {
        return PhotoText::PhotoUnreadable + fileName + QStringLiteral(" (") + error
                + QLatin1Char(')');
    };
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        // Straight into both frames: a camera photo is never held whole.
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return unreadable(file.errorString());
        ReducedPhoto reduced
                = decodeJpegReduced(fileBytes(file), {ImageMini->size(), ImageMaxi->size()});
        if (!reduced.error.isEmpty())
            return unreadable(reduced.error);
        m_source = QImage();
        m_mini = reduced.pictures[0];
        m_maxi = reduced.pictures[1];
        showPicture(ImageMini, m_mini);
        showPicture(ImageMaxi, m_maxi);
        return QString();
    }
    LoadedPhoto loaded = loadPhotoFile(fileName);
    if (loaded.image.isNull())
        return unreadable(loaded.error);
    m_source = std::move(loaded.image);
    DisplayBitmap(m_source, ImageMini);
    DisplayBitmap(m_source, ImageMaxi);
    return QString();
}

void TFrmBlur::DisplayBitmap(const QImage &bitmap, QLabel *image)
{
    QImage reduced = reducedPicture(bitmap, image->size());
    showPicture(image, reduced);
    if (image == ImageMaxi)
        m_maxi = std::move(reduced);
    else if (image == ImageMini)
        m_mini = std::move(reduced);
}

void TFrmBlur::showPicture(QLabel *label, const QImage &picture)
{
    label->setPixmap(QPixmap::fromImage(picture));
}

bool TFrmBlur::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImageMaxi) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            ImageMaxiMouseDown(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseMove:
            ImageMaxiMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            ImageMaxiMouseUp(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        default:
            break;
        }
    } else if (watched == JvMemo1 && event->type() == QEvent::FocusIn) {
        // The instructions are read, not edited.
        JvMemo1->setEnabled(false);
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmBlur::ImageMaxiMouseDown(const QPoint &at)
{
    if (m_selecting)
        drawFocusRect(false);
    m_start = m_end = at;
    drawFocusRect(true);
    m_dragging = true;
    m_selecting = true;
}

void TFrmBlur::ImageMaxiMouseMove(const QPoint &at)
{
    if (!m_dragging)
        return;
    m_end = at;
    drawFocusRect(true);
}

void TFrmBlur::ImageMaxiMouseUp(const QPoint &at)
{
    if (m_selecting) {
        drawFocusRect(false);
        m_end = at;
        m_leftToRight = m_start.x() < m_end.x();
        const QRect zone = displayRect();
        JvMemo1->hide();
        // A click without a drag leaves nothing to blur.
        if (zone.width() > 0 && zone.height() > 0) {
            m_zone = zone;
            cutZone();
            BtnInversion->setEnabled(true);
        }
    }
    m_dragging = false;
    m_selecting = false;
}

QRect TFrmBlur::displayRect() const
{
    const int w = m_maxi.isNull() ? ImageMaxi->width() : m_maxi.width();
    const int h = m_maxi.isNull() ? ImageMaxi->height() : m_maxi.height();
    const int left = std::clamp(std::min(m_start.x(), m_end.x()), 0, w);
    const int right = std::clamp(std::max(m_start.x(), m_end.x()), 0, w);
    const int top = std::clamp(std::min(m_start.y(), m_end.y()), 0, h);
    const int bottom = std::clamp(std::max(m_start.y(), m_end.y()), 0, h);
    return {left, top, right - left, bottom - top};
}

void TFrmBlur::drawFocusRect(bool shown)
{
    m_focus->setGeometry(displayRect());
    m_focus->setVisible(shown);
}

void TFrmBlur::cutZone()
{
    if (m_maxi.isNull())
        return;
    m_unblurred = m_maxi.copy(m_zone);
    showPicture(Image2, m_unblurred);
    applyBlur();
}

void TFrmBlur::applyBlur()
{
    if (m_unblurred.isNull())
        return;
    m_blurred = m_unblurred.copy();
    BlurPlateBand(m_unblurred, m_blurred, m_leftToRight, TrackBar2->value(), TrackBar1->value());
    showPicture(Image3, m_blurred);
    // Byte for byte: the picture is the one that is saved and sent.
    for (int y = 0; y < m_blurred.height() && m_zone.top() + y < m_maxi.height(); ++y) {
        const int width = std::min(m_blurred.width(), m_maxi.width() - m_zone.left());
        std::copy_n(m_blurred.constScanLine(y), size_t(width) * 3,
                    m_maxi.scanLine(m_zone.top() + y) + m_zone.left() * 3);
    }
    showPicture(ImageMaxi, m_maxi);
}

void TFrmBlur::TrackBar1Change()
{
    applyBlur();
}

void TFrmBlur::TrackBar2Change()
{
    applyBlur();
}

void TFrmBlur::BtnInversionClick()
{
    if (m_unblurred.isNull())
        return;
    m_leftToRight = !m_leftToRight;
    applyBlur();
}

void TFrmBlur::BtnSaveClick()
{
    m_saved = true;
    close();
}

void TFrmBlur::BtnQuitClick()
{
    m_saved = false;
    close();
}

void TFrmBlur::BtnLoadImageClick()
{
    const QString file = QFileDialog::getOpenFileName(this, PhotoText::BtnLoadImage, QString(),
                                                      QStringLiteral("*.jpg"));
    if (!file.isEmpty())
        LoadAndDisplay(file);
}
