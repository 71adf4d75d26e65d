#pragma once

#include "ui/widgets/ButtonControl.h"
#include "ui/widgets/PictureButton.h"

// A picture button: its value is its caption, its change a click.
class PictureButtonControl : public ButtonControl
{
public:
    QString value(const QWidget *control) const override { return button(control)->text(); }
    void setValue(QWidget *control, const QString &value) const override
    {
        button(control)->setCaption(value);
    }
    QMetaObject::Connection connectChanged(QWidget *control, QObject *context,
                                           std::function<void()> handler) const override
    {
        return QObject::connect(button(control), &QAbstractButton::clicked, context,
                                [handler = std::move(handler)] { handler(); });
    }

private:
    static PictureButton *button(const QWidget *control)
    {
        return static_cast<PictureButton *>(const_cast<QWidget *>(control));
    }
};
