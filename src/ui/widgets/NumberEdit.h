#pragma once

#include <QLineEdit>

// A number field, whole or decimal, right-aligned. While typing only digits, a sign and (for
// decimals) the "." separator are taken; a typed "," becomes ".". Values set by the program are
// shown as they are; text() is what is shown.
class NumberEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit NumberEdit(bool decimals = false, QWidget *parent = nullptr);

    bool decimals() const { return m_decimals; }
    void setDecimals(bool decimals);

private:
    bool m_decimals;
};
