#include "ui/widgets/HeaderEdit.h"

#include <QApplication>

HeaderEdit::HeaderEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setEnabled(false);
    setReadOnly(true);
}

void HeaderEdit::setColors(const QColor &background, const QColor &text)
{
    QPalette p = palette();
    const QPalette style = QApplication::palette(this);
    for (const auto group : {QPalette::Disabled, QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base,
                   background.isValid() ? background : style.color(group, QPalette::Base));
        p.setColor(group, QPalette::Text,
                   text.isValid() ? text : style.color(group, QPalette::Text));
    }
    setPalette(p);
}

void HeaderEdit::setCentered(bool centered)
{
    setAlignment((centered ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}
