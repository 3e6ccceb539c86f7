#include "moduleemulator.h"

#include "files/regularfile.h"
#include "link/simcodes.h"

#include <QTimer>

namespace {

constexpr int ImageSize = 1968;
constexpr int SettingsOffset = 14;
constexpr int SettingsSize = 834;
constexpr int SmsOffset = 848;
constexpr int SmsSize = 1120;
// Header layout: PIN 4 bytes, PUK 8 bytes, then two bytes the tool never
// reads; the first of them keeps the PIN request of the last "pa" command.
constexpr int PinOffset = 0;
constexpr int PukOffset = 4;
constexpr int PinRequestOffset = 12;
constexpr int BitsPerByte = 10;
constexpr int PaceInterval = 1;
// The bytes the store-changed fault stores one higher: the hysteresis in the
// settings block and the first byte of status SMS 1 in the SMS block.
constexpr int ChangedSettingsByte = 813;
constexpr int ChangedSmsByte = 848;
constexpr int NoiseLength = 6;
constexpr char NoiseByte = char(0xFF);
// Digits, like the SIM codes, so that a log that shows them is caught.
const QByteArray FloodPattern = QByteArrayLiteral("0123456789");

// "pa", "pb", "pc" or the command's first byte.
QString commandName(const QByteArray &command)
{
    return QString::fromLatin1(command.startsWith('p') ? command.left(2) : command.left(1));
}

// A command as the log shows it: its bytes in hex, but the SIM codes of "pa"
// as "**" each, so that no log keeps them.
QByteArray loggedCommand(const QByteArray &command)
{
    return command.startsWith("pa") ? SimCodes::maskedHex(command, SimCodes::CommandCodesOffset)
                                    : command.toHex(' ').toUpper();
}

} // namespace

ModuleEmulator::ModuleEmulator(QObject *parent) : QObject(parent), image(defaultImage())
{
    paceTimer.setTimerType(Qt::PreciseTimer);
    paceTimer.setInterval(PaceInterval);
    connect(&paceTimer, &QTimer::timeout, this, &ModuleEmulator::sendDueBytes);
    lineClock.start();
}

bool ModuleEmulator::faultFromName(const QString &name, Fault *fault)
{
    static const QList<QPair<QString, Fault>> names = {
        {"silent", Fault::Silent},
        {"wrong-answer", Fault::WrongAnswer},
        {"late", Fault::Late},
        {"short-image", Fault::ShortImage},
        {"long-image", Fault::LongImage},
        {"no-settings-ack", Fault::NoSettingsAck},
        {"no-sms-ack", Fault::NoSmsAck},
        {"no-pin-ack", Fault::NoPinAck},
        {"linger", Fault::Linger},
        {"short-live", Fault::ShortLive},
        {"store-changed", Fault::StoreChanged},
        {"stale-image", Fault::StaleImage},
        {"noise", Fault::Noise},
        {"flood", Fault::Flood},
        {"sms-store-changed", Fault::SmsStoreChanged},
    };
    for (const auto &entry : names) {
        if (entry.first == name) {
            *fault = entry.second;
            return true;
        }
    }
    return false;
}

bool ModuleEmulator::isCommandName(const QString &name)
{
    static const QStringList names = {"i", "A", "B", "C", "pa", "pb", "pc"};
    return names.contains(name);
}

// A factory-fresh module: SIM PIN 1234, PUK 12345678, both analogue ranges
// 10.00 (0-10 V), hysteresis 20, charging current 25 mA, server port "0".
QByteArray ModuleEmulator::defaultImage()
{
    QByteArray bytes(ImageSize, '\0');
    bytes.replace(PinOffset, 4, "1234");
    bytes.replace(PukOffset, 8, "12345678");
    const QList<QPair<int, quint8>> settings = {
        {807, 0x03}, {808, 0xE8}, {809, 0x02}, {810, 0x03}, {811, 0xE8}, {812, 0x02},
        {813, 0x14}, {814, 0x11}, {829, 0x19}, {841, '0'},
    };
    for (const auto &setting : settings)
        bytes[setting.first] = char(setting.second);
    return bytes;
}

