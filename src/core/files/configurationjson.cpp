#include "files/configurationjson.h"
#include "configuration/fieldtext.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

namespace {

const QString FormatMarker = QStringLiteral("telvoro-configuration");
constexpr int FormatVersion = 1;

// Signal types of one analogue input, from the lowest of its four bits in
// analogInputTypes.
const QStringList SignalTypeNames = { QStringLiteral("0-10V"), QStringLiteral("2-10V"),
                                      QStringLiteral("0-20mA"), QStringLiteral("4-20mA") };
constexpr int SignalTypeBits = 4;

// A map entry or an action slot of the record: a copy when the record is only
// read, so a record that lacks a key is still written out; a reference when it
// is filled, which is always a default record holding every key and slot.
template<typename Map>
decltype(auto) entry(Map &map, int key)
{
    if constexpr (std::is_const_v<Map>)
        return map.value(key);
    else
        return map[key];
}

template<typename Record>
decltype(auto) actionSlot(Record &record, InputKind kind, int input, int index)
{
    if constexpr (std::is_const_v<Record>)
        return kind == AnalogInput ? record.analogAction(input, index) : record.digitalAction(input, index);
    else
        return *(kind == AnalogInput ? record.analogActionSlot(input, index)
                                     : record.digitalActionSlot(input, index));
}

// The one description of the layout, walked by the writer and by the reader,
// so the two directions cannot drift apart. The order is the order in which
// the reader reports a fault.
template<typename Visitor, typename Record>
void visitActions(Visitor &visitor, Record &record, InputKind kind, int input, int slotCount)
{
    visitor.list("actions", slotCount, [&](int index) {
        auto &&action = actionSlot(record, kind, input, index);
        visitor.bit("use", action.flags, 0);
        visitor.bits("condition", action.flags, 1, 7);
        if (kind == AnalogInput)
            visitor.number("value", action.value);
        visitor.number("time", action.time);
        visitor.number("code", action.code);
    });
}

template<typename Visitor, typename Record>
void visitConfiguration(Visitor &visitor, Record &record)
{
    visitor.formatMarker();
    visitor.text("simPin", record.simPin, PinWidth);
    visitor.text("simPuk", record.simPuk, PukWidth);
    visitor.text("secondModulePhone", record.secondModulePhone, PhoneWidth);
    visitor.list("phones", PhoneCount, [&](int i) {
        visitor.text("number", record.phoneNumbers[i], PhoneWidth);
        visitor.bit("errorReport", record.errorReportPhones, i);
        visitor.bit("powerFailSms", record.powerFailPhones, i);
    });
    visitor.list("analogInputs", AnalogInputCount, [&](int input) {
        visitor.signalTypes("signalTypes", record.analogInputTypes, SignalTypeBits * input);
        visitor.number("range", record.analogRange[input]);
        visitor.number("rangeDecimals", record.analogDecimals[input]);
        visitor.number("filter", record.analogFilters[input]);
        visitActions(visitor, record, AnalogInput, input, AnalogActionSlots);
    });
    visitor.number("analogHysteresis", record.hysteresis);
    visitor.list("digitalInputs", DigitalInputCount, [&](int input) {
        visitor.number("filter", record.digitalFilters[input]);
        visitActions(visitor, record, DigitalInput, input, DigitalActionSlots);
    });
    visitor.list("analogOutputs", AnalogOutputCount, [&](int i) {
        visitor.text("name", entry(record.analogOutputNames, i), OutputNameWidth);
    });
    visitor.list("digitalOutputs", DigitalOutputCount, [&](int i) {
        visitor.text("name", entry(record.digitalOutputNames, i), OutputNameWidth);
        auto &&startup = entry(record.outputStartup, i);
        visitor.boolean("onAfterPowerUp", startup.on);
        visitor.number("powerUpDelaySeconds", startup.seconds);
    });
    visitor.textList("statusSmsTexts", record.smsTexts, SmsWidth);
    visitor.number("chargeCurrentMilliamps", record.chargeCurrent);
    visitor.number("relayHoldSeconds", record.relayHoldTime);
    visitor.object("options", [&] {
        visitor.bit("relaysOn", record.optionFlags, 0);
        visitor.bit("activeInputs", record.optionFlags, 1);
        visitor.bit("microphone", record.optionFlags, 2);
        visitor.bits("reservedBits", record.optionFlags, 3, 5);
    });
    visitor.object("ringActions", [&] {
        visitor.number("oneRing", entry(record.ringActions, RingOnceKey));
        visitor.number("threeRings", entry(record.ringActions, RingThriceKey));
    });
    visitor.object("archiving", [&] {
        visitor.address("serverAddress", record.serverAddress);
        // Decimal digits as the window keeps them, but any bytes a module
        // holds travel as a text's do, so that every copy comes back.
        visitor.text("serverPort", record.serverPort, PortWidth);
        visitor.number("intervalMinutes", record.archiveInterval);
        visitor.number("sendAfterRecords", record.archiveSendAfter);
    });
    // Only a file or module that holds such bits has the key, so that the
    // form of every other configuration stays as it was.
    visitor.optionalObject("imageRemainder", record.imageRemainder != ImageRemainder(), [&] {
        auto &&remainder = record.imageRemainder;
        visitor.number("reservedByte", remainder.reservedByte);
        visitor.bits("powerUpMaskBits6And7", remainder.powerUpMaskHighBits, 6, 2);
        visitor.bits("serverPortZeroBytes", remainder.serverPortZeros, 0, PortWidth);
    });
}

QString unknownKeyReason()
{
    return QCoreApplication::translate("ConfigurationJson", "nieznany klucz.");
}

constexpr quint8 lowBits(int count)
{
    return quint8((1 << count) - 1);
}

class JsonWriter
{
public:
    QJsonObject json;

