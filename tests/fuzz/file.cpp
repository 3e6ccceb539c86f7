// Fuzz target: opening a configuration file as the window does
// (ConfigurationFile::load), on a file that holds the input's bytes.
// Whatever the file holds:
// - it is refused as bad content exactly when it does not begin with the
//   length 1968 (32 bits, big-endian) and a whole image after it; otherwise
//   it loads, whatever follows the image;
// - a loaded configuration saves to a file that loads to an equal
//   configuration (the SIM PIN and PUK are never saved), and saving that one
//   gives the same file again.
#include "files/configurationfile.h"
#include "property.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    require(file.open(QIODevice::ReadOnly), "a saved file can be read");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // In memory where the system has it: every save syncs its file to the
    // disk, which on a disk takes most of a run.
    static const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir folder((QFileInfo(memory).isWritable() ? memory : QDir::tempPath())
                                + QStringLiteral("/telvoro-fuzz-file-XXXXXX"));
    const QString opened = folder.filePath(QStringLiteral("opened.kvl"));
    const QString saved = folder.filePath(QStringLiteral("saved.kvl"));
    const QString savedAgain = folder.filePath(QStringLiteral("saved-again.kvl"));
    {
        QFile file(opened);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                        && file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                "the input is written to a file");
    }

    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(opened);
    static const char lengthField[] = { 0, 0, 0x07, char(0xB0) };
    const bool wellFormed = size >= std::size_t(ConfigurationFile::Size)
            && QByteArray::fromRawData(reinterpret_cast<const char *>(data), 4)
                    == QByteArray::fromRawData(lengthField, 4);
    require(loaded.status == (wellFormed ? ConfigurationFile::Status::Loaded
                                         : ConfigurationFile::Status::BadContent),
            "a file is refused exactly when it holds no whole image behind its length");
    if (!wellFormed) {
        require(loaded.configuration == Configuration(), "a refused file gives the defaults");
        return 0;
    }

    require(ConfigurationFile::save(saved, loaded.configuration), "a loaded configuration saves");
    const ConfigurationFile::LoadResult reloaded = ConfigurationFile::load(saved);
    require(reloaded.status == ConfigurationFile::Status::Loaded, "a saved file loads");
    require(reloaded.configuration.simPin.isEmpty() && reloaded.configuration.simPuk.isEmpty(),
            "the SIM PIN and PUK are never saved");
    Configuration expected = loaded.configuration;
    expected.simPin.clear();
    expected.simPuk.clear();
    require(reloaded.configuration == expected, "a saved configuration loads unchanged");

    require(ConfigurationFile::save(savedAgain, reloaded.configuration), "a reloaded configuration saves");
    require(contents(savedAgain) == contents(saved), "saving it again gives the same file");
    return 0;
}
