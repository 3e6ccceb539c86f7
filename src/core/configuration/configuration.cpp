#include "configuration/configuration.h"

namespace {

bool isIndex(int i, int count)
{
    return uint(i) < uint(count);
}

bool maskBit(quint8 mask, int bit)
{
    return isIndex(bit, 8) && (mask >> bit) & 1;
}

void setMaskBit(quint8 &mask, int bit, bool on)
{
    if (!isIndex(bit, 8))
        return;
    if (on)
        mask |= quint8(1 << bit);
    else
        mask &= quint8(~(1 << bit));
}

// The slot of a map of lists, or null when the input or index does not
// exist. Non-const access makes the map and the list this record's own.
InputAction *writableSlot(QMap<int, QList<InputAction>> &lists, int input, int index)
{
    const auto found = lists.constFind(input);
    if (found == lists.cend() || !isIndex(index, found->size()))
        return nullptr;
    return &lists[input][index];
}

InputAction actionCopy(const QMap<int, QList<InputAction>> &lists, int input, int index,
                       int inputKind, int slotCount)
{
    const auto found = lists.constFind(input);
    if (found == lists.cend() || !isIndex(index, slotCount) || !isIndex(index, found->size()))
        return InputAction(inputKind);
    return found->at(index);
}

void storeAction(QMap<int, QList<InputAction>> &lists, int input, int index,
                 const InputAction &action, int inputKind, int slotCount)
{
    if (!isIndex(index, slotCount))
        return;
    InputAction *slot = writableSlot(lists, input, index);
    if (!slot)
        return;
    // The list decides the kind: a slot of an analogue input stays analogue.
    *slot = action;
    slot->inputKind = inputKind;
}

void detachLists(QMap<int, QList<InputAction>> &lists)
{
    for (QList<InputAction> &list : lists)
        list.detach();
}

} // namespace

Configuration::Configuration()
    : analogRange{ 1000, 1000 },
      analogDecimals{ 2, 2 },
      hysteresis(20),
      analogInputTypes(0x11),
      chargeCurrent(25),
      serverPort(QStringLiteral("0"))
{
    for (int i = 0; i < AnalogOutputCount; ++i)
        analogOutputNames.insert(i, QString());
    for (int i = 0; i < DigitalOutputCount; ++i) {
        digitalOutputNames.insert(i, QString());
        outputStartup.insert(i, OutputStartup());
    }
    for (int i = 0; i < AnalogInputCount; ++i)
        analogActions.insert(i, QList<InputAction>(AnalogActionSlots, InputAction(AnalogInput)));
    for (int i = 0; i < DigitalInputCount; ++i)
        digitalActions.insert(i, QList<InputAction>(DigitalActionSlots, InputAction(DigitalInput)));
    ringActions.insert(RingOnceKey, 0);
    ringActions.insert(RingThriceKey, 0);
}

Configuration::Configuration(const Configuration &other)
{
    members(*this) = members(other);
    ownActionLists();
}

Configuration &Configuration::operator=(const Configuration &other)
{
    if (this != &other) {
        members(*this) = members(other);
        ownActionLists();
    }
    return *this;
}

// The action tables keep pointers into the original's lists; sharing them
// with this copy would let an edit through such a pointer reach the copy.
void Configuration::ownActionLists()
{
    analogActions.detach();
    digitalActions.detach();
    detachLists(analogActions);
    detachLists(digitalActions);
}

QString Configuration::phoneNumber(int i) const
{
    return isIndex(i, PhoneCount) ? phoneNumbers[i] : QString();
}

void Configuration::setPhoneNumber(int i, const QString &text)
{
    if (isIndex(i, PhoneCount))
        phoneNumbers[i] = text;
}

QString Configuration::smsText(int i) const
{
    return isIndex(i, SmsCount) ? smsTexts[i] : QString();
}

void Configuration::setSmsText(int i, const QString &text)
{
    if (isIndex(i, SmsCount))
        smsTexts[i] = text;
}

bool Configuration::errorReportPhone(int i) const
{
    return maskBit(errorReportPhones, i);
}

void Configuration::setErrorReportPhone(int i, bool on)
{
    setMaskBit(errorReportPhones, i, on);
}

bool Configuration::powerFailPhone(int i) const
{
    return maskBit(powerFailPhones, i);
}

void Configuration::setPowerFailPhone(int i, bool on)
{
    setMaskBit(powerFailPhones, i, on);
}

bool Configuration::relaysOn() const
{
    return maskBit(optionFlags, 0);
}

void Configuration::setRelaysOn(bool on)
{
    setMaskBit(optionFlags, 0, on);
}

bool Configuration::activeInputs() const
{
    return maskBit(optionFlags, 1);
}

void Configuration::setActiveInputs(bool on)
{
    setMaskBit(optionFlags, 1, on);
}

bool Configuration::microphone() const
{
    return maskBit(optionFlags, 2);
}

void Configuration::setMicrophone(bool on)
{
    setMaskBit(optionFlags, 2, on);
}

void Configuration::setOutputStartup(int i, quint8 on, quint16 seconds)
{
    if (isIndex(i, DigitalOutputCount))
        outputStartup.insert(i, OutputStartup{ on, seconds });
}

void Configuration::setRingAction(int key, quint8 code)
{
    if (key == RingOnceKey || key == RingThriceKey)
        ringActions.insert(key, code);
}

AnalogRange Configuration::analogInputRange(int input) const
{
    if (!isIndex(input, AnalogInputCount))
        return AnalogRange();
    return AnalogRange{ analogRange[input], analogDecimals[input] };
}

InputAction *Configuration::analogActionSlot(int input, int index)
{
    return isIndex(index, AnalogActionSlots) ? writableSlot(analogActions, input, index) : nullptr;
}

InputAction *Configuration::digitalActionSlot(int input, int index)
{
    return isIndex(index, DigitalActionSlots) ? writableSlot(digitalActions, input, index) : nullptr;
}

InputAction Configuration::analogAction(int input, int index) const
{
    return actionCopy(analogActions, input, index, AnalogInput, AnalogActionSlots);
}

InputAction Configuration::digitalAction(int input, int index) const
{
    return actionCopy(digitalActions, input, index, DigitalInput, DigitalActionSlots);
}

void Configuration::setAnalogAction(int input, int index, const InputAction &action)
{
    storeAction(analogActions, input, index, action, AnalogInput, AnalogActionSlots);
}

void Configuration::setDigitalAction(int input, int index, const InputAction &action)
{
    storeAction(digitalActions, input, index, action, DigitalInput, DigitalActionSlots);
}

bool Configuration::operator==(const Configuration &other) const
{
    return members(*this) == members(other);
}

bool Configuration::operator!=(const Configuration &other) const
{
    return !(*this == other);
}

QString ipAddressText(const std::array<quint8, 4> &octets)
{
    return QStringLiteral("%1.%2.%3.%4").arg(octets[0]).arg(octets[1]).arg(octets[2]).arg(octets[3]);
}
