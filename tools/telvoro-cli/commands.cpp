#include "commands.h"

#include "fields/configurationfields.h"
#include "files/atomicfile.h"
#include "files/configurationjson.h"
#include "files/regularfile.h"
#include "report/configurationdocument.h"
#include "settings/usernames.h"
#include "configurationreport.h"
#include "console.h"
#include "moduleconnection.h"
#include "reportprinting.h"
#include "simcodeinput.h"
#include "stopsignals.h"

#include <QDateTime>

int Commands::ports()
{
    const auto ports = ModuleSession::availablePorts();
    if (ports.isEmpty())
        Console::message(tr("Nie znaleziono żadnego portu."));
    for (const auto &port : ports) {
        if (!Console::out(port.second + QLatin1Char('\n')))
            return ExitFileFault;
    }
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
    // Ctrl+C, SIGTERM or SIGHUP stops the write at its next step, never in
    // the middle of a block.
    QObject::connect(connection.stopSignals(), &StopSignals::received, [] {
        Console::message(tr("Przerwano: zapis zatrzyma się po bieżącej wymianie z modemem."));
    });
    bool listed = true;
    using Answer = ModuleSession::WriteAnswer;
    const ModuleSession::WriteOutcome outcome = connection.session()->write(
            *configuration, verify, [dryRun, &listed](const ModuleSession::WritePlan &plan) {
                // A script never writes without knowing what it replaces,
                // and nothing is sent unless the user can see what it changes.
                if (!plan.moduleRead)
                    return Answer::Cancel;
                listed = Console::out(plan.changes.isEmpty() ? tr("Brak zmian.") + QLatin1Char('\n')
                                                             : ConfigurationReport::differences(plan.changes));
                return listed && !dryRun ? Answer::Send : Answer::Cancel;
            });
    return listed ? writeOutcome(connection, outcome) : ExitFileFault;
}

int Commands::writeOutcome(const ModuleConnection &connection, const ModuleSession::WriteOutcome &outcome)
{
    using Status = ModuleSession::WriteStatus;
    // The session's words; the exit code is the command's own.
    const QString facts = QLatin1Char('\n') + outcome.leftBehind();
    switch (outcome.status) {
    case Status::Verified:
    case Status::WrittenUnverified:
        return Console::out(tr("Kopia zapasowa: %1").arg(outcome.backupPath()) + QLatin1Char('\n')
                            + outcome.summary() + QLatin1Char('\n'))
                ? ExitSuccess
                : ExitFileFault;
    case Status::Cancelled:
        if (outcome.plan.moduleRead)
            return ExitSuccess;
        return failed(connection.fault(outcome.summary()));
    case Status::ReadBeforeFailed:
        return failed(connection.fault(outcome.summary()));
    case Status::BackupFailed:
        return failed({ ExitFileFault, outcome.summary() + facts });
    case Status::StoredDifferently:
        return failed(connection.fault(outcome.summary() + QLatin1Char('\n') + tr("Wysłano → w modemie:")
                                       + QLatin1Char('\n')
                                       + ConfigurationReport::differences(outcome.storedDifferently)
                                       + outcome.leftBehind()));
    case Status::ModuleChanged:
    case Status::Interrupted:
    case Status::BlockUnanswered:
    case Status::LineLost:
    case Status::ReadBackFailed:
        break;
    }
    return failed(connection.fault(outcome.summary() + facts));
}

int Commands::show(const ConfigurationLocation &source, bool asJson)
{
    Failure failure;
    const std::optional<Configuration> configuration = source.read(&failure);
    if (!configuration)
        return failed(failure);
    const QString shown = asJson ? QString::fromUtf8(configurationJsonText(*configuration))
                                 : ConfigurationReport::listing(
                                           configurationFields(*configuration, UserNames::fromSettings()));
    return Console::out(shown) ? ExitSuccess : ExitFileFault;
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
    if (differences.isEmpty())
        return Console::out(tr("Brak różnic.") + QLatin1Char('\n')) ? ExitSuccess : ExitFileFault;
    return Console::out(ConfigurationReport::differences(differences)) ? ExitDifferencesFound : ExitFileFault;
}

int Commands::convert(const ConfigurationLocation &input, const ConfigurationLocation &output)
{
    if (input.kind() != ConfigurationLocation::Kind::Port && RegularFile::isSameFile(input.name(), output.name()))
        return sameFile(output.name());
    Failure failure;
    const std::optional<Configuration> configuration = input.read(&failure);
    if (!configuration || !output.write(*configuration, &failure))
        return failed(failure);
    return ExitSuccess;
}

int Commands::pin(const QString &port, SimCodes::PinRequest request)
{
    const SimCodeInput::Codes codes = SimCodeInput::read();
    const QString fault = SimCodes::fault(codes.pin, codes.puk);
    if (!fault.isEmpty())
        return failed({ ExitWrongUsage, fault });
    Failure failure;
    ModuleConnection connection(port);
    if (!connection.open(&failure))
        return failed(failure);
    if (!connection.session()->writePinPuk(codes.pin.toLatin1(), codes.puk.toLatin1(), quint8(request)))
        return failed(connection.fault(tr("Błąd podczas zapisu kodu PIN, PUK.")));
    return Console::out(tr("Kod PIN, PUK zapisano.") + QLatin1Char('\n')) ? ExitSuccess : ExitFileFault;
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
    // The documented way to end a watch without --count.
    if (connection.interrupted())
        Console::message(tr("Przerwano."));
    return ExitSuccess;
}

int Commands::report(const ConfigurationLocation &source, const QString &output, ReportFormat format)
{
    if (source.kind() != ConfigurationLocation::Kind::Port && RegularFile::isSameFile(source.name(), output))
        return sameFile(output);
    Failure failure;
    const std::optional<Configuration> configuration = source.read(&failure);
    if (!configuration)
        return failed(failure);
    const QString sourceText = source.kind() == ConfigurationLocation::Kind::Port
            ? ConfigurationDocument::moduleSource(source.name())
            : ConfigurationDocument::fileSource(source.name());
    const ConfigurationDocument document(*configuration, UserNames::fromSettings(), sourceText,
                                         QStringLiteral("telvoro-cli"), QDateTime::currentDateTime());
    const QByteArray bytes = format == ReportFormat::Pdf ? ReportPrinting::pdf(document) : document.html().toUtf8();
    QString reason;
    if (bytes.isEmpty() || !saveFileAtomically(output, bytes, &reason))
        return failed({ ExitFileFault, (tr("%1: Nie można zapisać do pliku.").arg(output) + QLatin1Char(' ') + reason)
                                               .trimmed() });
    return ExitSuccess;
}

int Commands::sameFile(const QString &output)
{
    return failed({ ExitWrongUsage, tr("%1: to ten sam plik, z którego czytana jest konfiguracja; nic nie zapisano.")
                                            .arg(output) });
}

int Commands::failed(const Failure &failure)
{
    if (!failure.message.isEmpty())
        Console::message(failure.message);
    return failure.code;
}
