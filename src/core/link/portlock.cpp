#include "link/portlock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The controlling terminal as the system names it (the sixth field after the
// program's name in /proc/self/stat); 0 when there is none.
dev_t controllingTerminal()
{
    QFile status(QStringLiteral("/proc/self/stat"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = status.readLine();
    // The name, in parentheses, may hold spaces and parentheses itself.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 4 ? dev_t(fields.at(4).toULongLong()) : 0;
}

// /dev/tty, the controlling terminal and the terminals of the standard
// streams: the user's own terminal, never a module's port.
bool isOwnTerminal(dev_t device)
{
    if (device == makedev(5, 0) || device == controllingTerminal())
        return true;
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        struct stat status {};
        if (::isatty(stream) == 1 && ::fstat(stream, &status) == 0 && status.st_rdev == device)
            return true;
    }
    return false;
}

} // namespace

PortLock::~PortLock()
{
    release();
}

QString PortLock::busyProblem()
{
    return tr("port jest zajęty przez inny program.");
}

bool PortLock::take(const QString &path)
{
    release();
    lastProblem.clear();
    lastFailure = ConnectionFailure::None;
    const QByteArray name = QFile::encodeName(path);
    // Judged by the name first: only a character device is opened at all.
    struct stat status {};
    if (::stat(name.constData(), &status) == -1)
        return refuseAfter(errno);
    if (!S_ISCHR(status.st_mode))
        return refuse(ConnectionFailure::NotSerialPort, tr("to nie jest port szeregowy."));
    if (isOwnTerminal(status.st_rdev))
        return refuse(ConnectionFailure::OwnTerminal,
                      tr("to terminal, w którym działa ten program, a nie port modemu."));

    device = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device == -1)
        return refuseAfter(errno);
    if (::isatty(device) != 1)
        return refuse(ConnectionFailure::NotSerialPort, tr("to nie jest port szeregowy."));
    int exclusive = 0;
    if ((::ioctl(device, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) || ::flock(device, LOCK_EX | LOCK_NB) == -1)
        return refuse(ConnectionFailure::PortBusy, busyProblem());
    settingsSaved = ::tcgetattr(device, &savedSettings) == 0;
    return true;
}

void PortLock::release()
{
    if (device == -1)
        return;
    if (settingsSaved)
        ::tcsetattr(device, TCSANOW, &savedSettings);
    ::close(device);
    device = -1;
    settingsSaved = false;
}

bool PortLock::isHeld() const
{
    return device != -1;
}

int PortLock::descriptor() const
{
    return device;
}

QString PortLock::problem() const
{
    return lastProblem;
}

ConnectionFailure PortLock::failure() const
{
    return lastFailure;
}

bool PortLock::retryCanHelp() const
{
    return lastRetryHelps;
}

bool PortLock::refuseAfter(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        return refuse(ConnectionFailure::PortMissing, tr("nie ma takiego portu."), true);
    case EBUSY:
        return refuse(ConnectionFailure::PortBusy, busyProblem());
    case EACCES:
    case EPERM:
        return refuse(ConnectionFailure::NotPermitted,
                      tr("brak uprawnień do portu (zwykle potrzebna jest grupa dialout)."));
    default:
        return refuse(ConnectionFailure::CannotOpen,
                      tr("nie można otworzyć portu (%1).").arg(QString::fromLocal8Bit(std::strerror(error))), true);
    }
}

// Closes what was opened; nothing of the device was changed yet.
bool PortLock::refuse(ConnectionFailure failure, const QString &problem, bool retryHelps)
{
    if (device != -1)
        ::close(device);
    device = -1;
    lastProblem = problem;
    lastFailure = failure;
    lastRetryHelps = retryHelps;
    return false;
}