    void formatMarker()
    {
        current->insert(QStringLiteral("format"), FormatMarker);
        current->insert(QStringLiteral("version"), FormatVersion);
    }

    void number(const char *key, int value) { current->insert(QLatin1String(key), value); }
    void bits(const char *key, quint8 mask, int shift, int count)
    {
        number(key, (mask >> shift) & lowBits(count));
    }
    void bit(const char *key, quint8 mask, int index) { boolean(key, (mask >> index) & 1); }
    void boolean(const char *key, quint8 value) { current->insert(QLatin1String(key), value != 0); }
    void text(const char *key, const QString &text, int) { current->insert(QLatin1String(key), text); }

    template<std::size_t Count>
    void textList(const char *key, const std::array<QString, Count> &texts, int)
    {
        QJsonArray list;
        for (const QString &text : texts)
            list.append(text);
        current->insert(QLatin1String(key), list);
    }

    void signalTypes(const char *key, quint8 mask, int shift)
    {
        QJsonArray names;
        for (int type = 0; type < SignalTypeBits; ++type) {
            if ((mask >> (shift + type)) & 1)
                names.append(SignalTypeNames.at(type));
        }
        current->insert(QLatin1String(key), names);
    }

    void address(const char *key, const std::array<quint8, 4> &octets)
    {
        current->insert(QLatin1String(key), ipAddressText(octets));
    }

    template<typename Fill>
    void object(const char *key, Fill fill)
    {
        QJsonObject child;
        QJsonObject *const parent = std::exchange(current, &child);
        fill();
        current = parent;
        current->insert(QLatin1String(key), child);
    }

    template<typename Fill>
    void optionalObject(const char *key, bool present, Fill fill)
    {
        if (present)
            object(key, fill);
    }

    template<typename Fill>
    void list(const char *key, int count, Fill fill)
    {
        QJsonObject *const parent = current;
        QJsonArray elements;
        for (int i = 0; i < count; ++i) {
            QJsonObject element;
            current = &element;
            fill(i);
            elements.append(element);
        }
        current = parent;
        current->insert(QLatin1String(key), elements);
    }

private:
    QJsonObject *current = &json;
};

// Fills a record from the JSON form and stops at the first fault, which it
// keeps with the path of the key that caused it.
class JsonReader
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationJson)

