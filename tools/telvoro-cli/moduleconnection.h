#ifndef MODULECONNECTION_H
#define MODULECONNECTION_H

#include "exitcode.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "stopsignals.h"
#include "terminalprogress.h"

#include <QCoreApplication>
#include <QString>

// One connection to a module, for one command: the link and its session,
// their progress on the terminal, the stop signals while the port is open,
// and failures told after the port's name (exit code ExitModuleFault).
// A stop signal asks the session to stop at its next step; the command then
// ends as usual, and the port is closed, its lock released and its line
// settings put back.
class ModuleConnection
{
    Q_DECLARE_TR_FUNCTIONS(ModuleConnection)

public:
    // The PORT that has the module found among the ports (see ModuleFinder).
    static constexpr QLatin1StringView AutomaticPort{"auto"};

    explicit ModuleConnection(const QString &port);
    ~ModuleConnection();

    // Opens the port and probes the module. A port that does not exist, is
    // busy, is no serial device or may not be used fails at once, without
    // the retries that give an adapter its time. The port "auto" is the
    // first that a module answers on; with none, ExitModuleNotFound.
    bool open(Failure *failure);
    ModuleSession *session();
    QString portName() const;
    Failure fault(const QString &text) const;
    // A stop signal came.
    bool interrupted() const;
    StopSignals *stopSignals();

private:
    bool connectNamedPort(Failure *failure);
    bool find(Failure *failure);

    QString port;
    Module module;
    ModuleSession moduleSession;
    TerminalProgress progress;
    StopSignals stops;
};

#endif
