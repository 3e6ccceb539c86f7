#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "config/configuration.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QtEndian>

namespace {
constexpr int LengthFieldSize = 4;
}

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
    ui->actionCofnij_zmiany->setEnabled(false);
    ui->actionZamknij_konfiguracj->setEnabled(false);
    ui->actionZapis_do_pliku->setEnabled(false);
    setWindowTitle(applicationTitle);
    ui->tabWidget->setCurrentIndex(0);
    ui->mainStackedWidget->setCurrentIndex(0);
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
    ui->actionZamknij_konfiguracj->setEnabled(true);
    ui->actionZapis_do_pliku->setEnabled(true);
    ui->actionCofnij_zmiany->setEnabled(true);
    fillForm();
}

void MainWindow::on_actionOdczyt_z_pliku_triggered()
{
    if (!closeConfiguration())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Wybierz plik"), QString(), tr("Plik TX48 (*.kvl)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, tr("Otwórz plik"), tr("Nie można otworzyć pliku."),
                             QMessageBox::Ok);
        return;
    }
    // The length field is checked before anything else is read, so a damaged
    // file never makes us read or allocate a block of its claimed length.
    const QByteArray lengthField = file.read(LengthFieldSize);
    QByteArray image;
    if (lengthField.size() == LengthFieldSize
        && qFromBigEndian<quint32>(lengthField.constData()) == ConfigurationImageSize)
        image = file.read(ConfigurationImageSize);
    file.close();
    if (image.size() != ConfigurationImageSize) {
        QMessageBox::warning(this, tr("Odczyt pliku"), tr("Błąd podczas odczytywania pliku."),
                             QMessageBox::Ok);
        return;
    }
    configuration = new Configuration;
    configuration->fromImage(image);
    referenceConfiguration = new Configuration;
    *referenceConfiguration = *configuration;
    configurationSource = 1;
    fillForm();
    ui->mainStackedWidget->setCurrentIndex(1);
    ui->actionCofnij_zmiany->setEnabled(true);
    ui->actionZapis_do_pliku->setEnabled(true);
    ui->actionZamknij_konfiguracj->setEnabled(true);
    setWindowTitle(QStringLiteral("%1 (%2)").arg(applicationTitle, path));
}

void MainWindow::on_actionZapis_do_pliku_triggered()
{
    if (!configuration)
        return;
    collectForm();
    saveConfigurationToFile();
}

// Asks for a file and writes the configuration to it; true when it was saved.
// The file is replaced only once it has been written completely.
bool MainWindow::saveConfigurationToFile()
{
    QFileDialog dialog(this, tr("Zapisz plik"), QString(), tr("Plik TX48 (*.kvl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kvl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QSaveFile file(dialog.selectedFiles().constFirst());
    const QByteArray image = configuration->toImage(ImageSection::Full);
    QByteArray lengthField(LengthFieldSize, '\0');
    qToBigEndian<quint32>(image.size(), lengthField.data());
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(lengthField) == LengthFieldSize
                       && file.write(image) == image.size() && file.commit();
    if (!saved) {
        QMessageBox::warning(this, tr("Zapisz plik"), tr("Nie można zapisać do pliku."),
                             QMessageBox::Ok);
        return false;
    }
    *referenceConfiguration = *configuration;
    return true;
}

void MainWindow::on_actionZamknij_konfiguracj_triggered()
{
    closeConfiguration();
}