void ModuleEmulator::setImage(const QByteArray &newImage)
{
    image = newImage;
}

QByteArray ModuleEmulator::currentImage() const
{
    return image;
}

void ModuleEmulator::setFaults(const QSet<Fault> &newFaults)
{
    faults = newFaults;
}

void ModuleEmulator::setLateMilliseconds(int milliseconds)
{
    lateMilliseconds = milliseconds;
}

void ModuleEmulator::setAnswerDelay(int milliseconds)
{
    answerDelay = milliseconds;
}

void ModuleEmulator::setAnswerDelay(const QString &commandName, int milliseconds)
{
    commandDelays.insert(commandName, milliseconds);
}

void ModuleEmulator::setBaudRate(int baud)
{
    byteNanoseconds = baud > 0 ? qint64(BitsPerByte) * 1000000000 / baud : 0;
}

bool ModuleEmulator::setLogFile(const QString &fileName, QString *reason)
{
    const int descriptor = RegularFile::openForWriting(fileName, RegularFile::Writing::Truncate, 0666, reason);
    return descriptor != -1 && log.open(descriptor, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle);
}

QStringList ModuleEmulator::commandLog() const
{
    return commands;
}

void ModuleEmulator::receive(const QByteArray &bytes)
{
    input += bytes;
    const qint64 now = lineClock.nsecsElapsed();
    inboundDoneAt = qMax(inboundDoneAt, now) + bytes.size() * byteNanoseconds;
    for (qsizetype length = nextCommandLength(); length > 0; length = nextCommandLength()) {
        const QByteArray command = input.left(length);
        input.remove(0, length);
        const QByteArray logged = loggedCommand(command);
        commands.append(QString::fromLatin1(logged));
        if (log.isOpen()) {
            log.write(logged + '\n');
            log.flush();
        }
        emit commandTaken(commandName(command));
        // On a paced line the command is complete once its last byte is through.
        if (inboundDoneAt > now)
            later(int((inboundDoneAt - now + 999999) / 1000000), [this, command] { execute(command); });
        else
            execute(command);
    }
}

void ModuleEmulator::cancelPendingAnswers()
{
    ++session;
    input.clear();
    outgoing.clear();
    paceTimer.stop();
}

qsizetype ModuleEmulator::nextCommandLength() const
{
    if (input.isEmpty())
        return 0;
    switch (input.at(0)) {
    case 'C':
        return input.size() >= 6 ? 6 : 0;
    case 'p': {
        if (input.size() < 2)
            return 0;
        qsizetype length = 1;
        switch (input.at(1)) {
        case 'a': length = 2 + 4 + 8 + 1; break;
        case 'b': length = 2 + SettingsSize; break;
        case 'c': length = 2 + SmsSize; break;
        default: return 1;
        }
        return input.size() >= length ? length : 0;
    }
    default:
        // "i", "A", "B", and any byte that starts no command.
        return 1;
    }
}

void ModuleEmulator::execute(const QByteArray &command)
{
    if (command == "i") {
        answer(command, "z");
    } else if (command == "A") {
        if (faults.contains(Fault::ShortImage))
            answer(command, image.left(ImageSize - 1));
        else if (faults.contains(Fault::LongImage))
            answer(command, image + '\0');
        else
            answer(command, image);
    } else if (command == "B") {
        const bool cut = faults.contains(Fault::ShortLive) && pollCount % 3 == 2;
        const QByteArray state = liveState();
        answer(command, cut ? state.left(state.size() - 1) : state);
    } else if (command.startsWith('C')) {
        const auto byteAt = [&command](int i) { return quint8(command.at(i)); };
        qInfo("outputs: AO1 %u, AO2 %u, DO mask 0x%02X", byteAt(1) << 8 | byteAt(2),
              byteAt(3) << 8 | byteAt(4), byteAt(5));
        if (faults.contains(Fault::Linger))
            answer(command, "c");
    } else if (command.startsWith("pb")) {
        if (!faults.contains(Fault::NoSettingsAck)) {
            store(SettingsOffset, command.mid(2), ChangedSettingsByte);
            answer(command, "w");
        }
    } else if (command.startsWith("pc")) {
        if (!faults.contains(Fault::NoSmsAck)) {
            store(SmsOffset, command.mid(2), ChangedSmsByte);
            answer(command, "u");
        }
    } else if (command.startsWith("pa")) {
        if (!faults.contains(Fault::NoPinAck)) {
            image.replace(PinOffset, 4, command.mid(2, 4));
            image.replace(PukOffset, 8, command.mid(6, 8));
            image[PinRequestOffset] = command.at(14);
            answer(command, "x");
        }
    }
}

