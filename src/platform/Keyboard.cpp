#include "platform/Keyboard.h"

#include <QGuiApplication>

bool SystemKeyboard::ctrlDown() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}
