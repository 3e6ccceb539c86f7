#include "dialogs/backupsdialog.h"
#include "ui_backupsdialog.h"

#include "fields/configurationfields.h"
#include "settings/usernames.h"

#include <QDir>
#include <QHeaderView>
#include <QMessageBox>

namespace {
enum Column { DateColumn, TimeColumn, PortColumn, DifferencesColumn };
}

BackupsDialog::BackupsDialog(const QList<BackupStore::Backup> &backups, const QString &folder,
                             const Configuration *open, const UserNames &names, QWidget *parent)
    : QDialog(parent), ui(new Ui::BackupsDialogUi), backups(backups)
{
    ui->setupUi(this);
    ui->opisLabel->setText(ui->opisLabel->text().arg(BackupStore::Kept));
    ui->folderLabel->setText(backups.isEmpty()
                                     ? tr("Nie ma jeszcze żadnej kopii zapasowej (folder: %1).")
                                               .arg(QDir::toNativeSeparators(folder))
                                     : tr("Folder: %1").arg(QDir::toNativeSeparators(folder)));
    fillBackups(open, names);
    connect(ui->kopieTableWidget, &QTableWidget::itemSelectionChanged, this,
            [this] { ui->otworzPushButton->setEnabled(chosenRow() >= 0); });
    connect(ui->kopieTableWidget, &QTableWidget::cellDoubleClicked, this, &BackupsDialog::accept);
    if (!backups.isEmpty())
        ui->kopieTableWidget->selectRow(0);
}

BackupsDialog::~BackupsDialog()
{
    delete ui;
}

const BackupStore::Backup &BackupsDialog::chosenBackup() const
{
    return backups[chosenRow()];
}

// An unreadable backup is refused here, and the list stays open.
void BackupsDialog::accept()
{
    const int row = chosenRow();
    if (row < 0)
        return;
    if (!backups[row].configuration) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Nie można otworzyć kopii zapasowej z %1, godz. %2: plik jest "
                                "uszkodzony albo nieczytelny.\n\n%3")
                                     .arg(ui->kopieTableWidget->item(row, DateColumn)->text(),
                                          ui->kopieTableWidget->item(row, TimeColumn)->text(),
                                          QDir::toNativeSeparators(backups[row].path)),
                             QMessageBox::Ok);
        return;
    }
    QDialog::accept();
}

void BackupsDialog::fillBackups(const Configuration *open, const UserNames &names)
{
    QTableWidget *table = ui->kopieTableWidget;
    table->setRowCount(int(backups.size()));
    for (int row = 0; row < backups.size(); ++row) {
        const BackupStore::Backup &backup = backups[row];
        table->setItem(row, DateColumn, new QTableWidgetItem(backup.time.toString(QStringLiteral("yyyy-MM-dd"))));
        table->setItem(row, TimeColumn, new QTableWidgetItem(backup.time.toString(QStringLiteral("HH:mm:ss"))));
        table->setItem(row, PortColumn, new QTableWidgetItem(backup.port));
        for (int column = DateColumn; column < DifferencesColumn; ++column)
            table->item(row, column)->setToolTip(QDir::toNativeSeparators(backup.path));
        auto *differences = new QTableWidgetItem;
        differences->setToolTip(QDir::toNativeSeparators(backup.path));
        if (!backup.configuration) {
            differences->setText(tr("plik uszkodzony"));
            differences->setForeground(QColor(220, 0, 0));
        } else if (open) {
            differences->setText(QString::number(configurationDifferences(*backup.configuration, *open, names).size()));
        } else {
            differences->setText(QStringLiteral("—"));
            differences->setToolTip(tr("Żadna konfiguracja nie jest otwarta."));
        }
        table->setItem(row, DifferencesColumn, differences);
    }
    table->resizeColumnsToContents();
}

int BackupsDialog::chosenRow() const
{
    const QList<QTableWidgetItem *> selected = ui->kopieTableWidget->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}
