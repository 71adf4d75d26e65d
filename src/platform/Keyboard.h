#pragma once

// State of the modifier keys at the moment of asking (Ctrl forces fresh fetches, opens list
// maintenance, ...).
class Keyboard
{
public:
    virtual ~Keyboard() = default;
    virtual bool ctrlDown() const = 0;
};

class SystemKeyboard : public Keyboard
{
public:
    bool ctrlDown() const override;
};
