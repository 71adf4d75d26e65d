#pragma once

// The plate-blurring editor: the photo at 640 x 480, a zone dragged over a plate from one
// corner to the other, a Gaussian band that follows the plate's slant. It also makes the two
// reduced pictures of every upload, without being shown.

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRubberBand;
class QSlider;
class QFrame;

class TFrmBlur : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmBlur(QWidget *owner = nullptr);

    // Loads a photo and makes both reduced pictures. Answers the error, empty on success; a
    // missing file leaves both pictures as they were.
    QString LoadAndDisplay(const QString &fileName);
    // The picture drawn reduced into a new bitmap of the control's size, given to it.
    void DisplayBitmap(const QImage &bitmap, QLabel *image);

    const QImage &maxiPicture() const { return m_maxi; }
    const QImage &miniPicture() const { return m_mini; }
    bool saved() const { return m_saved; }
    // The zone last cut, in picture coordinates (empty before the first selection).
    QRect zone() const { return m_zone; }

    QLabel *ImageMaxi = nullptr;
    QLabel *ImageMini = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Image3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QSlider *TrackBar1 = nullptr;
    QSlider *TrackBar2 = nullptr;
    QFrame *ShapeFill = nullptr;
    QPlainTextEdit *JvMemo1 = nullptr;
    QPushButton *BtnSave = nullptr;
    QPushButton *BtnQuit = nullptr;
    QPushButton *BtnInversion = nullptr;
    QPushButton *BtnLoadImage = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ImageMaxiMouseDown(const QPoint &at);
    void ImageMaxiMouseMove(const QPoint &at);
    void ImageMaxiMouseUp(const QPoint &at);
    void TrackBar1Change();
    void TrackBar2Change();
    void BtnInversionClick();
    void BtnSaveClick();
    void BtnQuitClick();
    void BtnLoadImageClick();
    // The drag's rectangle, corners ordered and clipped to the picture.
    QRect displayRect() const;
    void drawFocusRect(bool shown);
    void cutZone();
    void applyBlur();
    static void showPicture(QLabel *label, const QImage &picture);

    QImage m_source;
    QImage m_maxi;
    QImage m_mini;
    QImage m_unblurred; // Image2: the zone before blurring
    QImage m_blurred; // Image3: the zone after blurring
    QPoint m_start {-1, -1};
    QPoint m_end {-1, -1};
    bool m_dragging = false;
    bool m_selecting = false;
    QRect m_zone;
    bool m_leftToRight = true;
    bool m_saved = false;
    QRubberBand *m_focus = nullptr;
};
