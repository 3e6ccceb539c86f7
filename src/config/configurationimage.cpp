#include "config/configuration.h"

#include <cstring>

namespace {

constexpr int PinWidth = 4;
constexpr int PukWidth = 8;
constexpr int PukAreaWidth = 10;
constexpr int PhoneWidth = 9;
constexpr int OutputNameWidth = 13;
constexpr int PortWidth = 5;
constexpr int SmsWidth = 140;
constexpr int AnalogSlotSize = 6;
constexpr int DigitalSlotSize = 4;

constexpr int SimPinOffset = 0;
constexpr int SimPukOffset = 4;
constexpr int SecondModulePhoneOffset = 14;
constexpr int PhoneNumbersOffset = 23;
constexpr int AnalogOutputNamesOffset = 95;
constexpr int DigitalOutputNamesOffset = 121;
constexpr int AnalogActionsOffset = 199;
constexpr int DigitalActionsOffset = 415;
constexpr int AnalogFiltersOffset = 799;
constexpr int DigitalFiltersOffset = 801;
constexpr int AnalogRangesOffset = 807;
constexpr int HysteresisOffset = 813;
constexpr int AnalogInputTypesOffset = 814;
constexpr int StartupMaskOffset = 815;
constexpr int StartupSecondsOffset = 816;
constexpr int ErrorReportPhonesOffset = 828;
constexpr int ChargeCurrentOffset = 829;
constexpr int PowerFailPhonesOffset = 830;
constexpr int RelayHoldTimeOffset = 831;
constexpr int OptionFlagsOffset = 833;
constexpr int RingOnceOffset = 834;
constexpr int RingThriceOffset = 835;
constexpr int ServerAddressOffset = 837;
constexpr int ServerPortOffset = 841;
constexpr int ArchiveIntervalOffset = 846;
constexpr int ArchiveSendAfterOffset = 847;
constexpr int SmsTextsOffset = 848;

void appendByte(QByteArray &image, quint8 byte)
{
    image.append(char(byte));
}

void appendNumber(QByteArray &image, quint16 number)
{
    image.append(char(number >> 8));
    image.append(char(number & 0xFF));
}

// A fixed-width UTF-8 field. A text that does not fit is cut at the last
// character boundary within the width, so the module never gets half a
// character; the rest of the field is zero.
void appendText(QByteArray &image, const QString &text, int width)
{
    const QByteArray utf8 = text.toUtf8();
    int length = int(qMin<qsizetype>(utf8.size(), width));
    if (length < utf8.size()) {
        while (length > 0 && (quint8(utf8.at(length)) & 0xC0) == 0x80)
            --length;
    }
    image.append(utf8.constData(), length);
    image.append(width - length, '\0');
}

void appendAnalogSlot(QByteArray &image, const InputAction &action)
{
    appendByte(image, action.flags);
    appendNumber(image, action.value);
    appendByte(image, action.code);
    appendNumber(image, action.time);
}

void appendDigitalSlot(QByteArray &image, const InputAction &action)
{
    appendByte(image, action.flags);
    appendByte(image, action.code);
    appendNumber(image, action.time);
}

// Every input writes exactly its slot count in its own slot layout, whatever
// the list holds, so the image always keeps its size.
template<typename AppendSlot>
void appendSlots(QByteArray &image, const QMap<int, QList<InputAction>> &lists, int input,
                 int slotCount, int kind, AppendSlot appendSlot)
{
    const QList<InputAction> list = lists.value(input);
    for (int index = 0; index < slotCount; ++index)
        appendSlot(image, index < list.size() ? list.at(index) : InputAction(kind));
}

class ImageReader
{
public:
    explicit ImageReader(const QByteArray &image) : bytes(reinterpret_cast<const quint8 *>(image.constData())) {}

    quint8 byte(int offset) const { return bytes[offset]; }
    quint16 number(int offset) const { return quint16(bytes[offset] << 8 | bytes[offset + 1]); }

