#pragma once

#include "editing/SqlLiterals.h"
#include "engine/TsDesc.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

// The SQL literal writers as the escaping rules define them, for tests: the gateway's own are
// wired in by the window.
inline QString trimmedControls(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

inline SqlLiterals testSql()
{
    SqlLiterals sql;
    sql.SqlText = [](const QString &value) {
        QString s = trimmedControls(value);
        const std::pair<const char *, const char *> replacements[]
                = {{"%", "%25"}, {"\"", "%22"},      {"&", "%26"}, {"<", "%3C"},  {">", "%3E"},
                   {"'", "''"},  {"\r\n", "%0D%0A"}, {"+", "%2B"}, {"\r", "%0D"}, {"\n", "%0A"}};
        for (const auto &[from, to] : replacements)
            s.replace(QLatin1String(from), QLatin1String(to));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    };
    sql.SqlNumber = [](const QString &value) {
        return trimmedControls(value).replace(QLatin1Char(','), QLatin1Char('.'));
    };
    sql.SqlDate = [](const QString &value) {
        static const QRegularExpression shape(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
        const auto m = shape.match(value.trimmed());
        const QDate d = m.hasMatch()
                ? QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt())
                : QDate();
        if (!d.isValid())
            return QStringLiteral("NULL");
        return QLatin1Char('#') + d.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('#');
    };
    return sql;
}

// Marks a descriptor as bound to an input control. The pointer is only compared with null,
// never followed, so no widget is needed.
inline void bindControl(TsDesc &desc)
{
    static int anchor;
    desc.Control = reinterpret_cast<QWidget *>(&anchor);
}

// Control texts by name, for the checks and the header.
inline FieldText textsOf(const QHash<QString, QString> &texts)
{
    return [texts](const QString &name) {
        return texts.value(name);
    };
}
