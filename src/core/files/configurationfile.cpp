#include "files/configurationfile.h"
#include "files/atomicfile.h"
#include "files/regularfile.h"

#include <QtEndian>

ConfigurationFile::LoadResult ConfigurationFile::load(const QString &path)
{
    LoadResult result;
    // Only the first block is read, whatever the file's size or its length
    // field claims.
    const std::optional<QByteArray> start = RegularFile::readStart(path, Size);
    if (!start)
        return result;
    const std::optional<Configuration> configuration = decode(*start);
    result.status = configuration ? Status::Loaded : Status::BadContent;
    if (configuration)
        result.configuration = *configuration;
    return result;
}

bool ConfigurationFile::save(const QString &path, const Configuration &configuration, QString *reason)
{
    return saveFileAtomically(path, encode(configuration), reason);
}

QByteArray ConfigurationFile::encode(const Configuration &configuration)
{
    QByteArray bytes(LengthFieldSize, '\0');
    qToBigEndian<quint32>(ConfigurationImageSize, bytes.data());
    return bytes + configuration.toImage(ImageSection::Full);
}

std::optional<Configuration> ConfigurationFile::decode(const QByteArray &bytes)
{
    if (bytes.size() < Size
        || qFromBigEndian<quint32>(bytes.constData()) != quint32(ConfigurationImageSize))
        return std::nullopt;
    Configuration configuration;
    configuration.fromImage(bytes.mid(LengthFieldSize, ConfigurationImageSize));
    // A file never carries the SIM codes; whatever another program left in
    // their bytes is not taken for them, so nothing can show it.
    configuration.simPin.clear();
    configuration.simPuk.clear();
    return configuration;
}