void ModuleEmulator::store(int offset, const QByteArray &block, int changedByte)
{
    image.replace(offset, block.size(), block);
    const bool smsOnly = faults.contains(Fault::SmsStoreChanged) && changedByte == ChangedSmsByte;
    if (faults.contains(Fault::StoreChanged) || smsOnly)
        image[changedByte] = char(image.at(changedByte) + 1);
}

void ModuleEmulator::answer(const QByteArray &command, const QByteArray &bytes)
{
    if (faults.contains(Fault::Silent))
        return;
    QByteArray sent = faults.contains(Fault::WrongAnswer) ? bytes + "\r\n" : bytes;
    if (faults.contains(Fault::Noise) && command != "i")
        sent.prepend(QByteArray(NoiseLength, NoiseByte));
    if (faults.contains(Fault::StaleImage) && staleImageSession != session) {
        staleImageSession = session;
        sent.prepend(image);
    }
    if (faults.contains(Fault::Flood) && command != "i")
        emit floodRequested(FloodPattern);
    int delay = commandDelays.value(commandName(command), answerDelay);
    // The probe stays prompt, so the tool can connect and then meet late answers.
    if (faults.contains(Fault::Late) && command != "i")
        delay = lateMilliseconds;
    if (delay > 0)
        later(delay, [this, sent] { send(sent); });
    else
        send(sent);
}

void ModuleEmulator::send(const QByteArray &bytes)
{
    if (byteNanoseconds == 0) {
        emit transmitted(bytes);
        return;
    }
    if (outgoing.isEmpty())
        nextOutgoingDoneAt = lineClock.nsecsElapsed() + byteNanoseconds;
    outgoing += bytes;
    if (!paceTimer.isActive())
        paceTimer.start();
}

// Writes the answer bytes that have crossed the line by now, in one piece.
void ModuleEmulator::sendDueBytes()
{
    const qint64 now = lineClock.nsecsElapsed();
    if (now >= nextOutgoingDoneAt) {
        const qsizetype due = qMin<qint64>(outgoing.size(), 1 + (now - nextOutgoingDoneAt) / byteNanoseconds);
        emit transmitted(outgoing.left(due));
        outgoing.remove(0, due);
        nextOutgoingDoneAt += due * byteNanoseconds;
    }
    if (outgoing.isEmpty())
        paceTimer.stop();
}

void ModuleEmulator::later(int milliseconds, const std::function<void()> &action)
{
    const quint32 actionSession = session;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, this, [this, actionSession, action] {
        if (actionSession == session)
            action();
    });
}

// Live state n (n = 0 for the first "B"): AI1 = 50 * (n mod 21), AI2 = 1000 - AI1,
// digital inputs = n mod 64 (bit 0 = DI1). Deterministic, so tests can predict it.
QByteArray ModuleEmulator::liveState()
{
    const quint16 ai1 = quint16(50 * (pollCount % 21));
    const quint16 ai2 = quint16(1000 - ai1);
    const quint8 inputs = quint8(pollCount % 64);
    ++pollCount;
    QByteArray state;
    state.append(char(ai1 >> 8)).append(char(ai1 & 0xFF));
    state.append(char(ai2 >> 8)).append(char(ai2 & 0xFF));
    state.append(char(inputs));
    return state;
}
