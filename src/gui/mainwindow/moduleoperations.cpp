#include "mainwindow/moduleoperations.h"

#include "configuration/configuration.h"
#include "dialogs/differencesdialog.h"
#include "dialogs/exchangeprogressdialog.h"
#include "mainwindow/configurationfiles.h"
#include "link/module.h"
#include "link/modulefinder.h"
#include "widgets/modulestatebar.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>

namespace {

constexpr int StatusMessageTime = 5000;

// Marks the item that finds the module; the ports hold their names in Qt::UserRole.
constexpr int FindRole = Qt::UserRole + 1;
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
// While connecting or finding the module: what is being done.
const QString WorkingStatus = QStringLiteral("<span style=\"font-size:9pt;font-weight:bold;\">%1</span>");
const QString ConnectingStatus = WorkingStatus.arg(QStringLiteral("Łączenie…"));
const QString ConnectionLostStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_fail.png\"> "
    "<span style=\"color:rgb(220,0,0);font-size:9pt;font-weight:bold;\">Utracono połączenie z modemem</span>");

// A note after the connection status, in the band's own colours.
QString bandNote(const QString &text)
{
    return QStringLiteral(" <span style=\"color:rgb(230,230,230);font-size:9pt;\">%1</span>").arg(text.toHtmlEscaped());
}

QString backupTimeText(const QString &path)
{
    const QList<BackupStore::Backup> backups = BackupStore().list();
    for (const BackupStore::Backup &backup : backups) {
        if (backup.path == path)
            return backup.time.toString(QStringLiteral("d.M.yyyy HH:mm"));
    }
    return QDir::toNativeSeparators(path);
}

} // namespace

ModuleOperations::ModuleOperations(const Widgets &widgets, ModuleSession &session, MayReplace mayReplace,
                                   QWidget *window)
    : ui(widgets),
      session(session),
      mayReplace(std::move(mayReplace)),
      window(window)
{
    connect(ui.stateBar, &ModuleStateBar::restoreRequested, this, [this] {
        restoreBackup(restorablePath);
        emit operationFinished();
    });
    connect(ui.stateBar, &ModuleStateBar::writeAgainRequested, this, [this] {
        if (unwritten)
            writeToModule(*unwritten, WriteRequest::Again, restorablePath);
        emit operationFinished();
    });
    // The module's port went away (an adapter pulled out): the window is as
    // after "Rozłącz", says why, and keeps the open configuration. An
    // exchange still waiting returns right after this with its own failure.
    connect(&session, &ModuleSession::connectionLost, this, [this] { showModuleDisconnected(ConnectionLostStatus); });
    connect(&session, &ModuleSession::progress, this, &ModuleOperations::showStepProgress);
}

ModuleOperations::~ModuleOperations() = default;

void ModuleOperations::toggleConnection()
{
    if (finder) {
        cancelFinding();
        return;
    }
    if (session.isConnected()) {
        session.disconnectPort();
        showModuleDisconnected(QString());
        return;
    }
    const QVariant port = ui.ports->currentData(Qt::UserRole);
    if (port.isValid())
        connectTo(port.toString());
    else
        findModule();
}

bool ModuleOperations::isFinding() const
{
    return finder != nullptr;
}

void ModuleOperations::cancelFinding()
{
    if (finder)
        finder->cancel();
}

void ModuleOperations::connectTo(const QString &name)
{
    ModuleFinder::rememberPort(name);
    // The port test may retry for many seconds; the outcome of an earlier
    // attempt would mislead meanwhile.
    ui.connectionStatus->setText(ConnectingStatus);
    ui.connectionStatus->setToolTip(QString());
    ui.statusBar->clearMessage();
    if (session.connectPort(name)) {
        showConnected();
    } else {
        // Why, and what to do next, as telvoro-cli says it; it stays
        // until the next attempt.
        const QString failure = session.connectionFailureText();
        ui.connectionStatus->setText(ConnectionFailedStatus + bandNote(failure.section(QStringLiteral(": "), 1)));
        ui.connectionStatus->setToolTip(failure);
        ui.statusBar->showMessage(failure);
    }
}

