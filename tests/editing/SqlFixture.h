#pragma once

#include "editing/FieldText.h"
#include "engine/TsDesc.h"
#include "gateway/SqlText.h"

#include <QHash>

// Marks a descriptor as bound to an input control. The pointer is only compared with null,
// never followed, so no widget is needed.
inline void bindControl(TsDesc &desc)
{
    static int anchor;
    desc.Control = reinterpret_cast<QWidget *>(&anchor);
}

// Control texts by name, for the checks and the header.
inline FieldText textsOf(const QHash<QString, QString> &texts)
{
    return [texts](const QString &name) {
        return texts.value(name);
    };
}
