#include "fields/configurationfields.h"

#include "actions/actioncode.h"
#include "actions/actiontext.h"
#include "actions/analogscale.h"
#include "configuration/configuration.h"
#include "settings/usernames.h"

#include <QStringList>
#include <limits>

namespace {

const QString Arrow = QStringLiteral(" → ");

// Bits of optionFlags that the form shows: relays, inputs, microphone.
constexpr int KnownOptionBits = 3;

// A field of the full listing. A field that may be absent (a free action
// slot) is left out of the listing while its value is empty, yet it is
// still compared, so both sides of a comparison always hold the same fields.
struct ListedField
{
    ConfigurationField field;
    bool mayBeAbsent;
};

class FieldList
{
public:
    void startSection(const QString &title) { section = title; }
    void add(const QString &label, const QString &value) { append(label, value, false); }
    void addIfPresent(const QString &label, const QString &value) { append(label, value, true); }

    QList<ListedField> fields;

private:
    void append(const QString &label, const QString &value, bool mayBeAbsent)
    {
        fields.append({ { section, label, value }, mayBeAbsent });
    }

    QString section;
};

QString yesNo(bool on)
{
    return on ? QStringLiteral("tak") : QStringLiteral("nie");
}

// A caption followed by the user's name, the way the window captions phones.
QString named(const QString &caption, const QString &name)
{
    return name.isEmpty() ? caption : QStringLiteral("%1 (%2)").arg(caption, name);
}

QString phoneCaption(int phone, const UserNames &names)
{
    return named(QStringLiteral("Telefon %1").arg(phone + 1), names.phones[phone]);
}

// The window names every status "status n" until the user renames it;
// repeating that name adds nothing.
QString statusCaption(int status, const UserNames &names)
{
    const QString name = names.statuses[status];
    const QString caption = QStringLiteral("Status %1").arg(status + 1);
    return name == QStringLiteral("status %1").arg(status + 1) ? caption : named(caption, name);
}

QString analogInputTitle(int input, const UserNames &names)
{
    return named(QStringLiteral("Wejście analogowe AI%1").arg(input + 1), names.analogInputs[input]);
}

QString digitalInputTitle(int input, const UserNames &names)
{
    return named(QStringLiteral("Wejście cyfrowe DI%1").arg(input + 1), names.digitalInputs[input]);
}

// A threshold as the table shows it. Where the table's rounding shows the
// neighbouring stored numbers alike, the stored thousandths follow.
QString analogValueText(quint16 value, AnalogRange range)
{
    const QString shown = analogDisplayText(value, range);
    const bool sharedWithNeighbour =
            (value > 0 && analogDisplayText(value - 1, range) == shown)
            || (value < std::numeric_limits<quint16>::max() && analogDisplayText(value + 1, range) == shown);
    return sharedWithNeighbour ? QStringLiteral("%1 (%2‰ zakresu)").arg(shown).arg(value) : shown;
}

// Every code from the first unknown one on has the same blank table text.
QString actionCodeText(const InputAction &action)
{
    if (!ActionCode(action.code).isKnown())
        return QStringLiteral("nieznana akcja (kod %1)").arg(action.code);
    return actionText(action);
}

// An action as its table row: "Użyj", "Warunek", "Czas", "Akcja". A free slot
// is empty unless it still holds bytes that a write sends.
QString actionRowText(const InputAction &action, AnalogRange range)
{
    const bool analog = action.inputKind == AnalogInput;
    const QString value = analog ? analogValueText(action.value, range) : QString();
    const QString time = timeText(action.time);
    const QString code = actionCodeText(action);

    if (action.isFree()) {
        if (action.time == 0 && action.code == 0 && (!analog || action.value == 0))
            return QString();
        const QStringList leftovers = analog ? QStringList{ value, time, code } : QStringList{ time, code };
        return QStringLiteral("wolna (pozostałe dane: %1)").arg(leftovers.join(QStringLiteral(", ")));
    }

    QString condition = actionConditionText(action);
    if (condition.isEmpty())
        condition = QStringLiteral("nieznany warunek (%1)").arg(action.condition());
    if (analog)
        condition += QLatin1Char(' ') + value;
    return QStringLiteral("Użyj: %1, %2, %3, %4").arg(yesNo(action.use()), condition, time, code);
}

// The slot count of each input is fixed, so both sides of a comparison list
// the same slots. The list decides the kind, as it does in the image.
void addActions(FieldList &list, const Configuration &configuration, int kind, int input)
{
    const bool analog = kind == AnalogInput;
    const int slotCount = analog ? AnalogActionSlots : DigitalActionSlots;
    const AnalogRange range = configuration.analogInputRange(input);
    for (int index = 0; index < slotCount; ++index) {
        InputAction action = analog ? configuration.analogAction(input, index)
                                    : configuration.digitalAction(input, index);
        action.inputKind = kind;
        list.addIfPresent(QStringLiteral("Akcja %1").arg(index + 1), actionRowText(action, range));
    }
}

// The checked button of the input's signal type; the module is sent every
// set bit, so a stored value with none or several set says so.
QString signalTypeText(quint8 types, int input)
{
    static const QStringList buttons = { QStringLiteral("0 - 10 V"), QStringLiteral("2 - 10 V"),
                                         QStringLiteral("0 - 20 mA"), QStringLiteral("4- 20 mA") };
    QStringList chosen;
    for (int type = 0; type < buttons.size(); ++type) {
        if (types >> (4 * input + type) & 1)
            chosen.append(buttons.at(type));
    }
    return chosen.isEmpty() ? QStringLiteral("nie wybrano") : chosen.join(QStringLiteral(", "));
}

// A value that no item of the ring task boxes carries shows as "Wyłączone"
// in the dialog, but the module is sent the number.
QString ringTaskValueText(quint8 value)
{
    if (value == 0)
        return QStringLiteral("Wyłączone");
    const QString text = ringTaskText(value);
    return text.isEmpty() ? QStringLiteral("nieznane zadanie (%1)").arg(value) : text;
}

// The set bits of a mask from `first` on, numbered from `numberOfBit0`: bits
// the form has no field for, kept from the module or a file.
QString setBitsText(quint8 mask, int first, int numberOfBit0 = 0)
{
    QStringList bits;
    for (int bit = first; bit < 8; ++bit) {
        if (mask >> bit & 1)
            bits.append(QString::number(bit + numberOfBit0));
    }
    return bits.join(QStringLiteral(", "));
}


QList<ListedField> listedFields(const Configuration &configuration, const UserNames &names)
{
    FieldList list;

    const QString controlTab = QStringLiteral("Sterowanie");
    for (int input = 0; input < AnalogInputCount; ++input) {
        list.startSection(controlTab + Arrow + analogInputTitle(input, names));
        addActions(list, configuration, AnalogInput, input);
    }
    for (int input = 0; input < DigitalInputCount; ++input) {
        list.startSection(controlTab + Arrow + digitalInputTitle(input, names));
        addActions(list, configuration, DigitalInput, input);
    }

    const QString inputOutputTab = QStringLiteral("Wejście / Wyjście");
    list.startSection(inputOutputTab + Arrow + QStringLiteral("Filtr cyfrowy"));
    for (int i = 0; i < AnalogInputCount; ++i)
        list.add(named(QStringLiteral("AI %1").arg(i + 1), names.analogInputs[i]),
                 QString::number(configuration.analogFilters[i]));
    for (int i = 0; i < DigitalInputCount; ++i)
        list.add(named(QStringLiteral("DI %1").arg(i + 1), names.digitalInputs[i]),
                 QString::number(configuration.digitalFilters[i]));

    list.startSection(inputOutputTab + Arrow + QStringLiteral("Ustawienia po uruchomieniu"));
    for (int i = 0; i < DigitalOutputCount; ++i) {
        const OutputStartup startup = configuration.outputStartup.value(i);
        const QString output = QStringLiteral("DO %1").arg(i + 1);
        list.add(output, startup.on ? QStringLiteral("Załączone") : QStringLiteral("Wyłączone"));
        list.add(output + QStringLiteral(" – Opóźnienie"), timeText(startup.seconds));
    }

    for (int input = 0; input < AnalogInputCount; ++input) {
        list.startSection(inputOutputTab + Arrow + analogInputTitle(input, names));
        list.add(QStringLiteral("Zakres"), analogRangeText(configuration.analogInputRange(input)));
        list.add(QStringLiteral("Typ sygnału"), signalTypeText(configuration.analogInputTypes, input));
    }
    list.startSection(inputOutputTab);
    list.add(QStringLiteral("Histereza"), QString::number(configuration.hysteresis));

    const QString namesTab = QStringLiteral("Definicje nazw użytkownika");
    list.startSection(namesTab + Arrow + QStringLiteral("Wyjścia"));
    for (int i = 0; i < DigitalOutputCount; ++i)
        list.add(QStringLiteral("cyfrowe %1 (DO %1)").arg(i + 1), configuration.digitalOutputNames.value(i));
    for (int i = 0; i < AnalogOutputCount; ++i)
        list.add(QStringLiteral("analogowe %1 (AO %1)").arg(i + 1), configuration.analogOutputNames.value(i));
    list.startSection(namesTab + Arrow + QStringLiteral("Sms-y"));
    for (int i = 0; i < SmsCount; ++i)
        list.add(statusCaption(i, names), configuration.smsText(i));

    // The tab's two fields of their own first, so that the section is whole.
    const QString batteryTab = QStringLiteral("Akumulator");
    list.startSection(batteryTab);
    list.add(QStringLiteral("Prąd ładowania akumulatora"),
             QStringLiteral("%1 mA").arg(configuration.chargeCurrent));
    list.add(QStringLiteral("Czas pamiętania stanu przekaźników przy wyłączonym zasilaniu"),
             timeText(configuration.relayHoldTime));
    list.startSection(batteryTab + Arrow + QStringLiteral("Wysłanie sms'a: \"awaria zasilania\""));
    for (int i = 0; i < PhoneCount; ++i)
        list.add(phoneCaption(i, names), yesNo(configuration.powerFailPhone(i)));
    list.startSection(batteryTab + Arrow + QStringLiteral("Porty we/wy"));
    list.add(QStringLiteral("Przekaźniki załączone"), yesNo(configuration.relaysOn()));
    list.add(QStringLiteral("Aktywne wejścia"), yesNo(configuration.activeInputs()));

    const QString settingsDialog = QStringLiteral("Ustawienia");
    const QString generalTab = settingsDialog + Arrow + QStringLiteral("Ogólne");
    list.startSection(generalTab + Arrow + QStringLiteral("Komunikacja z drugim modułem"));
    list.add(QStringLiteral("Nr telefonu"), configuration.secondModulePhone);
    list.startSection(generalTab + Arrow + QStringLiteral("Informowanie o błędzie"));
    for (int i = 0; i < PhoneCount; ++i)
        list.add(phoneCaption(i, names), yesNo(configuration.errorReportPhone(i)));

    list.startSection(settingsDialog + Arrow + QStringLiteral("Sterowanie dzwonieniem"));
    list.add(QStringLiteral("1 dzwonek"), ringTaskValueText(configuration.ringActions.value(RingOnceKey)));
    list.add(QStringLiteral("3 dzwonki"), ringTaskValueText(configuration.ringActions.value(RingThriceKey)));
    list.add(QStringLiteral("Włącz mikrofon"), yesNo(configuration.microphone()));

    list.startSection(settingsDialog + Arrow + QStringLiteral("Lista numerów"));
    for (int i = 0; i < PhoneCount; ++i)
        list.add(phoneCaption(i, names), configuration.phoneNumber(i));

    list.startSection(settingsDialog + Arrow + QStringLiteral("Archiwizacja"));
    list.add(QStringLiteral("Adres IP"), ipAddressText(configuration.serverAddress));
    list.add(QStringLiteral("Numer portu"), configuration.serverPort);
    list.add(QStringLiteral("Archiwizacja co"), QStringLiteral("%1 minut").arg(configuration.archiveInterval));
    list.add(QStringLiteral("Wysłanie po"), QStringLiteral("%1 zapisach").arg(configuration.archiveSendAfter));

    list.startSection(QStringLiteral("Pozostałe dane modemu"));
    list.addIfPresent(QStringLiteral("Bity opcji 3–7"), setBitsText(configuration.optionFlags, KnownOptionBits));
    const ImageRemainder &remainder = configuration.imageRemainder;
    list.addIfPresent(QStringLiteral("Bajt zarezerwowany"),
                      remainder.reservedByte ? QString::number(remainder.reservedByte) : QString());
    list.addIfPresent(QStringLiteral("Bity 6–7 stanów po uruchomieniu"),
                      setBitsText(remainder.powerUpMaskHighBits, 6));
    list.addIfPresent(QStringLiteral("Bajty zerowe między cyframi portu"),
                      setBitsText(remainder.serverPortZeros, 0, 1));

    return list.fields;
}

} // namespace

QList<ConfigurationField> configurationFields(const Configuration &configuration, const UserNames &names)
{
    QList<ConfigurationField> fields;
    for (const ListedField &listed : listedFields(configuration, names)) {
        if (!listed.mayBeAbsent || !listed.field.value.isEmpty())
            fields.append(listed.field);
    }
    return fields;
}

QList<ConfigurationDifference> configurationDifferences(const Configuration &before,
                                                        const Configuration &after,
                                                        const UserNames &names)
{
    const QList<ListedField> beforeFields = listedFields(before, names);
    const QList<ListedField> afterFields = listedFields(after, names);
    // Sections and captions depend on the names only, so the two listings
    // hold the same fields in the same order.
    Q_ASSERT(beforeFields.size() == afterFields.size());
    QList<ConfigurationDifference> differences;
    for (qsizetype i = 0; i < afterFields.size(); ++i) {
        const ConfigurationField &old = beforeFields.at(i).field;
        const ConfigurationField &current = afterFields.at(i).field;
        if (old.value != current.value)
            differences.append({ current.section, current.label, old.value, current.value });
    }
    return differences;
}