public:
    QString error;

    bool failed() const { return !error.isEmpty(); }

    // Reads one object: the keys fill() asks for must all be there, and any
    // other key is refused once they have been read.
    template<typename Fill>
    void readObject(const QJsonObject &object, const QString &path, Fill fill)
    {
        const QJsonObject outerObject = std::exchange(current, object);
        const QString outerPath = std::exchange(prefix, path);
        const QStringList outerKeys = std::exchange(knownKeys, QStringList());
        fill();
        if (!failed()) {
            for (const QString &key : current.keys()) {
                if (!knownKeys.contains(key)) {
                    fail(pathOf(key), unknownKeyReason());
                    break;
                }
            }
        }
        current = outerObject;
        prefix = outerPath;
        knownKeys = outerKeys;
    }

    void formatMarker()
    {
        const std::optional<QJsonValue> format = take("format");
        if (format && format->toString() != FormatMarker) {
            fail(pathOf("format"), tr("to nie jest konfiguracja modemu TX48 (należy wpisać „%1”).")
                                           .arg(FormatMarker));
            return;
        }
        const std::optional<qint64> version = integer("version", std::numeric_limits<int>::max());
        if (version && *version != FormatVersion)
            fail(pathOf("version"), tr("wersji %1 ten program nie zna; zna wersję %2.")
                                            .arg(*version).arg(FormatVersion));
    }

    template<typename Number>
    void number(const char *key, Number &target)
    {
        if (const std::optional<qint64> value = integer(key, std::numeric_limits<Number>::max()))
            target = Number(*value);
    }

    void bits(const char *key, quint8 &mask, int shift, int count)
    {
        if (const std::optional<qint64> value = integer(key, lowBits(count)))
            mask = quint8((mask & ~(lowBits(count) << shift)) | (*value << shift));
    }

    void bit(const char *key, quint8 &mask, int index)
    {
        if (const std::optional<QJsonValue> value = take(key, QJsonValue::Bool)) {
            if (value->toBool())
                mask |= quint8(1 << index);
            else
                mask &= quint8(~(1 << index));
        }
    }

    void boolean(const char *key, quint8 &target)
    {
        if (const std::optional<QJsonValue> value = take(key, QJsonValue::Bool))
            target = value->toBool() ? 1 : 0;
    }

    void text(const char *key, QString &target, int width)
    {
        if (const std::optional<QJsonValue> value = take(key, QJsonValue::String)) {
            if (fitsField(value->toString(), pathOf(key), width))
                target = value->toString();
        }
    }

    template<std::size_t Count>
    void textList(const char *key, std::array<QString, Count> &targets, int width)
    {
        const std::optional<QJsonArray> list = array(key, int(Count));
        for (int i = 0; list && i < int(Count) && !failed(); ++i) {
            const QString path = elementPath(key, i);
            if (hasType(list->at(i), QJsonValue::String, path)
                && fitsField(list->at(i).toString(), path, width))
                targets[i] = list->at(i).toString();
        }
    }

    // Any set of the four types is taken, as the image can hold any; the
    // module itself expects exactly one.
    void signalTypes(const char *key, quint8 &mask, int shift)
    {
        const std::optional<QJsonArray> names = array(key, -1);
        quint8 bits = 0;
        for (int i = 0; names && i < names->size() && !failed(); ++i) {
            const QString path = elementPath(key, i);
            if (!hasType(names->at(i), QJsonValue::String, path))
                break;
            const QString name = names->at(i).toString();
            const int type = int(SignalTypeNames.indexOf(name));
            if (type < 0)
                fail(path, tr("nieznany typ sygnału „%1” (dozwolone: %2).")
                                   .arg(name, SignalTypeNames.join(QStringLiteral(", "))));
            else if (bits & (1 << type))
                fail(path, tr("typ sygnału „%1” powtarza się.").arg(name));
            else
                bits |= quint8(1 << type);
        }
        if (names && !failed())
            mask = quint8((mask & ~(lowBits(SignalTypeBits) << shift)) | (bits << shift));
    }

    void address(const char *key, std::array<quint8, 4> &octets)
    {
        static const QRegularExpression dotted(
                QStringLiteral("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
        const std::optional<QJsonValue> value = take(key, QJsonValue::String);
        if (!value)
            return;
        const QRegularExpressionMatch match = dotted.match(value->toString());
        std::array<quint8, 4> parsed{};
        bool valid = match.hasMatch();
        for (int i = 0; valid && i < 4; ++i) {
            const int octet = match.captured(i + 1).toInt();
            valid = octet <= 255;
            parsed[i] = quint8(octet);
        }
        if (valid)
            octets = parsed;
        else
            fail(pathOf(key), tr("błędny adres IP „%1”: należy wpisać cztery liczby od 0 do 255 "
                                 "rozdzielone kropkami.")
                                      .arg(value->toString()));
    }

    template<typename Fill>
    void object(const char *key, Fill fill)
    {
        if (const std::optional<QJsonValue> value = take(key, QJsonValue::Object))
            readObject(value->toObject(), pathOf(key), fill);
    }

    template<typename Fill>
    void optionalObject(const char *key, bool, Fill fill)
    {
        if (current.contains(QLatin1String(key)))
            object(key, fill);
    }

    template<typename Fill>
    void list(const char *key, int count, Fill fill)
    {
        const std::optional<QJsonArray> elements = array(key, count);
        for (int i = 0; elements && i < count && !failed(); ++i) {
            const QString path = elementPath(key, i);
            if (hasType(elements->at(i), QJsonValue::Object, path))
                readObject(elements->at(i).toObject(), path, [&] { fill(i); });
        }
    }

private:
    QString pathOf(const QString &key) const
    {
        return prefix.isEmpty() ? key : prefix + QLatin1Char('.') + key;
    }

    // An element of the list under key, as analogInputs[1].
    QString elementPath(const char *key, int index) const
    {
        return QStringLiteral("%1[%2]").arg(pathOf(key)).arg(index);
    }

    void fail(const QString &path, const QString &reason)
    {
        if (!failed())
            error = path + QStringLiteral(": ") + reason;
    }

    bool hasType(const QJsonValue &value, QJsonValue::Type type, const QString &path)
    {
        if (value.type() == type)
            return true;
        switch (type) {
        case QJsonValue::Bool:
            fail(path, tr("należy wpisać true albo false."));
            break;
        case QJsonValue::Double:
            fail(path, tr("należy wpisać liczbę całkowitą."));
            break;
        case QJsonValue::String:
            fail(path, tr("należy wpisać tekst w cudzysłowie."));
            break;
        case QJsonValue::Array:
            fail(path, tr("należy wpisać listę [ … ]."));
            break;
        default:
            fail(path, tr("należy wpisać obiekt { … }."));
            break;
        }
        return false;
    }

    // The key's value, once it is known to be there and of the right type.
    std::optional<QJsonValue> take(const char *key, QJsonValue::Type type = QJsonValue::Undefined)
    {
        if (failed())
            return std::nullopt;
        const QString name = QLatin1String(key);
        knownKeys.append(name);
        const QJsonValue value = current.value(name);
        if (value.isUndefined()) {
            fail(pathOf(name), tr("brak klucza."));
            return std::nullopt;
        }
        if (type != QJsonValue::Undefined && !hasType(value, type, pathOf(name)))
            return std::nullopt;
        return value;
    }

    std::optional<qint64> integer(const char *key, qint64 maximum)
    {
        const std::optional<QJsonValue> value = take(key, QJsonValue::Double);
        if (!value)
            return std::nullopt;
        const double number = value->toDouble();
        if (number != std::floor(number)) {
            fail(pathOf(key), tr("należy wpisać liczbę całkowitą."));
            return std::nullopt;
        }
        if (number < 0 || number > double(maximum)) {
            fail(pathOf(key), tr("wartość %1 jest poza zakresem od 0 do %2.")
                                      .arg(QString::number(number, 'g', 17))
                                      .arg(maximum));
            return std::nullopt;
        }
        return qint64(number);
    }

    // A list of exactly count elements, or of any length when count is -1.
    std::optional<QJsonArray> array(const char *key, int count)
    {
        const std::optional<QJsonValue> value = take(key, QJsonValue::Array);
        if (!value)
            return std::nullopt;
        const QJsonArray elements = value->toArray();
        if (count >= 0 && elements.size() != count) {
            fail(pathOf(key), tr("liczba elementów wynosi %1, a powinna wynosić %2.")
                                      .arg(elements.size())
                                      .arg(count));
            return std::nullopt;
        }
        return elements;
    }

    // The image ends a text at its first zero byte and holds no more than its
    // width, so such a text would not come back as it was written.
    bool fitsField(const QString &text, const QString &path, int width)
    {
        if (text.contains(QChar(0))) {
            fail(path, tr("tekst nie może zawierać znaku o kodzie 0."));
            return false;
        }
        const qsizetype bytes = fieldTextSize(text);
        if (bytes > width) {
            fail(path, tr("tekst jest za długi: zajmuje %1 B, a pole mieści najwyżej %2 B "
                          "(litera z polskim znakiem zajmuje 2 B).")
                               .arg(bytes)
                               .arg(width));
            return false;
        }
        return true;
    }

    QJsonObject current;
    QString prefix;
    QStringList knownKeys;
};

// A JSON text's fault in the words of someone who edits the file by hand.
class JsonSyntax
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationJson)

