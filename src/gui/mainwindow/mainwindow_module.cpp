#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"
#include "dialogs/differencesdialog.h"
#include "dialogs/exchangeprogressdialog.h"
#include "link/module.h"
#include "widgets/trendwidget.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <array>
#include <memory>
#include <optional>

namespace {

constexpr int StatusMessageTime = 5000;
constexpr int ConfigurationFromModule = 2;
constexpr double AnalogOutputMaximum = 10.0;

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

// An analogue output's set value in hundredths, or nothing when it lies
// outside 0 to 10. Text that is not a number counts as 0; the fields take a
// full stop whatever the locale. Rounded to thousandths first, so a value
// such as 0.29, held in binary just below itself, gives 29 and not 28.
std::optional<quint16> analogOutputHundredths(const QString &text)
{
    bool isNumber = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &isNumber);
    if (!isNumber)
        return 0;
    if (!(value >= 0.0 && value <= AnalogOutputMaximum))
        return std::nullopt;
    return quint16(qRound64(value * 1000.0) / 10);
}

} // namespace

void MainWindow::on_polaczZModememPushButton_clicked(bool)
{
    if (moduleSession->isConnected()) {
        moduleSession->disconnectPort();
        showModuleDisconnected(QString());
        return;
    }
    if (ui->portsComboBox->currentIndex() != 0) {
        const QString name = ui->portsComboBox->currentData(Qt::UserRole).toString();
        QSettings().setValue(LastPortKey, name);
        // The port test may retry for many seconds; the outcome of an earlier
        // attempt would mislead meanwhile.
        ui->modemPolaczenieStatusLabel->setText(ConnectingStatus);
        ui->modemPolaczenieStatusLabel->setToolTip(QString());
        statusBar()->clearMessage();
        if (moduleSession->connectPort(name)) {
            ui->polaczZModememPushButton->setText(tr("Rozłącz"));
            ui->polaczZModememPushButton->setIcon(QIcon(ConnectedIcon));
            ui->modemPolaczenieStatusLabel->setText(ConnectedStatus);
            startTrendRecord();
        } else {
            // Why, where it is known (busy, no serial port, no permission),
            // as telvoro-cli says it.
            ui->modemPolaczenieStatusLabel->setText(ConnectionFailedStatus);
            const QString problem = moduleSession->connectionProblem();
            ui->modemPolaczenieStatusLabel->setToolTip(problem);
            if (!problem.isEmpty())
                statusBar()->showMessage(tr("Błąd połączenia z modemem: %1").arg(problem));
        }
    }
    updateWindowState();
}

// The module's port went away (an adapter pulled out): the window is as after
// "Rozłącz", says why, and keeps the open configuration. An exchange still
// waiting returns right after this with its own failure.
void MainWindow::moduleConnectionLost()
{
    showModuleDisconnected(ConnectionLostStatus);
}

void MainWindow::showModuleDisconnected(const QString &status)
{
    ui->polaczZModememPushButton->setText(tr("Połącz"));
    ui->polaczZModememPushButton->setIcon(QIcon(DisconnectedIcon));
    ui->modemPolaczenieStatusLabel->setText(status);
    showLiveState();
    updateWindowState();
}

