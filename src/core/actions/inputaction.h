#ifndef INPUTACTION_H
#define INPUTACTION_H

#include <QtGlobal>

// Number of action slots the module keeps per input.
constexpr int AnalogActionSlots = 18;
constexpr int DigitalActionSlots = 16;

// Which list an action belongs to; selects its condition vocabulary.
enum InputKind { AnalogInput = 0, DigitalInput = 1 };

// One action slot of an input: bit 0 of flags is the use flag, bits 1..7 the
// condition. A slot whose flags are 0 is free.
class InputAction
{
public:
    explicit InputAction(int inputKind = AnalogInput);
    InputAction(int inputKind, quint8 flags, quint16 value, quint16 time, quint8 code);

    bool use() const;
    void setUse(bool on);
    int condition() const;
    bool isFree() const;

    // All five fields take part, so that an edit of only the value, time or
    // code counts as an unsaved change.
    bool operator==(const InputAction &other) const;
    bool operator!=(const InputAction &other) const;

    quint8 flags = 0;
    quint16 value = 0;
    quint16 time = 0;
    quint8 code = 0;
    int inputKind = AnalogInput;
};

#endif
