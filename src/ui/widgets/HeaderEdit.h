#pragma once

#include <QLineEdit>

// A display-only edit of the header line: always disabled, painted in the colours it is given
// (an invalid colour gives the style's own), text optionally centred.
class HeaderEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit HeaderEdit(QWidget *parent = nullptr);

    void setColors(const QColor &background, const QColor &text);
    void setCentered(bool centered);
};
