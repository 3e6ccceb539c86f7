// tx48-emulator: a TX48 module on a pseudo-terminal, for tests and for trying
// the tool without hardware.

#include "moduleemulator.h"
#include "pseudoterminal.h"

#include "files/filename.h"
#include "files/regularfile.h"
#include "settings/standardstreams.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtEndian>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const char Description[] = R"(A TX48 module on a pseudo-terminal.

Prints the path of the pseudo-terminal (the port to open, 115200 8N1) as the
first line of standard output and serves until SIGTERM or SIGINT.

With --swap-file, SIGUSR1 makes the emulator another module on the same line,
as when the cable is moved to a second module: it takes the configuration of
that file (read anew at each signal; the SIM PIN and PUK stay its own) and
prints "swapped" on a line of standard output once it answers as the new one.

Commands and answers (the module keeps one 1968-byte configuration image):
  i                 -> z
  A                 -> the image, 1968 bytes; its 14-byte header holds the SIM
                       PIN (4 bytes, default "1234") and PUK (8 bytes, default
                       "12345678")
  B                 -> live state, 5 bytes: AI1 (u16 big-endian), AI2 (u16 BE),
                       digital inputs (bit 0 = DI1). For the n-th "B" (n = 0
                       first): AI1 = 50 * (n mod 21), AI2 = 1000 - AI1,
                       inputs = n mod 64
  C + 5 bytes       -> no answer; the outputs are reported on standard error
  pb + 834 bytes    -> stored as image bytes 14..847, answer w
  pc + 1120 bytes   -> stored as image bytes 848..1967, answer u
  pa + 13 bytes     -> PIN (4) to image bytes 0..3, PUK (8) to 4..11, PIN
                       request (1) to byte 12, answer x
A byte that starts no command is logged on a line of its own and ignored.
Commands may arrive split across reads.

Like a real line, the emulator drops answers the tool cannot read any more:
nothing is sent while the tool's end is closed, bytes the tool left unread
are discarded when it closes its end, and late answers still pending then are
cancelled.

Timing: by default the emulator answers at once and bytes cross the
pseudo-terminal at once. --delay-ms and --delay make it answer after a pause,
like a module that takes its time (a pause is counted from the moment the
whole command has arrived); --baud makes the line as slow as a real one.

Log (--log): one line per command received, its bytes in upper-case hex
separated by single spaces, e.g. "43 03 E8 00 00 21"; written at once. The
12 bytes of the SIM PIN and PUK in "pa" show as "**" each, e.g.
"70 61 ** ** ** ** ** ** ** ** ** ** ** ** 02".

Faults (--fail, may be repeated):
  silent           no answer to anything
  wrong-answer     every answer is followed by CR LF (e.g. "z\r\n")
  late             every answer but the probe's "z" is sent --late-ms
                   milliseconds after its command
  short-image      "A" answers the first 1967 bytes of the image
  long-image       "A" answers the image and one zero byte (1969 bytes)
  no-settings-ack  "pb" is neither stored nor answered
  no-sms-ack       "pc" is neither stored nor answered
  no-pin-ack       "pa" is neither stored nor answered
  linger           "C" is answered with the byte "c", which lingers in the
                   tool's input
  short-live       every third "B" (n = 2, 5, 8, ...) answers only the first
                   4 bytes of its live state; the sequence goes on as usual
  store-changed    "pb" and "pc" are answered as usual, but the block is stored
                   changed: "pb" with the hysteresis (image byte 813) one
                   higher, "pc" with the first byte of status SMS 1 (image
                   byte 848) one higher
  sms-store-changed  as store-changed, but only "pc" is stored changed
  stale-image      the first command after the tool opens its end is answered
                   after the whole image, as when a read given up is still on
                   the line
  noise            every answer but the probe's "z" comes after six bytes FF
  flood            after the first answer but the probe's, the digits 0 to 9
                   follow over and over without end, as fast as the tool reads
                   them, until the tool closes its end; commands are still
                   answered in between)";

