#ifndef MODULESESSION_H
#define MODULESESSION_H

#include "exitcode.h"
#include "link/module.h"
#include "link/simcodes.h"
#include "terminalprogress.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

class Configuration;

// One connection to a module, for one command: the link, its progress on
// the terminal, and the window's messages for what goes wrong (each one
// after the port's name, exit code ExitModuleFault).
class ModuleSession
{
    Q_DECLARE_TR_FUNCTIONS(ModuleSession)

public:
    ModuleSession();
    ~ModuleSession();

    // The ports the window lists: (name, label) pairs.
    static QList<QPair<QString, QString>> availablePorts();

    // Opens the port and probes the module. A port that does not exist, is
    // busy, is no serial device or may not be used fails at once, without
    // the retries that give an adapter its time.
    bool connect(const QString &port, Failure *failure);
    // Without the SIM PIN and PUK.
    std::optional<Configuration> readConfiguration(Failure *failure);
    // The settings block, then the SMS block when asked for, as the window
    // writes them.
    bool writeConfiguration(const Configuration &configuration, bool withSmsBlock, Failure *failure);
    bool writePinPuk(const QString &pin, const QString &puk, SimCodes::PinRequest request,
                     Failure *failure);
    // The live-state answer as it came, judged by the caller.
    QByteArray readOnlineState();
    bool isConnected() const;
    QString portName() const;
    // The port as the port list names it ("ttyUSB0" for "/dev/ttyUSB0"), so
    // that backups name it as the window's do.
    QString portListName() const;
    Module *link();

private:
    Failure fault(const QString &text) const;

    Module module;
    TerminalProgress progress;
    QString port;
};

#endif
