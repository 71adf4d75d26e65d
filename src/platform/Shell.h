#pragma once

#include <QString>

// Opens a document or an address with the desktop's default program (reports in the browser).
class Shell
{
public:
    virtual ~Shell() = default;
    // The address is passed as it is, unencoded. Answers false when nothing could be started.
    virtual bool open(const QString &address) = 0;
    // Starts a named program with the parameter as its one argument, as it is.
    virtual bool start(const QString &program, const QString &parameter) = 0;
};

// $BROWSER when set, else xdg-open; started detached.
class DesktopShell : public Shell
{
public:
    bool open(const QString &address) override;
    bool start(const QString &program, const QString &parameter) override;
};
