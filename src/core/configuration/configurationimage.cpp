#include "configuration/configuration.h"
#include "configuration/fieldtext.h"

#include <cstring>

namespace {

constexpr int PukAreaWidth = 10;
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
constexpr int ReservedOffset = 836;
constexpr int ServerAddressOffset = 837;
constexpr int ServerPortOffset = 841;
constexpr int ArchiveIntervalOffset = 846;
constexpr int ArchiveSendAfterOffset = 847;
constexpr int SmsTextsOffset = 848;

constexpr quint8 OutputBits = 0x3F;
constexpr quint8 PortFieldBits = (1 << PortWidth) - 1;

// Writes the fields one after another into a buffer of the section's size.
class ImageWriter
{
public:
    explicit ImageWriter(QByteArray &image) : cursor(image.data()), end(image.data() + image.size()) {}

    bool isAtEnd() const { return cursor == end; }

    void byte(quint8 value)
    {
        Q_ASSERT(cursor < end);
        *cursor++ = char(value);
    }

    void number(quint16 value)
    {
        byte(quint8(value >> 8));
        byte(quint8(value & 0xFF));
    }

    void zeros(int count)
    {
        Q_ASSERT(cursor + count <= end);
        std::memset(cursor, 0, count);
        cursor += count;
    }

    // A fixed-width text field: the text's bytes, cut before a character
    // that does not fit, so the module never gets half a character; the rest
    // of the field is zero.
    void text(const QString &text, int width)
    {
        const QByteArray bytes = encodeFieldText(QStringView(text).left(fittingTextLength(text, width)));
        Q_ASSERT(cursor + bytes.size() <= end);
        std::memcpy(cursor, bytes.constData(), bytes.size());
        cursor += bytes.size();
        zeros(width - int(bytes.size()));
    }

    // The port's bytes in the places the zeros leave free, when they fill
    // them exactly; otherwise as any text field.
    void port(const QString &digits, quint8 zeros)
    {
        const QByteArray bytes = encodeFieldText(QStringView(digits).left(fittingTextLength(digits, PortWidth)));
        if (zeros == 0 || bytes.size() != PortWidth - int(qPopulationCount(quint8(zeros & PortFieldBits)))) {
            text(digits, PortWidth);
            return;
        }
        qsizetype next = 0;
        for (int i = 0; i < PortWidth; ++i)
            byte(zeros >> i & 1 ? 0 : quint8(bytes.at(next++)));
    }

    void analogSlot(const InputAction &action)
    {
        byte(action.flags);
        number(action.value);
        byte(action.code);
        number(action.time);
    }

    void digitalSlot(const InputAction &action)
    {
        byte(action.flags);
        byte(action.code);
        number(action.time);
    }

    // Every input writes exactly its slot count in its own slot layout,
    // whatever the list holds, so the image always keeps its size.
    void slotList(const QMap<int, QList<InputAction>> &lists, int input, int slotCount, int kind)
    {
        const QList<InputAction> list = lists.value(input);
        for (int index = 0; index < slotCount; ++index) {
            const InputAction action = index < list.size() ? list.at(index) : InputAction(kind);
            if (kind == AnalogInput)
                analogSlot(action);
            else
                digitalSlot(action);
        }
    }

private:
    char *cursor;
    char *const end;
};

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
        return decodeFieldText(QByteArrayView(field, length));
    }

    // The port field's zero bytes are padding wherever they stand (where
    // they stand is kept apart, zerosBetweenDigits()).
    QString digitsWithoutZeros(int offset, int width) const
    {
        QByteArray digits;
        for (int i = 0; i < width; ++i) {
            if (bytes[offset + i] != 0)
                digits.append(char(bytes[offset + i]));
        }
        return decodeFieldText(digits);
    }

    // The zero bytes of the port's field, when one stands before a digit.
    quint8 zerosBetweenDigits(int offset, int width) const
    {
        quint8 zeros = 0;
        bool digitAfterZero = false;
        for (int i = 0; i < width; ++i) {
            if (bytes[offset + i] == 0)
                zeros |= quint8(1 << i);
            else
                digitAfterZero = digitAfterZero || zeros != 0;
        }
        return digitAfterZero ? zeros : 0;
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
    const bool analog = action.inputKind == AnalogInput;
    QByteArray bytes(analog ? AnalogSlotSize : DigitalSlotSize, Qt::Uninitialized);
    ImageWriter writer(bytes);
    if (analog)
        writer.analogSlot(action);
    else
        writer.digitalSlot(action);
    Q_ASSERT(writer.isAtEnd());
    return bytes;
}

