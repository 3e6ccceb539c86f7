#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"
#include "fields/configurationfields.h"
#include "dialogs/differencesdialog.h"
#include "settings/usernames.h"
#include "dialogs/exchangeprogressdialog.h"
#include "link/module.h"
#include "widgets/trendwidget.h"

#include <QDateTime>
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
const QString ConnectedIcon = QStringLiteral(":/new/prefix1/icons/network-connect.png");
const QString DisconnectedIcon = QStringLiteral(":/new/prefix1/icons/network-disconnect.png");
const QString ConnectedStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_success.png\"> "
    "<span style=\"color:rgb(0,170,0);font-size:9pt;font-weight:bold;\">Połączono z modemem</span>");
const QString ConnectionFailedStatus = QStringLiteral(
    "<img src=\":/new/prefix1/icons/agt_action_fail.png\"> "
    "<span style=\"color:rgb(220,0,0);font-size:9pt;font-weight:bold;\">Błąd połączenia z modemem</span>");
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
    if (modemConnected) {
        module->disconnectPort();
        showModuleDisconnected(QString());
        return;
    }
    if (ui->portsComboBox->currentIndex() != 0) {
        const QString name = ui->portsComboBox->currentData(Qt::UserRole).toString();
        QSettings().setValue(LastPortKey, name);
        connecting = true;
        updateWindowState();
        modemConnected = module->connectPort(name);
        connecting = false;
        if (modemConnected) {
            ui->polaczZModememPushButton->setText(tr("Rozłącz"));
            ui->polaczZModememPushButton->setIcon(QIcon(ConnectedIcon));
            ui->modemPolaczenieStatusLabel->setText(ConnectedStatus);
            ui->modemPolaczenieStatusLabel->setToolTip(QString());
            statusBar()->clearMessage();
            moduleConfiguration.reset();
            startTrendRecord();
        } else {
            // Why, where it is known (busy, no serial port, no permission),
            // as telvoro-cli says it.
            ui->modemPolaczenieStatusLabel->setText(ConnectionFailedStatus);
            const QString problem = module->connectionProblem();
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
    modemConnected = false;
    moduleConfiguration.reset();
    ui->polaczZModememPushButton->setText(tr("Połącz"));
    ui->polaczZModememPushButton->setIcon(QIcon(DisconnectedIcon));
    ui->modemPolaczenieStatusLabel->setText(status);
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

void MainWindow::on_actionOdbierz_z_modemu_triggered()
{
    if (!modemConnected)
        return;
    if (deferWhileModuleBusy(&MainWindow::on_actionOdbierz_z_modemu_triggered))
        return;
    // Reading and writing wait already while the user is asked about changes.
    beginExchange();
    if (!closeConfiguration()) {
        endExchange();
        return;
    }

    if (readModuleConfiguration()) {
        configuration = new Configuration(*moduleConfiguration);
        referenceConfiguration = new Configuration(*configuration);
        configurationSource = ConfigurationFromModule;
        fillForm();
        startNewHistory();
        ui->mainStackedWidget->setCurrentIndex(1);
        showConfigurationTitle(QString());
        statusBar()->showMessage(tr("Odczytano konfigurację z modułu."), StatusMessageTime);
    } else {
        QMessageBox::warning(this, tr("Odczyt"), tr("Błąd podczas odczytywania z modemu."),
                             QMessageBox::Ok);
    }
    endExchange();
    runOperationsWaitingForModule();
}

// Reads the module's configuration, with progress; true when it came whole.
bool MainWindow::readModuleConfiguration()
{
    auto progress = std::make_unique<ExchangeProgressDialog>(
            tr("<b>Odczyt danych z modemu.</b><br>Proszę czekać..."), module,
            module->limitMilliseconds(Module::Command::ReadConfiguration), this);
    const QByteArray image = module->readConfiguration();
    progress.reset();
    if (image.size() != ConfigurationImageSize)
        return false;
    moduleConfiguration = std::make_unique<Configuration>();
    moduleConfiguration->fromImage(image);
    return true;
}

// Nothing is sent before the user has seen what the write changes and the
// module's configuration is safely in a backup.
void MainWindow::on_actionZapisz_do_modu_u_triggered()
{
    if (!configuration || !modemConnected)
        return;
    if (deferWhileModuleBusy(&MainWindow::on_actionZapisz_do_modu_u_triggered))
        return;
    beginExchange();
    collectForm();
    if (confirmWrite() && (!moduleConfiguration || saveModuleBackup()))
        writeToModule();
    endExchange();
    runOperationsWaitingForModule();
}

// Shows what the write changes in the module, reading the module first when
// what it holds is not known. True when the user chose to write.
bool MainWindow::confirmWrite()
{
    bool confirmed = false;
    if (!moduleConfiguration && !readModuleConfiguration()) {
        if (!modemConnected) {
            QMessageBox::warning(this, tr("Odczyt"), tr("Błąd podczas odczytywania z modemu."),
                                 QMessageBox::Ok);
            return false;
        }
        QMessageBox box(QMessageBox::Warning, tr("Zapis do modułu"),
                        tr("Nie udało się odczytać konfiguracji z modułu, więc nie można pokazać, "
                           "co zapis w nim zmieni, ani zachować kopii zapasowej jego obecnej "
                           "konfiguracji."),
                        QMessageBox::NoButton, this);
        box.setInformativeText(tr("Zapisać konfigurację do modułu bez porównania?"));
        QPushButton *write = box.addButton(tr("Zapisz do modułu"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Anuluj"), QMessageBox::RejectRole));
        box.exec();
        confirmed = box.clickedButton() == write;
    } else {
        const QList<ConfigurationDifference> differences =
                configurationDifferences(*moduleConfiguration, *configuration, UserNames::fromSettings());
        const QString description = differences.isEmpty()
                ? tr("Moduł ma już tę konfigurację. Można ją mimo to zapisać ponownie.")
                : tr("Zapis zmieni w module pola wymienione poniżej. Przed zapisem obecna "
                     "konfiguracja modułu zostanie zachowana w kopiach zapasowych "
                     "(Plik → Kopie zapasowe…).");
        DifferencesDialog dialog(DifferencesDialog::Purpose::Write, description, differences,
                                 tr("W module"), tr("Po zapisie"), this);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    // The connection may have gone while the user was asked.
    if (confirmed && !modemConnected) {
        QMessageBox::warning(this, windowTitle(), tr("Błąd podczas zapisu do modemu."),
                             QMessageBox::Ok);
        return false;
    }
    return confirmed;
}

void MainWindow::writeToModule()
{
    const bool withSmsBlock = smsBlockNeedsWriting();
    auto progress = std::make_unique<ExchangeProgressDialog>(
            tr("<b>Zapis danych do modemu.</b><br>Proszę czekać..."), module,
            module->writeLimitMilliseconds(withSmsBlock), this);
    const bool written = module->writeConfiguration(*configuration, withSmsBlock);
    progress.reset();
    if (!written) {
        // Part of it may have arrived.
        moduleConfiguration.reset();
        QMessageBox::warning(this, windowTitle(), tr("Błąd podczas zapisu do modemu."),
                             QMessageBox::Ok);
        return;
    }
    auto held = std::make_unique<Configuration>(*configuration);
    if (!withSmsBlock)
        held->smsTexts = moduleConfiguration->smsTexts;
    moduleConfiguration = std::move(held);
    statusBar()->showMessage(tr("Zapisano konfigurację w module."), StatusMessageTime);
}

// The SMS texts take 14 s to write, so they are left out when the module
// already holds them: the configuration came from the module and its texts
// are still the ones the module holds. Comparing with the module's texts,
// not with the reference copy, matters once the reference has moved on
// (saving to a file takes a new one).
bool MainWindow::smsBlockNeedsWriting() const
{
    return configurationSource != ConfigurationFromModule || !moduleConfiguration
            || configuration->toImage(ImageSection::SmsBlock)
            != moduleConfiguration->toImage(ImageSection::SmsBlock);
}

void MainWindow::updateOnlineAktualneWejscia()
{
    // Another exchange still waits for its answer; the next poll comes in a
    // second.
    if (module->isBusy())
        return;
    const QByteArray state = module->readOnlineState();
    if (configuration) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const std::optional<TrendSample> sample = TrendSample::fromOnlineState(
            now, state, configuration->analogInputRange(0), configuration->analogInputRange(1));
        // An answer of another length changes no field; the trend shows a gap.
        trendRecord.append(sample.value_or(TrendSample::unanswered(now)));
        if (sample) {
            for (int input = 0; input < DigitalInputCount; ++input)
                form->liveInputIndicators[input]->setChecked(sample->digitalInput(input));
            ui->onlineAktualneAn1LineEdit->setText(sample->analogText(0));
            ui->onlineAktualneAn2LineEdit->setText(sample->analogText(1));
        }
        if (trendWidget)
            trendWidget->refresh();
    }
    runOperationsWaitingForModule();
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
    if (deferWhileModuleBusy(&MainWindow::on_weWyManWyslijPushButton_clicked))
        return;

    sendingOutputs = true;
    updateWindowState();
    quint8 doMask = 0;
    for (int output = 0; output < DigitalOutputCount; ++output) {
        if (form->manualOnButtons[output]->isChecked())
            doMask |= quint8(1 << output);
    }
    module->sendManualOutputs(*ao1, *ao2, doMask);
    // The module does not answer this command; a link still open is all
    // there is to tell.
    if (module->isConnected())
        statusBar()->showMessage(tr("Wysłano stan wyjść do modułu."), StatusMessageTime);
    sendingOutputs = false;
    updateWindowState();
    runOperationsWaitingForModule();
}

// A request that meets another exchange still waiting for its answer (a poll
// fires every second) would be refused by the module link. It cannot wait
// here either: the exchange below it resumes only after this slot returns.
// So it is remembered and runs as soon as that exchange has finished.
bool MainWindow::deferWhileModuleBusy(void (MainWindow::*operation)())
{
    if (!module->isBusy())
        return false;
    if (!operationsWaitingForModule.contains(operation))
        operationsWaitingForModule.append(operation);
    return true;
}

void MainWindow::runOperationsWaitingForModule()
{
    while (!operationsWaitingForModule.isEmpty() && !module->isBusy())
        (this->*operationsWaitingForModule.takeFirst())();
}
