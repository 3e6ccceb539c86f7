#include "mainwindow/moduleoperations.h"

#include "configuration/configuration.h"
#include "dialogs/differencesdialog.h"
#include "dialogs/exchangeprogressdialog.h"
#include "dialogs/linklogdialog.h"
#include "mainwindow/configurationfiles.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace {

constexpr int StatusMessageTime = 5000;

const QString LastPortKey = QStringLiteral("LastPortUsed");
// Off, a write is not read back and compared; for a module that cannot be
// read right after a write.
const QString VerifyWritesKey = QStringLiteral("verifyModuleWrites");
const QString ConnectedIcon = QStringLiteral(":/new/prefix1/icons/network-connect.png");
const QString DisconnectedIcon = QStringLiteral(":/new/prefix1/icons/network-disconnect.png");
const QString ConnectedStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_success.png\"> "
    "<span style=\"color:rgb(0,170,0);font-size:9pt;font-weight:bold;\">Połączono z modemem</span>");
const QString ConnectionFailedStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_fail.png\"> "
    "<span style=\"color:rgb(220,0,0);font-size:9pt;font-weight:bold;\">Błąd połączenia z modemem</span>");
const QString ConnectingStatus = QStringLiteral(
    "<span style=\"font-size:9pt;font-weight:bold;\">Łączenie…</span>");
const QString ConnectionLostStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_fail.png\"> "
    "<span style=\"color:rgb(220,0,0);font-size:9pt;font-weight:bold;\">Utracono połączenie z modemem</span>");

} // namespace

ModuleOperations::ModuleOperations(const Widgets &widgets, ModuleSession &session, MayReplace mayReplace,
                                   QWidget *window)
    : ui(widgets),
      session(session),
      mayReplace(std::move(mayReplace)),
      window(window)
{
    // The module's port went away (an adapter pulled out): the window is as
    // after "Rozłącz", says why, and keeps the open configuration. An
    // exchange still waiting returns right after this with its own failure.
    connect(&session, &ModuleSession::connectionLost, this, [this] { showModuleDisconnected(ConnectionLostStatus); });
    connect(&session, &ModuleSession::progress, this, &ModuleOperations::showStepProgress);
}

ModuleOperations::~ModuleOperations() = default;

void ModuleOperations::toggleConnection()
{
    if (session.isConnected()) {
        session.disconnectPort();
        showModuleDisconnected(QString());
        return;
    }
    if (ui.ports->currentIndex() != 0) {
        const QString name = ui.ports->currentData(Qt::UserRole).toString();
        QSettings().setValue(LastPortKey, name);
        // The port test may retry for many seconds; the outcome of an earlier
        // attempt would mislead meanwhile.
        ui.connectionStatus->setText(ConnectingStatus);
        ui.connectionStatus->setToolTip(QString());
        ui.statusBar->clearMessage();
        if (session.connectPort(name)) {
            ui.connectButton->setText(tr("Rozłącz"));
            ui.connectButton->setIcon(QIcon(ConnectedIcon));
            ui.connectionStatus->setText(ConnectedStatus);
            emit connectionChanged(true);
        } else {
            // Why, where it is known (busy, no serial port, no permission),
            // as telvoro-cli says it.
            ui.connectionStatus->setText(ConnectionFailedStatus);
            const QString problem = session.connectionProblem();
            ui.connectionStatus->setToolTip(problem);
            if (!problem.isEmpty())
                ui.statusBar->showMessage(tr("Błąd połączenia z modemem: %1").arg(problem));
        }
    }
}

void ModuleOperations::showModuleDisconnected(const QString &status)
{
    ui.connectButton->setText(tr("Połącz"));
    ui.connectButton->setIcon(QIcon(DisconnectedIcon));
    ui.connectionStatus->setText(status);
    emit connectionChanged(false);
}

