#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "config/configuration.h"
#include "link/module.h"
#include "trend/trendwidget.h"

#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <memory>
#include <optional>

namespace {

constexpr int BusyDialogDelay = 500;
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

// The busy indicator of a read or a write. It appears only when the exchange
// still runs after half a second; resetting the pointer takes it away.
std::unique_ptr<QProgressDialog> busyDialog(const QString &label, QWidget *parent)
{
    auto dialog = std::make_unique<QProgressDialog>(label, MainWindow::tr("Anuluj"), 0, 0, parent);
    dialog->setCancelButton(nullptr);
    QTimer::singleShot(BusyDialogDelay, dialog.get(), &QProgressDialog::show);
    return dialog;
}

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
        ui->modemPolaczenieStatusLabel->clear();
        ui->polaczZModememPushButton->setText(tr("Połącz"));
        ui->polaczZModememPushButton->setIcon(QIcon(DisconnectedIcon));
        modemConnected = false;
        smsBlockInModule.clear();
    } else if (ui->portsComboBox->currentIndex() != 0) {
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
            smsBlockInModule.clear();
            startTrendRecord();
        } else {
            ui->modemPolaczenieStatusLabel->setText(ConnectionFailedStatus);
        }
    }
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

    auto busy = busyDialog(tr("<b>Odczyt danych z modemu.</b><br>Proszę czekać..."), this);
    const QByteArray image = module->readConfiguration();
    busy.reset();

    if (image.size() == ConfigurationImageSize) {
        configuration = new Configuration;
        configuration->fromImage(image);
        referenceConfiguration = new Configuration;
        *referenceConfiguration = *configuration;
        configurationSource = ConfigurationFromModule;
        smsBlockInModule = configuration->toImage(ImageSection::SmsBlock);
        fillForm();
        ui->mainStackedWidget->setCurrentIndex(1);
        setWindowTitle(applicationTitle);
    } else {
        QMessageBox::warning(this, tr("Odczyt"), tr("Błąd podczas odczytywania z modemu."),
                             QMessageBox::Ok);
    }
    endExchange();
    runOperationsWaitingForModule();
}

void MainWindow::on_actionZapisz_do_modu_u_triggered()
{
    if (!configuration || !modemConnected)
        return;
    if (deferWhileModuleBusy(&MainWindow::on_actionZapisz_do_modu_u_triggered))
        return;
    beginExchange();
    collectForm();

    auto busy = busyDialog(tr("<b>Zapis danych do modemu.</b><br>Proszę czekać..."), this);
    bool written = module->writeSettingsBlock(*configuration);
    if (written && smsBlockNeedsWriting()) {
        const QByteArray smsBlock = configuration->toImage(ImageSection::SmsBlock);
        written = module->writeSmsBlock(*configuration);
        smsBlockInModule = written ? smsBlock : QByteArray();
    }
    busy.reset();
    if (!written)
        QMessageBox::warning(this, windowTitle(), tr("Błąd podczas zapisu do modemu."),
                             QMessageBox::Ok);
    endExchange();
    runOperationsWaitingForModule();
}

// The SMS texts take 14 s to write, so they are left out when the module
// already holds them: the configuration came from the module and its texts
// are still the ones read from it or written to it since. Comparing with the
// module's texts, not with the reference copy, matters once the reference has
// moved on (saving to a file takes a new one).
bool MainWindow::smsBlockNeedsWriting() const
{
    return configurationSource != ConfigurationFromModule || smsBlockInModule.isEmpty()
            || configuration->toImage(ImageSection::SmsBlock) != smsBlockInModule;
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
            for (int n = 1; n <= DigitalInputCount; ++n) {
                const QString name = n == 1 ? QStringLiteral("onlineAktualneZalRadioButton")
                                            : QStringLiteral("onlineAktualneZalRadioButton_%1").arg(n);
                findChild<QAbstractButton *>(name)->setChecked(sample->digitalInput(n - 1));
            }
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
    for (int n = 1; n <= DigitalOutputCount; ++n) {
        if (findChild<QAbstractButton *>(QStringLiteral("weWyManDO%1ZalRadioButton").arg(n))->isChecked())
            doMask |= quint8(1 << (n - 1));
    }
    module->sendManualOutputs(*ao1, *ao2, doMask);
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