QByteArray Configuration::toImage(ImageSection section) const
{
    const bool full = section == ImageSection::Full;
    const bool settings = full || section == ImageSection::SettingsBlock;
    const bool sms = full || section == ImageSection::SmsBlock;
    QByteArray image((full ? ImageHeaderSize : 0) + (settings ? SettingsBlockSize : 0)
                             + (sms ? SmsBlockSize : 0),
                     Qt::Uninitialized);
    ImageWriter writer(image);

    if (full)
        writer.zeros(PinWidth + PukAreaWidth);

    if (settings) {
        writer.text(secondModulePhone, PhoneWidth);
        for (const QString &number : phoneNumbers)
            writer.text(number, PhoneWidth);
        for (int i = 0; i < AnalogOutputCount; ++i)
            writer.text(analogOutputNames.value(i), OutputNameWidth);
        for (int i = 0; i < DigitalOutputCount; ++i)
            writer.text(digitalOutputNames.value(i), OutputNameWidth);

        for (int input = 0; input < AnalogInputCount; ++input)
            writer.slotList(analogActions, input, AnalogActionSlots, AnalogInput);
        for (int input = 0; input < DigitalInputCount; ++input)
            writer.slotList(digitalActions, input, DigitalActionSlots, DigitalInput);

        for (quint8 filter : analogFilters)
            writer.byte(filter);
        for (quint8 filter : digitalFilters)
            writer.byte(filter);
        for (int input = 0; input < AnalogInputCount; ++input) {
            writer.number(analogRange[input]);
            writer.byte(analogDecimals[input]);
        }
        writer.byte(hysteresis);
        writer.byte(analogInputTypes);

        quint8 startupMask = 0;
        for (int i = 0; i < DigitalOutputCount; ++i) {
            if (outputStartup.value(i).on != 0)
                startupMask |= quint8(1 << i);
        }
        writer.byte(quint8(startupMask | (imageRemainder.powerUpMaskHighBits & ~OutputBits)));
        for (int i = 0; i < DigitalOutputCount; ++i)
            writer.number(outputStartup.value(i).seconds);

        writer.byte(errorReportPhones);
        writer.byte(chargeCurrent);
        writer.byte(powerFailPhones);
        writer.number(relayHoldTime);
        writer.byte(optionFlags);
        writer.byte(ringActions.value(RingOnceKey));
        writer.byte(ringActions.value(RingThriceKey));
        writer.byte(imageRemainder.reservedByte);
        for (quint8 octet : serverAddress)
            writer.byte(octet);
        writer.port(serverPort, imageRemainder.serverPortZeros);
        writer.byte(archiveInterval);
        writer.byte(archiveSendAfter);
    }

    if (sms) {
        for (const QString &text : smsTexts)
            writer.text(text, SmsWidth);
    }
    Q_ASSERT(writer.isAtEnd());
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
    imageRemainder.powerUpMaskHighBits = quint8(startupMask & ~OutputBits);

    errorReportPhones = reader.byte(ErrorReportPhonesOffset);
    chargeCurrent = reader.byte(ChargeCurrentOffset);
    powerFailPhones = reader.byte(PowerFailPhonesOffset);
    relayHoldTime = reader.number(RelayHoldTimeOffset);
    optionFlags = reader.byte(OptionFlagsOffset);
    ringActions.insert(RingOnceKey, reader.byte(RingOnceOffset));
    ringActions.insert(RingThriceKey, reader.byte(RingThriceOffset));
    imageRemainder.reservedByte = reader.byte(ReservedOffset);

    for (int i = 0; i < int(serverAddress.size()); ++i)
        serverAddress[i] = reader.byte(ServerAddressOffset + i);
    serverPort = reader.digitsWithoutZeros(ServerPortOffset, PortWidth);
    imageRemainder.serverPortZeros = reader.zerosBetweenDigits(ServerPortOffset, PortWidth);
    archiveInterval = reader.byte(ArchiveIntervalOffset);
    archiveSendAfter = reader.byte(ArchiveSendAfterOffset);

    for (int i = 0; i < int(smsTexts.size()); ++i)
        smsTexts[i] = reader.text(SmsTextsOffset + SmsWidth * i, SmsWidth);
}