public:
    static QString fault(const QByteArray &text, const QJsonParseError &parseError)
    {
        if (text.trimmed().isEmpty())
            return tr("plik jest pusty.");
        // The offset counts bytes of UTF-8; the place is told in characters.
        const QByteArray before = text.left(parseError.offset);
        const qsizetype lineStart = before.lastIndexOf('\n') + 1;
        const qsizetype column = QString::fromUtf8(before.mid(lineStart)).toUcs4().size() + 1;
        return tr("błąd składni JSON w wierszu %1, w kolumnie %2: %3")
                .arg(before.count('\n') + 1)
                .arg(column)
                .arg(reason(parseError));
    }

private:
    static QString reason(const QJsonParseError &parseError)
    {
        switch (parseError.error) {
        case QJsonParseError::UnterminatedObject:
            return tr("brak przecinka albo nawiasu } zamykającego obiekt (nazwę klucza należy wpisać "
                      "w cudzysłowie).");
        case QJsonParseError::MissingNameSeparator:
            return tr("brak dwukropka po nazwie klucza.");
        case QJsonParseError::UnterminatedArray:
            return tr("brak nawiasu ] zamykającego listę.");
        case QJsonParseError::MissingValueSeparator:
            return tr("brak przecinka między elementami listy.");
        case QJsonParseError::IllegalValue:
            return tr("niedozwolona wartość (należy wpisać liczbę, tekst w cudzysłowie, true, false, "
                      "listę [ … ] albo obiekt { … }).");
        case QJsonParseError::TerminationByNumber:
            return tr("plik kończy się przed zamknięciem wszystkich nawiasów.");
        case QJsonParseError::IllegalNumber:
            return tr("błędna liczba.");
        case QJsonParseError::IllegalEscapeSequence:
            return tr("błędny znak po \\ w tekście.");
        case QJsonParseError::IllegalUTF8String:
            return tr("tekst nie jest zapisany w UTF-8.");
        case QJsonParseError::UnterminatedString:
            return tr("brak cudzysłowu zamykającego tekst.");
        case QJsonParseError::MissingObject:
            return tr("po przecinku brak kolejnego elementu.");
        case QJsonParseError::DeepNesting:
            return tr("za wiele zagnieżdżonych obiektów i list.");
        case QJsonParseError::DocumentTooLarge:
            return tr("plik jest za duży.");
        case QJsonParseError::GarbageAtEnd:
            return tr("po zamknięciu obiektu są jeszcze inne znaki.");
        case QJsonParseError::NoError:
            break;
        }
        return parseError.errorString();
    }
};

