#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/ustawieniadialog.h"
#include "link/modulesession.h"
#include "mainwindow/actiontables.h"
#include "mainwindow/configurationfiles.h"
#include "mainwindow/configurationreport.h"
#include "mainwindow/edithistory.h"
#include "mainwindow/formbinder.h"
#include "mainwindow/namespage.h"
#include "mainwindow/recentfiles.h"
#include "settings/applicationsetup.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

namespace {
constexpr int StatusMessageTime = 5000;
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
    actionTables->finishRangeEdits();
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
    configuration.reset();
    referenceConfiguration.reset();
    editHistory->clear();
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
    const QString path = files->chooseFileToOpen();
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
    if (const std::optional<Configuration> loaded = ConfigurationFiles::loadConfigurationFile(absolutePath, this)) {
        openConfiguration(*loaded, ConfigurationFromFile, absolutePath);
        recentFiles->rememberFile(absolutePath);
    }
}

void MainWindow::openConfiguration(const Configuration &opened, ConfigurationSource source, const QString &path)
{
    configuration = std::make_unique<Configuration>(opened);
    referenceConfiguration = std::make_unique<Configuration>(opened);
    configurationSource = source;
    ui->tabWidget->setCurrentIndex(0);
    fillForm();
    ui->mainStackedWidget->setCurrentIndex(1);
    editHistory->start(*configuration);
    updateWindowState();
    showConfigurationTitle(path);
}

void MainWindow::openModuleConfiguration(const Configuration &read)
{
    discardConfiguration();
    configuration = std::make_unique<Configuration>(read);
    referenceConfiguration = std::make_unique<Configuration>(read);
    configurationSource = ConfigurationFromModule;
    fillForm();
    editHistory->start(*configuration);
    ui->mainStackedWidget->setCurrentIndex(1);
    showConfigurationTitle(QString());
    updateWindowState();
    statusBar()->showMessage(tr("Odczytano konfigurację z modemu."), StatusMessageTime);
}

void MainWindow::on_actionZapis_do_pliku_triggered()
{
    if (!configuration)
        return;
    actionTables->finishRangeEdits();
    collectForm();
    saveConfigurationToFile();
}

// Asks for a file and writes the configuration to it; true when it was saved.
bool MainWindow::saveConfigurationToFile()
{
    const QString path = files->saveToChosenFile(*configuration);
    if (path.isEmpty())
        return false;
    *referenceConfiguration = *configuration;
    updateModifiedMarker();
    recentFiles->rememberFile(path);
    return true;
}

void MainWindow::on_actionZamknij_konfiguracj_triggered()
{
    closeConfiguration();
}

void MainWindow::on_actionPorownaj_z_plikiem_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    actionTables->finishRangeEdits();
    collectForm();
    files->compareWithChosenFile(*configuration);
}

// A chosen backup opens as a file does, in place of the open configuration
// once the user has answered the question about its changes.
void MainWindow::on_actionKopie_zapasowe_triggered()
{
    if (moduleOperationRunning())
        return;
    if (configuration)
        collectForm();
    const std::optional<BackupStore::Backup> backup = files->chooseBackup(configuration.get());
    if (!backup || !mayCloseConfiguration())
        return;
    // As a file, so a write sends its SMS texts as well.
    openConfiguration(*backup->configuration, ConfigurationFromFile, backup->path);
}

void MainWindow::on_actionEksportuj_do_PDF_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    collectForm();
    report->exportToPdf(reportSubject());
}

void MainWindow::on_actionDrukuj_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    collectForm();
    report->print(reportSubject());
}

// The open configuration as the form holds it, under where it came from:
// the file, the module's port or a new configuration.
ConfigurationReport::Subject MainWindow::reportSubject() const
{
    return { *configuration, *configuration != *referenceConfiguration, configurationSource, windowFilePath(),
             moduleSession->portName() };
}

// "Telvoro" or "Telvoro (path)" as the title has always read, with the
// placeholder that the platform shows as its mark of unsaved changes. The
// path is kept as the window's file too, for the printed report.
void MainWindow::showConfigurationTitle(const QString &path)
{
    const QString title =
        path.isEmpty() ? applicationTitle : QStringLiteral("%1 (%2)").arg(applicationTitle, path);
    setWindowFilePath(path);
    setWindowTitle(title + QStringLiteral("[*]"));
    updateModifiedMarker();
}

// The marks of values the form cannot show follow what the fields now hold.
void MainWindow::updateModifiedMarker()
{
    editHistory->cancelPendingCheck();
    bool modified = false;
    if (configuration && referenceConfiguration) {
        collectForm();
        editHistory->record(*configuration);
        modified = *configuration != *referenceConfiguration;
    }
    formBinder->markValuesTheFormCannotShow();
    setWindowModified(modified);
}

void MainWindow::restoreHistoryState(const EditState &state)
{
    *configuration = state.configuration;
    fillForm();
    updateModifiedMarker();
}

void MainWindow::fillForm()
{
    editHistory->setFillingForm(true);
    actionTables->forgetRangeEdits();
    formBinder->fillForm();
    namesPage->showSelectedSmsText();
    actionTables->fillAll();
    editHistory->setFillingForm(false);
}

void MainWindow::collectForm()
{
    formBinder->collectForm();
}

void MainWindow::fillPhoneNumbers()
{
    formBinder->fillPhoneNumbers();
}

void MainWindow::fillInputNames()
{
    formBinder->fillInputNames();
}

// Without a question, as always; it is one step of the edit history, which
// "Cofnij" takes back, and "Ponów" then brings the edits back.
void MainWindow::on_actionCofnij_zmiany_triggered()
{
    if (!configuration || !referenceConfiguration)
        return;
    updateModifiedMarker();
    const EditState edits = editHistory->recorded();
    *configuration = *referenceConfiguration;
    fillForm();
    updateModifiedMarker();
    editHistory->offerRevertedEdits(edits);
}

// The dialog writes the PIN and PUK straight into the module. Asked for while
// a poll still waits for its answer, it opens once that answer is in: opened
// at once, its command would meet a busy link.
void MainWindow::on_actionUstawienia_triggered()
{
    if (!ui->actionUstawienia->isEnabled()
        || moduleSession->deferWhileBusy(ui->actionUstawienia, [this] { on_actionUstawienia_triggered(); }))
        return;
    UstawieniaDialog dialog(0, configuration.get(), module, this);
    if (dialog.exec() == QDialog::Accepted)
        fillPhoneNumbers();
    updateModifiedMarker();
}

// The "kliknij tutaj" link of the phone-names page opens the number list.
void MainWindow::on_label_6_linkActivated(QString)
{
    openNumberList();
}

void MainWindow::openNumberList()
{
    // Like "Ustawienia", which is disabled meanwhile: the dialog edits the
    // configuration and talks to the module, both busy during an exchange.
    if (moduleOperationRunning() || moduleSession->deferWhileBusy(ui->label_6, [this] { openNumberList(); }))
        return;
    UstawieniaDialog dialog(2, configuration.get(), module, this);
    dialog.exec();
    fillPhoneNumbers();
    updateModifiedMarker();
}
