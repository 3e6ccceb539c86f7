#ifndef CONFIGURATION_H
#define CONFIGURATION_H

#include "actions/analogscale.h"
#include "actions/inputaction.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <tuple>

// Size of the module's configuration block and of its three sections.
constexpr int ConfigurationImageSize = 1968;
constexpr int ImageHeaderSize = 14;
constexpr int SettingsBlockSize = 834;
constexpr int SmsBlockSize = 1120;

// Widths in bytes of the image's text fields: the most a text can take in each
// (counted as config/fieldtext.h encodes it).
constexpr int PinWidth = 4;
constexpr int PukWidth = 8;
constexpr int PhoneWidth = 9;
constexpr int OutputNameWidth = 13;
constexpr int PortWidth = 5;
constexpr int SmsWidth = 140;
// The characters the form takes for a name (the names tab says so).
constexpr int NameCharacters = 12;

// How many of each thing the module has.
constexpr int AnalogInputCount = 2;
constexpr int DigitalInputCount = 6;
constexpr int AnalogOutputCount = 2;
constexpr int DigitalOutputCount = 6;
constexpr int PhoneCount = 8;
constexpr int SmsCount = 8;

// The module's answer to a live-state request: AI1 and AI2 big-endian, then
// the digital inputs.
constexpr int OnlineStateSize = 5;

// Keys of ringActions: the task for one ring and for three rings.
constexpr int RingOnceKey = 1;
constexpr int RingThriceKey = 4;

// Which part of the image toImage() produces.
enum class ImageSection { Full = 0, SmsBlock = 2, SettingsBlock = 3 };

// State the module gives a digital output after power-up.
struct OutputStartup
{
    quint8 on = 0;
    quint16 seconds = 0;
    bool operator==(const OutputStartup &other) const
    {
        return on == other.on && seconds == other.seconds;
    }
};

// Bits of the image that no field stands for, kept as they were read, so
// that a configuration written back gives the module the bytes it held.
struct ImageRemainder
{
    // The byte after the ring tasks, which the module reserves.
    quint8 reservedByte = 0;
    // Bits 6 and 7 of the power-up mask, which belong to no output, in
    // their places.
    quint8 powerUpMaskHighBits = 0;
    // The zero bytes of the server port's field (bit i for byte i) when
    // they stand between its digits; 0 when the digits come first, as the
    // program writes them. Used only while the port has as many bytes as
    // the field has other places.
    quint8 serverPortZeros = 0;
    bool operator==(const ImageRemainder &other) const
    {
        return reservedByte == other.reservedByte && powerUpMaskHighBits == other.powerUpMaskHighBits
                && serverPortZeros == other.serverPortZeros;
    }
    bool operator!=(const ImageRemainder &other) const { return !(*this == other); }
};

// One complete configuration of a TX48 module, as a plain value.
class Configuration
{
public:
    Configuration();
    // A copy owns its action lists outright: slot pointers handed out by the
    // original keep pointing at the original's storage only.
    Configuration(const Configuration &other);
    Configuration &operator=(const Configuration &other);
    Configuration(Configuration &&other) = default;
    Configuration &operator=(Configuration &&other) = default;

    QString phoneNumber(int i) const;
    void setPhoneNumber(int i, const QString &text);
    QString smsText(int i) const;
    void setSmsText(int i, const QString &text);
    bool errorReportPhone(int i) const;
    void setErrorReportPhone(int i, bool on);
    bool powerFailPhone(int i) const;
    void setPowerFailPhone(int i, bool on);
    bool relaysOn() const;
    void setRelaysOn(bool on);
    bool activeInputs() const;
    void setActiveInputs(bool on);
    bool microphone() const;
    void setMicrophone(bool on);
    // Only the keys the module knows (outputs 0 to 5, rings 1 and 4) are
    // stored, so the maps always hold exactly the fields of the image.
    void setOutputStartup(int i, quint8 on, quint16 seconds);
    void setRingAction(int key, quint8 code);
    AnalogRange analogInputRange(int input) const;

    // Writable slots; the record detaches its data first, so writing through
    // the pointer never changes a copy. Null for an index or input out of range.
    // Copies and stores ignore an index or input out of range (a copy is then
    // an empty action of the input's kind).
    InputAction *analogActionSlot(int input, int index);
    InputAction *digitalActionSlot(int input, int index);
    InputAction analogAction(int input, int index) const;
    InputAction digitalAction(int input, int index) const;
    void setAnalogAction(int input, int index, const InputAction &action);
    void setDigitalAction(int input, int index, const InputAction &action);

    QByteArray toImage(ImageSection section) const;
    // Replaces every member with the image's content; anything but exactly
    // ConfigurationImageSize bytes leaves the record unchanged.
    void fromImage(const QByteArray &image);

    bool operator==(const Configuration &other) const;
    bool operator!=(const Configuration &other) const;

    QString secondModulePhone;
    QString simPin;
    QString simPuk;
    std::array<QString, 8> phoneNumbers;
    QMap<int, QString> analogOutputNames;
    QMap<int, QString> digitalOutputNames;
    QMap<int, QList<InputAction>> analogActions;
    QMap<int, QList<InputAction>> digitalActions;
    std::array<quint8, 2> analogFilters{};
    std::array<quint8, 6> digitalFilters{};
    std::array<quint16, 2> analogRange{};
    std::array<quint8, 2> analogDecimals{};
    quint8 hysteresis = 0;
    quint8 analogInputTypes = 0;
    QMap<int, OutputStartup> outputStartup;
    quint8 errorReportPhones = 0;
    quint8 chargeCurrent = 0;
    quint8 powerFailPhones = 0;
    quint16 relayHoldTime = 0;
    quint8 optionFlags = 0;
    QMap<int, quint8> ringActions;
    std::array<quint8, 4> serverAddress{};
    QString serverPort;
    quint8 archiveInterval = 0;
    quint8 archiveSendAfter = 0;
    std::array<QString, 8> smsTexts;
    ImageRemainder imageRemainder;

private:
    // Every member, in declaration order, for assignment and comparison. A
    // structured binding must name every data member, so a member added to
    // the record but not here stops the build.
    template<typename Record>
    static auto members(Record &record)
    {
        auto &[secondModulePhone, simPin, simPuk, phoneNumbers, analogOutputNames,
               digitalOutputNames, analogActions, digitalActions, analogFilters,
               digitalFilters, analogRange, analogDecimals, hysteresis, analogInputTypes,
               outputStartup, errorReportPhones, chargeCurrent, powerFailPhones,
               relayHoldTime, optionFlags, ringActions, serverAddress, serverPort,
               archiveInterval, archiveSendAfter, smsTexts, imageRemainder] = record;
        return std::tie(secondModulePhone, simPin, simPuk, phoneNumbers, analogOutputNames,
                        digitalOutputNames, analogActions, digitalActions, analogFilters,
                        digitalFilters, analogRange, analogDecimals, hysteresis,
                        analogInputTypes, outputStartup, errorReportPhones, chargeCurrent,
                        powerFailPhones, relayHoldTime, optionFlags, ringActions,
                        serverAddress, serverPort, archiveInterval, archiveSendAfter,
                        smsTexts, imageRemainder);
    }
    void ownActionLists();
};

// The 6 (analogue) or 4 (digital) bytes of one action slot in the image.
QByteArray encodeAction(const InputAction &action);

// The server's address as it is written: four numbers joined by points.
QString ipAddressText(const std::array<quint8, 4> &octets);

#endif
