#include "backup/backupstore.h"

#include "files/atomicfile.h"
#include "files/configurationfile.h"
#include "link/portname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");
const QString Extension = QStringLiteral(".kvl");
constexpr int PortNameLength = 64;

// Time, then the port when there was one, then the module's name when it
// had one: "<time>[_<port>[_<name>]].kvl". A port's part holds no '_'.
const QRegularExpression &backupName()
{
    static const QRegularExpression name(QStringLiteral(
            "^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3})(?:_([^_]*)(?:_(.+))?)?\\.kvl$"));
    return name;
}

// A port's name as a part of a file name: "/dev/pts/3" gives "pts-3".
QString portInFileName(const QString &port)
{
    return PortName::shortForm(port).left(PortNameLength);
}

// A module's name as a part of a file name: letters of any alphabet stay,
// so that "Stacja Łęczna" gives "Stacja-Łęczna".
QString moduleInFileName(const QString &name)
{
    QString part;
    for (const QChar character : name.trimmed())
        part += character.isLetterOrNumber() || character == QLatin1Char('.') ? character : QLatin1Char('-');
    return part.left(PortNameLength);
}

QString fileName(const QDateTime &time, const QString &port, const QString &moduleName)
{
    const QString portPart = portInFileName(port);
    const QString namePart = moduleInFileName(moduleName);
    QString name = time.toString(TimeFormat);
    if (!portPart.isEmpty() || !namePart.isEmpty())
        name += QLatin1Char('_') + portPart;
    if (!namePart.isEmpty())
        name += QLatin1Char('_') + namePart;
    return name + Extension;
}

const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The copies hold phone numbers: only their owner may enter the folder. A
// folder of this user that is open to others (made by an earlier version
// under the usual umask) is closed; the copies in it are then out of reach
// too, whatever their own modes.
bool makePrivateFolder(const QString &path)
{
    if (!QFileInfo::exists(path) && QDir().mkpath(QFileInfo(path).absolutePath()))
        QDir().mkdir(path, OwnerOnly | QFileDevice::ExeOwner);
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == -1 || !S_ISDIR(status.st_mode))
        return false;
    if (status.st_uid == ::geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)))
        ::chmod(name.constData(), status.st_mode & ~(S_IRWXG | S_IRWXO));
    return true;
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
                                          const QDateTime &time, const QString &moduleName) const
{
    if (backupFolder.isEmpty() || !makePrivateFolder(backupFolder))
        return {SaveStatus::CannotCreateFolder, backupFolder};
    // Two copies within a millisecond, or a clock put back, must not
    // overwrite one another.
    QDateTime named = time;
    QString path = QDir(backupFolder).filePath(fileName(named, port, moduleName));
    while (QFile::exists(path)) {
        named = named.addMSecs(1);
        path = QDir(backupFolder).filePath(fileName(named, port, moduleName));
    }
    if (!saveFileAtomically(path, ConfigurationFile::encode(configuration), nullptr, OwnerOnly))
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
            backups.append({folder.filePath(name), time, match.captured(2), std::nullopt, match.captured(3)});
    }
    std::sort(backups.begin(), backups.end(), [](const Backup &a, const Backup &b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return backups;
}

// The oldest by when they were written, not by their names: a name tells
// the clock of the moment, and a clock put back (or copies given later
// names) must not push out the newest copies. A copy dated after the one
// just made, by its name or by when it was written, cannot be newer than
// it: it was made before the clock went back, or came from elsewhere, and
// goes first. The copy just made stays whatever its time. A copy that
// cannot be removed now is removed after a later write.
void BackupStore::removeOldest(const QString &keep) const
{
    const QList<Backup> backups = backupFiles();
    const QDateTime keptWritten = QFileInfo(keep).lastModified();
    QDateTime keptNamed;
    for (const Backup &backup : backups) {
        if (backup.path == keep)
            keptNamed = backup.time;
    }
    struct Candidate
    {
        bool future;
        QDateTime written;
        QString path;
    };
    QList<Candidate> others;
    for (const Backup &backup : backups) {
        if (backup.path == keep)
            continue;
        const QDateTime written = QFileInfo(backup.path).lastModified();
        others.append({written > keptWritten || (keptNamed.isValid() && backup.time > keptNamed), written,
                       backup.path});
    }
    // Newest first; copies written within one tick of the file system's
    // clock stay in the order of their names.
    std::stable_sort(others.begin(), others.end(), [](const Candidate &a, const Candidate &b) {
        return a.future != b.future ? !a.future : a.written > b.written;
    });
    for (qsizetype i = Kept - 1; i < others.size(); ++i)
        QFile::remove(others[i].path);
}
