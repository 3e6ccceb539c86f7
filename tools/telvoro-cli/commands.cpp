#include "commands.h"

#include "backup/backupstore.h"
#include "configuration/configurationfields.h"
#include "files/configurationjson.h"
#include "settings/usernames.h"
#include "configurationreport.h"
#include "console.h"
#include "moduleconnection.h"
#include "stopsignals.h"

int Commands::ports()
{
    const auto ports = ModuleSession::availablePorts();
    if (ports.isEmpty())
        Console::message(tr("Nie znaleziono żadnego portu."));
    for (const auto &port : ports)
        Console::out(port.second + QLatin1Char('\n'));
    return ExitSuccess;
}

int Commands::write(const QString &port, const ConfigurationLocation &input, bool dryRun, bool verify)
{
    Failure failure;
    const std::optional<Configuration> configuration = input.read(&failure);
    if (!configuration)
        return failed(failure);
    ModuleConnection connection(port);
    if (!connection.open(&failure))
        return failed(failure);
    ModuleSession *session = connection.session();
    // From here on Ctrl+C (or SIGTERM) stops the write at its next step,
    // never in the middle of a block.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, session, [session] {
        Console::message(tr("Przerwano: zapis zatrzyma się po bieżącej wymianie z modułem."));
        session->requestInterruption();
    });
    const ModuleSession::WriteOutcome outcome =
            session->write(*configuration, verify, [dryRun](const ModuleSession::WritePlan &plan) {
                // A script never writes without knowing what it replaces.
                if (!plan.moduleRead)
                    return false;
                Console::out(plan.changes.isEmpty() ? tr("Brak zmian.") + QLatin1Char('\n')
                                                    : ConfigurationReport::differences(plan.changes));
                return !dryRun;
            });
    return writeOutcome(connection, outcome);
}

int Commands::writeOutcome(const ModuleConnection &connection, const ModuleSession::WriteOutcome &outcome)
{
    using Status = ModuleSession::WriteStatus;
    const QString facts = QLatin1Char('\n') + outcome.leftBehind();
    switch (outcome.status) {
    case Status::Verified:
    case Status::WrittenUnverified:
        Console::out(tr("Kopia zapasowa: %1").arg(outcome.backupPath()) + QLatin1Char('\n'));
        Console::out((outcome.status == Status::Verified ? tr("Zapisano i sprawdzono konfigurację w module.")
                                                         : tr("Zapisano konfigurację w module."))
                     + QLatin1Char('\n'));
        return ExitSuccess;
    case Status::Cancelled:
        if (outcome.plan.moduleRead)
            return ExitSuccess;
        [[fallthrough]];
    case Status::ReadBeforeFailed:
        return failed(connection.fault(tr("Błąd podczas odczytywania z modemu.")));
    case Status::BackupFailed:
        if (outcome.backup->status == BackupStore::SaveStatus::CannotCreateFolder)
            return failed({ ExitFileFault, tr("%1: Nie można utworzyć folderu kopii zapasowych. Nic nie "
                                              "wysłano do modułu.").arg(outcome.backup->path) });
        return failed({ ExitFileFault, tr("%1: Nie można zapisać kopii zapasowej. Nic nie wysłano do "
                                          "modułu.").arg(outcome.backup->path) });
    case Status::StoredDifferently:
        return failed(connection.fault(
                tr("Moduł potwierdził zapis, ale odczytany z powrotem różni się od wysłanej konfiguracji "
                   "(wysłano → w module):\n%1").arg(ConfigurationReport::differences(outcome.storedDifferently))
                + outcome.leftBehind()));
    case Status::Interrupted:
        return failed(connection.fault(tr("Zapis do modemu przerwano.") + facts));
    case Status::BlockUnanswered:
    case Status::LineLost:
    case Status::ReadBackFailed:
        break;
    }
    return failed(connection.fault(tr("Błąd podczas zapisu do modemu.") + facts));
}

int Commands::show(const ConfigurationLocation &source, bool asJson)
{
    Failure failure;
    const std::optional<Configuration> configuration = source.read(&failure);
    if (!configuration)
        return failed(failure);
    if (asJson)
        Console::out(QString::fromUtf8(configurationJsonText(*configuration)));
    else
        Console::out(ConfigurationReport::listing(
                configurationFields(*configuration, UserNames::fromSettings())));
    return ExitSuccess;
}

int Commands::diff(const ConfigurationLocation &before, const ConfigurationLocation &after)
{
    Failure failure;
    const std::optional<Configuration> first = before.read(&failure);
    if (!first)
        return failed(failure);
    const std::optional<Configuration> second = after.read(&failure);
    if (!second)
        return failed(failure);
    const QList<ConfigurationDifference> differences =
            configurationDifferences(*first, *second, UserNames::fromSettings());
    if (differences.isEmpty()) {
        Console::out(tr("Brak różnic.") + QLatin1Char('\n'));
        return ExitSuccess;
    }
    Console::out(ConfigurationReport::differences(differences));
    return ExitDifferencesFound;
}

int Commands::convert(const ConfigurationLocation &input, const ConfigurationLocation &output)
{
    Failure failure;
    const std::optional<Configuration> configuration = input.read(&failure);
    if (!configuration || !output.write(*configuration, &failure))
        return failed(failure);
    return ExitSuccess;
}

int Commands::pin(const QString &port, const QString &pin, const QString &puk, SimCodes::PinRequest request)
{
    const QString fault = SimCodes::fault(pin, puk);
    if (!fault.isEmpty())
        return failed({ ExitWrongUsage, fault });
    Failure failure;
    ModuleConnection connection(port);
    if (!connection.open(&failure))
        return failed(failure);
    if (!connection.session()->writePinPuk(pin.toLatin1(), puk.toLatin1(), quint8(request)))
        return failed(connection.fault(tr("Błąd podczas zapisu kodu PIN, PUK.")));
    Console::out(tr("Kod PIN, PUK zapisano.") + QLatin1Char('\n'));
    return ExitSuccess;
}

int Commands::watch(const QString &port, LiveStateWatch::Format format, int count,
                    const std::optional<ConfigurationLocation> &scaling)
{
    Failure failure;
    std::optional<Configuration> ranges;
    if (scaling) {
        ranges = scaling->read(&failure);
        if (!ranges)
            return failed(failure);
    }
    ModuleConnection connection(port);
    if (!connection.open(&failure))
        return failed(failure);
    LiveStateWatch watch(&connection, format, count, ranges);
    if (!watch.run(&failure))
        return failed(failure);
    return ExitSuccess;
}

int Commands::failed(const Failure &failure)
{
    Console::message(failure.message);
    return failure.code;
}
