#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "settings/lastfilefolder.h"

#include "configuration/configuration.h"
#include "fields/configurationfields.h"
#include "files/configurationfile.h"
#include "dialogs/differencesdialog.h"
#include "settings/usernames.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Values of configurationSource.
constexpr int NewConfiguration = 0;
constexpr int ConfigurationFromFile = 1;
}

bool MainWindow::closeConfiguration()
{
    if (!mayCloseConfiguration())
        return false;
    discardConfiguration();
    return true;
}

bool MainWindow::mayCloseConfiguration()
{
    if (!configuration || !referenceConfiguration)
        return true;
    finishRangeEdits();
    collectForm();
    if (*configuration == *referenceConfiguration)
        return true;
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
    if (box.clickedButton() == save)
        return saveConfigurationToFile();
    return box.clickedButton() == discard;
}

void MainWindow::discardConfiguration()
{
    if (!configuration || !referenceConfiguration)
        return;
    delete configuration;
    delete referenceConfiguration;
    configuration = nullptr;
    referenceConfiguration = nullptr;
    history.clear();
    updateModifiedMarker();
    setWindowTitle(applicationTitle);
    ui->tabWidget->setCurrentIndex(0);
    ui->mainStackedWidget->setCurrentIndex(0);
    updateWindowState();
}

void MainWindow::on_actionNowy_triggered()
{
    if (!mayCloseConfiguration())
        return;
    openConfiguration(Configuration(), NewConfiguration, QString());
}

// Until the chosen file has been read, the open configuration stays open,
// edits and all: also when the dialog is cancelled or the file is bad.
void MainWindow::on_actionOdczyt_z_pliku_triggered()
{
    if (!mayCloseConfiguration())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Wybierz plik"), lastFileFolder(),
                                                      tr("Plik TX48 (*.kvl)"));
    if (!path.isEmpty())
        openFileInPlace(path);
}

void MainWindow::openConfigurationFile(const QString &path)
{
    if (mayCloseConfiguration())
        openFileInPlace(path);
}

// A file the user named (not a backup) joins the recent files.
void MainWindow::openFileInPlace(const QString &path)
{
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (const std::optional<Configuration> loaded = loadConfigurationFile(absolutePath)) {
        openConfiguration(*loaded, ConfigurationFromFile, absolutePath);
        rememberFile(absolutePath);
    }
}

std::optional<Configuration> MainWindow::loadConfigurationFile(const QString &path)
{
    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(path);
    if (loaded.status == ConfigurationFile::Status::CannotOpen) {
        showFileWarning(tr("Otwórz plik"), tr("Nie można otworzyć pliku."), path);
        return std::nullopt;
    }
    if (loaded.status == ConfigurationFile::Status::BadContent) {
        showFileWarning(tr("Odczyt pliku"), tr("Błąd podczas odczytywania pliku."), path);
        return std::nullopt;
    }
    return loaded.configuration;
}

// The message keeps its own words; the file it is about, and why when that
// is known, follow them.
void MainWindow::showFileWarning(const QString &title, const QString &text, const QString &path,
                                 const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    QString details = tr("Plik: %1").arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        details += QStringLiteral("\n\n") + reason;
    box.setInformativeText(details);
    box.exec();
}

void MainWindow::openConfiguration(const Configuration &opened, int source, const QString &path)
{
    delete configuration;
    delete referenceConfiguration;
    configuration = new Configuration(opened);
    referenceConfiguration = new Configuration(opened);
    configurationSource = source;
    ui->tabWidget->setCurrentIndex(0);
    fillForm();
    ui->mainStackedWidget->setCurrentIndex(1);
    startNewHistory();
    updateWindowState();
    showConfigurationTitle(path);
}

void MainWindow::on_actionPorownaj_z_plikiem_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    finishRangeEdits();
    collectForm();
    const QString path = QFileDialog::getOpenFileName(this, tr("Porównaj z plikiem"),
                                                      lastFileFolder(), tr("Plik TX48 (*.kvl)"));
    if (path.isEmpty())
        return;
    const std::optional<Configuration> file = loadConfigurationFile(path);
    if (!file)
        return;
    DifferencesDialog dialog(DifferencesDialog::Purpose::Compare,
                             tr("Różnice między otwartą konfiguracją a plikiem %1.")
                                     .arg(QDir::toNativeSeparators(path)),
                             configurationDifferences(*configuration, *file, UserNames::fromSettings()),
                             tr("Otwarta konfiguracja"), tr("Plik"), this);
    dialog.exec();
}

void MainWindow::on_actionZapis_do_pliku_triggered()
{
    if (!configuration)
        return;
    finishRangeEdits();
    collectForm();
    saveConfigurationToFile();
}

// Asks for a file and writes the configuration to it; true when it was saved.
bool MainWindow::saveConfigurationToFile()
{
    QFileDialog dialog(this, tr("Zapisz plik"), lastFileFolder(), tr("Plik TX48 (*.kvl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kvl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().constFirst();
    QString reason;
    if (!ConfigurationFile::save(path, *configuration, &reason)) {
        // What the user can do about it, such as saving in another folder.
        showFileWarning(tr("Zapisz plik"), tr("Nie można zapisać do pliku."), path, reason);
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