void ModuleOperations::fillPortsComboBox()
{
    ui.ports->clear();
    ui.ports->addItem(tr("<<Wybierz port do komunikacji z modemem>>"));
    for (const auto &[name, label] : session.scannedPorts())
        ui.ports->addItem(label, name);
    const QVariant lastPort = QSettings().value(LastPortKey);
    if (!lastPort.isValid())
        return;
    const int index =
            ui.ports->findData(lastPort.toString(), Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        ui.ports->setCurrentIndex(index);
}

// The question about unsaved changes comes first, but the open configuration,
// edits included, gives way only to a read that succeeded.
void ModuleOperations::readModule()
{
    if (!session.isConnected() || session.deferWhileBusy(ui.readAction, [this] { readModule(); }))
        return;
    bool mayRead = false;
    const std::optional<Configuration> read = session.read([this, &mayRead] { return mayRead = mayReplace(); });
    if (read)
        emit configurationRead(*read);
    else if (mayRead)
        QMessageBox::warning(window, tr("Odczyt"), tr("Błąd podczas odczytywania z modemu."), QMessageBox::Ok);
    emit operationFinished();
}

bool ModuleOperations::verifiesWrites()
{
    return QSettings().value(VerifyWritesKey, true).toBool();
}

void ModuleOperations::writeEdited(const Configuration &snapshot)
{
    writeToModule(snapshot, WriteRequest::Edited, QString());
    emit operationFinished();
}

// The session reads the module first, so the list of changes and the backup
// are of the module on the line now; the user is asked between the two.
// `restorable` is the backup "Przywróć kopię zapasową" would write back if
// this write breaks; empty for the backup this write takes.
void ModuleOperations::writeToModule(const Configuration &snapshot, WriteRequest request, const QString &restorable)
{
    const ModuleSession::WriteOutcome outcome = session.write(
            snapshot, verifiesWrites(),
            [this, request, &restorable](const ModuleSession::WritePlan &plan) {
                return confirmWrite(plan, request, restorable);
            });
    reportWriteOutcome(snapshot, outcome, restorable.isEmpty() ? outcome.backupPath() : restorable);
}

// True when the user chose to write. Writing again and restoring were
// chosen already; they ask only when the module could not be read.
bool ModuleOperations::confirmWrite(const ModuleSession::WritePlan &plan, WriteRequest request, const QString &restorable)
{
    if (!plan.moduleRead && request == WriteRequest::Restore) {
        showRestoreLater(restorable);
        return false;
    }
    if (!plan.moduleRead) {
        QMessageBox box(QMessageBox::Warning, tr("Zapis do modemu"),
                        tr("Nie udało się odczytać konfiguracji z modemu, więc nie można pokazać, "
                           "co zapis w nim zmieni, ani zachować kopii zapasowej jego obecnej "
                           "konfiguracji."),
                        QMessageBox::NoButton, window);
        box.setInformativeText(tr("Zapisać konfigurację do modemu mimo to? Nie powstanie kopia "
                                  "zapasowa jego obecnej konfiguracji i nie zostanie ona porównana "
                                  "z zapisywaną."));
        QPushButton *write = box.addButton(tr("Zapisz do modemu"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Anuluj"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == write;
    }
    if (request != WriteRequest::Edited)
        return true;
    const QString description = plan.changes.isEmpty()
            ? tr("Modem, odczytany przed chwilą, ma już tę konfigurację. Można ją mimo to zapisać "
                 "ponownie.")
            : tr("Zapis zmieni w modemie, odczytanym przed chwilą, pola wymienione poniżej. Przed "
                 "zapisem obecna konfiguracja modemu zostanie zachowana w kopiach zapasowych "
                 "(Plik → Kopie zapasowe…).");
    DifferencesDialog dialog(DifferencesDialog::Purpose::Write, description, plan.changes,
                             tr("W modemie"), tr("Po zapisie"), window);
    return dialog.exec() == QDialog::Accepted;
}

// Success only once the module was read back and held every byte sent
// (unless the check is turned off); anything else says what the module may
// hold now and where its previous configuration is, in the session's words.
void ModuleOperations::reportWriteOutcome(const Configuration &snapshot, const ModuleSession::WriteOutcome &outcome,
                                          const QString &restorable)
{
    using Status = ModuleSession::WriteStatus;
    switch (outcome.status) {
    case Status::Verified:
    case Status::WrittenUnverified:
        ui.statusBar->showMessage(outcome.summary(), StatusMessageTime);
        return;
    case Status::Cancelled:
        return;
    case Status::ReadBeforeFailed:
        QMessageBox::warning(window, tr("Odczyt"), outcome.summary(), QMessageBox::Ok);
        return;
    case Status::BackupFailed: {
        QMessageBox box(QMessageBox::Warning, tr("Kopia zapasowa"), outcome.summary(), QMessageBox::Ok, window);
        box.setInformativeText(outcome.leftBehind());
        box.exec();
        return;
    }
    case Status::StoredDifferently: {
        DifferencesDialog dialog(DifferencesDialog::Purpose::Verify,
                                 outcome.summary() + QLatin1Char('\n') + outcome.leftBehind(),
                                 outcome.storedDifferently, tr("Wysłano"), tr("W modemie"), window);
        if (dialog.exec() == QDialog::Accepted)
            writeToModule(snapshot, WriteRequest::Again, restorable);
        return;
    }
    case Status::BlockUnanswered:
    case Status::LineLost:
    case Status::Interrupted:
    case Status::ReadBackFailed:
        break;
    }
    QMessageBox box(QMessageBox::Warning, window->windowTitle(), outcome.summary(), QMessageBox::Ok, window);
    QString facts = outcome.leftBehind();
    QPushButton *restore = nullptr;
    if (outcome.leftPartly() && !restorable.isEmpty()) {
        restore = box.addButton(tr("Przywróć kopię zapasową"), QMessageBox::AcceptRole);
        if (restorable != outcome.backupPath())
            facts += QLatin1Char('\n') + tr("„Przywróć kopię zapasową” zapisze w modemie kopię sprzed "
                                            "pierwszej próby: %1").arg(QDir::toNativeSeparators(restorable));
    }
    box.setInformativeText(facts);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (restore && box.clickedButton() == restore)
        restoreBackup(restorable);
}

// The backup goes back through the same session, as any write does, once
// the module answers again.
void ModuleOperations::restoreBackup(const QString &path)
{
    if (!session.isConnected()) {
        showRestoreLater(path);
        return;
    }
    if (const std::optional<Configuration> backup = ConfigurationFiles::loadConfigurationFile(path, window))
        writeToModule(*backup, WriteRequest::Restore, path);
}

void ModuleOperations::showRestoreLater(const QString &path)
{
    QMessageBox box(QMessageBox::Warning, tr("Kopia zapasowa"),
                    tr("Modem nie odpowiada, więc kopii zapasowej nie można teraz przywrócić."),
                    QMessageBox::Ok, window);
    box.setInformativeText(tr("Można to zrobić później, gdy modem znów odpowie: Plik → Kopie zapasowe…, "
                              "wybrać kopię %1, a potem Zapisz do modemu.")
                                   .arg(QDir::toNativeSeparators(path)));
    box.exec();
}

// A read or write step shows its progress; the dialog goes once it has shown
// the step's end.
void ModuleOperations::showStepProgress(ModuleSession::Step step, int elapsedMilliseconds)
{
    if (elapsedMilliseconds != 0)
        return;
    if (step == ModuleSession::Step::Reading)
        progressDialog = std::make_unique<ExchangeProgressDialog>(
                tr("<b>Odczyt danych z modemu.</b><br>Proszę czekać..."), &session, window);
    else if (step == ModuleSession::Step::Writing)
        progressDialog = std::make_unique<ExchangeProgressDialog>(
                tr("<b>Zapis danych do modemu.</b><br>Proszę czekać..."), &session, window);
    else
        return;
    // Connected after the dialog's own connection, so it runs after it.
    connect(&session, &ModuleSession::progress, progressDialog.get(),
            [this](ModuleSession::Step, int elapsed, int limit) {
                if (elapsed == limit)
                    progressDialog.reset();
            });
}

void ModuleOperations::showLinkLog()
{
    if (!linkLogDialog)
        linkLogDialog = new LinkLogDialog(session.log(), window);
    linkLogDialog->show();
    linkLogDialog->raise();
    linkLogDialog->activateWindow();
}
