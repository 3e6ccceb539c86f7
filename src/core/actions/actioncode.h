#ifndef ACTIONCODE_H
#define ACTIONCODE_H

#include <QtGlobal>

// What an action does, in its one byte. The codes come in three groups:
// the module's own outputs (0-23), the outputs of the second module (24-47)
// and status SMS (48-111). In an output group the code is 8 times
// the operation (switch on, switch off, negate) plus the target (DO1 to DO6,
// 6 for all outputs, 7 for none); in the SMS group it is 8 times the phone
// plus the status. Codes from 112 on do nothing.
class ActionCode
{
public:
    enum Group { LocalOutputs = 0, RemoteOutputs = 1, StatusSms = 2 };
    enum Operation { SwitchOn = 0, SwitchOff = 1, Negate = 2 };

    static constexpr int GroupSize = 24;
    static constexpr int ChoiceSize = 8;
    static constexpr int AllOutputs = 6;
    static constexpr int NoTarget = 7;
    // Eight phones of eight statuses end the SMS group.
    static constexpr int FirstUnused = StatusSms * GroupSize + ChoiceSize * ChoiceSize;

    constexpr explicit ActionCode(int code) : code(code) {}
    // The code of the choices the action editor's three lists offer: the
    // group, then the operation or phone, then the target or status.
    static constexpr ActionCode compose(int group, int second, int third)
    {
        return ActionCode(group * GroupSize + second * ChoiceSize + third);
    }

    constexpr int value() const { return code; }
    constexpr bool isKnown() const { return code >= 0 && code < FirstUnused; }
    // The SMS group is the last, and the only one longer than GroupSize.
    constexpr int group() const { return code < StatusSms * GroupSize ? code / GroupSize : StatusSms; }
    constexpr int second() const { return (code - group() * GroupSize) / ChoiceSize; }
    constexpr int third() const { return (code - group() * GroupSize) % ChoiceSize; }
    // An output operation without a target does nothing the editor offers.
    constexpr bool hasTarget() const { return group() == StatusSms || third() != NoTarget; }

private:
    int code;
};

// A task of the settings dialog's ring control: an operation on the
// module's own outputs, stored as its action code plus one, or sending a
// status SMS, stored as StatusBase plus the status's number (1 to 8).
// 0 is no task.
namespace RingTask {
constexpr int None = 0;
constexpr int StatusBase = 24;
constexpr int Last = StatusBase + ActionCode::ChoiceSize;
} // namespace RingTask

#endif
