#pragma once

#include <QString>

// Field values become SQL literals that travel inside a request address (the server decodes
// the address once, then runs the statement). Pure functions.

// 'text' with quotes doubled and the characters that would break the address written as %XX:
// "%" first, then the double quote, "&", "<", ">", "+", line breaks. Blanks and control
// characters around the text are removed. Empty text gives ''.
QString SqlText(const QString &text);

// The number as typed with "," turned into "."; no check that it is a number.
QString SqlNumber(const QString &text);

// "#mm/dd/yyyy#" of a date typed "dd/mm/yyyy", or NULL when it is no valid date.
QString SqlDate(const QString &text);

// Telephone digits in pairs separated by "." (an odd length starts with three digits); any
// text that is not made of digits comes back as typed.
QString FormatPhone(const QString &text);

// Removes leading and trailing blanks and control characters (code points up to the space).
QString TrimControls(const QString &text);
