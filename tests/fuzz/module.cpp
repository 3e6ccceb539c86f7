// Fuzz target: how the module link takes the module's answers. A run
// connects, then sends the commands the input gives to an in-memory line that
// answers each with the input's next answer: in pieces, at once, spread out,
// too late or before the command was sent, and maybe going away after it.
// Whatever comes:
// - no exchange outlasts its bound, and each reports progress from 0 to it;
// - a command's result is exactly the bytes that came after it was sent (none
//   when the line went away; of a flood, its first bytes as far as the bound
//   kept of one answer), so a probe or write succeeds only on exactly its
//   acknowledgement byte;
// - a command on a closed line is refused without being sent.
//
// Input: a byte that sets the period (1 to 8 ms), then records: a command byte
// (bit 7: the line goes away after the answer; the probe connects again), a
// timing byte, a 16-bit big-endian length and the answer. The first record
// answers the connection's probe, whatever its command.
#include "settings/applicationsetup.h"
#include "configuration/configuration.h"
#include "link/module.h"
#include "property.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

namespace {

constexpr int MaxOperations = 10;
constexpr int CommandCount = 7;
// Room for the work around an exchange's waits, besides its limit.
constexpr int SlackMilliseconds = 200;
constexpr int TickMilliseconds = 5;
// Of a flood, a read keeps its answer's length and this many bytes more.
constexpr int KeptBeyondAnswerAtLeast = 256;

// Answers each command written with the next scripted answer.
class ScriptedLine : public QIODevice
{
public:
    enum class Timing {
        AtOnce, // every piece as soon as the command is written
        Spread, // piece n after (n + 1) gaps
        Late,   // as Spread, but starting once the exchange's limit is over
        Early   // all of it before the command, like a lingering answer
    };
    struct Answer
    {
        QByteArray bytes;
        int pieces = 1;
        Timing timing = Timing::AtOnce;
        int gapMilliseconds = 0;
        bool lineDrops = false; // after the last piece
    };

    void answerNextCommandWith(const Answer &answer, int limitMilliseconds)
    {
        next = answer;
        lateStart = limitMilliseconds + 1;
        if (answer.timing == Timing::Early)
            deliver(answer.bytes);
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return unread.size() + QIODevice::bytesAvailable(); }

    // A closed line loses what it held and what was still on its way.
    void close() override
    {
        ++session;
        unread.clear();
        QIODevice::close();
    }

    // Commands written; what came since the last one.
    int commands = 0;
    QByteArray sinceCommand;
    bool droppedSinceCommand = false;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 size = qMin<qint64>(maxSize, unread.size());
        std::memcpy(data, unread.constData(), size_t(size));
        unread.remove(0, size);
        return size;
    }

    qint64 writeData(const char *, qint64 size) override
    {
        ++commands;
        sinceCommand.clear();
        droppedSinceCommand = false;
        const Answer answer = std::exchange(next, Answer());
        const qsizetype total = answer.bytes.size();
        const int pieces = int(qMax<qsizetype>(1, qMin<qsizetype>(answer.pieces, total)));
        int at = answer.timing == Timing::Late ? lateStart : 0;
        for (int n = 0; n < pieces; ++n) {
            const QByteArray piece = answer.bytes.mid(total * n / pieces, total * (n + 1) / pieces - total * n / pieces);
            at += answer.gapMilliseconds;
            if (answer.timing == Timing::AtOnce)
                deliver(piece);
            else if (answer.timing != Timing::Early)
                later(at, [this, piece] { deliver(piece); });
        }
        if (answer.lineDrops) {
            later(answer.timing == Timing::AtOnce ? 0 : at, [this] {
                droppedSinceCommand = true;
                close();
            });
        }
        return size;
    }

private:
    void deliver(const QByteArray &piece)
    {
        if (!isOpen() || piece.isEmpty())
            return;
        unread += piece;
        sinceCommand += piece;
        emit readyRead();
    }

    // Pieces still on their way when the line closes are dropped.
    void later(int milliseconds, const std::function<void()> &action)
    {
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, this, [this, pieceSession = session, action] {
            if (pieceSession == session)
                action();
        });
    }

    Answer next;
    int lateStart = 0;
    QByteArray unread;
    quint32 session = 0;
};

