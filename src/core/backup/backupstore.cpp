#include "backup/backupstore.h"

#include "files/configurationfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");
const QString Extension = QStringLiteral(".kvl");
constexpr int PortNameLength = 64;

// Time, then the port when there was one: "<time>[_<port>].kvl".
const QRegularExpression &backupName()
{
    static const QRegularExpression name(
            QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3})(?:_(.+))?\\.kvl$"));
    return name;
}

// A port's name as a part of a file name: "pts/3" gives "pts-3".
QString portInFileName(const QString &port)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9.-]"));
    return QString(port).replace(unsafe, QStringLiteral("-")).left(PortNameLength);
}

QString fileName(const QDateTime &time, const QString &port)
{
    const QString portPart = portInFileName(port);
    return time.toString(TimeFormat) + (portPart.isEmpty() ? QString() : QLatin1Char('_') + portPart)
            + Extension;
}

} // namespace

QString BackupStore::defaultFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("backups"));
}

BackupStore::BackupStore(const QString &folder) : backupFolder(folder) {}

QString BackupStore::folder() const
{
    return backupFolder;
}

BackupStore::SaveResult BackupStore::save(const Configuration &configuration, const QString &port,
                                          const QDateTime &time) const
{
    if (backupFolder.isEmpty() || !QDir().mkpath(backupFolder))
        return {SaveStatus::CannotCreateFolder, backupFolder};
    // Two copies within a millisecond, or a clock put back, must not
    // overwrite one another.
    QDateTime named = time;
    QString path = QDir(backupFolder).filePath(fileName(named, port));
    while (QFile::exists(path)) {
        named = named.addMSecs(1);
        path = QDir(backupFolder).filePath(fileName(named, port));
    }
    if (!ConfigurationFile::save(path, configuration))
        return {SaveStatus::CannotWrite, path};
    removeOldest(path);
    return {SaveStatus::Saved, path};
}

QList<BackupStore::Backup> BackupStore::list() const
{
    QList<Backup> backups = backupFiles();
    for (Backup &backup : backups) {
        const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(backup.path);
        if (loaded.status == ConfigurationFile::Status::Loaded)
            backup.configuration = loaded.configuration;
    }
    return backups;
}

// The backups' names, newest first, without reading them.
QList<BackupStore::Backup> BackupStore::backupFiles() const
{
    QList<Backup> backups;
    const QDir folder(backupFolder);
    if (backupFolder.isEmpty() || !folder.exists())
        return backups;
    const QStringList names = folder.entryList({QStringLiteral("*") + Extension}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = backupName().match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime time = QDateTime::fromString(match.captured(1), TimeFormat);
        if (time.isValid())
            backups.append({folder.filePath(name), time, match.captured(2), std::nullopt});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return backups;
}

// A copy that cannot be removed now is removed after a later write.
void BackupStore::removeOldest(const QString &keep) const
{
    const QList<Backup> backups = backupFiles();
    for (qsizetype i = Kept; i < backups.size(); ++i) {
        if (backups[i].path != keep)
            QFile::remove(backups[i].path);
    }
}
