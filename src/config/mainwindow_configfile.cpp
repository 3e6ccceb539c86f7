#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "config/configuration.h"
#include "config/configurationfile.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

bool MainWindow::closeConfiguration()
{
    if (!configuration || !referenceConfiguration)
        return true;
    collectForm();
    if (*configuration != *referenceConfiguration) {
        QMessageBox box;
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(tr("Zmiany"));
        box.setText(tr("W programie zostały wprowadzone zmiany."));
        box.setInformativeText(QString());
        QPushButton *save = box.addButton(tr("Zapisz"), QMessageBox::AcceptRole);
        QPushButton *discard = box.addButton(tr("Porzuć zmiany"), QMessageBox::DestructiveRole);
        // Escape and the window's close button answer "Anuluj": the user has
        // not chosen to lose anything, so the configuration stays open.
        box.addButton(tr("Anuluj"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == save) {
            if (!saveConfigurationToFile())
                return false;
        } else if (box.clickedButton() != discard) {
            return false;
        }
    }
    delete configuration;
    delete referenceConfiguration;
    configuration = nullptr;
    referenceConfiguration = nullptr;
    updateModifiedMarker();
    setWindowTitle(applicationTitle);
    ui->tabWidget->setCurrentIndex(0);
    ui->mainStackedWidget->setCurrentIndex(0);
    updateWindowState();
    return true;
}

void MainWindow::on_actionNowy_triggered()
{
    if (!closeConfiguration())
        return;
    configuration = new Configuration;
    referenceConfiguration = new Configuration;
    configurationSource = 0;
    ui->mainStackedWidget->setCurrentIndex(1);
    updateWindowState();
    fillForm();
    showConfigurationTitle(QString());
}

void MainWindow::on_actionOdczyt_z_pliku_triggered()
{
    if (!closeConfiguration())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Wybierz plik"), fileDialogFolder(),
                                                      tr("Plik TX48 (*.kvl)"));
    if (!path.isEmpty())
        loadConfigurationFile(path);
}

void MainWindow::openConfigurationFile(const QString &path)
{
    if (closeConfiguration())
        loadConfigurationFile(QFileInfo(path).absoluteFilePath());
}

void MainWindow::loadConfigurationFile(const QString &path)
{
    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(path);
    if (loaded.status == ConfigurationFile::Status::CannotOpen) {
        QMessageBox::warning(this, tr("Otwórz plik"), tr("Nie można otworzyć pliku."),
                             QMessageBox::Ok);
        return;
    }
    if (loaded.status == ConfigurationFile::Status::BadContent) {
        QMessageBox::warning(this, tr("Odczyt pliku"), tr("Błąd podczas odczytywania pliku."),
                             QMessageBox::Ok);
        return;
    }
    configuration = new Configuration(loaded.configuration);
    referenceConfiguration = new Configuration(loaded.configuration);
    configurationSource = 1;
    fillForm();
    ui->mainStackedWidget->setCurrentIndex(1);
    updateWindowState();
    showConfigurationTitle(path);
    rememberFile(path);
}

void MainWindow::on_actionZapis_do_pliku_triggered()
{
    if (!configuration)
        return;
    collectForm();
    saveConfigurationToFile();
}

// Asks for a file and writes the configuration to it; true when it was saved.
bool MainWindow::saveConfigurationToFile()
{
    QFileDialog dialog(this, tr("Zapisz plik"), fileDialogFolder(), tr("Plik TX48 (*.kvl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kvl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();
    if (!ConfigurationFile::save(path, *configuration)) {
        QMessageBox::warning(this, tr("Zapisz plik"), tr("Nie można zapisać do pliku."),
                             QMessageBox::Ok);
        return false;
    }
    *referenceConfiguration = *configuration;
    updateModifiedMarker();
    rememberFile(path);
    return true;
}

void MainWindow::on_actionZamknij_konfiguracj_triggered()
{
    closeConfiguration();
}
