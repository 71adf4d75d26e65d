#pragma once

#include "platform/Shell.h"

#include <QStringList>

// Records every address it is asked to open and starts nothing.
class RecordingShell : public Shell
{
public:
    bool open(const QString &address) override
    {
        opened.append(address);
        return true;
    }
    QStringList opened;
};
