#include "configurationlocation.h"

#include "files/atomicfile.h"
#include "files/configurationfile.h"
#include "files/configurationjson.h"
#include "files/regularfile.h"
#include "moduleconnection.h"

namespace {

bool isJsonName(const QString &name)
{
    return name.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
}

bool isKvlName(const QString &name)
{
    return name.endsWith(QStringLiteral(".kvl"), Qt::CaseInsensitive);
}

} // namespace

ConfigurationLocation::ConfigurationLocation(const QString &name, Kind kind) : path(name), type(kind)
{
}

ConfigurationLocation ConfigurationLocation::of(const QString &name)
{
    if (name.startsWith(QStringLiteral("/dev/")) || name == ModuleConnection::AutomaticPort)
        return { name, Kind::Port };
    if (!isJsonName(name) && !isKvlName(name)) {
        for (const auto &port : ModuleSession::availablePorts()) {
            if (port.first == name)
                return { name, Kind::Port };
        }
    }
    return file(name);
}

ConfigurationLocation ConfigurationLocation::file(const QString &name)
{
    return { name, isJsonName(name) ? Kind::JsonFile : Kind::KvlFile };
}

ConfigurationLocation ConfigurationLocation::of(const QString &name, Kind kind)
{
    return { name, kind };
}

ConfigurationLocation::Kind ConfigurationLocation::kind() const
{
    return type;
}

QString ConfigurationLocation::name() const
{
    return path;
}

std::optional<Configuration> ConfigurationLocation::read(Failure *failure) const
{
    switch (type) {
    case Kind::Port: {
        ModuleConnection connection(path);
        if (!connection.open(failure))
            return std::nullopt;
        // A stop signal ends the read the module is answering, then the command.
        std::optional<Configuration> configuration =
                connection.session()->read([&connection] { return !connection.interrupted(); });
        if (connection.interrupted()) {
            *failure = connection.fault(tr("Odczyt z modemu przerwano."));
            return std::nullopt;
        }
        if (!configuration) {
            *failure = connection.fault(tr("Błąd podczas odczytywania z modemu."));
            return std::nullopt;
        }
        // The SIM PIN and PUK the module reports stay out of every listing
        // and file, JSON ones too: the window shows them only after a
        // password, and configurations end up in shared folders and version
        // control.
        configuration->simPin.clear();
        configuration->simPuk.clear();
        return configuration;
    }
    case Kind::KvlFile: {
        const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(path);
        if (loaded.status == ConfigurationFile::Status::CannotOpen)
            *failure = fileFault(tr("Nie można otworzyć pliku."));
        else if (loaded.status == ConfigurationFile::Status::BadContent)
            *failure = fileFault(tr("Błąd podczas odczytywania pliku."));
        else
            return loaded.configuration;
        return std::nullopt;
    }
    case Kind::JsonFile: {
        const std::optional<QByteArray> text = RegularFile::read(path, ConfigurationJsonMaximumSize);
        if (!text) {
            *failure = fileFault(tr("Nie można otworzyć pliku."));
            return std::nullopt;
        }
        QString error;
        const std::optional<Configuration> configuration = configurationFromJsonText(*text, &error);
        if (!configuration)
            *failure = fileFault(error);
        return configuration;
    }
    }
    return std::nullopt;
}

bool ConfigurationLocation::write(const Configuration &configuration, Failure *failure) const
{
    QString reason;
    const bool written = type == Kind::JsonFile
            ? saveFileAtomically(path, configurationJsonText(configuration), &reason)
            : ConfigurationFile::save(path, configuration, &reason);
    if (!written)
        *failure = fileFault((tr("Nie można zapisać do pliku.") + QLatin1Char(' ') + reason).trimmed());
    return written;
}

Failure ConfigurationLocation::fileFault(const QString &text) const
{
    return { ExitFileFault, QStringLiteral("%1: %2").arg(path, text) };
}