    QString text(int offset, int width) const
    {
        const char *field = reinterpret_cast<const char *>(bytes + offset);
        const void *zero = std::memchr(field, 0, width);
        const int length = zero ? int(static_cast<const char *>(zero) - field) : width;
        return QString::fromUtf8(field, length);
    }

    // The port field's zero bytes are padding wherever they stand.
    QString digitsWithoutZeros(int offset, int width) const
    {
        QByteArray digits;
        for (int i = 0; i < width; ++i) {
            if (bytes[offset + i] != 0)
                digits.append(char(bytes[offset + i]));
        }
        return QString::fromUtf8(digits);
    }

    QList<InputAction> analogSlots(int offset) const
    {
        QList<InputAction> list;
        list.reserve(AnalogActionSlots);
        for (int index = 0; index < AnalogActionSlots; ++index, offset += AnalogSlotSize)
            list.append(InputAction(AnalogInput, byte(offset), number(offset + 1),
                                    number(offset + 4), byte(offset + 3)));
        return list;
    }

    QList<InputAction> digitalSlots(int offset) const
    {
        QList<InputAction> list;
        list.reserve(DigitalActionSlots);
        for (int index = 0; index < DigitalActionSlots; ++index, offset += DigitalSlotSize)
            list.append(InputAction(DigitalInput, byte(offset), 0, number(offset + 2),
                                    byte(offset + 1)));
        return list;
    }

private:
    const quint8 *bytes;
};

} // namespace

QByteArray encodeAction(const InputAction &action)
{
    QByteArray bytes;
    if (action.inputKind == AnalogInput)
        appendAnalogSlot(bytes, action);
    else
        appendDigitalSlot(bytes, action);
    return bytes;
}

QByteArray Configuration::toImage(ImageSection section) const
{
    const bool full = section == ImageSection::Full;
    QByteArray image;
    image.reserve(ConfigurationImageSize);

    if (full)
        image.append(PinWidth + PukAreaWidth, '\0');

    if (full || section == ImageSection::SettingsBlock) {
        appendText(image, secondModulePhone, PhoneWidth);
        for (const QString &number : phoneNumbers)
            appendText(image, number, PhoneWidth);
        for (int i = 0; i < AnalogOutputCount; ++i)
            appendText(image, analogOutputNames.value(i), OutputNameWidth);
        for (int i = 0; i < DigitalOutputCount; ++i)
            appendText(image, digitalOutputNames.value(i), OutputNameWidth);

        for (int input = 0; input < AnalogInputCount; ++input)
            appendSlots(image, analogActions, input, AnalogActionSlots, AnalogInput, appendAnalogSlot);
        for (int input = 0; input < DigitalInputCount; ++input)
            appendSlots(image, digitalActions, input, DigitalActionSlots, DigitalInput, appendDigitalSlot);

        for (quint8 filter : analogFilters)
            appendByte(image, filter);
        for (quint8 filter : digitalFilters)
            appendByte(image, filter);
        for (int input = 0; input < AnalogInputCount; ++input) {
            appendNumber(image, analogRange[input]);
            appendByte(image, analogDecimals[input]);
        }
        appendByte(image, hysteresis);
        appendByte(image, analogInputTypes);

        quint8 startupMask = 0;
        for (int i = 0; i < DigitalOutputCount; ++i) {
            if (outputStartup.value(i).on != 0)
                startupMask |= quint8(1 << i);
        }
        appendByte(image, startupMask);
        for (int i = 0; i < DigitalOutputCount; ++i)
            appendNumber(image, outputStartup.value(i).seconds);

        appendByte(image, errorReportPhones);
        appendByte(image, chargeCurrent);
        appendByte(image, powerFailPhones);
        appendNumber(image, relayHoldTime);
        appendByte(image, optionFlags);
        appendByte(image, ringActions.value(RingOnceKey));
        appendByte(image, ringActions.value(RingThriceKey));
        appendByte(image, 0);
        for (quint8 octet : serverAddress)
            appendByte(image, octet);
        appendText(image, serverPort, PortWidth);
        appendByte(image, archiveInterval);
        appendByte(image, archiveSendAfter);
    }

    if (full || section == ImageSection::SmsBlock) {
        for (const QString &text : smsTexts)
            appendText(image, text, SmsWidth);
    }
    return image;
}

