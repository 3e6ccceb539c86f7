// Fuzz target: how the module link takes the module's answers. A run
// connects (the probe) and then reads, polls the live state, sets the
// outputs, writes the settings and SMS blocks and the PIN and PUK in the
// order the input gives, against an in-memory line that answers each command
// with the input's next answer, in pieces, at once, spread out, too late or
// before the command was even sent, and may go away after it. Whatever comes:
// - no exchange takes longer than its upper bound, and each reports its
//   progress from 0 to that bound;
// - a command's result is exactly the bytes that came after it was sent (none
//   when the line went away): so a probe, write or PIN/PUK succeeds only on
//   exactly its one acknowledgement byte, a read is an image only when
//   exactly 1968 bytes came and a live state only when exactly 5 did;
// - a command on a closed line is refused without being sent.
//
// Input: one byte that sets the module's period (1 to 8 ms), then records of
// an operation byte, a timing byte, a 16-bit big-endian answer length and the
// answer; bit 7 of the operation byte makes the line go away after the answer.
// The first record answers the probe of the connection, whatever its operation.
#include "app/applicationsetup.h"
#include "config/configuration.h"
#include "link/module.h"
#include "property.h"
#include "scriptedmodule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int MaxOperations = 10;
// Room for the work around an exchange's waits, besides its limit.
constexpr int SlackMilliseconds = 200;
constexpr int TickMilliseconds = 5;

enum class Operation { Reconnect, Read, LiveState, ManualOutputs, SettingsBlock, SmsBlock, PinPuk };
constexpr int OperationCount = 7;

// Reads the input's records one by one; past its end every answer is empty.
class Script
{
public:
    Script(const std::uint8_t *data, std::size_t size) : data(data), size(size) {}

    std::uint8_t byte() { return position < size ? data[position++] : 0; }

    bool atEnd() const { return position >= size; }

    Operation operation(bool *lineDrops)
    {
        const std::uint8_t value = byte();
        *lineDrops = value & 0x80;
        return Operation((value & 0x7F) % OperationCount);
    }

    ScriptedModule::Answer answer(bool lineDrops)
    {
        const std::uint8_t timing = byte();
        const std::size_t high = byte();
        const std::size_t length = high << 8 | byte();
        const std::size_t taken = std::min(length, size - std::min(position, size));
        ScriptedModule::Answer answer;
        answer.bytes = QByteArray(reinterpret_cast<const char *>(data + position), qsizetype(taken));
        position += taken;
        answer.pieces = 1 + (timing & 0x07);
        answer.timing = ScriptedModule::Timing((timing >> 3) & 0x03);
        answer.gapMilliseconds = (timing >> 5) & 0x07;
        answer.lineDrops = lineDrops;
        return answer;
    }

private:
    const std::uint8_t *data;
    std::size_t size;
    std::size_t position = 0;
};

// The time a wait took, less what the machine held the whole process up: a
// busy machine can stop it for a second and more, which is not the wait's
// doing. A timer ticks through the waits' event loops; a gap between ticks
// beyond their interval is such a hold-up. A wait that goes on past its
// limit still ticks on time, and is caught.
class WaitClock
{
public:
    WaitClock()
    {
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(TickMilliseconds);
        QObject::connect(&ticks, &QTimer::timeout, &ticks, [this] { tick(); });
        clock.start();
        ticks.start();
    }

    qint64 elapsedWhileRunning()
    {
        tick();
        return clock.elapsed() - heldUp;
    }

private:
    void tick()
    {
        const qint64 now = clock.elapsed();
        heldUp += qMax<qint64>(0, now - lastTick - TickMilliseconds);
        lastTick = now;
    }

    QElapsedTimer clock;
    QTimer ticks;
    qint64 lastTick = 0;
    qint64 heldUp = 0;
};

// Watches one exchange and checks what holds for any exchange: its time,
// its progress, and whether its command went out.
class ExchangeCheck
{
public:
    ExchangeCheck(Module &module, ScriptedModule &line, int limit)
        : module(module), line(line), limit(limit), commandsBefore(line.commandCount()),
          wasConnected(module.isConnected())
    {
        progress = QObject::connect(&module, &Module::exchangeProgress, [this](int elapsed, int bound) {
            require(bound == this->limit && elapsed >= 0 && elapsed <= bound,
                    "progress stays within the exchange's limit");
            if (progressCount++ == 0)
                require(elapsed == 0, "progress starts at 0");
            lastProgress = elapsed;
        });
    }

    ~ExchangeCheck() { QObject::disconnect(progress); }

