#pragma once

#include <QString>

#include <functional>

// The SQL literal writers of the gateway, passed in so that statement composition does not
// depend on where they live. Each takes a value as typed and answers its literal.
struct SqlLiterals
{
    std::function<QString(const QString &)> SqlText; // 'text', safe inside a request address
    std::function<QString(const QString &)> SqlNumber; // decimal comma made "."
    std::function<QString(const QString &)> SqlDate; // #mm/dd/yyyy# or NULL
};

// Reads the text a control shows, by control name ("cNVO", "aCliNom"); empty when there is
// no such control.
using FieldText = std::function<QString(const QString &controlName)>;

// Telephone numbers grouped for display.
using PhoneFormat = std::function<QString(const QString &)>;