void MainWindow::fillPortsComboBox()
{
    ui->portsComboBox->clear();
    ui->portsComboBox->addItem(tr("<<Wybierz port do komunikacji z modemem>>"));
    for (const auto &[name, label] : std::as_const(module->availablePorts))
        ui->portsComboBox->addItem(label, name);
    const QVariant lastPort =
        QSettings().value(LastPortKey);
    if (!lastPort.isValid())
        return;
    const int index = ui->portsComboBox->findData(lastPort.toString(), Qt::UserRole,
                                                  Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        ui->portsComboBox->setCurrentIndex(index);
}

// The question about unsaved changes comes first, but the open configuration,
// edits included, gives way only to a read that succeeded.
void MainWindow::on_actionOdbierz_z_modemu_triggered()
{
    if (!moduleSession->isConnected()
        || moduleSession->deferWhileBusy(ui->actionOdbierz_z_modemu,
                                         [this] { on_actionOdbierz_z_modemu_triggered(); }))
        return;
    bool mayRead = false;
    const std::optional<Configuration> read =
            moduleSession->read([this, &mayRead] { return mayRead = mayCloseConfiguration(); });
    if (read)
        openModuleConfiguration(*read);
    else if (mayRead)
        QMessageBox::warning(this, tr("Odczyt"), tr("Błąd podczas odczytywania z modemu."), QMessageBox::Ok);
    closeIfPending();
}

// The one place where a configuration read from the module replaces the open
// one.
void MainWindow::openModuleConfiguration(const Configuration &read)
{
    discardConfiguration();
    configuration = new Configuration(read);
    referenceConfiguration = new Configuration(read);
    configurationSource = ConfigurationFromModule;
    fillForm();
    startNewHistory();
    ui->mainStackedWidget->setCurrentIndex(1);
    showConfigurationTitle(QString());
    updateWindowState();
    statusBar()->showMessage(tr("Odczytano konfigurację z modemu."), StatusMessageTime);
}

void MainWindow::on_actionZapisz_do_modu_u_triggered()
{
    if (!configuration || !moduleSession->isConnected()
        || moduleSession->deferWhileBusy(ui->actionZapisz_do_modu_u,
                                         [this] { on_actionZapisz_do_modu_u_triggered(); }))
        return;
    finishRangeEdits();
    collectForm();
    // This copy is what goes to the module: edits made while it is written
    // stay edits, and go with the next write.
    const Configuration snapshot = *configuration;
    writeToModule(snapshot, WriteRequest::Edited, QString());
    closeIfPending();
}

// The session reads the module first, so the list of changes and the backup
// are of the module on the line now; the user is asked between the two.
// `restorable` is the backup "Przywróć kopię zapasową" would write back if
// this write breaks; empty for the backup this write takes.
void MainWindow::writeToModule(const Configuration &snapshot, WriteRequest request, const QString &restorable)
{
    const bool verify = QSettings().value(VerifyWritesKey, true).toBool();
    const ModuleSession::WriteOutcome outcome = moduleSession->write(
            snapshot, verify,
            [this, request, &restorable](const ModuleSession::WritePlan &plan) {
                return confirmWrite(plan, request, restorable);
            });
    reportWriteOutcome(snapshot, outcome, restorable.isEmpty() ? outcome.backupPath() : restorable);
}

// Whether the user chose to write. Writing again and restoring were
// chosen already; they ask only when the module could not be read.
ModuleSession::WriteAnswer MainWindow::confirmWrite(const ModuleSession::WritePlan &plan, WriteRequest request,
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
                        QMessageBox::NoButton, this);
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
                                .arg(moduleSession->portName(), QDir::toNativeSeparators(restorable)),
                        QMessageBox::NoButton, this);
        box.setInformativeText(tr("Zapisać kopię w tym modemie mimo to? Jego obecna konfiguracja zostanie "
                                  "najpierw zachowana w kopiach zapasowych."));
        QPushButton *write = box.addButton(tr("Przywróć kopię zapasową"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Anuluj"), QMessageBox::RejectRole));
        box.exec();
        return box.clickedButton() == write ? Answer::SendAfterQuestion : Answer::Cancel;
    }
    if (request != WriteRequest::Edited && !plan.moduleChanged)
        return Answer::Send;
    const QString changed = plan.moduleChanged
            ? tr("Modem na linii zmienił się, gdy pytanie było otwarte: to inny modem albo zmieniono jego "
                 "konfigurację. Nic do niego nie wysłano.") + QLatin1Char(' ')
            : QString();
    const QString description = changed + (plan.changes.isEmpty()
            ? tr("Modem, odczytany przed chwilą, ma już tę konfigurację. Można ją mimo to zapisać "
                 "ponownie.")
            : tr("Zapis zmieni w modemie, odczytanym przed chwilą, pola wymienione poniżej. Przed "
                 "zapisem obecna konfiguracja modemu zostanie zachowana w kopiach zapasowych "
                 "(Plik → Kopie zapasowe…)."));
    DifferencesDialog dialog(DifferencesDialog::Purpose::Write, description, plan.changes,
                             tr("W modemie"), tr("Po zapisie"), this);
    return dialog.exec() == QDialog::Accepted ? Answer::SendAfterQuestion : Answer::Cancel;
}