    // Once the exchange has returned: the result it must have given, the
    // bytes that came after its command, none when the command was refused
    // or the line went away before the result was taken.
    QByteArray expectedResult()
    {
        require(clock.elapsedWhileRunning() <= limit + SlackMilliseconds, "an exchange ends within its limit");
        require(!module.isBusy(), "the link is free after an exchange");
        const bool sent = line.commandCount() != commandsBefore;
        if (!wasConnected) {
            require(!sent && progressCount == 0, "a closed link refuses the command");
            return QByteArray();
        }
        require(sent || !line.isOpen(), "a connected link sends the command unless the line went away first");
        require(progressCount >= 2 && lastProgress == limit, "progress ends at the limit");
        return !sent || line.droppedSinceCommand() ? QByteArray() : line.receivedSinceCommand();
    }

private:
    Module &module;
    ScriptedModule &line;
    const int limit;
    const int commandsBefore;
    const bool wasConnected;
    WaitClock clock;
    QMetaObject::Connection progress;
    int progressCount = 0;
    int lastProgress = -1;
};

Module::Command commandOf(Operation operation)
{
    switch (operation) {
    case Operation::Read: return Module::Command::ReadConfiguration;
    case Operation::LiveState: return Module::Command::ReadOnlineState;
    case Operation::ManualOutputs: return Module::Command::ManualOutputs;
    case Operation::SettingsBlock: return Module::Command::SettingsBlock;
    case Operation::SmsBlock: return Module::Command::SmsBlock;
    case Operation::PinPuk:
    case Operation::Reconnect: break;
    }
    return Module::Command::PinPuk;
}

// Disconnects if need be and connects again: the open wait, then the probe.
void reconnect(Module &module, ScriptedModule &line, const ScriptedModule::Answer &answer, int period)
{
    module.disconnectPort();
    require(line.open(QIODevice::ReadWrite | QIODevice::Unbuffered), "the line opens");
    const int probeLimit = module.limitMilliseconds(Module::Command::Probe);
    line.answerNextCommandWith(answer, probeLimit);
    const int commandsBefore = line.commandCount();
    WaitClock clock;
    const bool connected = module.connectDevice(&line);
    require(clock.elapsedWhileRunning() <= period + probeLimit + SlackMilliseconds,
            "connecting ends within its limit");
    require(line.commandCount() == commandsBefore + 1, "connecting sends the probe");
    require(connected == (line.receivedSinceCommand() == "z" && !line.droppedSinceCommand()),
            "a connection stands only on exactly the probe's answer");
    require(module.isConnected() == connected, "the link is open only when connecting succeeded");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The link reads its settings when it connects: from an empty folder,
    // never the user's.
    static QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    prepareApplication();
    new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Script script(data, size);
    const int period = 1 + (script.byte() & 0x07);
    Module module;
    module.setPeriodForTests(period);
    ScriptedModule line;
    // What the writes send: the last image read, as the window would.
    Configuration configuration;

    bool lineDrops = false;
    script.operation(&lineDrops);
    reconnect(module, line, script.answer(lineDrops), period);

    for (int count = 0; count < MaxOperations && !script.atEnd(); ++count) {
        const Operation operation = script.operation(&lineDrops);
        if (operation == Operation::Reconnect) {
            reconnect(module, line, script.answer(lineDrops), period);
            continue;
        }
        const int limit = module.limitMilliseconds(commandOf(operation));
        line.answerNextCommandWith(script.answer(lineDrops), limit);
        ExchangeCheck check(module, line, limit);
        switch (operation) {
        case Operation::Read: {
            const QByteArray image = module.readConfiguration();
            require(image == check.expectedResult(), "a read gives exactly the bytes that came");
            // As the window takes it: only an image of the right size.
            configuration.fromImage(image);
            break;
        }
        case Operation::LiveState: {
            const QByteArray state = module.readOnlineState();
            require(state == check.expectedResult(), "a live state is exactly the bytes that came");
            break;
        }
        case Operation::ManualOutputs:
            // Its answer is never read, and must not become part of the next.
            module.sendManualOutputs(500, 1000, 0x2A);
            check.expectedResult();
            break;
        case Operation::SettingsBlock: {
            const bool written = module.writeSettingsBlock(configuration);
            require(written == (check.expectedResult() == "w"),
                    "the settings block is written only on exactly its acknowledgement");
            break;
        }
        case Operation::SmsBlock: {
            const bool written = module.writeSmsBlock(configuration);
            require(written == (check.expectedResult() == "u"),
                    "the SMS block is written only on exactly its acknowledgement");
            break;
        }
        case Operation::PinPuk: {
            const bool written = module.writePinPuk("1234", "12345678", 1);
            require(written == (check.expectedResult() == "x"),
                    "the PIN and PUK are written only on exactly their acknowledgement");
            break;
        }
        case Operation::Reconnect:
            break;
        }
    }
    return 0;
}
