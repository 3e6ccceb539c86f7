#include "files/configurationfile.h"
#include "files/atomicfile.h"

#include <QFile>
#include <QtEndian>

ConfigurationFile::LoadResult ConfigurationFile::load(const QString &path)
{
    LoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    // Only the first block is read, whatever the file's size or its length
    // field claims.
    const std::optional<Configuration> configuration = decode(file.read(Size));
    result.status = configuration ? Status::Loaded : Status::BadContent;
    if (configuration)
        result.configuration = *configuration;
    return result;
}

bool ConfigurationFile::save(const QString &path, const Configuration &configuration)
{
    return saveFileAtomically(path, encode(configuration));
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
    return configuration;
}
