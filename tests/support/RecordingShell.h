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
    bool start(const QString &program, const QString &parameter) override
    {
        if (program.isEmpty())
            return false;
        started.append(program);
        opened.append(parameter);
        return true;
    }
    QStringList opened; // every address, opened or started
    QStringList started; // the programs started by name
};