// What QJsonDocument lets through of a text that breaks the rules of the
// JSON form: a key given twice in one object (it keeps the last), an
// escape of half a UTF-16 surrogate pair without the other half (it turns
// it into another character) and a control character not escaped in a
// text. Read from the text itself, which QJsonDocument
// has found to be valid JSON, with the path of the key as the reader gives
// it.
class JsonTextCheck
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationJson)

public:
    // The first such fault as "path: reason.", or empty.
    static QString fault(const QByteArray &text)
    {
        JsonTextCheck check(text);
        check.run();
        return check.error;
    }

private:
    struct Container
    {
        QString path;
        bool isObject;
        QSet<QString> keys;
        QString key;
        bool expectsKey = true;
        int index = 0;
    };

    explicit JsonTextCheck(const QByteArray &text) : text(text) {}

    void run()
    {
        while (position < text.size() && error.isEmpty()) {
            const char character = text.at(position);
            if (character == '"') {
                string();
                continue;
            }
            ++position;
            if (character == '{' || character == '[') {
                open.append({valuePath(), character == '{', {}, {}, true, 0});
            } else if (character == '}' || character == ']') {
                open.removeLast();
            } else if (character == ',' && !open.isEmpty()) {
                open.last().expectsKey = true;
                ++open.last().index;
            } else if (character == ':' && !open.isEmpty()) {
                open.last().expectsKey = false;
            }
        }
    }

    // Where the value that comes next belongs.
    QString valuePath() const
    {
        if (open.isEmpty())
            return QString();
        const Container &container = open.last();
        if (!container.isObject)
            return QStringLiteral("%1[%2]").arg(container.path).arg(container.index);
        return container.path.isEmpty() ? container.key : container.path + QLatin1Char('.') + container.key;
    }

    // A string from its opening quote on, decoded as far as comparing keys
    // needs.
    void string()
    {
        QString decoded;
        QByteArray plain;
        std::optional<ushort> halfPair;
        for (++position; position < text.size() && text.at(position) != '"'; ++position) {
            if (quint8(text.at(position)) < 0x20)
                return controlCharacter(text.at(position), decoded + QString::fromUtf8(plain));
            if (text.at(position) != '\\') {
                plain.append(text.at(position));
                continue;
            }
            decoded += QString::fromUtf8(std::exchange(plain, QByteArray()));
            const char escaped = text.at(++position);
            if (escaped != 'u') {
                decoded += QLatin1Char(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped == 'r' ? '\r'
                                       : escaped == 'b' ? '\b' : escaped == 'f' ? '\f' : escaped);
                continue;
            }
            const ushort unit = ushort(text.mid(position + 1, 4).toUShort(nullptr, 16));
            position += 4;
            const bool follows = halfPair && QChar::isLowSurrogate(unit);
            if ((halfPair && !follows) || (!halfPair && QChar::isLowSurrogate(unit)))
                return unpaired(halfPair ? *halfPair : unit, decoded);
            halfPair = QChar::isHighSurrogate(unit) && !follows ? std::optional<ushort>(unit) : std::nullopt;
            decoded += QChar(unit);
            if (halfPair && text.mid(position + 1, 2) != "\\u")
                return unpaired(*halfPair, decoded);
        }
        ++position;
        decoded += QString::fromUtf8(plain);
        if (open.isEmpty() || !open.last().isObject || !open.last().expectsKey)
            return;
        Container &object = open.last();
        object.key = decoded;
        if (object.keys.contains(decoded))
            error = valuePath() + QStringLiteral(": ") + tr("klucz powtarza się w tym samym obiekcie.");
        object.keys.insert(decoded);
    }

    void unpaired(ushort unit, const QString &decodedSoFar)
    {
        fail(tr("\\u%1 to połowa pary znaków UTF-16 bez drugiej połowy, a nie znak.").arg(QString::number(unit, 16)),
             decodedSoFar);
    }

    // JSON lets a control character into a text only escaped.
    void controlCharacter(char character, const QString &decodedSoFar)
    {
        fail(tr("znak sterujący o kodzie %1 w tekście należy zapisać jako \\u%2 (koniec wiersza jako \\n).")
                     .arg(int(character))
                     .arg(int(character), 4, 16, QLatin1Char('0')),
             decodedSoFar);
    }

    void fail(const QString &reason, const QString &decodedSoFar)
    {
        // In a key, the place is the key itself as far as it goes.
        if (!open.isEmpty() && open.last().isObject && open.last().expectsKey)
            open.last().key = decodedSoFar;
        error = valuePath() + QStringLiteral(": ") + reason;
    }

    const QByteArray &text;
    qsizetype position = 0;
    QList<Container> open;
    QString error;
};

