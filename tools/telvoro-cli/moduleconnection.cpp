#include "moduleconnection.h"

#include "console.h"
#include "link/modulefinder.h"
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
    const bool connected = port == AutomaticPort ? find(failure) : connectNamedPort(failure);
    // Connecting runs to its end; then nothing more goes.
    if (interrupted()) {
        moduleSession.disconnectPort();
        *failure = fault(tr("Przerwano. Do modemu nic nie wysłano."));
        return false;
    }
    return connected;
}

bool ModuleConnection::connectNamedPort(Failure *failure)
{
    // A script is told at once even of a missing port, which the link would
    // try again for fifteen seconds, as the window does.
    PortLock check;
    if (!check.take(Module::systemLocation(port))) {
        *failure = fault(connectionFailureText(check.failure(), check.problem()));
        return false;
    }
    check.release();
    if (!moduleSession.connectPort(port)) {
        *failure = fault(moduleSession.connectionFailureText());
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

// The ports in the window's order; the one found names the module from here on.
bool ModuleConnection::find(Failure *failure)
{
    ModuleFinder finder(moduleSession);
    // A stop signal tries no further port.
    QObject::connect(&stops, &StopSignals::received, &finder, &ModuleFinder::cancel);
    const QStringList ports = ModuleFinder::candidates(ModuleSession::availablePorts(), ModuleFinder::lastPortUsed());
    if (finder.find(ports) == ModuleFinder::Outcome::Found) {
        port = finder.foundPort();
        Console::message(tr("%1: modem znaleziono na porcie %2.").arg(AutomaticPort, Module::systemLocation(port)));
        return true;
    }
    const QString reasons = finder.attempts().isEmpty() ? tr("Nie znaleziono żadnego portu.") : finder.report();
    *failure = { ExitModuleNotFound,
                 tr("%1: nie znaleziono modemu na żadnym porcie.").arg(AutomaticPort) + QLatin1Char('\n') + reasons };
    return false;
}
