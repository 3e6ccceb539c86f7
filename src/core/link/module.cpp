#include "link/module.h"

#include "configuration/configuration.h"
#include "link/portname.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSocketNotifier>
#include <QtDebug>

#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int PortsScanInterval = 3000;
constexpr int PortTestAttempts = 15;
constexpr int AcknowledgementSize = 1;

// Once the whole answer is in, the line must stay quiet this long before the
// answer is taken, so that bytes trailing it are seen and fail the exact
// comparison. At 115200 baud a module's trailing bytes follow within a
// fraction of a millisecond (87 us a byte), but USB serial adapters hand
// bytes over in chunks: an FTDI chip holds them up to its 16 ms latency
// timer, and a busy desktop adds a few milliseconds of scheduling. 30 ms
// covers both, nearly twice the latency timer, and costs each exchange
// little against its fixed wait.
constexpr int SettleMilliseconds = 30;
constexpr int ProgressInterval = 200;
// Of one answer, at most this many bytes beyond its size are kept and
// logged; the rest are only counted. Also the most the port holds unread
// between exchanges: a line that floods costs no more memory than that.
constexpr int KeptBeyondAnswer = 256;

const QString FixedWaitsKey = QStringLiteral("fixedModuleWaits");

// Pseudo-terminals (a module emulator, a port redirector) never show in the
// system's port list; this variable names them, separated by ':'.
constexpr char ExtraPortsVariable[] = "TX48_EXTRA_PORTS";

// The waits of a command in module periods, and the size of its answer
// (0: the answer is not read).
struct CommandTiming
{
    int periodsBefore;
    int periodsAfter;
    int answerSize;
    // The one byte that acknowledges the command; 0 for data and no answer.
    char acknowledgement;
    const char *name;
};

CommandTiming timingOf(Module::Command command)
{
    switch (command) {
    case Module::Command::Probe: return {0, 1, AcknowledgementSize, 'z', "i"};
    case Module::Command::ReadConfiguration: return {0, 6, ConfigurationImageSize, 0, "A"};
    case Module::Command::ReadOnlineState: return {0, 1, OnlineStateSize, 0, "B"};
    case Module::Command::ManualOutputs: return {0, 1, 0, 0, "C"};
    case Module::Command::SettingsBlock: return {0, 23, AcknowledgementSize, 'w', "pb"};
    // Three quiet periods first: the module is still busy with the block before.
    case Module::Command::SmsBlock: return {3, 25, AcknowledgementSize, 'u', "pc"};
    case Module::Command::PinPuk: return {0, 6, AcknowledgementSize, 'x', "pa"};
    }
    return {0, 0, 0, 0, ""};
}

// Exactly the acknowledgement, or an answer of the command's whole size.
bool isExpectedAnswer(const CommandTiming &timing, const QByteArray &answer)
{
    if (timing.acknowledgement != 0)
        return answer == QByteArray(1, timing.acknowledgement);
    return answer.size() == timing.answerSize;
}

LinkLog::Outcome outcomeOf(const CommandTiming &timing, const QByteArray &answer, qint64 count)
{
    if (count == 0)
        return LinkLog::Outcome::Unanswered;
    return count == answer.size() && isExpectedAnswer(timing, answer) ? LinkLog::Outcome::Answered
                                                                      : LinkLog::Outcome::Wrong;
}

// Runs the loop until something quits it, at most `milliseconds`. A coarse
// timer may fire early; the module needs the full wait.
void execForAtMost(QEventLoop &loop, int milliseconds)
{
    QTimer deadline;
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(qMax(milliseconds, 0));
    loop.exec();
}

bool fixedWaitsSetting()
{
    return QSettings().value(FixedWaitsKey, false).toBool();
}

} // namespace

