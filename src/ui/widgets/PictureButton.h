#pragma once

#include <QToolButton>

// A flat toolbar button with a picture drawn in code, a raised look under the mouse and its
// hint as tooltip. A caption, when set, stands beside the picture, or alone when the button is
// too narrow for both.
class PictureButton : public QToolButton
{
    Q_OBJECT
public:
    enum class Picture {
        Generic,
        Save,
        Delete,
        Sweep,
        Print,
        Search,
        New,
        Refresh,
        Previous,
        Next,
        Sms,
        Add
    };

    explicit PictureButton(QWidget *parent = nullptr);

    Picture picture() const { return m_picture; }
    void setPicture(Picture picture);
    void setCaption(const QString &caption);

    // The picture of a toolbar button by its name (JvXPBtnSave, JvXPNext...), Generic otherwise.
    static Picture pictureForName(const QString &name);
    static QIcon drawPicture(Picture picture, int size = 24);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateStyle();

    Picture m_picture = Picture::Generic;
    int m_captionPixels = 0; // the caption's own size, before any fitting
};
