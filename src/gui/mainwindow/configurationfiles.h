#ifndef CONFIGURATIONFILES_H
#define CONFIGURATIONFILES_H

#include "backup/backupstore.h"

#include <QCoreApplication>
#include <optional>

class Configuration;
class QWidget;

// The configuration files as the window asks for them: the file dialogs,
// reading and writing a .kvl file with the messages of a failure, the
// comparison with a file and the choice of a backup. Which configuration is
// open, and what becomes of it, stays with the window. Touches: the files
// chosen, and the backups folder (read only).
class ConfigurationFiles
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationFiles)

public:
    explicit ConfigurationFiles(QWidget *window);

    // Reads a .kvl file; a failure is shown as opening a file shows it.
    static std::optional<Configuration> loadConfigurationFile(const QString &path, QWidget *window);
    // The file chosen in the dialog of "Odczytaj z pliku"; empty when cancelled.
    QString chooseFileToOpen() const;
    // Asks for a file and writes the configuration to it; the path it was
    // saved under, or empty.
    QString saveToChosenFile(const Configuration &configuration) const;
    void compareWithChosenFile(const Configuration &open) const;
    // The backup chosen in "Kopie zapasowe…", listed beside the open
    // configuration (none when null).
    std::optional<BackupStore::Backup> chooseBackup(const Configuration *open) const;

private:
    // The message keeps its own words; the file it is about, and why when
    // that is known, follow them.
    static void showFileWarning(QWidget *window, const QString &title, const QString &text, const QString &path,
                                const QString &reason = QString());

    QWidget *window;
};

#endif
