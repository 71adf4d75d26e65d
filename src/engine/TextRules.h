#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// Text rules shared by the engine and the subsystems above it.

// Upper-cases the letters a to z only; every other character stays as it is.
QString asciiUpper(QStringView text);

// The text read as a whole integer (surrounding blanks allowed), or fallback when it is empty
// or not a number.
int readInt(const QString &text, int fallback = 0);

// "dd/mm/yyyy" (one or two digits for day and month); a null date when empty or not a date.
QDate parseDate(const QString &text);
QString formatDate(const QDate &date);

// A decimal value shown with two decimals and "." ("0.00"): "12.345" gives "12.35" (halves
// away from zero), "1e3" gives "1000.00"; empty or unreadable text (such as a decimal comma)
// gives "0.00".
QString formatDecimal2(const QString &text);

// needle occurs in haystack; an empty needle never occurs.
bool occurs(QStringView needle, QStringView haystack);

// The text up to the first " : " (code + " : " + label gives the code), or the whole text.
QString codeOf(const QString &text);