// Success only once the module was read back and held every byte sent
// (unless the check is turned off); anything else says what the module may
// hold now and where its previous configuration is, in the session's words.
void MainWindow::reportWriteOutcome(const Configuration &snapshot, const ModuleSession::WriteOutcome &outcome,
                                    const QString &restorable)
{
    using Status = ModuleSession::WriteStatus;
    switch (outcome.status) {
    case Status::Verified:
    case Status::WrittenUnverified:
        statusBar()->showMessage(outcome.summary(), StatusMessageTime);
        return;
    case Status::Cancelled:
        return;
    case Status::ModuleChanged:
        statusBar()->showMessage(tr("Modem zmienił się przed zapisem; nic do niego nie wysłano."),
                                 StatusMessageTime);
        return;
    case Status::ReadBeforeFailed:
        QMessageBox::warning(this, tr("Odczyt"), outcome.summary(), QMessageBox::Ok);
        return;
    case Status::BackupFailed: {
        QMessageBox box(QMessageBox::Warning, tr("Kopia zapasowa"), outcome.summary(), QMessageBox::Ok, this);
        box.setInformativeText(outcome.leftBehind());
        box.exec();
        return;
    }
    case Status::StoredDifferently: {
        DifferencesDialog dialog(DifferencesDialog::Purpose::Verify,
                                 outcome.summary() + QLatin1Char('\n') + outcome.leftBehind(),
                                 outcome.storedDifferently, tr("Wysłano"), tr("W modemie"), this);
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
    QMessageBox box(QMessageBox::Warning, windowTitle(), outcome.summary(), QMessageBox::Ok, this);
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
void MainWindow::restoreBackup(const QString &path)
{
    if (!moduleSession->isConnected()) {
        showRestoreLater(path);
        return;
    }
    if (const std::optional<Configuration> backup = loadConfigurationFile(path))
        writeToModule(*backup, WriteRequest::Restore, path);
}

void MainWindow::showRestoreLater(const QString &path)
{
    QMessageBox box(QMessageBox::Warning, tr("Kopia zapasowa"),
                    tr("Modem nie odpowiada, więc kopii zapasowej nie można teraz przywrócić."),
                    QMessageBox::Ok, this);
    box.setInformativeText(tr("Można to zrobić później, gdy modem znów odpowie: Plik → Kopie zapasowe…, "
                              "wybrać kopię %1, a potem Zapisz do modemu.")
                                   .arg(QDir::toNativeSeparators(path)));
    box.exec();
}

void MainWindow::showStepProgress(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds)
{
    // The dialog takes the step's end itself, after this.
    if (elapsedMilliseconds == limitMilliseconds && progressDialog)
        progressDialog.release()->deleteLater();
    else if (elapsedMilliseconds == 0 && step == ModuleSession::Step::Reading)
        progressDialog = std::make_unique<ExchangeProgressDialog>(
                tr("<b>Odczyt danych z modemu.</b><br>Proszę czekać..."), moduleSession.get(), this);
    else if (elapsedMilliseconds == 0 && step == ModuleSession::Step::Writing)
        progressDialog = std::make_unique<ExchangeProgressDialog>(
                tr("<b>Zapis danych do modemu.</b><br>Proszę czekać..."), moduleSession.get(), this);
}

void MainWindow::updateOnlineAktualneWejscia()
{
    // Another exchange still waits for its answer; the next poll comes in a
    // second.
    if (moduleSession->isBusy())
        return;
    const QByteArray state = moduleSession->readOnlineState();
    if (configuration) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const std::optional<TrendSample> sample = TrendSample::fromOnlineState(
            now, state, configuration->analogInputRange(0), configuration->analogInputRange(1));
        // An answer of another length leaves no value in the fields; the
        // trend shows a gap.
        trendRecord.append(sample.value_or(TrendSample::unanswered(now)));
        showLiveState();
        if (trendWidget)
            trendWidget->refresh();
    }
}

void MainWindow::on_weWyManWyslijPushButton_clicked()
{
    const std::optional<quint16> ao1 = analogOutputHundredths(ui->onlineManAnOut1LineEdit->text());
    const std::optional<quint16> ao2 =
        ao1 ? analogOutputHundredths(ui->onlineManAnOut2LineEdit->text()) : std::nullopt;
    if (!ao1 || !ao2) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Dla wyjść analogowych należy wpisać wartość od 0 do 10."),
                             QMessageBox::Ok);
        return;
    }
    if (moduleSession->deferWhileBusy(ui->weWyManWyslijPushButton,
                                      [this] { on_weWyManWyslijPushButton_clicked(); }))
        return;

    quint8 doMask = 0;
    for (int output = 0; output < DigitalOutputCount; ++output) {
        if (form->manualOnButtons[output]->isChecked())
            doMask |= quint8(1 << output);
    }
    // The module does not answer this command; a link still open is all
    // there is to tell.
    if (moduleSession->sendManualOutputs(*ao1, *ao2, doMask))
        statusBar()->showMessage(tr("Wysłano stan wyjść do modemu."), StatusMessageTime);
    else
        statusBar()->showMessage(tr("Nie wysłano stanu wyjść: brak połączenia z modemem."), StatusMessageTime);
}