// The button stays enabled as "Przerwij" meanwhile; the found port is
// chosen in the list and remembered as if the user had chosen it.
void ModuleOperations::findModule()
{
    ModuleFinder moduleFinder(session);
    connect(&moduleFinder, &ModuleFinder::trying, this, [this](const QString &port, int index, int count) {
        ui.connectionStatus->setText(WorkingStatus.arg(
                tr("Szukanie modemu: %1 (%2 z %3)…").arg(Module::systemLocation(port)).arg(index + 1).arg(count)
                        .toHtmlEscaped()));
    });
    finder = &moduleFinder;
    ui.connectionStatus->setToolTip(QString());
    ui.statusBar->clearMessage();
    ui.connectButton->setText(tr("Przerwij"));
    emit findingChanged();
    const QStringList ports = ModuleFinder::candidates(session.scannedPorts(), ModuleFinder::lastPortUsed());
    const ModuleFinder::Outcome outcome = moduleFinder.find(ports);
    finder = nullptr;
    ui.connectButton->setText(tr("Połącz"));
    emit findingChanged();
    switch (outcome) {
    case ModuleFinder::Outcome::Found: {
        const QString port = moduleFinder.foundPort();
        ModuleFinder::rememberPort(port);
        const int index = ui.ports->findData(port, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            ui.ports->setCurrentIndex(index);
        showConnected();
        ui.statusBar->showMessage(tr("Modem znaleziono na porcie %1.").arg(Module::systemLocation(port)),
                                  StatusMessageTime);
        break;
    }
    case ModuleFinder::Outcome::Cancelled:
        ui.connectionStatus->clear();
        break;
    case ModuleFinder::Outcome::NotFound:
        ui.connectionStatus->setText(ConnectionFailedStatus);
        QMessageBox box(QMessageBox::Warning, tr("Połącz"), tr("Nie znaleziono modemu na żadnym porcie."),
                        QMessageBox::Ok, window);
        box.setInformativeText(ports.isEmpty() ? tr("Nie znaleziono żadnego portu. Sprawdź, czy przejściówka "
                                                    "jest podłączona.")
                                               : moduleFinder.report());
        box.exec();
        break;
    }
    emit operationFinished();
}

void ModuleOperations::showConnected()
{
    ui.connectButton->setText(tr("Rozłącz"));
    ui.connectButton->setIcon(QIcon(ConnectedIcon));
    ui.connectionStatus->setText(ConnectedStatus);
    emit connectionChanged(true);
}

void ModuleOperations::showModuleDisconnected(const QString &status)
{
    if (ui.stateBar->isVisible())
        showConnectionEnded();
    ui.connectButton->setText(tr("Połącz"));
    ui.connectButton->setIcon(QIcon(DisconnectedIcon));
    ui.connectionStatus->setText(status);
    emit connectionChanged(false);
}

void ModuleOperations::fillPortsComboBox()
{
    const QVariant chosenPort = ui.ports->currentData(Qt::UserRole);
    const bool findChosen = ui.ports->currentData(FindRole).toBool();
    ui.ports->clear();
    ui.ports->addItem(tr("<<Wybierz port do komunikacji z modemem>>"));
    ui.ports->addItem(tr("Automatycznie (znajdź modem)"));
    ui.ports->setItemData(ui.ports->count() - 1, true, FindRole);
    for (const auto &[name, label] : session.scannedPorts())
        ui.ports->addItem(label, name);
    const auto choose = [this](const QString &name) {
        const int index = ui.ports->findData(name, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            ui.ports->setCurrentIndex(index);
        return index >= 0;
    };
    if (findChosen)
        ui.ports->setCurrentIndex(ui.ports->findData(true, FindRole));
    else if (!chosenPort.isValid() || !choose(chosenPort.toString()))
        choose(ModuleFinder::lastPortUsed());
}

// The question about unsaved changes comes first, but the open configuration,
// edits included, gives way only to a read that succeeded.
void ModuleOperations::readModule()
{
    if (!session.isConnected() || session.deferWhileBusy(ui.readAction, [this] { readModule(); }))
        return;
    ui.connectionStatus->setText(ConnectedStatus);
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
    if (session.isConnected())
        ui.connectionStatus->setText(ConnectedStatus);
    const ModuleSession::WriteOutcome outcome = session.write(
            snapshot, verifiesWrites(),
            [this, request, &restorable](const ModuleSession::WritePlan &plan) {
                return confirmWrite(plan, request, restorable);
            });
    const QString backup = restorable.isEmpty() ? outcome.backupPath() : restorable;
    // The bar is in place before any message about the write.
    if (outcome.leftPartly())
        showModuleInDoubt(request == WriteRequest::Restore && unwritten ? *unwritten : snapshot, backup,
                          outcome.status == ModuleSession::WriteStatus::StoredDifferently);
    reportWriteOutcome(snapshot, outcome, backup);
    if (outcome.status == ModuleSession::WriteStatus::Verified)
        showVerified(snapshot, request, backup);
}

void ModuleOperations::showVerified(const Configuration &snapshot, WriteRequest request, const QString &restorable)
{
    ui.connectionStatus->setText(
            ConnectedStatus + bandNote(tr("Zapisano i sprawdzono %1").arg(QTime::currentTime().toString(QStringLiteral("HH:mm")))));
    const bool editsLeft = request == WriteRequest::Restore && unwritten && !(*unwritten == snapshot);
    if (request == WriteRequest::Restore)
        ui.statusBar->showMessage(tr("Przywrócono w modemie kopię zapasową z %1.").arg(backupTimeText(restorable)));
    if (editsLeft) {
        ui.stateBar->showState(tr("Przywrócono w modemie kopię zapasową z %1. Formularz nadal zawiera zmiany, "
                                  "których w modemie nie ma.").arg(backupTimeText(restorable)),
                               false, true);
        return;
    }
    unwritten.reset();
    restorablePath.clear();
    ui.stateBar->hide();
}

void ModuleOperations::showModuleInDoubt(const Configuration &snapshot, const QString &restorable,
                                         bool storedDifferently)
{
    unwritten = snapshot;
    restorablePath = restorable;
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    QString text = storedDifferently
            ? tr("Zapis do modemu o %1 się nie udał: modem przechowuje w niektórych polach co innego, niż "
                 "wysłano.").arg(time)
            : tr("Zapis do modemu o %1 się nie udał: modem może zawierać część nowej konfiguracji.").arg(time);
    if (!restorable.isEmpty())
        text += QLatin1Char(' ') + tr("Jego poprzednia konfiguracja jest w kopii zapasowej z %1.").arg(backupTimeText(restorable));
    ui.stateBar->showState(text, !restorable.isEmpty(), true);
}

void ModuleOperations::showConnectionEnded()
{
    ui.stateBar->showState(tr("Połączenie z modemem zakończyło się przed udanym zapisem: nie wiadomo, co modem "
                              "teraz zawiera. Po ponownym połączeniu można przywrócić kopię zapasową albo "
                              "zapisać ponownie."),
                           !restorablePath.isEmpty(), unwritten.has_value());
}

// Whether the user chose to write. Writing again and restoring were
// chosen already; they ask only when the module could not be read, or is
// not the one the backup came from.
ModuleSession::WriteAnswer ModuleOperations::confirmWrite(const ModuleSession::WritePlan &plan, WriteRequest request,
                                                          const QString &restorable)
{
    using Answer = ModuleSession::WriteAnswer;
    if (!plan.moduleRead && request == WriteRequest::Restore) {
        showRestoreLater(restorable);
        return Answer::Cancel;
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
        return box.clickedButton() == write ? Answer::SendAfterQuestion : Answer::Cancel;
    }
    if (request == WriteRequest::Restore && !plan.mayBeOrigin) {
        QMessageBox box(QMessageBox::Warning, tr("Przywróć kopię zapasową"),
                        tr("Modem na porcie %1 to chyba nie ten, z którego pochodzi kopia zapasowa %2: jego "
                           "konfiguracja różni się i od tej kopii, i od konfiguracji, którą program ostatnio "
                           "do niego zapisywał.")
                                .arg(Module::systemLocation(session.portName()),
                                     QDir::toNativeSeparators(restorable)),
                        QMessageBox::NoButton, window);
        box.setInformativeText(tr("Zapisać kopię w tym modemie mimo to? Jego obecna konfiguracja zostanie "
                                  "najpierw zachowana w kopiach zapasowych."));
        QPushButton *write = box.addButton(tr("Przywróć kopię zapasową"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Anuluj"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == write ? Answer::SendAfterQuestion : Answer::Cancel;
    }
    if (request != WriteRequest::Edited && !plan.moduleChanged)
        return Answer::Send;
    const QString description = plan.changedNote() + (plan.changes.isEmpty()
            ? tr("Modem, odczytany przed chwilą, ma już tę konfigurację. Można ją mimo to zapisać "
                 "ponownie.")
            : tr("Zapis zmieni w modemie, odczytanym przed chwilą, pola wymienione poniżej. Przed "
                 "zapisem obecna konfiguracja modemu zostanie zachowana w kopiach zapasowych "
                 "(Plik → Kopie zapasowe…)."));
    DifferencesDialog dialog(DifferencesDialog::Purpose::Write, description, plan.changes,
                             tr("W modemie"), tr("Po zapisie"), window);
    return dialog.exec() == QDialog::Accepted ? Answer::SendAfterQuestion : Answer::Cancel;
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
    case Status::ModuleChanged:
        ui.statusBar->showMessage(tr("Modem zmienił się przed zapisem; nic do niego nie wysłano."),
                                  StatusMessageTime);
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
        if (!restorable.isEmpty())
            dialog.offerRestore();
        const int answer = dialog.exec();
        if (answer == QDialog::Accepted)
            writeToModule(snapshot, WriteRequest::Again, restorable);
        else if (answer == DifferencesDialog::RestoreBackup)
            restoreBackup(restorable);
        return;
    }
    case Status::BlockUnanswered:
    case Status::LineLost:
    case Status::Interrupted:
    case Status::ReadBackFailed:
        break;
    }
    reportBrokenWrite(outcome, restorable);
}

// Wide enough for the backup's path on one line, which can be selected and
// copied; "Otwórz folder" shows the backups in the file manager.
void ModuleOperations::reportBrokenWrite(const ModuleSession::WriteOutcome &outcome, const QString &restorable)
{
    QMessageBox box(QMessageBox::Warning, window->windowTitle(), outcome.summary(), QMessageBox::Ok, window);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QString facts = outcome.leftBehind();
    QPushButton *restore = nullptr;
    if (outcome.leftPartly() && !restorable.isEmpty()) {
        restore = box.addButton(tr("Przywróć kopię zapasową"), QMessageBox::AcceptRole);
        if (restorable != outcome.backupPath())
            facts += QLatin1Char('\n') + tr("„Przywróć kopię zapasową” zapisze w modemie kopię sprzed "
                                            "pierwszej próby: %1").arg(QDir::toNativeSeparators(restorable));
    }
    // The message stays open beside the folder.
    if (!restorable.isEmpty()) {
        const QUrl folder = QUrl::fromLocalFile(QFileInfo(restorable).absolutePath());
        connect(box.addButton(tr("Otwórz folder"), QMessageBox::ActionRole), &QPushButton::clicked, &box,
                [folder] { QDesktopServices::openUrl(folder); });
    }
    box.setInformativeText(facts);
    // One fact a line, the path unbroken; the box grows to fit them.
    if (auto *factsLabel = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        factsLabel->setWordWrap(false);
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
    if (elapsedMilliseconds != 0 || (step != ModuleSession::Step::Reading && step != ModuleSession::Step::Writing))
        return;
    progressDialog = std::make_unique<ExchangeProgressDialog>(
            step == ModuleSession::Step::Reading ? tr("<b>Odczyt danych z modemu.</b><br>Proszę czekać...")
                                                 : tr("<b>Zapis danych do modemu.</b><br>Proszę czekać..."),
            &session, window);
    // Connected after the dialog's own connection, so it runs after it.
    connect(&session, &ModuleSession::progress, progressDialog.get(),
            [this](ModuleSession::Step, int elapsed, int limit) {
                if (elapsed == limit)
                    progressDialog.reset();
            });
}