// One step of a place such as phones[2].number: a key, or a position in a list.
struct PathStep
{
    QString key;
    int index = -1;
};

std::optional<QList<PathStep>> pathSteps(const QString &path)
{
    static const QRegularExpression step(QStringLiteral("^([A-Za-z][A-Za-z0-9]*)((?:\\[[0-9]{1,4}\\])*)$"));
    static const QRegularExpression position(QStringLiteral("\\[([0-9]+)\\]"));
    QList<PathStep> steps;
    for (const QString &part : path.split(QLatin1Char('.'))) {
        const QRegularExpressionMatch match = step.match(part);
        if (!match.hasMatch())
            return std::nullopt;
        steps.append({ match.captured(1) });
        for (const QRegularExpressionMatch &index : position.globalMatch(match.captured(2)))
            steps.append({ QString(), index.captured(1).toInt() });
    }
    return steps;
}

// A cell's text as a value of the kind `existing` is: a text that is none
// stays a text, which the reader refuses in its own words.
QJsonValue valueLike(const QJsonValue &existing, const QString &text)
{
    const QString trimmed = text.trimmed();
    if (existing.isDouble()) {
        bool isNumber = false;
        const double number = trimmed.toDouble(&isNumber);
        return isNumber ? QJsonValue(number) : QJsonValue(text);
    }
    if (existing.isBool()) {
        // A spreadsheet in Polish saves the flags it took for logical values so.
        if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || trimmed.compare(QStringLiteral("PRAWDA"), Qt::CaseInsensitive) == 0)
            return true;
        if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
            || trimmed.compare(QStringLiteral("FAŁSZ"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return text;
}

// `node` with the value at `steps` replaced; nothing when there is no such place.
std::optional<QJsonValue> replaced(const QJsonValue &node, QList<PathStep> steps, const QString &text)
{
    if (steps.isEmpty())
        return valueLike(node, text);
    const PathStep step = steps.takeFirst();
    if (step.index < 0 && node.isObject()) {
        QJsonObject object = node.toObject();
        if (!object.contains(step.key))
            return std::nullopt;
        const std::optional<QJsonValue> value = replaced(object.value(step.key), steps, text);
        if (value)
            object.insert(step.key, *value);
        return value ? std::optional<QJsonValue>(object) : std::nullopt;
    }
    if (step.index >= 0 && node.isArray() && step.index < node.toArray().size()) {
        QJsonArray array = node.toArray();
        const std::optional<QJsonValue> value = replaced(array.at(step.index), steps, text);
        if (value)
            array.replace(step.index, *value);
        return value ? std::optional<QJsonValue>(array) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

QString setConfigurationJsonField(QJsonObject &json, const QString &path, const QString &text)
{
    const std::optional<QList<PathStep>> steps = pathSteps(path);
    const std::optional<QJsonValue> changed = steps ? replaced(json, *steps, text) : std::nullopt;
    if (!changed)
        return unknownKeyReason();
    json = changed->toObject();
    return QString();
}

QJsonObject configurationToJson(const Configuration &configuration)
{
    JsonWriter writer;
    visitConfiguration(writer, configuration);
    return writer.json;
}

std::optional<Configuration> configurationFromJson(const QJsonObject &json, QString *error)
{
    Configuration configuration;
    JsonReader reader;
    reader.readObject(json, QString(), [&] { visitConfiguration(reader, configuration); });
    if (error)
        *error = reader.error;
    if (reader.failed())
        return std::nullopt;
    return configuration;
}

namespace {

// QJsonDocument reads U+FEFF (a byte order mark) inside a text as nothing,
// so that a name starting with one would lose it; written escaped, it stays.
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray EscapedByteOrderMark = QByteArrayLiteral("\\ufeff");

} // namespace

QByteArray configurationJsonText(const Configuration &configuration)
{
    return QJsonDocument(configurationToJson(configuration))
            .toJson(QJsonDocument::Indented)
            .replace(ByteOrderMark, EscapedByteOrderMark);
}

std::optional<Configuration> configurationFromJsonText(const QByteArray &text, QString *error)
{
    // A mark at the very start is the file's own, which the parser skips.
    const qsizetype start = text.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    const QByteArray marksEscaped = text.left(start) + text.mid(start).replace(ByteOrderMark, EscapedByteOrderMark);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(marksEscaped, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = JsonSyntax::fault(text, parseError);
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (error)
            *error = JsonSyntax::tr("cały plik musi być jednym obiektem { … }.");
        return std::nullopt;
    }
    if (const QString fault = JsonTextCheck::fault(text); !fault.isEmpty()) {
        if (error)
            *error = fault;
        return std::nullopt;
    }
    return configurationFromJson(document.object(), error);
}
