#include "dialogs/ustawieniadialog.h"
#include "ui_ustawieniadialog.h"

#include "actions/actioncode.h"
#include "actions/actiontext.h"
#include "configuration/configuration.h"
#include "settings/usernames.h"
#include "dialogs/exchangeprogressdialog.h"
#include "link/modulesession.h"
#include "link/simcodes.h"
#include "widgets/phonenumberdelegate.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QTabBar>
#include <algorithm>
#include <memory>

namespace {
constexpr int ShowPinPassword = 5837;
constexpr int NumberColumn = 1;
const QColor WrongNumberColour(220, 0, 0);
}

UstawieniaDialog::UstawieniaDialog(int tabIndex, Configuration *configuration, Module *module,
                                   QWidget *parent)
    : QDialog(parent),
      ui(new Ui::UstawieniaDialogUi),
      module(module),
      configuration(configuration)
{
    ui->setupUi(this);
    errorPhoneBoxes = { ui->komBladTelCheckBox_1, ui->komBladTelCheckBox_2, ui->komBladTelCheckBox_3,
                        ui->komBladTelCheckBox_4, ui->komBladTelCheckBox_5, ui->komBladTelCheckBox_6,
                        ui->komBladTelCheckBox_7, ui->komBladTelCheckBox_8 };
    ui->tabWidget->setCurrentIndex(tabIndex);
    // Nothing is behind this button; it says so rather than doing nothing.
    ui->testPushButton->setEnabled(false);
    ui->testPushButton->setToolTip(tr("Test połączenia z serwerem nie jest dostępny w tym programie."));

    pukValidator.setRegularExpression(QRegularExpression(QStringLiteral("^[0-9]{1,}")));
    ui->pukLineEdit->setValidator(&pukValidator);
    // A click past the digits typed so far would leave the cursor where the
    // mask takes no typing; it goes to their end instead.
    for (QLineEdit *code : {ui->pinLineEdit, ui->pukLineEdit}) {
        connect(code, &QLineEdit::cursorPositionChanged, code, [code](int, int position) {
            if (position > code->text().size())
                code->setCursorPosition(int(code->text().size()));
        });
    }
    ui->numeryTableWidget->resizeColumnToContents(0);
    prepareNumberList();
    // Every tab's title shows at the dialog's first size.
    ui->tabWidget->setMinimumWidth(ui->tabWidget->tabBar()->sizeHint().width()
                                   + 2 * ui->tabWidget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    phoneValidator.setRange(0, 999999999);
    ui->drugiModulTelefonLineEdit->setValidator(&phoneValidator);

    const UserNames names = UserNames::fromSettings();
    for (int n = 1; n <= PhoneCount; ++n) {
        QString name = names.phones[n - 1];
        if (!name.isEmpty())
            name = QLatin1Char('(') + name + QLatin1Char(')');
        errorPhoneBoxes[n - 1]->setText(tr("Telefon %1 %2").arg(n).arg(name));
    }

    fillRingTaskItems();
    connect(ui->dzwonek1ComboBox, &QComboBox::activated, this, [this] { ringTask1Chosen = true; });
    connect(ui->dzwonek2ComboBox, &QComboBox::activated, this, [this] { ringTask3Chosen = true; });

    if (configuration)
        fillFromConfiguration();
    else
        disableConfigurationFields();
}

UstawieniaDialog::~UstawieniaDialog()
{
    delete ui;
}

void UstawieniaDialog::fillRingTaskItems()
{
    for (int value = 1; value <= RingTask::Last; ++value) {
        const QString text = ringTaskText(value);
        if (text.isEmpty())
            continue;
        ui->dzwonek1ComboBox->addItem(text, value);
        ui->dzwonek2ComboBox->addItem(text, value);
    }
}

void UstawieniaDialog::fillFromConfiguration()
{
    ui->drugiModulTelefonLineEdit->setText(configuration->secondModulePhone);

    {
        const QSignalBlocker blocker(ui->numeryTableWidget);
        for (int i = 0; i < PhoneCount; ++i) {
            if (QTableWidgetItem *item = ui->numeryTableWidget->item(i, 1))
                item->setText(configuration->phoneNumber(i));
        }
    }

    const auto &address = configuration->serverAddress;
    if (address[0] || address[1] || address[2] || address[3]) {
        ui->serverIpLineEdit->setText(ipAddressText(address));
    }

    ui->serverPortSpinBox->setValue(configuration->serverPort.toInt());
    ui->backupTimeSpinBox->setValue(configuration->archiveInterval);
    ui->backupAfterSpinBox->setValue(configuration->archiveSendAfter);

    for (int n = 1; n <= PhoneCount; ++n)
        errorPhoneBoxes[n - 1]->setChecked(configuration->errorReportPhone(n - 1));

    // A value that no item carries leaves "Wyłączone" current.
    const int oneRingIndex = ui->dzwonek1ComboBox->findData(configuration->ringActions.value(RingOnceKey),
                                                            Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (oneRingIndex >= 0)
        ui->dzwonek1ComboBox->setCurrentIndex(oneRingIndex);
    const int threeRingsIndex = ui->dzwonek2ComboBox->findData(configuration->ringActions.value(RingThriceKey),
                                                               Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (threeRingsIndex >= 0)
        ui->dzwonek2ComboBox->setCurrentIndex(threeRingsIndex);

    ui->nasluchCheckBox->setChecked(configuration->microphone());

    for (QWidget *field : configurationFields())
        shownFields.remember(field);
    for (int row = 0; row < ui->numeryTableWidget->rowCount(); ++row) {
        if (const QTableWidgetItem *item = ui->numeryTableWidget->item(row, NumberColumn))
            shownFields.remember(item, Qt::DisplayRole);
    }
    showWrongNumbers();
}

// The fields whose value goes into the configuration as it is shown.
QList<QWidget *> UstawieniaDialog::configurationFields() const
{
    QList<QWidget *> fields = { ui->drugiModulTelefonLineEdit, ui->serverIpLineEdit, ui->serverPortSpinBox,
                                ui->backupTimeSpinBox, ui->backupAfterSpinBox, ui->nasluchCheckBox };
    for (QCheckBox *checkBox : errorPhoneBoxes)
        fields.append(checkBox);
    return fields;
}

// The number column takes the width beside the captions; its editor says
// what it wants, and a wrong number shows in red, with the hint below the
// list, as it is typed.
void UstawieniaDialog::prepareNumberList()
{
    QTableWidget *table = ui->numeryTableWidget;
    table->horizontalHeader()->setSectionResizeMode(NumberColumn, QHeaderView::Stretch);
    // The captions above the list stand over their columns.
    ui->telefonCaptionLabel->setFixedWidth(table->columnWidth(0)
                                           - std::max(ui->numeryCaptionsLayout->spacing(), 0));
    auto *delegate = new PhoneNumberDelegate(this);
    table->setItemDelegateForColumn(NumberColumn, delegate);
    connect(delegate, &PhoneNumberDelegate::numberTyped, this, &UstawieniaDialog::showNumberHint);
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, &UstawieniaDialog::showWrongNumbers);
    connect(table, &QTableWidget::itemChanged, this, &UstawieniaDialog::showWrongNumbers);
}

void UstawieniaDialog::showWrongNumbers()
{
    bool allAcceptable = true;
    for (int row = 0; row < ui->numeryTableWidget->rowCount(); ++row) {
        QTableWidgetItem *item = ui->numeryTableWidget->item(row, NumberColumn);
        if (!item)
            continue;
        const bool acceptable = PhoneNumberDelegate::isAcceptable(item->text());
        const QSignalBlocker blocker(ui->numeryTableWidget);
        item->setForeground(acceptable ? QBrush() : QBrush(WrongNumberColour));
        allAcceptable = allAcceptable && acceptable;
    }
    showNumberHint(allAcceptable);
}

void UstawieniaDialog::showNumberHint(bool acceptable)
{
    QPalette palette;
    if (!acceptable)
        palette.setColor(QPalette::WindowText, WrongNumberColour);
    ui->numerPodpowiedzLabel->setPalette(palette);
}

void UstawieniaDialog::disableConfigurationFields()
{
    const QList<QWidget *> fields = {
        ui->drugiModulTelefonLineEdit, ui->dzwonek1ComboBox,   ui->dzwonek2ComboBox,
        ui->dodajNumerPushButton,      ui->usunNumerPushButton, ui->serverIpLineEdit,
        ui->serverPortSpinBox,         ui->testPushButton,      ui->backupAfterSpinBox,
        ui->backupTimeSpinBox,         ui->zapiszPushButton,    ui->numeryTableWidget,
        ui->scrollArea,                ui->nasluchCheckBox,     ui->pokazCheckBox,
    };
    for (QWidget *field : fields)
        field->setEnabled(false);
}

void UstawieniaDialog::showInvalid(const QString &text, int tabIndex)
{
    QMessageBox::warning(this, windowTitle(), text, QMessageBox::Ok);
    ui->tabWidget->setCurrentIndex(tabIndex);
}

// Only fields the user changed are checked: the others keep what the
// configuration holds.
bool UstawieniaDialog::validate()
{
    const int secondModuleLength = ui->drugiModulTelefonLineEdit->text().length();
    if (shownFields.changed(ui->drugiModulTelefonLineEdit) && secondModuleLength != 0
        && secondModuleLength != PhoneWidth) {
        showInvalid(tr("Komunikacja z drugim modułem: błędny numer telefonu."), 0);
        return false;
    }

    // The mask leaves "..." when nothing was entered; that means no server.
    const QString address = ui->serverIpLineEdit->text();
    if (shownFields.changed(ui->serverIpLineEdit) && address != QLatin1String("...")) {
        const QStringList parts = address.split(QLatin1Char('.'));
        bool valid = parts.size() == 4;
        for (const QString &part : parts) {
            bool isNumber = false;
            const uint value = part.toUInt(&isNumber);
            if (part.isEmpty() || !isNumber || value > 255)
                valid = false;
        }
        if (!valid) {
            showInvalid(tr("Archiwizacja: błędny adres ip."), 3);
            return false;
        }
    }

    for (int row = 0; row < ui->numeryTableWidget->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->numeryTableWidget->item(row, NumberColumn);
        if (item && !shownFields.changed(item, Qt::DisplayRole))
            continue;
        if (item && !PhoneNumberDelegate::isAcceptable(item->text())) {
            showInvalid(tr("Lista numerów: błędny numer na pozycji %1.").arg(row + 1), 2);
            return false;
        }
    }
    return true;
}

void UstawieniaDialog::storeIntoConfiguration()
{
    const auto changed = [this](const QWidget *field) { return shownFields.changed(field); };
    if (changed(ui->drugiModulTelefonLineEdit))
        configuration->secondModulePhone = ui->drugiModulTelefonLineEdit->text();

    if (changed(ui->serverIpLineEdit)) {
        const QStringList parts = ui->serverIpLineEdit->text().split(QLatin1Char('.'));
        for (int i = 0; i < 4; ++i)
            configuration->serverAddress[i] = quint8(parts.value(i).toUInt());
    }

    if (changed(ui->serverPortSpinBox))
        configuration->serverPort = QString::number(ui->serverPortSpinBox->value());
    if (changed(ui->backupTimeSpinBox))
        configuration->archiveInterval = quint8(ui->backupTimeSpinBox->value());
    if (changed(ui->backupAfterSpinBox))
        configuration->archiveSendAfter = quint8(ui->backupAfterSpinBox->value());

    for (int row = 0; row < ui->numeryTableWidget->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->numeryTableWidget->item(row, NumberColumn);
        if (item && shownFields.changed(item, Qt::DisplayRole))
            configuration->setPhoneNumber(row, item->text());
    }

    for (int n = 1; n <= PhoneCount; ++n) {
        if (changed(errorPhoneBoxes[n - 1]))
            configuration->setErrorReportPhone(n - 1, errorPhoneBoxes[n - 1]->isChecked());
    }

    // "Wyłączone" carries no data: chosen by the user it switches the task
    // off; merely shown for a value no item names, it keeps that value.
    if (ui->dzwonek1ComboBox->currentIndex() != 0 || ringTask1Chosen)
        configuration->setRingAction(RingOnceKey, quint8(ui->dzwonek1ComboBox->currentData().toUInt()));
    if (ui->dzwonek2ComboBox->currentIndex() != 0 || ringTask3Chosen)
        configuration->setRingAction(RingThriceKey, quint8(ui->dzwonek2ComboBox->currentData().toUInt()));

    if (changed(ui->nasluchCheckBox))
        configuration->setMicrophone(ui->nasluchCheckBox->isChecked());
}

void UstawieniaDialog::on_zapiszPushButton_clicked()
{
    if (!configuration || !validate())
        return;
    storeIntoConfiguration();
    accept();
}

void UstawieniaDialog::on_dodajNumerPushButton_clicked()
{
    QTableWidget *table = ui->numeryTableWidget;
    for (int row = 0; row < PhoneCount; ++row) {
        QTableWidgetItem *item = table->item(row, NumberColumn);
        if (item && item->text().isEmpty()) {
            // In sight, or nothing would seem to happen.
            table->setCurrentItem(item);
            table->scrollToItem(item);
            table->editItem(item);
            return;
        }
    }
}

void UstawieniaDialog::on_usunNumerPushButton_clicked()
{
    const QList<QTableWidgetItem *> selected = ui->numeryTableWidget->selectedItems();
    if (selected.size() != 1)
        return;
    selected.first()->setText(QString());
    ui->numeryTableWidget->clearSelection();
    ui->dodajNumerPushButton->setEnabled(true);
}

void UstawieniaDialog::on_zapiszPinPukPushButton_clicked()
{
    const QString pin = ui->pinLineEdit->text();
    const QString puk = ui->pukLineEdit->text();
    const QString fault = SimCodes::fault(pin, puk);
    if (!fault.isEmpty()) {
        QMessageBox::warning(this, tr("Zapisz"), fault, QMessageBox::Ok);
        return;
    }
    SimCodes::PinRequest pinRequest = SimCodes::PinRequest::NotChosen;
    if (ui->zadaniePinWlRadioButton->isChecked())
        pinRequest = SimCodes::PinRequest::On;
    else if (ui->zadaniePinWyRadioButton->isChecked())
        pinRequest = SimCodes::PinRequest::Off;

    // Through the session that drives the module, so it knows the line is
    // busy. Without a connection there is nobody to acknowledge, so the
    // command is not sent at all and the user learns at once why nothing was
    // written.
    ModuleSession *session = ModuleSession::of(module);
    if (!session || !session->isConnected()) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Brak połączenia z modemem. Kodu PIN, PUK nie zapisano."),
                             QMessageBox::Ok);
        return;
    }
    setEnabled(false);
    auto progress = std::make_unique<ExchangeProgressDialog>(
            tr("<b>Zapis kodu PIN, PUK do modemu.</b><br>Proszę czekać..."), session, this);
    // A window is not held disabled by its disabled parent.
    progress->setEnabled(true);
    const bool written = session->writePinPuk(pin.toLatin1(), puk.toLatin1(), quint8(pinRequest));
    progress.reset();
    if (written)
        QMessageBox::information(this, windowTitle(), tr("Kod PIN, PUK zapisano."), QMessageBox::Ok);
    else
        QMessageBox::warning(this, windowTitle(), tr("Błąd podczas zapisu kodu PIN, PUK."), QMessageBox::Ok);
    setEnabled(true);
}

void UstawieniaDialog::on_zadaniePinWlRadioButton_clicked()
{
    ui->zadaniePinWyRadioButton->setChecked(false);
}

void UstawieniaDialog::on_zadaniePinWyRadioButton_clicked()
{
    ui->zadaniePinWlRadioButton->setChecked(false);
}

void UstawieniaDialog::on_pokazCheckBox_clicked()
{
    bool confirmed = false;
    const int password =
            QInputDialog::getInt(this, tr("Pokaż PIN"), tr("Wprowadź hasło:"), 0, 0, 9999, 1, &confirmed);
    if (confirmed && password == ShowPinPassword) {
        if (configuration) {
            ui->pinLineEdit->setText(configuration->simPin);
            ui->pukLineEdit->setText(configuration->simPuk);
        }
        return;
    }
    if (confirmed)
        QMessageBox::warning(this, tr("Pokaż PIN"), tr("Błędne hasło"), QMessageBox::Ok);
    ui->pokazCheckBox->setChecked(false);
}
