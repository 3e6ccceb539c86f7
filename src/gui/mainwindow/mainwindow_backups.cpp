#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/backupsdialog.h"
#include "backup/backupstore.h"
#include "settings/usernames.h"

namespace {
constexpr int ConfigurationFromFile = 1;
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
