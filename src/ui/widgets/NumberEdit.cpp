#include "ui/widgets/NumberEdit.h"

#include <QValidator>

namespace {

// Refuses letters and other signs; turns a decimal comma into a point.
class NumberValidator : public QValidator
{
public:
    NumberValidator(const bool &decimals, QObject *parent)
        : QValidator(parent)
        , m_decimals(decimals)
    { }

    State validate(QString &input, int &) const override
    {
        if (m_decimals)
            input.replace(QLatin1Char(','), QLatin1Char('.'));
        for (const QChar c : input) {
            const bool sign = c == QLatin1Char('-') || c == QLatin1Char('+');
            if (!c.isDigit() && !sign && !(m_decimals && c == QLatin1Char('.')))
                return Invalid;
        }
        return Acceptable;
    }

private:
    const bool &m_decimals;
};

} // namespace

NumberEdit::NumberEdit(bool decimals, QWidget *parent)
    : QLineEdit(parent)
    , m_decimals(decimals)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumberValidator(m_decimals, this));
}

void NumberEdit::setDecimals(bool decimals)
{
    m_decimals = decimals;
}
