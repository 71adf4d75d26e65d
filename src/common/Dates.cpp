#include "common/Dates.h"

#include <ctime>

namespace dravik {

bool isValidDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

namespace {

// Reads 1..maxDigits digits at text[pos]; answers false when there is none.
bool readNumber(std::string_view text, size_t &pos, int minDigits, int maxDigits, int &value)
{
    int digits = 0;
    value = 0;
    while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

bool expect(std::string_view text, size_t &pos, char c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// Optional time part after the date, then the end of the text.
bool readTime(std::string_view text, size_t pos, DateTime &dt, bool allowT)
{
    if (pos == text.size())
        return true;
    if (!(expect(text, pos, ' ') || (allowT && expect(text, pos, 'T'))))
        return false;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (!readNumber(text, pos, 1, 2, dt.hour) || !expect(text, pos, ':')
        || !readNumber(text, pos, 2, 2, dt.minute))
        return false;
    if (expect(text, pos, ':') && !readNumber(text, pos, 2, 2, dt.second))
        return false;
    if (pos != text.size() || dt.hour > 23 || dt.minute > 59 || dt.second > 59)
        return false;
    dt.hasTime = true;
    return true;
}

std::optional<DateTime> parseSlashed(std::string_view text, bool dayFirst)
{
    size_t pos = 0;
    int a = 0, b = 0;
    DateTime dt;
    if (!readNumber(text, pos, 1, 2, a) || !expect(text, pos, '/')
        || !readNumber(text, pos, 1, 2, b) || !expect(text, pos, '/')
        || !readNumber(text, pos, 4, 4, dt.date.year))
        return std::nullopt;
    dt.date.day = dayFirst ? a : b;
    dt.date.month = dayFirst ? b : a;
    if (!isValidDate(dt.date.year, dt.date.month, dt.date.day) || !readTime(text, pos, dt, false))
        return std::nullopt;
    return dt;
}

// Writes value as `digits` decimal digits.
void put(std::string &out, int value, int digits)
{
    char buf[4];
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        buf[i] = static_cast<char>('0' + value % 10);
    out.append(buf, static_cast<size_t>(digits));
}

void appendTime(std::string &out, const DateTime &d)
{
    if (!d.hasTime)
        return;
    out += ' ';
    put(out, d.hour, 2);
    out += ':';
    put(out, d.minute, 2);
    out += ':';
    put(out, d.second, 2);
}

DateTime fromTm(const std::tm &tm, bool withTime)
{
    DateTime d;
    d.date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    if (withTime) {
        d.hasTime = true;
        d.hour = tm.tm_hour;
        d.minute = tm.tm_min;
        d.second = tm.tm_sec;
    }
    return d;
}

} // namespace

std::optional<DateTime> parseFrDate(std::string_view text)
{
    return parseSlashed(text, true);
}

std::optional<DateTime> parseUsDate(std::string_view text)
{
    return parseSlashed(text, false);
}

std::optional<DateTime> parseIsoDate(std::string_view text)
{
    size_t pos = 0;
    DateTime dt;
    if (!readNumber(text, pos, 4, 4, dt.date.year) || !expect(text, pos, '-')
        || !readNumber(text, pos, 2, 2, dt.date.month) || !expect(text, pos, '-')
        || !readNumber(text, pos, 2, 2, dt.date.day))
        return std::nullopt;
    if (!isValidDate(dt.date.year, dt.date.month, dt.date.day) || !readTime(text, pos, dt, true))
        return std::nullopt;
    return dt;
}

std::string formatIso(const DateTime &d)
{
    std::string out;
    out.reserve(19);
    put(out, d.date.year, 4);
    out += '-';
    put(out, d.date.month, 2);
    out += '-';
    put(out, d.date.day, 2);
    appendTime(out, d);
    return out;
}

std::string formatFr(const DateTime &d)
{
    std::string out;
    out.reserve(19);
    put(out, d.date.day, 2);
    out += '/';
    put(out, d.date.month, 2);
    out += '/';
    put(out, d.date.year, 4);
    appendTime(out, d);
    return out;
}

std::string isoToFr(std::string_view iso)
{
    const auto d = parseIsoDate(iso);
    return d ? formatFr(*d) : std::string(iso);
}

std::string frToIso(std::string_view fr)
{
    const auto d = parseFrDate(fr);
    return d ? formatIso(*d) : std::string(fr);
}

DateTime today()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm {};
    localtime_r(&t, &tm);
    return fromTm(tm, false);
}

DateTime now()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm {};
    localtime_r(&t, &tm);
    return fromTm(tm, true);
}

} // namespace dravik
