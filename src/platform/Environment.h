#pragma once

#include <QString>

// Environment variables and the folders the program derives from them. The program was
// written for a desktop where APPDATA, TEMP and Windir always exist; here each has a fallback.
class Environment
{
public:
    virtual ~Environment() = default;
    // Raw variable, empty when unset.
    virtual QString variable(const QString &name) const = 0;
    // Per-user settings folder: APPDATA, else the XDG config folder.
    virtual QString appData() const = 0;
    // Folder of response files and log: TEMP, else the system temp folder.
    virtual QString temp() const = 0;
    // Windows folder: Windir, else empty (no installed component then).
    virtual QString windir() const = 0;
    // Login name, used to keep one program copy per user.
    virtual QString userName() const = 0;
};

class SystemEnvironment : public Environment
{
public:
    QString variable(const QString &name) const override;
    QString appData() const override;
    QString temp() const override;
    QString windir() const override;
    QString userName() const override;
};
