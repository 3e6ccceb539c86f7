#ifndef BACKUPSDIALOG_H
#define BACKUPSDIALOG_H

#include "backup/backupstore.h"

#include <QDialog>

struct UserNames;

namespace Ui {
class BackupsDialogUi;
}

// The list of backups, newest first, each with its date, time, port and
// how many fields it differs in from the open configuration. A backup that
// cannot be read is listed too, but cannot be chosen.
class BackupsDialog : public QDialog
{
    Q_OBJECT

public:
    // `open` is the configuration being edited, or null when none is open.
    BackupsDialog(const QList<BackupStore::Backup> &backups, const QString &folder,
                  const Configuration *open, const UserNames &names, QWidget *parent = nullptr);
    ~BackupsDialog() override;

    // The backup chosen with "Otwórz"; the dialog accepts only a readable
    // one, so its configuration is there.
    const BackupStore::Backup &chosenBackup() const;

public slots:
    void accept() override;

private:
    void fillBackups(const Configuration *open, const UserNames &names);
    int chosenRow() const;

    Ui::BackupsDialogUi *ui;
    QList<BackupStore::Backup> backups;
};

#endif
