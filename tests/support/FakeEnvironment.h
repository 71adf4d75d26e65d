#pragma once

#include "platform/Environment.h"

#include <QHash>

// Variables from a table only; nothing falls back to the real machine.
class FakeEnvironment : public Environment
{
public:
    QString variable(const QString &name) const override { return vars.value(name); }
    QString appData() const override { return vars.value(QStringLiteral("APPDATA")); }
    QString temp() const override { return vars.value(QStringLiteral("TEMP")); }
    QString windir() const override { return vars.value(QStringLiteral("Windir")); }
    QString userName() const override { return vars.value(QStringLiteral("USER")); }
    QHash<QString, QString> vars;
};
