#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

// A date field shown "dd/mm/yyyy": typed digits fill the mask "__/__/____", a button opens a
// calendar. The text is what is shown, except the bare mask, which reads as empty; a half-typed
// date ("12/0_/____") stays as typed, for the program's date checks to judge.
class DateEdit : public QWidget
{
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QDate date() const; // null unless the text is a whole date
    void setDate(const QDate &date);

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    // Made on first use: a form holds dozens of date fields and most never open theirs.
    QCalendarWidget *calendar() const;
    void showCalendar();

signals:
    void textChanged(const QString &text);
    void editingFinished();

private:
    QLineEdit *m_edit;
    QToolButton *m_button;
    mutable QWidget *m_popup = nullptr;
    mutable QCalendarWidget *m_calendar = nullptr;
};