Module::Module() : QObject(nullptr), port(new QSerialPort(this)), link(port)
{
    port->setBaudRate(QSerialPort::Baud115200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setReadBufferSize(ConfigurationImageSize + KeptBeyondAnswer);
    incoming.setLimit(ConfigurationImageSize + KeptBeyondAnswer);
    connect(port, &QSerialPort::errorOccurred, this, &Module::checkPortError);

    connect(&portsTimer, &QTimer::timeout, this, &Module::readAvaiblePorts);
    portsTimer.setInterval(PortsScanInterval);
    portsTimer.start();
}

// Every change of the ports is told, not only of their number: an adapter
// pulled out and another plugged in between two scans leave as many.
void Module::readAvaiblePorts()
{
    const QList<QPair<QString, QString>> old = availablePorts;
    availablePorts.clear();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        availablePorts.append({info.portName(), PortName::label(info.portName(), info.description())});
    const QStringList extraPorts = qEnvironmentVariable(ExtraPortsVariable).split(':', Qt::SkipEmptyParts);
    for (const QString &path : extraPorts) {
        if (QFileInfo::exists(path))
            availablePorts.append({path, PortName::label(path, tr("port wirtualny"))});
    }
    if (availablePorts != old)
        emit newAvailablePorts();
}

// The port is held (see PortLock) from before the port test's first byte
// until it is closed again. The test is tried again only where that can
// help: a port that is busy, no serial port or not allowed is given up at
// once, and connectionProblem() says why.
bool Module::connectPort(QString name)
{
    fixedWaits = fixedWaitsSetting();
    problem.clear();
    failure = ConnectionFailure::None;
    abandoning = false;
    const QString device = systemLocation(name);
    for (int attempt = 0; attempt < PortTestAttempts; ++attempt) {
        if (lock.take(device) && testPort(name))
            break;
        if (!lock.isHeld() && !lock.retryCanHelp()) {
            problem = lock.problem();
            failure = lock.failure();
            return false;
        }
        lock.release();
        waitMilliseconds(2 * period);
        if (abandoning)
            break;
    }
    if (abandoning) {
        lock.release();
        failure = ConnectionFailure::NoAnswer;
        return false;
    }

    if (!lock.isHeld() && !lock.take(device)) {
        problem = lock.problem();
        failure = lock.failure();
        waitHalfSecond();
        return false;
    }
    port->setPortName(name);
    if (!port->open(QIODevice::ReadWrite)) {
        // Held by a program that keeps a lock file, as Qt's serial port does.
        if (port->error() == QSerialPort::PermissionError) {
            problem = PortLock::busyProblem();
            failure = ConnectionFailure::PortBusy;
        } else {
            failure = ConnectionFailure::CannotOpen;
        }
        lock.release();
        waitHalfSecond();
        return false;
    }
    link = port;
    return connectLink();
}

bool Module::connectDevice(QIODevice *device)
{
    fixedWaits = fixedWaitsSetting();
    problem.clear();
    failure = ConnectionFailure::None;
    abandoning = false;
    link = device;
    connect(device, &QIODevice::aboutToClose, this, &Module::lineGone);
    return connectLink();
}

// The module (or its adapter) gets half a second after the port opens, then
// it must answer the probe.
bool Module::connectLink()
{
    connecting = true;
    waitOnLink(period);
    const CommandTiming probe = timingOf(Command::Probe);
    probeAnswer = abandoning ? QByteArray() : exchange(Command::Probe, probe.name);
    connecting = false;
    if (!abandoning && isExpectedAnswer(probe, probeAnswer)) {
        portsTimer.stop();
        return true;
    }
    failure = probeAnswer.isEmpty() ? ConnectionFailure::NoAnswer : ConnectionFailure::WrongAnswer;
    disconnectPort();
    return false;
}

void Module::disconnectPort()
{
    portsTimer.start();
    QIODevice *closing = link;
    link = port;
    if (closing != port)
        disconnect(closing, &QIODevice::aboutToClose, this, &Module::lineGone);
    closing->close();
    lock.release();
}

// The pre-open test: can the port be held, set to 115200 8N1, written and
// read? What it answers does not matter here. On its own the test holds the
// port for its time; within connectPort() the port is held already.
bool Module::testPort(QString name)
{
    const bool ownLock = !lock.isHeld();
    if (ownLock && !lock.take(systemLocation(name)))
        return false;
    const bool passed = testLine(lock.descriptor());
    if (ownLock)
        lock.release();
    return passed;
}

bool Module::testLine(int fd)
{
    termios settings {};
    if (::tcgetattr(fd, &settings) == -1) {
        qWarning("error getting state");
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (::tcsetattr(fd, TCSANOW, &settings) == -1) {
        qWarning("error setting serial port state");
        return false;
    }
    // A read returns at once with whatever has arrived.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) == -1) {
        qWarning("error setting port state");
        return false;
    }

    const CommandTiming probe = timingOf(Command::Probe);
    if (::write(fd, probe.name, 1) != 1) {
        qWarning("Write err");
        return false;
    }
    lastCommand = QLatin1String(probe.name);
    lastMessage.start();
    linkLog.addSent(lastCommand, probe.name, 0);
    {
        // Over with the first byte back, or at the limit.
        QEventLoop loop;
        QSocketNotifier readable(fd, QSocketNotifier::Read);
        readable.setEnabled(!fixedWaits);
        connect(&readable, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        execForAtMost(loop, period * 3 / 5);
    }

    char scratch[100];
    const ssize_t count = ::read(fd, scratch, 99);
    if (count == -1 && errno != EAGAIN && errno != EWOULDBLOCK) {
        qWarning("error reading from input buffer");
        return false;
    }
    const QByteArray answer(scratch, count > 0 ? qsizetype(count) : 0);
    linkLog.addReceived(lastCommand, answer, int(lastMessage.elapsed()), outcomeOf(probe, answer, answer.size()));
    return true;
}

// Closing the link ends the wait under way at once (see waitOnLink()); the
// port test's short wait is not cut.
void Module::abandonConnection()
{
    abandoning = true;
    if (connecting && link->isOpen())
        link->close();
}

bool Module::isConnected() const
{
    return link->isOpen();
}

bool Module::isBusy() const
{
    return busy;
}

int Module::limitMilliseconds(Command command) const
{
    const CommandTiming timing = timingOf(command);
    return (timing.periodsBefore + timing.periodsAfter) * period;
}

int Module::writeLimitMilliseconds(bool withSmsBlock) const
{
    return limitMilliseconds(Command::SettingsBlock) + (withSmsBlock ? limitMilliseconds(Command::SmsBlock) : 0);
}

void Module::waitHalfSecond()
{
    waitMilliseconds(period);
}

QByteArray Module::padded(QByteArray text, int length)
{
    QByteArray field = text.left(length);
    field.append(length - field.size(), '\0');
    return field;
}

bool Module::probe()
{
    return exchangeAcknowledged(Command::Probe, timingOf(Command::Probe).name);
}

QByteArray Module::readConfiguration()
{
    return exchange(Command::ReadConfiguration, "A");
}

QByteArray Module::readOnlineState()
{
    return exchange(Command::ReadOnlineState, "B");
}

void Module::sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask)
{
    QByteArray message("C");
    message.append(char(ao1 >> 8)).append(char(ao1 & 0xFF));
    message.append(char(ao2 >> 8)).append(char(ao2 & 0xFF));
    message.append(char(doMask));
    exchange(Command::ManualOutputs, message);
}

bool Module::writeSettingsBlock(const Configuration &configuration)
{
    return exchangeAcknowledged(Command::SettingsBlock,
                                "pb" + configuration.toImage(ImageSection::SettingsBlock));
}

bool Module::writeSmsBlock(const Configuration &configuration)
{
    return exchangeAcknowledged(Command::SmsBlock, "pc" + configuration.toImage(ImageSection::SmsBlock));
}

bool Module::writePinPuk(QByteArray pin, QByteArray puk, quint8 pinRequest)
{
    const QByteArray message = "pa" + padded(pin, 4) + padded(puk, 8) + char(pinRequest);
    return exchangeAcknowledged(Command::PinPuk, message);
}

void Module::abandonExchange()
{
    if (!busy)
        return;
    abandoned = true;
    emit exchangeAbandoned();
}

std::optional<Module::Command> Module::runningCommand() const
{
    return running;
}

QByteArray Module::wrongProbeAnswer() const
{
    return failure == ConnectionFailure::WrongAnswer ? probeAnswer : QByteArray();
}

LinkLog *Module::log()
{
    return &linkLog;
}

void Module::setPeriodForTests(int milliseconds)
{
    period = milliseconds;
}

void Module::waitMilliseconds(int milliseconds)
{
    QEventLoop loop;
    execForAtMost(loop, milliseconds);
}

bool Module::waitOwedPause(Command command)
{
    pauseEnded = false;
    waitOnLink(owedQuiet(command), 0, true);
    quietServed = !pauseEnded && link->isOpen();
    return quietServed;
}

void Module::endPause()
{
    pauseEnded = true;
    if (pauseLoop)
        pauseLoop->quit();
}

// The command's own pause after the line's last activity, and at least the
// time an abandoned message still allows the module.
int Module::owedQuiet(Command command) const
{
    int quiet = timingOf(command).periodsBefore * period;
    if (!fixedWaits && lineActivity.isValid())
        quiet -= int(qMin<qint64>(lineActivity.elapsed(), quiet));
    return qMax(quiet, int(owedSilence.remainingTime()));
}

void Module::waitOnLink(int milliseconds, int answerSize, bool pause)
{
    QEventLoop loop;
    if (pause) {
        if (pauseEnded)
            return;
        pauseLoop = &loop;
    }
    QTimer settle;
    settle.setTimerType(Qt::PreciseTimer);
    settle.setSingleShot(true);
    settle.setInterval(SettleMilliseconds);
    connect(&settle, &QTimer::timeout, &loop, &QEventLoop::quit);
    QIODevice *device = link;
    connect(device, &QIODevice::aboutToClose, &loop, &QEventLoop::quit);
    connect(this, &Module::exchangeAbandoned, &loop, &QEventLoop::quit);
    // An awaited answer is taken as it comes, so that a line that floods
    // is counted, not held; other bytes wait in the port's bounded buffer.
    const auto answerComplete = [this, device, answerSize] {
        if (answerSize == 0)
            return false;
        incoming.readFrom(device);
        return incoming.count() >= answerSize;
    };
    connect(device, &QIODevice::readyRead, &loop, [this, &settle, answerComplete] {
        lineActivity.start();
        // Each new byte starts the settle time again.
        if (answerComplete())
            settle.start();
    });
    // An in-memory device may hold its answer already.
    if (answerComplete())
        settle.start();
    execForAtMost(loop, milliseconds);
    if (pause)
        pauseLoop = nullptr;
}

// One request and its answer. The input is emptied just before the message
// goes out, so a late answer, or one to a command whose answer is not read,
// never becomes the start of this answer. Refused with an empty answer while
// another exchange waits (a timer may fire inside the nested event loop) or
// when the link is closed.
QByteArray Module::exchange(Command command, const QByteArray &message)
{
    if (busy || !link->isOpen())
        return {};
    busy = true;
    running = command;
    abandoned = false;
    const CommandTiming timing = timingOf(command);
    const int limit = limitMilliseconds(command);
    QElapsedTimer clock;
    clock.start();
    QTimer progress;
    progress.setInterval(ProgressInterval);
    connect(&progress, &QTimer::timeout, this,
            [this, &clock, limit] { emit exchangeProgress(qMin(int(clock.elapsed()), limit), limit); });
    emit exchangeProgress(0, limit);
    progress.start();

    if (!quietServed)
        waitOnLink(owedQuiet(command));
    quietServed = false;

    QByteArray received;
    if (link->isOpen() && !abandoned) {
        incoming.readFrom(link);
        logLateBytes();
        if (link == port)
            port->clear(QSerialPort::Input);
        incoming.setLimit(timing.answerSize + KeptBeyondAnswer);
        link->write(message);
        lineActivity.start();
        lastCommand = QLatin1String(timing.name);
        lastMessage.start();
        linkLog.addSent(lastCommand, message, int(clock.elapsed()));
        waitOnLink(timing.periodsAfter * period, fixedWaits ? 0 : timing.answerSize);
        const int waited = int(lastMessage.elapsed());
        if (abandoned) {
            incoming.clear();
            linkLog.addReceived(lastCommand, {}, waited, LinkLog::Outcome::Unanswered);
            owedSilence.setRemainingTime(qMax(0, timing.periodsAfter * period - waited), Qt::PreciseTimer);
        } else if (!link->isOpen()) {
            incoming.clear();
            linkLog.addReceived(lastCommand, {}, waited, LinkLog::Outcome::LineLost);
        } else if (timing.answerSize > 0) {
            incoming.readFrom(link);
            received = incoming.kept();
            linkLog.addReceived(lastCommand, received, waited, outcomeOf(timing, received, incoming.count()),
                                incoming.count());
            incoming.clear();
        }
    }
    progress.stop();
    busy = false;
    running.reset();
    emit exchangeProgress(limit, limit);
    return received;
}

bool Module::exchangeAcknowledged(Command command, const QByteArray &message)
{
    return isExpectedAnswer(timingOf(command), exchange(command, message));
}

void Module::logLateBytes()
{
    if (incoming.count() > 0)
        linkLog.addReceived(lastCommand, incoming.kept(), lastMessage.isValid() ? int(lastMessage.elapsed()) : 0,
                            LinkLog::Outcome::Late, incoming.count());
    incoming.clear();
}

// A pulled adapter or a closed pseudo-terminal shows as a resource error, or
// as a read that finds the line hung up. The port must then be closed: a
// hung-up line stays readable, and its read notifier would fire without end.
void Module::checkPortError(QSerialPort::SerialPortError error)
{
    if (!port->isOpen() || error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (error != QSerialPort::ResourceError && !portHungUp())
        return;
    qWarning("port %s is gone (serial port error %d)", qPrintable(port->portName()), int(error));
    lineGone();
}

void Module::lineGone()
{
    const bool wasConnected = !connecting;
    disconnectPort();
    if (wasConnected)
        emit connectionLost();
}

bool Module::portHungUp() const
{
    pollfd state {port->handle(), POLLIN, 0};
    return ::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL));
}

QString Module::connectionProblem() const
{
    return problem;
}

ConnectionFailure Module::connectionFailure() const
{
    return failure;
}

QString Module::systemLocation(const QString &name)
{
    return name.contains('/') ? name : QDir(QStringLiteral("/dev")).filePath(name);
}
