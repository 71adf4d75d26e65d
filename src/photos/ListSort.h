#pragma once

// How the photo lists compare two entries on one column.

#include <QString>

enum class SortKind { Text = 0, Integer = 1, Decimal = 2, Date = 3, Time = 4, DateTime = 5 };

// Negative, 0 or positive. A value that cannot be read under its kind makes the pair compare
// as text (ordinal, case-sensitive). Dates are day/month/year with "/" (two-digit years are
// of this century); times hh:mm with optional seconds; decimals with ".".
int compareListValues(SortKind kind, const QString &a, const QString &b);