// The time a wait took, less the hold-ups of a busy machine (a gap between
// the ticks of a timer beyond their interval): a wait that outlasts its
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
    std::size_t position = 0;
    const auto byte = [&]() -> std::uint8_t { return position < size ? data[position++] : 0; };
    // The next record; past the input's end every answer is empty.
    const auto record = [&] {
        const std::uint8_t command = byte();
        const std::uint8_t timing = byte();
        const std::size_t high = byte();
        const std::size_t length = high << 8 | byte();
        const std::size_t taken = std::min(length, size - position);
        const ScriptedLine::Answer answer{QByteArray(reinterpret_cast<const char *>(data + position), qsizetype(taken)),
                                          1 + (timing & 0x07), ScriptedLine::Timing((timing >> 3) & 0x03),
                                          (timing >> 5) & 0x07, bool(command & 0x80)};
        position += taken;
        return std::pair{Module::Command((command & 0x7F) % CommandCount), answer};
    };
    const int period = 1 + (byte() & 0x07);
    Module module;
    module.setPeriodForTests(period);
    ScriptedLine line;
    // What the writes send: the last image read, as the window would.
    Configuration configuration;

    for (int count = 0; count <= MaxOperations && (count == 0 || position < size); ++count) {
        const auto [command, answer] = record();
        if (count == 0 || command == Module::Command::Probe) {
            // Disconnects if need be and connects again: the open wait, then the probe.
            module.disconnectPort();
            require(line.open(QIODevice::ReadWrite | QIODevice::Unbuffered), "the line opens");
            const int probeLimit = module.limitMilliseconds(Module::Command::Probe);
            line.answerNextCommandWith(answer, probeLimit);
            const int commandsBefore = line.commands;
            WaitClock clock;
            const bool connected = module.connectDevice(&line);
            require(clock.elapsedWhileRunning() <= period + probeLimit + SlackMilliseconds,
                    "connecting ends within its limit");
            require(line.commands == commandsBefore + 1, "connecting sends the probe");
            require(connected == (line.sinceCommand == "z" && !line.droppedSinceCommand),
                    "a connection stands only on exactly the probe's answer");
            require(module.isConnected() == connected, "the link is open only when connecting succeeded");
            continue;
        }
        const int limit = module.limitMilliseconds(command);
        line.answerNextCommandWith(answer, limit);
        const int commandsBefore = line.commands;
        const bool wasConnected = module.isConnected();
        int progressCount = 0;
        int lastProgress = -1;
        QObject progressWatch;
        QObject::connect(&module, &Module::exchangeProgress, &progressWatch, [&](int elapsed, int bound) {
            require(bound == limit && elapsed >= 0 && elapsed <= bound, "progress stays within the exchange's limit");
            require(progressCount++ > 0 || elapsed == 0, "progress starts at 0");
            lastProgress = elapsed;
        });
        WaitClock clock;
        QByteArray result;
        char acknowledgement = 0; // the one byte a write succeeds on
        bool written = false;
        switch (command) {
        case Module::Command::ReadConfiguration:
            result = module.readConfiguration();
            // As the window takes it: only an image of the right size.
            configuration.fromImage(result);
            break;
        case Module::Command::ReadOnlineState:
            result = module.readOnlineState();
            break;
        case Module::Command::ManualOutputs:
            // Its answer is never read, and must not become part of the next.
            module.sendManualOutputs(500, 1000, 0x2A);
            break;
        case Module::Command::SettingsBlock:
            written = module.writeSettingsBlock(configuration);
            acknowledgement = 'w';
            break;
        case Module::Command::SmsBlock:
            written = module.writeSmsBlock(configuration);
            acknowledgement = 'u';
            break;
        case Module::Command::PinPuk:
            written = module.writePinPuk("1234", "12345678", 1);
            acknowledgement = 'x';
            break;
        case Module::Command::Probe:
            break;
        }

        require(clock.elapsedWhileRunning() <= limit + SlackMilliseconds, "an exchange ends within its limit");
        require(!module.isBusy(), "the link is free after an exchange");
        const bool sent = line.commands != commandsBefore;
        if (wasConnected) {
            require(sent || !line.isOpen(), "a connected link sends the command unless the line went away first");
            require(progressCount >= 2 && lastProgress == limit, "progress ends at the limit");
        } else {
            require(!sent && progressCount == 0, "a closed link refuses the command");
        }
        const QByteArray expected = !sent || line.droppedSinceCommand ? QByteArray() : line.sinceCommand;
        if (acknowledgement)
            require(written == (expected == QByteArray(1, acknowledgement)),
                    "a write succeeds only on exactly its acknowledgement");
        else if (command != Module::Command::ManualOutputs)
            require(result == expected
                            || (expected.startsWith(result) && result.size() > KeptBeyondAnswerAtLeast),
                    "a read gives exactly the bytes that came, as far as the bound kept of one answer");
    }
    return 0;
}
