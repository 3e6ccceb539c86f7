#ifndef CONFIGURATIONLOCATION_H
#define CONFIGURATIONLOCATION_H

#include "configuration/configuration.h"
#include "exitcode.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

// Where a configuration is read from or written to, as the command line
// names it: a module's port, a JSON file or a .kvl file.
//
// A name under /dev/ is a port; one ending in .json a JSON file, in .kvl a
// .kvl file. Any other name is a port when the port list has it (ttyUSB0, a
// path of TX48_EXTRA_PORTS), else a .kvl file.
class ConfigurationLocation
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationLocation)

public:
    enum class Kind { Port, KvlFile, JsonFile };

    static ConfigurationLocation of(const QString &name);
    // A file whatever its name says; JSON only when it ends in .json.
    static ConfigurationLocation file(const QString &name);
    static ConfigurationLocation of(const QString &name, Kind kind);

    Kind kind() const;
    QString name() const;

    // A file's configuration, or the module's behind the port. Failures name
    // the file or the port: a file that cannot be read or holds no valid
    // configuration ends with ExitFileFault, a module with ExitModuleFault.
    std::optional<Configuration> read(Failure *failure) const;
    // Writes a file whole or leaves the old one as it was.
    bool write(const Configuration &configuration, Failure *failure) const;

private:
    ConfigurationLocation(const QString &name, Kind kind);
    Failure fileFault(const QString &text) const;

    QString path;
    Kind type;
};

#endif
