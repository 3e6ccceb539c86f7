#include "moduleconnection.h"

#include "link/portlock.h"
#include "linklogfile.h"

ModuleConnection::ModuleConnection(const QString &port)
    : port(port), moduleSession(&module), progress(&moduleSession)
{
    LinkLogFile::follow(moduleSession.log());
    QObject::connect(&stops, &StopSignals::received, &moduleSession, &ModuleSession::requestInterruption);
}

ModuleConnection::~ModuleConnection()
{
    if (moduleSession.isConnected())
        moduleSession.disconnectPort();
}

bool ModuleConnection::open(Failure *failure)
{
    // A script is told at once even of a missing port, which the link would
    // try again for fifteen seconds, as the window does.
    PortLock check;
    if (!check.take(Module::systemLocation(port))) {
        *failure = fault(tr("Błąd połączenia z modemem: %1").arg(check.problem()));
        return false;
    }
    check.release();
    const bool connected = moduleSession.connectPort(port);
    // Connecting runs to its end; then nothing more goes.
    if (interrupted()) {
        moduleSession.disconnectPort();
        *failure = fault(tr("Przerwano. Do modemu nic nie wysłano."));
        return false;
    }
    if (!connected) {
        const QString problem = moduleSession.connectionProblem();
        *failure = fault(problem.isEmpty() ? tr("Błąd połączenia z modemem.")
                                           : tr("Błąd połączenia z modemem: %1").arg(problem));
        return false;
    }
    return true;
}

ModuleSession *ModuleConnection::session()
{
    return &moduleSession;
}

bool ModuleConnection::interrupted() const
{
    return moduleSession.interruptionWasRequested();
}

StopSignals *ModuleConnection::stopSignals()
{
    return &stops;
}

QString ModuleConnection::portName() const
{
    return port;
}

Failure ModuleConnection::fault(const QString &text) const
{
    return { ExitModuleFault, QStringLiteral("%1: %2").arg(port, text) };
}
