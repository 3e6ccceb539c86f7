#ifndef CONFIGURATIONFILE_H
#define CONFIGURATIONFILE_H

#include "configuration/configuration.h"

#include <QByteArray>
#include <QString>
#include <optional>

// A configuration file (.kvl): the module's full image behind its length,
// a 32-bit big-endian number that is always ConfigurationImageSize.
class ConfigurationFile
{
public:
    enum class Status { Loaded, CannotOpen, BadContent };
    struct LoadResult
    {
        Status status = Status::CannotOpen;
        // The file's configuration; the defaults unless status is Loaded.
        Configuration configuration;
    };

    // Bytes after the image are ignored. A name that is no regular file
    // cannot be opened (see RegularFile).
    static LoadResult load(const QString &path);
    // Writes the whole file or reports a failure; the old file stays whole
    // (see saveFileAtomically, which also sets *reason).
    static bool save(const QString &path, const Configuration &configuration, QString *reason = nullptr);

    // The file's bytes, and the configuration a file's bytes hold (nothing
    // when they do not begin with a complete block of the right length). The
    // SIM PIN and PUK are left empty, whatever the header's bytes are.
    static QByteArray encode(const Configuration &configuration);
    static std::optional<Configuration> decode(const QByteArray &bytes);

    static constexpr int LengthFieldSize = 4;
    static constexpr int Size = LengthFieldSize + ConfigurationImageSize;
};

#endif
