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
// messages to standard error. A result that standard output does not take
// ends the command with ExitFileFault (Console tells why).
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
    // The codes come from standard input (see SimCodeInput).
    static int pin(const QString &port, SimCodes::PinRequest request);
    static int watch(const QString &port, LiveStateWatch::Format format, int count,
                     const std::optional<ConfigurationLocation> &scaling);
    enum class ReportFormat { Pdf, Html };
    // The configuration as a printable document, written whole or not at all.
    static int report(const ConfigurationLocation &source, const QString &output, ReportFormat format);

private:
    static int writeOutcome(const ModuleConnection &connection, const ModuleSession::WriteOutcome &outcome);
    // The output is the input itself: refused before either is touched.
    static int sameFile(const QString &output);
    static int failed(const Failure &failure);
};

#endif
