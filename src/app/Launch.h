#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// Arguments of the launcher, "KEY=VALUE" each (the value may hold "=" and be empty). Answers
// false and names the first argument that is not of that shape; keys are kept in order.
bool ParseLaunchArguments(const QStringList &arguments, QList<std::pair<QString, QString>> &keys,
                          QString *badArgument = nullptr);
