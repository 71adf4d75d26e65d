#pragma once

#include <QString>

// The free version text of a vehicle keeps its model at the start and its type-version at the
// end while those boxes change.

// One box as UpdateVersion reads it.
struct VersionBox
{
    bool described = false; // a described field (tag not 0)
    QString text; // as shown
    QString LoadedValue;
};

struct VersionMemo
{
    QString memo; // the version text
    QString LastModel; // model text last merged; empty after a load
    QString LastTypeVersion; // type-version text last merged
};

// UpdateVersion: the model replaces the first occurrence (ignoring case) of the model merged
// last (at first the loaded one) or goes in front; then the type-version does the same, or goes
// at the end. Both are written upper-cased. typeVersion may be null (used vehicles).
VersionMemo UpdateVersion(const VersionMemo &state, const VersionBox &model,
                          const VersionBox *typeVersion);
