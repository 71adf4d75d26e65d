#include "ui/widgets/MemoEdit.h"

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
    const bool oneLine = height() < 2 * fontMetrics().lineSpacing() + 8;
    setVerticalScrollBarPolicy(oneLine ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    QPlainTextEdit::resizeEvent(event);
}
