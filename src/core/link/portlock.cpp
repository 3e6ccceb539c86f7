#include "link/portlock.h"

#include "files/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr qint64 LockFileSize = 128;
constexpr qint64 ProcessNameSize = 64;

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

// The folders of lock files after the UUCP convention ("LCK..ttyUSB0"
// holding the PID of the program that uses the port); this variable names
// others, separated by ':', for tests.
constexpr char LockFoldersVariable[] = "TX48_LOCK_FOLDERS";

QStringList lockFolders()
{
    const QString given = qEnvironmentVariable(LockFoldersVariable);
    if (!given.isEmpty())
        return given.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return {QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};
}

// The PID a lock file holds: ten ASCII digits, right-aligned, and a line
// end, or the int itself as the older programs write it; 0 when neither.
pid_t lockFilePid(const QByteArray &bytes)
{
    const bool text = std::all_of(bytes.cbegin(), bytes.cend(), [](char byte) {
        return (byte >= '0' && byte <= '9') || byte == ' ' || byte == '\n';
    });
    if (bytes.size() == sizeof(int) && !text) {
        int binary = 0;
        std::memcpy(&binary, bytes.constData(), sizeof binary);
        return pid_t(binary);
    }
    // A lock file of Qt's own kind has the program's name and host after it.
    bool isNumber = false;
    const int pid = bytes.split('\n').constFirst().trimmed().toInt(&isNumber);
    return isNumber ? pid_t(pid) : 0;
}

// Another program that is running and has a lock file for the device; 0
// when there is none. A lock file whose program has ended does not count,
// and is left where it is.
pid_t lockFileOwner(const QString &path)
{
    const QString device = QFileInfo(path).canonicalFilePath();
    const QString underDev = device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
    QStringList names{QString(underDev).replace(QLatin1Char('/'), QLatin1Char('_'))};
    if (!names.contains(QFileInfo(device).fileName()))
        names.append(QFileInfo(device).fileName());
    for (const QString &folder : lockFolders()) {
        for (const QString &name : std::as_const(names)) {
            const std::optional<QByteArray> bytes =
                    RegularFile::readStart(QDir(folder).filePath(QStringLiteral("LCK..") + name), LockFileSize);
            const pid_t pid = bytes ? lockFilePid(*bytes) : 0;
            if (pid > 0 && pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM))
                return pid;
        }
    }
    return 0;
}

QString processName(pid_t pid)
{
    const std::optional<QByteArray> name =
            RegularFile::readStart(QStringLiteral("/proc/%1/comm").arg(pid), ProcessNameSize);
    return name ? QString::fromLocal8Bit(name->trimmed()) : QString();
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
    if (const pid_t owner = lockFileOwner(path); owner != 0) {
        const QString name = processName(owner);
        return refuse(ConnectionFailure::PortBusy,
                      name.isEmpty() ? tr("port jest zajęty przez inny program (PID %1).").arg(owner)
                                     : tr("port jest zajęty przez inny program: %1 (PID %2).").arg(name).arg(owner));
    }

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
