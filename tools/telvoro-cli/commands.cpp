#include "commands.h"

#include "backup/backupstore.h"
#include "fields/configurationfields.h"
#include "files/atomicfile.h"
#include "files/configurationjson.h"
#include "report/configurationdocument.h"
#include "settings/usernames.h"
#include "configurationreport.h"
#include "console.h"
#include "modulesession.h"
#include "reportprinting.h"
#include "simcodeinput.h"

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

int Commands::write(const QString &port, const ConfigurationLocation &input, bool dryRun)
{
    Failure failure;
    const std::optional<Configuration> configuration = input.read(&failure);
    if (!configuration)
        return failed(failure);
    ModuleSession session;
    if (!session.connect(port, &failure))
        return failed(failure);
    const std::optional<Configuration> held = session.readConfiguration(&failure);
    if (!held)
        return failed(failure);

    const QList<ConfigurationDifference> differences =
            configurationDifferences(*held, *configuration, UserNames::fromSettings());
    // Nothing is sent unless the user can see what it changes.
    if (!Console::out(differences.isEmpty() ? tr("Brak zmian.") + QLatin1Char('\n')
                                            : ConfigurationReport::differences(differences)))
        return ExitFileFault;
    if (dryRun)
        return ExitSuccess;

    // Nothing is sent unless the module's configuration is safe on disk.
    const BackupStore::SaveResult backup = BackupStore().save(*held, session.portListName());
    if (backup.status == BackupStore::SaveStatus::CannotCreateFolder)
        return failed({ ExitFileFault, tr("%1: Nie można utworzyć folderu kopii zapasowych. Nic nie "
                                          "wysłano do modułu.").arg(backup.path) });
    if (backup.status == BackupStore::SaveStatus::CannotWrite)
        return failed({ ExitFileFault, tr("%1: Nie można zapisać kopii zapasowej. Nic nie wysłano do "
                                          "modułu.").arg(backup.path) });
    if (!Console::out(tr("Kopia zapasowa: %1").arg(backup.path) + QLatin1Char('\n')))
        return ExitFileFault;

    // The SMS texts take the longest to write; they go only when the module
    // does not hold them already.
    const bool withSmsBlock =
            held->toImage(ImageSection::SmsBlock) != configuration->toImage(ImageSection::SmsBlock);
    if (!session.writeConfiguration(*configuration, withSmsBlock, &failure))
        return failed(failure);
    return Console::out(tr("Zapisano konfigurację w module.") + QLatin1Char('\n')) ? ExitSuccess : ExitFileFault;
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
    ModuleSession session;
    if (!session.connect(port, &failure) || !session.writePinPuk(codes.pin, codes.puk, request, &failure))
        return failed(failure);
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
    ModuleSession session;
    if (!session.connect(port, &failure))
        return failed(failure);
    LiveStateWatch watch(&session, format, count, ranges);
    if (!watch.run(&failure))
        return failed(failure);
    return ExitSuccess;
}

int Commands::report(const ConfigurationLocation &source, const QString &output, ReportFormat format)
{
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
    if (bytes.isEmpty() || !saveFileAtomically(output, bytes))
        return failed({ ExitFileFault, tr("%1: Nie można zapisać do pliku.").arg(output) });
    return ExitSuccess;
}

int Commands::failed(const Failure &failure)
{
    if (!failure.message.isEmpty())
        Console::message(failure.message);
    return failure.code;
}
