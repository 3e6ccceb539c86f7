#include "actions/inputaction.h"

InputAction::InputAction(int inputKind) : inputKind(inputKind) {}

InputAction::InputAction(int inputKind, quint8 flags, quint16 value, quint16 time, quint8 code)
    : flags(flags), value(value), time(time), code(code), inputKind(inputKind)
{
}

bool InputAction::use() const
{
    return flags & 0x01;
}

void InputAction::setUse(bool on)
{
    if (on)
        flags |= 0x01;
    else
        flags &= ~0x01;
}

int InputAction::condition() const
{
    return flags >> 1;
}

bool InputAction::isFree() const
{
    return flags == 0;
}

bool InputAction::operator==(const InputAction &other) const
{
    return flags == other.flags && value == other.value && time == other.time
            && code == other.code && inputKind == other.inputKind;
}

bool InputAction::operator!=(const InputAction &other) const
{
    return !(*this == other);
}
