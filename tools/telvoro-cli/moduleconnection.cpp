#include "moduleconnection.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString busyPort()
{
    return ModuleConnection::tr("port jest zajęty przez inny program.");
}

// Why the device cannot be a module's port, told at once: the link's own
// test would try it again and again for fifteen seconds. Empty when it may
// be one. A port another program holds exclusively is busy; one held
// otherwise is left to the link's test.
QString deviceProblem(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd == -1) {
        switch (errno) {
        case ENOENT:
            return ModuleConnection::tr("nie ma takiego portu.");
        case EBUSY:
            return busyPort();
        case EACCES:
            return ModuleConnection::tr("brak uprawnień do portu (zwykle potrzebna jest grupa dialout).");
        default:
            return ModuleConnection::tr("nie można otworzyć portu (%1).")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal ? QString() : ModuleConnection::tr("to nie jest port szeregowy.");
}

} // namespace

ModuleConnection::ModuleConnection(const QString &port)
    : port(port), moduleSession(&module), progress(&moduleSession)
{
}

ModuleConnection::~ModuleConnection()
{
    if (module.isConnected())
        module.disconnectPort();
}

bool ModuleConnection::open(Failure *failure)
{
    const QString problem = deviceProblem(Module::systemLocation(port));
    if (!problem.isEmpty()) {
        *failure = fault(tr("Błąd połączenia z modemem: %1").arg(problem));
        return false;
    }
    if (!moduleSession.connectPort(port)) {
        // The device was free a moment ago, so a port that cannot be
        // locked is held by another program.
        *failure = fault(module.port->error() == QSerialPort::PermissionError
                                 ? tr("Błąd połączenia z modemem: %1").arg(busyPort())
                                 : tr("Błąd połączenia z modemem."));
        return false;
    }
    return true;
}

ModuleSession *ModuleConnection::session()
{
    return &moduleSession;
}

QString ModuleConnection::portName() const
{
    return port;
}

Failure ModuleConnection::fault(const QString &text) const
{
    return { ExitModuleFault, QStringLiteral("%1: %2").arg(port, text) };
}
