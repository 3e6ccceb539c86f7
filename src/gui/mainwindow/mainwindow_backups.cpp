#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/backupsdialog.h"
#include "backup/backupstore.h"
#include "settings/usernames.h"

#include <QDir>
#include <QMessageBox>

namespace {
constexpr int ConfigurationFromFile = 1;
}

// Without the copy of what the module holds safely on the disk, a write
// sends nothing.
void MainWindow::reportBackupFailure(const BackupStore::SaveResult &saved)
{
    const QString path = QDir::toNativeSeparators(saved.path);
    const QString reason = saved.status == BackupStore::SaveStatus::CannotCreateFolder
            ? tr("Nie można utworzyć folderu kopii zapasowych:\n%1").arg(path)
            : tr("Nie można zapisać kopii zapasowej:\n%1\n\nDysk może być pełny albo zapis w tym "
                 "folderze jest niedozwolony.").arg(path);
    QMessageBox::warning(this, tr("Kopia zapasowa"),
                         reason + QStringLiteral("\n\n")
                                 + tr("Zapis do modemu przerwano; nic nie zostało wysłane."),
                         QMessageBox::Ok);
}

// A chosen backup opens as a file does, in place of the open configuration
// once the user has answered the question about its changes.
void MainWindow::on_actionKopie_zapasowe_triggered()
{
    if (moduleOperationRunning())
        return;
    if (configuration)
        collectForm();
    const BackupStore store;
    BackupsDialog dialog(store.list(), store.folder(), configuration, UserNames::fromSettings(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The list has read every backup already; the chosen one opens as listed.
    const BackupStore::Backup &backup = dialog.chosenBackup();
    if (!mayCloseConfiguration())
        return;
    // As a file, so a write sends its SMS texts as well.
    openConfiguration(*backup.configuration, ConfigurationFromFile, backup.path);
}
