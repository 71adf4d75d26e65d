#pragma once

#include <QString>

// The customer's identity line: civility, the name upper-cased, the first name with its first
// letter upper-cased and the rest lower-cased, separated by one blank each (a blank follows
// the civility and the name whenever the line is not empty). Only the letters a to z and A to
// Z change case.
QString identityLine(const QString &civility, const QString &name, const QString &firstName);

// The window title of a customer: "ClarimII - " + the identity line.
QString identityTitle(const QString &line);

// What a key filter of an identity field does with a typed character.
enum class KeyFilter {
    Upper, // letters a to z upper-cased, everything else kept (accents too)
    Digits, // digits only
    Plate, // letters a to z, A to Z and digits, upper-cased; blanks, hyphens, accents dropped
};

// The text the key types after the filter; empty: the key is dropped.
QString filterKey(KeyFilter filter, const QString &typed);
