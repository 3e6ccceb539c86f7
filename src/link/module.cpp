#include "link/module.h"

#include "config/configuration.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QtDebug>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int PortsScanInterval = 3000;
constexpr int PortTestAttempts = 15;

// Pseudo-terminals (a module emulator, a port redirector) never show in the
// system's port list; this variable names them, separated by ':'.
constexpr char ExtraPortsVariable[] = "TX48_EXTRA_PORTS";

} // namespace

Module::Module() : QObject(nullptr), port(new QSerialPort(this))
{
    port->setBaudRate(QSerialPort::Baud115200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);

    connect(&portsTimer, &QTimer::timeout, this, &Module::readAvaiblePorts);
    portsTimer.setInterval(PortsScanInterval);
    portsTimer.start();
}

void Module::readAvaiblePorts()
{
    const qsizetype oldCount = availablePorts.size();
    availablePorts.clear();
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        const QString label = info.description().isEmpty()
                ? info.portName()
                : QStringLiteral("%1 (%2)").arg(info.portName(), info.description());
        availablePorts.append({info.portName(), label});
    }
    const QStringList extraPorts = qEnvironmentVariable(ExtraPortsVariable).split(':', Qt::SkipEmptyParts);
    for (const QString &path : extraPorts) {
        if (QFileInfo::exists(path))
            availablePorts.append({path, QStringLiteral("%1 (port wirtualny)").arg(path)});
    }
    if (availablePorts.size() != oldCount)
        emit newAvailablePorts();
}

bool Module::connectPort(QString name)
{
    for (int attempt = 0; attempt < PortTestAttempts; ++attempt) {
        if (testPort(name))
            break;
        waitMilliseconds(2 * period);
    }

    port->setPortName(name);
    const bool opened = port->open(QIODevice::ReadWrite);
    waitHalfSecond();
    if (!opened)
        return false;
    if (probe()) {
        portsTimer.stop();
        return true;
    }
    disconnectPort();
    return false;
}

void Module::disconnectPort()
{
    portsTimer.start();
    port->close();
}

// The pre-open test: can the port be taken exclusively, set to 115200 8N1,
// written and read? What it answers does not matter here.
bool Module::testPort(QString name)
{
    const QByteArray path = QFile::encodeName(systemLocation(name));
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd == -1)
        return false;
    const auto release = [fd] {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    };
    // Another program holding the port (or its lock) means it is in use.
    if (::flock(fd, LOCK_EX | LOCK_NB) == -1 || ::ioctl(fd, TIOCEXCL) == -1) {
        ::close(fd);
        return false;
    }

    termios settings {};
    if (::tcgetattr(fd, &settings) == -1) {
        qWarning("error getting state");
        release();
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
        release();
        return false;
    }
    // A read returns at once with whatever has arrived.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) == -1) {
        qWarning("error setting port state");
        release();
        return false;
    }

    if (::write(fd, "i", 1) != 1) {
        qWarning("Write err");
        release();
        return false;
    }
    waitMilliseconds(period * 3 / 5);

    char scratch[100];
    if (::read(fd, scratch, 99) == -1 && errno != EAGAIN && errno != EWOULDBLOCK) {
        qWarning("error reading from input buffer");
        release();
        return false;
    }
    release();
    return true;
}

bool Module::isConnected() const
{
    return port->isOpen();
}

bool Module::isBusy() const
{
    return busy;
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
    return exchange("i", 0, 1) == "z";
}

QByteArray Module::readConfiguration()
{
    return exchange("A", 0, 6);
}

QByteArray Module::readOnlineState()
{
    return exchange("B", 0, 1);
}

void Module::sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask)
{
    QByteArray message("C");
    message.append(char(ao1 >> 8)).append(char(ao1 & 0xFF));
    message.append(char(ao2 >> 8)).append(char(ao2 & 0xFF));
    message.append(char(doMask));
    exchange(message, 0, 1, Answer::Left);
}

bool Module::writeSettingsBlock(const Configuration &configuration)
{
    return exchange("pb" + configuration.toImage(ImageSection::SettingsBlock), 0, 23) == "w";
}

bool Module::writeSmsBlock(const Configuration &configuration)
{
    // Three quiet periods first: the module is still busy with the block before.
    return exchange("pc" + configuration.toImage(ImageSection::SmsBlock), 3, 25) == "u";
}

bool Module::writePinPuk(QByteArray pin, QByteArray puk, quint8 pinRequest)
{
    const QByteArray message = "pa" + padded(pin, 4) + padded(puk, 8) + char(pinRequest);
    return exchange(message, 0, 6) == "x";
}

void Module::setPeriodForTests(int milliseconds)
{
    period = milliseconds;
}

void Module::waitMilliseconds(int milliseconds)
{
    QEventLoop loop;
    QTimer timer;
    // A coarse timer may fire early; the module needs the full wait.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(milliseconds);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start();
    loop.exec();
}

// One request and its answer. The input is emptied just before the message
// goes out, so a late answer, or one to a command whose answer is not read,
// never becomes the start of this answer. Refused with an empty answer while
// another exchange waits (a timer may fire inside the nested event loop) or
// when the port is closed.
QByteArray Module::exchange(const QByteArray &message, int periodsBefore, int periodsAfter,
                            Answer answer)
{
    if (busy || !port->isOpen())
        return {};
    busy = true;
    for (int i = 0; i < periodsBefore; ++i)
        waitHalfSecond();
    QByteArray received;
    if (port->isOpen()) {
        port->readAll();
        port->clear(QSerialPort::Input);
        port->write(message);
        for (int i = 0; i < periodsAfter; ++i)
            waitHalfSecond();
        if (answer == Answer::Taken && port->isOpen())
            received = port->readAll();
    }
    busy = false;
    return received;
}

// The device file of a port name: names without a folder live in /dev.
QString Module::systemLocation(const QString &name)
{
    return name.contains('/') ? name : QDir(QStringLiteral("/dev")).filePath(name);
}
