#include "ui/widgets/DateEdit.h"

#include "engine/TextRules.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kMask = QStringLiteral("99/99/9999;_");
const QString kEmptyMask = QStringLiteral("__/__/____");

} // namespace

DateEdit::DateEdit(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_button(new QToolButton(this))
{
    m_edit->setInputMask(kMask);
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(QStringLiteral("Calendrier"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    connect(m_edit, &QLineEdit::textChanged, this, [this] { emit textChanged(text()); });
    connect(m_edit, &QLineEdit::editingFinished, this, &DateEdit::editingFinished);
    connect(m_button, &QToolButton::clicked, this, &DateEdit::showCalendar);
}

QCalendarWidget *DateEdit::calendar() const
{
    if (m_calendar)
        return m_calendar;
    auto *self = const_cast<DateEdit *>(this);
    m_popup = new QWidget(self, Qt::Popup);
    m_calendar = new QCalendarWidget(m_popup);
    auto *popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->addWidget(m_calendar);
    m_calendar->setGridVisible(true);
    connect(m_calendar, &QCalendarWidget::clicked, self, [self](QDate picked) {
        self->m_popup->hide();
        self->setDate(picked);
        self->m_edit->setFocus(Qt::PopupFocusReason);
    });
    return m_calendar;
}

QString DateEdit::text() const
{
    const QString shown = m_edit->displayText();
    return shown == kEmptyMask ? QString() : shown;
}

void DateEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

QDate DateEdit::date() const
{
    return parseDate(text());
}

void DateEdit::setDate(const QDate &date)
{
    setText(formatDate(date));
}

void DateEdit::showCalendar()
{
    const QDate current = date();
    calendar()->setSelectedDate(current.isValid() ? current : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}
