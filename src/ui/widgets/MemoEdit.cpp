#include "ui/widgets/MemoEdit.h"

#include <QKeyEvent>
#include <QScrollBar>

MemoEdit::MemoEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_trimming)
            return;
        if (!m_setting)
            enforceMaxLength();
        emit changed();
    });
}

QString MemoEdit::text() const
{
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void MemoEdit::setText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_setting = true;
    setPlainText(plain);
    m_setting = false;
    showStart();
}

bool MemoEdit::oneLine() const
{
    return height() < 2 * fontMetrics().lineSpacing() + 8;
}

void MemoEdit::showStart()
{
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

void MemoEdit::keyPressEvent(QKeyEvent *event)
{
    // A line break in a one-line memo scrolls its text out of sight.
    if (oneLine() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        showStart();
}

void MemoEdit::setMaxLength(int length)
{
    m_maxLength = std::max(length, 0);
}

void MemoEdit::enforceMaxLength()
{
    if (m_maxLength == 0 || text().size() <= m_maxLength)
        return;
    // Take back what was just typed or pasted, from the cursor backwards.
    m_trimming = true;
    QTextCursor cursor = textCursor();
    while (text().size() > m_maxLength && cursor.position() > 0)
        cursor.deletePreviousChar();
    while (text().size() > m_maxLength)
        cursor.deleteChar();
    setTextCursor(cursor);
    m_trimming = false;
}

void MemoEdit::resizeEvent(QResizeEvent *event)
{
    // A memo one line high (a name, a telephone) shows no scroll bar.
    setVerticalScrollBarPolicy(oneLine() ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    QPlainTextEdit::resizeEvent(event);
}
