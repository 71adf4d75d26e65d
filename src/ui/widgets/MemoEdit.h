#pragma once

#include <QPlainTextEdit>

// A multi-line text field whose text has CR LF line ends, as the record documents write them,
// and an optional maximum length for what the user types (line ends count two).
class MemoEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit MemoEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length); // 0: no limit
    // Laid out one line high: it takes no line break from Return.
    bool oneLine() const;
    // The text from its start: cursor at the start, scrolled to the top left.
    void showStart();

signals:
    // The text changed, by the user or by the program (once per change, after the length
    // limit was applied).
    void changed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void enforceMaxLength();

    int m_maxLength = 0;
    bool m_setting = false; // the program sets the text: no limit
    bool m_trimming = false; // the limit is being applied: no signal
};
