#ifndef BACKUPSTORE_H
#define BACKUPSTORE_H

#include "configuration/configuration.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Copies of the configurations that writes to a module replaced: .kvl files
// in one folder, each named by the time it was taken and the module's port,
// e.g. "2024-05-17_14-03-22-417_ttyUSB0.kvl", and by the module's name
// where a series of modules gives one ("…_ttyUSB0_Stacja-Łęczna.kvl"). The `Kept` written last are
// kept. Files of other names in the folder are neither listed nor removed.
// The folder is open to its owner alone (0700) and each copy is 0600.
class BackupStore
{
public:
    enum class SaveStatus { Saved, CannotCreateFolder, CannotWrite };
    struct SaveResult
    {
        SaveStatus status;
        // The file written, or the folder or file that could not be.
        QString path;
    };

    struct Backup
    {
        QString path;
        QDateTime time;
        // As far as a file name can hold it: characters a name cannot have
        // are replaced by '-'.
        QString port;
        // Empty when the file cannot be read or holds no configuration.
        std::optional<Configuration> configuration;
        // The module's name, as far as the file name holds it; empty for none.
        QString moduleName;
    };

    static constexpr int Kept = 100;

    // "backups" in the program's data folder of this user; empty when the
    // system names no such folder.
    static QString defaultFolder();

    explicit BackupStore(const QString &folder = defaultFolder());

    QString folder() const;
    // Writes the copy in full before anything else happens (see
    // saveFileAtomically), then removes the copies written longest ago
    // beyond `Kept`, never this one.
    SaveResult save(const Configuration &configuration, const QString &port,
                    const QDateTime &time = QDateTime::currentDateTime(),
                    const QString &moduleName = QString()) const;
    // Newest first; every file of a backup's name, readable or not.
    QList<Backup> list() const;

private:
    QList<Backup> backupFiles() const;
    void removeOldest(const QString &keep) const;

    QString backupFolder;
};

#endif
