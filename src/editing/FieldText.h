#pragma once

#include <QString>

#include <functional>

// Reads the text a control shows, by control name ("cNVO", "aCliNom"); empty when there is
// no such control.
using FieldText = std::function<QString(const QString &controlName)>;

// Telephone numbers grouped for display.
using PhoneFormat = std::function<QString(const QString &)>;
