#include "moduleconnection.h"

#include "link/portlock.h"
#include "linklogfile.h"

ModuleConnection::ModuleConnection(const QString &port)
    : port(port), moduleSession(&module), progress(&moduleSession)
{
    LinkLogFile::follow(moduleSession.log());
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

QString ModuleConnection::portName() const
{
    return port;
}

Failure ModuleConnection::fault(const QString &text) const
{
    return { ExitModuleFault, QStringLiteral("%1: %2").arg(port, text) };
}
