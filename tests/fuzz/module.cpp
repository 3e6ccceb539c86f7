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
// a command byte (the probe stands for connecting again), a timing byte, a
// 16-bit big-endian answer length and the answer; bit 7 of the command byte
// makes the line go away after the answer. The first record answers the probe
// of the connection, whatever its command.
#include "app/applicationsetup.h"
#include "config/configuration.h"
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

// An in-memory module line: each command written is answered with the next
// scripted answer. It keeps the bytes handed out since the last command.
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

    // Commands written; the bytes handed out since the last one, and whether
    // the line went away since.
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

// Reads the input's records one by one; past its end every answer is empty.
class Script
{
public:
    Script(const std::uint8_t *data, std::size_t size) : data(data), size(size) {}

    std::uint8_t byte() { return position < size ? data[position++] : 0; }
    bool atEnd() const { return position >= size; }

    std::pair<Module::Command, ScriptedLine::Answer> record()
    {
        const std::uint8_t command = byte();
        const std::uint8_t timing = byte();
        const std::size_t high = byte();
        const std::size_t length = high << 8 | byte();
        const std::size_t taken = std::min(length, size - std::min(position, size));
        ScriptedLine::Answer answer;
        answer.bytes = QByteArray(reinterpret_cast<const char *>(data + position), qsizetype(taken));
        position += taken;
        answer.pieces = 1 + (timing & 0x07);
        answer.timing = ScriptedLine::Timing((timing >> 3) & 0x03);
        answer.gapMilliseconds = (timing >> 5) & 0x07;
        answer.lineDrops = command & 0x80;
        return { Module::Command((command & 0x7F) % CommandCount), answer };
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

// Disconnects if need be and connects again: the open wait, then the probe.
void reconnect(Module &module, ScriptedLine &line, const ScriptedLine::Answer &answer, int period)
{
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
    ScriptedLine line;
    // What the writes send: the last image read, as the window would.
    Configuration configuration;
    reconnect(module, line, script.record().second, period);

    for (int count = 0; count < MaxOperations && !script.atEnd(); ++count) {
        const auto [command, answer] = script.record();
        if (command == Module::Command::Probe) {
            reconnect(module, line, answer, period);
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
        // For a write, the one byte it succeeds on.
        char acknowledgement = 0;
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
        // The bytes that came after the command; none when it was not sent or
        // the line went away before the result was taken.
        const QByteArray expected = !sent || line.droppedSinceCommand ? QByteArray() : line.sinceCommand;
        if (acknowledgement)
            require(written == (expected == QByteArray(1, acknowledgement)),
                    "a write succeeds only on exactly its acknowledgement");
        else if (command != Module::Command::ManualOutputs)
            require(result == expected, "a read gives exactly the bytes that came");
    }
    return 0;
}
