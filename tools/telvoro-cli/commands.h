#ifndef COMMANDS_H
#define COMMANDS_H

#include "configurationlocation.h"
#include "exitcode.h"
#include "link/modulesession.h"
#include "link/simcodes.h"
#include "livestatewatch.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

class ModuleConnection;

// What each subcommand does, once its arguments are known to be complete.
// Each returns the program's exit code; results go to standard output,
// messages to standard error.
class Commands
{
    Q_DECLARE_TR_FUNCTIONS(Commands)

public:
    static int ports();
    // Verifies by reading the module back unless `verify` is off.
    static int write(const QString &port, const ConfigurationLocation &input, bool dryRun, bool verify);
    static int show(const ConfigurationLocation &source, bool asJson);
    static int diff(const ConfigurationLocation &before, const ConfigurationLocation &after);
    // read, export and import: the configuration of one place in another.
    static int convert(const ConfigurationLocation &input, const ConfigurationLocation &output);
    static int pin(const QString &port, const QString &pin, const QString &puk,
                   SimCodes::PinRequest request);
    static int watch(const QString &port, LiveStateWatch::Format format, int count,
                     const std::optional<ConfigurationLocation> &scaling);

private:
    static int writeOutcome(const ModuleConnection &connection, const ModuleSession::WriteOutcome &outcome);
    static int failed(const Failure &failure);
};

#endif