void Configuration::fromImage(const QByteArray &image)
{
    if (image.size() != ConfigurationImageSize)
        return;
    const ImageReader reader(image);

    simPin = reader.text(SimPinOffset, PinWidth);
    simPuk = reader.text(SimPukOffset, PukWidth);
    secondModulePhone = reader.text(SecondModulePhoneOffset, PhoneWidth);
    for (int i = 0; i < int(phoneNumbers.size()); ++i)
        phoneNumbers[i] = reader.text(PhoneNumbersOffset + PhoneWidth * i, PhoneWidth);

    for (int i = 0; i < AnalogOutputCount; ++i)
        analogOutputNames.insert(i, reader.text(AnalogOutputNamesOffset + OutputNameWidth * i, OutputNameWidth));
    for (int i = 0; i < DigitalOutputCount; ++i)
        digitalOutputNames.insert(i, reader.text(DigitalOutputNamesOffset + OutputNameWidth * i, OutputNameWidth));

    for (int input = 0; input < AnalogInputCount; ++input)
        analogActions.insert(input, reader.analogSlots(AnalogActionsOffset + AnalogActionSlots * AnalogSlotSize * input));
    for (int input = 0; input < DigitalInputCount; ++input)
        digitalActions.insert(input, reader.digitalSlots(DigitalActionsOffset + DigitalActionSlots * DigitalSlotSize * input));

    for (int i = 0; i < AnalogInputCount; ++i)
        analogFilters[i] = reader.byte(AnalogFiltersOffset + i);
    for (int i = 0; i < DigitalInputCount; ++i)
        digitalFilters[i] = reader.byte(DigitalFiltersOffset + i);
    for (int input = 0; input < AnalogInputCount; ++input) {
        analogRange[input] = reader.number(AnalogRangesOffset + 3 * input);
        analogDecimals[input] = reader.byte(AnalogRangesOffset + 3 * input + 2);
    }
    hysteresis = reader.byte(HysteresisOffset);
    analogInputTypes = reader.byte(AnalogInputTypesOffset);

    const quint8 startupMask = reader.byte(StartupMaskOffset);
    for (int i = 0; i < DigitalOutputCount; ++i)
        outputStartup.insert(i, OutputStartup{ quint8((startupMask >> i) & 1),
                                               reader.number(StartupSecondsOffset + 2 * i) });

    errorReportPhones = reader.byte(ErrorReportPhonesOffset);
    chargeCurrent = reader.byte(ChargeCurrentOffset);
    powerFailPhones = reader.byte(PowerFailPhonesOffset);
    relayHoldTime = reader.number(RelayHoldTimeOffset);
    optionFlags = reader.byte(OptionFlagsOffset);
    ringActions.insert(RingOnceKey, reader.byte(RingOnceOffset));
    ringActions.insert(RingThriceKey, reader.byte(RingThriceOffset));

    for (int i = 0; i < int(serverAddress.size()); ++i)
        serverAddress[i] = reader.byte(ServerAddressOffset + i);
    serverPort = reader.digitsWithoutZeros(ServerPortOffset, PortWidth);
    archiveInterval = reader.byte(ArchiveIntervalOffset);
    archiveSendAfter = reader.byte(ArchiveSendAfterOffset);

    for (int i = 0; i < int(smsTexts.size()); ++i)
        smsTexts[i] = reader.text(SmsTextsOffset + SmsWidth * i, SmsWidth);
}
