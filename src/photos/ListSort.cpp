#include "photos/ListSort.h"

#include <QDateTime>
#include <QRegularExpression>

#include <optional>

namespace {

template<typename T>
int sign(T difference)
{
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

std::optional<QDate> readDate(const QString &text)
{
    static const QRegularExpression date(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
    const auto m = date.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += 2000;
    const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
    return d.isValid() ? std::optional(d) : std::nullopt;
}

std::optional<QTime> readTime(const QString &text)
{
    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const auto m = time.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return t.isValid() ? std::optional(t) : std::nullopt;
}

std::optional<qint64> readMoment(SortKind kind, const QString &text)
{
    if (kind == SortKind::Date) {
        const auto d = readDate(text);
        return d ? std::optional(d->toJulianDay()) : std::nullopt;
    }
    if (kind == SortKind::Time) {
        const auto t = readTime(text);
        return t ? std::optional<qint64>(t->msecsSinceStartOfDay()) : std::nullopt;
    }
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
    const auto d = readDate(blank < 0 ? trimmed : trimmed.left(blank));
    const auto t = blank < 0 ? std::optional(QTime(0, 0)) : readTime(trimmed.mid(blank + 1));
    if (!d || !t)
        return std::nullopt;
    return d->toJulianDay() * 86'400'000 + t->msecsSinceStartOfDay();
}

} // namespace

int compareListValues(SortKind kind, const QString &a, const QString &b)
{
    switch (kind) {
    case SortKind::Integer: {
        bool okA = false, okB = false;
        const qint64 x = a.trimmed().toLongLong(&okA), y = b.trimmed().toLongLong(&okB);
        if (okA && okB)
            return sign(x - y);
        break;
    }
    case SortKind::Decimal: {
        bool okA = false, okB = false;
        const double x = a.trimmed().toDouble(&okA), y = b.trimmed().toDouble(&okB);
        if (okA && okB)
            return sign(x - y);
        break;
    }
    case SortKind::Date:
    case SortKind::Time:
    case SortKind::DateTime: {
        const auto x = readMoment(kind, a), y = readMoment(kind, b);
        if (x && y)
            return sign(*x - *y);
        break;
    }
    case SortKind::Text:
        break;
    }
    return sign(a.compare(b, Qt::CaseSensitive));
}
