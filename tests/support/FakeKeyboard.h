#pragma once

#include "platform/Keyboard.h"

// Modifier keys as the test sets them.
class FakeKeyboard : public Keyboard
{
public:
    bool ctrlDown() const override { return ctrl; }
    bool ctrl = false;
};