int signalPipe[2];

void forwardSignal(int number)
{
    const char signalByte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &signalByte, 1);
}

// A configuration file: 32-bit big-endian length 1968, then the image.
bool readConfigurationFile(const QString &fileName, QByteArray *image, QString *error)
{
    const std::optional<QByteArray> start = RegularFile::readStart(fileName, 4 + 1968);
    if (!start) {
        *error = QStringLiteral("cannot open the file (or it is no regular file)");
        return false;
    }
    if (start->size() != 4 + 1968 || qFromBigEndian<quint32>(start->constData()) != 1968) {
        *error = QStringLiteral("not a configuration file (length 1968 and the image expected)");
        return false;
    }
    *image = start->mid(4);
    return true;
}

// The image of a configuration file, with the emulator's own SIM PIN and PUK
// from `header`.
bool readModuleImage(const QString &fileName, const QByteArray &header, QByteArray *image, QString *error)
{
    QByteArray fileImage;
    if (!readConfigurationFile(fileName, &fileImage, error))
        return false;
    *image = header.left(14) + fileImage.mid(14);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    openMissingStandardStreams();
    // Qt would open another file than the one named.
    if (const QString refusal = FileName::refusal(argc, argv); !refusal.isEmpty()) {
        std::fprintf(stderr, "tx48-emulator: %s\n", qPrintable(refusal));
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tx48-emulator");
    QCoreApplication::setApplicationVersion(TELVORO_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption configOption("config",
        "Start from the configuration file <file> (.kvl); the SIM PIN and PUK stay the emulator's.",
        "file");
    const QCommandLineOption logOption("log", "Log every command received to <file>.", "file");
    const QCommandLineOption failOption("fail", "Behave with the fault <mode> (see above).", "mode");
    const QCommandLineOption lateOption("late-ms",
        "Delay of answers in the late mode, in milliseconds (default 4000).", "ms", "4000");
    const QCommandLineOption delayAllOption("delay-ms",
        "Answer every command <ms> milliseconds after it has arrived (default 0).", "ms", "0");
    const QCommandLineOption delayOption("delay",
        "Answer <command> (i, A, B, C, pa, pb or pc) <ms> milliseconds after it has arrived, "
        "whatever --delay-ms says, e.g. --delay A=800; may be repeated.",
        "command=ms");
    const QCommandLineOption baudOption("baud",
        "Pace the line like a serial line at <rate> baud, 10 bits a byte: a command counts "
        "as arrived once its last byte has crossed the line, and answers leave at that pace, "
        "in pieces a millisecond apart as from a USB adapter. Without it bytes pass at once.",
        "rate");
    const QCommandLineOption swapOption("swap-file",
        "On SIGUSR1, become the module of the configuration file <file> (.kvl); see above.",
        "file");
    const QCommandLineOption parentOption("exit-with-parent",
        "Stop when the process <pid>, which started the emulator, ends (for tests).", "pid");
    parser.addOptions({configOption, logOption, failOption, lateOption, delayAllOption, delayOption,
                       baudOption, swapOption, parentOption});
    parser.process(app);

    const auto fail = [](const QString &message) {
        std::fprintf(stderr, "tx48-emulator: %s\n", qPrintable(message));
        return 2;
    };

    // A test that crashes or is killed must not leave its emulator behind:
    // it would hold the test runner's output open, and the run would never end.
    if (parser.isSet(parentOption)) {
        bool pidOk = false;
        const qint64 parent = parser.value(parentOption).toLongLong(&pidOk);
        if (!pidOk || parent <= 0)
            return fail(QStringLiteral("--exit-with-parent needs a process id"));
        if (::prctl(PR_SET_PDEATHSIG, SIGTERM) == -1)
            return fail(QStringLiteral("cannot follow the parent process"));
        // The parent may have ended before the request above took effect.
        if (::getppid() != parent)
            return 0;
    }

    QSet<ModuleEmulator::Fault> faults;
    for (const QString &name : parser.values(failOption)) {
        ModuleEmulator::Fault fault;
        if (!ModuleEmulator::faultFromName(name, &fault))
            return fail(QStringLiteral("unknown fault mode: %1").arg(name));
        faults.insert(fault);
    }
    const auto milliseconds = [](const QString &text, int *value) {
        bool ok = false;
        *value = text.toInt(&ok);
        return ok && *value >= 0;
    };
    int lateMilliseconds = 0;
    if (!milliseconds(parser.value(lateOption), &lateMilliseconds))
        return fail(QStringLiteral("--late-ms needs a number of milliseconds"));

    int answerDelay = 0;
    if (!milliseconds(parser.value(delayAllOption), &answerDelay))
        return fail(QStringLiteral("--delay-ms needs a number of milliseconds"));
    QList<QPair<QString, int>> commandDelays;
    for (const QString &setting : parser.values(delayOption)) {
        const QString command = setting.section('=', 0, 0);
        int delay = 0;
        if (!ModuleEmulator::isCommandName(command) || !milliseconds(setting.section('=', 1), &delay))
            return fail(QStringLiteral("--delay needs a command and milliseconds, e.g. A=800: %1").arg(setting));
        commandDelays.append({command, delay});
    }
    int baud = 0;
    if (parser.isSet(baudOption) && (!milliseconds(parser.value(baudOption), &baud) || baud == 0))
        return fail(QStringLiteral("--baud needs a rate in bits per second, e.g. 115200"));

    PseudoTerminal line;
    ModuleEmulator emulator;
    QObject::connect(&line, &PseudoTerminal::received, &emulator, &ModuleEmulator::receive);
    QObject::connect(&line, &PseudoTerminal::peerClosed, &emulator, &ModuleEmulator::cancelPendingAnswers);
    QObject::connect(&emulator, &ModuleEmulator::transmitted, &line, &PseudoTerminal::write);
    QObject::connect(&emulator, &ModuleEmulator::floodRequested, &line, &PseudoTerminal::flood);
    emulator.setFaults(faults);
    emulator.setLateMilliseconds(lateMilliseconds);
    emulator.setAnswerDelay(answerDelay);
    for (const auto &[command, delay] : std::as_const(commandDelays))
        emulator.setAnswerDelay(command, delay);
    emulator.setBaudRate(baud);
    if (parser.isSet(configOption)) {
        QByteArray image;
        QString error;
        if (!readModuleImage(parser.value(configOption), ModuleEmulator::defaultImage(), &image, &error))
            return fail(QStringLiteral("%1: %2").arg(parser.value(configOption), error));
        emulator.setImage(image);
    }
    QString logProblem;
    if (parser.isSet(logOption) && !emulator.setLogFile(parser.value(logOption), &logProblem))
        return fail(QStringLiteral("cannot write the log %1 (%2)").arg(parser.value(logOption), logProblem));
    if (!line.open())
        return fail(QStringLiteral("cannot create a pseudo-terminal: %1").arg(line.errorString()));

    if (::pipe(signalPipe) == -1)
        return fail(QStringLiteral("cannot create a pipe"));
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    const QString swapFile = parser.value(swapOption);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char number = 0;
        if (::read(signalPipe[0], &number, 1) != 1)
            return;
        if (number != SIGUSR1) {
            QCoreApplication::quit();
            return;
        }
        QByteArray image;
        QString error;
        if (!readModuleImage(swapFile, emulator.currentImage(), &image, &error)) {
            std::fprintf(stderr, "tx48-emulator: %s: %s\n", qPrintable(swapFile), qPrintable(error));
            return;
        }
        emulator.setImage(image);
        std::printf("swapped\n");
        std::fflush(stdout);
    });
    std::signal(SIGTERM, forwardSignal);
    std::signal(SIGINT, forwardSignal);
    if (!swapFile.isEmpty())
        std::signal(SIGUSR1, forwardSignal);

    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    return app.exec();
}
