#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "actions/analogscale.h"
#include "configuration/configuration.h"
#include "mainwindow/formtables.h"
#include "settings/usernames.h"

using namespace FormTables;

namespace {

// A filter or hysteresis field as one byte; empty or invalid text gives 0.
quint8 byteFromText(const QString &text)
{
    return quint8(WholeNumberValidator::value(text));
}

// Cells the form left empty may have no item yet.
void setCellText(QTableWidget *table, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = table->item(row, column))
        item->setText(text);
    else
        table->setItem(row, column, new QTableWidgetItem(text));
}
}

void MainWindow::fillForm()
{
    for (int row = 0; row < 6; ++row)
        ui->weWyWyjsciaTableWidget->setItem(
            row, NameColumn, new QTableWidgetItem(configuration->digitalOutputNames.value(row)));
    for (int row = 6; row < 8; ++row)
        ui->weWyWyjsciaTableWidget->setItem(
            row, NameColumn, new QTableWidgetItem(configuration->analogOutputNames.value(row - 6)));

    for (int i = 0; i < AnalogInputCount; ++i)
        form->analogFilterEdits[i]->setText(QString::number(configuration->analogFilters[i]));
    for (int i = 0; i < DigitalInputCount; ++i)
        form->digitalFilterEdits[i]->setText(QString::number(configuration->digitalFilters[i]));

    for (int i = 0; i < DigitalOutputCount; ++i) {
        const OutputStartup startup = configuration->outputStartup.value(i);
        (startup.on ? form->startupOnButtons : form->startupOffButtons)[i]->setChecked(true);
        form->startupMinuteSpinBoxes[i]->setValue(startup.seconds / 60);
        form->startupSecondSpinBoxes[i]->setValue(startup.seconds % 60);
    }

    const UserNames names = UserNames::fromSettings();
    for (int row = 0; row < SmsCount; ++row) {
        QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, StatusNameColumn);
        if (!item)
            continue;
        item->setText(names.statuses[row]);
        item->setData(SmsTextRole, configuration->smsText(row));
    }
    showSelectedSmsText();

    for (int input = 0; input < AnalogInputCount; ++input)
        form->analogRangeEdits[input]->setText(analogRangeText(configuration->analogInputRange(input)));
    for (int input = 0; input < AnalogInputCount; ++input) {
        const int typeBits = configuration->analogInputTypes >> (4 * input);
        const auto &buttons = form->signalTypeButtons[input];
        for (int type = 0; type < 4; ++type) {
            if (typeBits & (1 << type)) {
                buttons[type]->setChecked(true);
                break;
            }
        }
    }
    ui->weWyHisterezaLineEdit->setText(QString::number(configuration->hysteresis));

    ui->akuAkuLoadComboBox->setCurrentIndex(
        ui->akuAkuLoadComboBox->findData(configuration->chargeCurrent, Qt::UserRole, Qt::MatchExactly));
    for (int i = 0; i < PhoneCount; ++i)
        form->powerFailPhoneBoxes[i]->setChecked(configuration->powerFailPhone(i));
    ui->akuMinSpinBox->setValue(configuration->relayHoldTime / 60);
    ui->akuSekSpinBox->setValue(configuration->relayHoldTime - 60 * ui->akuMinSpinBox->value());
    ui->akuPrzekZalCheckBox->setChecked(configuration->relaysOn());
    ui->akuAktWejCheckBox->setChecked(configuration->activeInputs());

    fillPhoneNumbers();
    fillInputNames();

    for (int row = 0; row < PhoneCount; ++row)
        setCellText(ui->defNazwNazwyTelTableWidget, row, NameColumn, names.phones[row]);

    for (int input = 0; input < AnalogInputCount; ++input)
        fillAnalogActionTable(input);
    for (int input = 0; input < DigitalInputCount; ++input)
        fillDigitalActionTable(input);
}

void MainWindow::collectForm()
{
    if (!configuration)
        return;

    for (int i = 0; i < AnalogInputCount; ++i)
        configuration->analogFilters[i] = byteFromText(form->analogFilterEdits[i]->text());
    for (int i = 0; i < DigitalInputCount; ++i)
        configuration->digitalFilters[i] = byteFromText(form->digitalFilterEdits[i]->text());

    for (int i = 0; i < DigitalOutputCount; ++i) {
        const bool on = form->startupOnButtons[i]->isChecked();
        const int minutes = form->startupMinuteSpinBoxes[i]->value();
        const int seconds = form->startupSecondSpinBoxes[i]->value();
        configuration->setOutputStartup(i, on ? 1 : 0, quint16(minutes * 60 + seconds));
    }

    for (int row = 0; row < 8; ++row) {
        const QTableWidgetItem *item = ui->weWyWyjsciaTableWidget->item(row, NameColumn);
        const QString name = item ? item->text().left(NameCharacters) : QString();
        if (row < 6)
            configuration->digitalOutputNames[row] = name;
        else
            configuration->analogOutputNames[row - 6] = name;
    }

    for (int row = 0; row < SmsCount; ++row) {
        const QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, StatusNameColumn);
        configuration->setSmsText(row, item ? item->data(SmsTextRole).toString() : QString());
    }

    const int chargeIndex = ui->akuAkuLoadComboBox->currentIndex();
    configuration->chargeCurrent =
        chargeIndex < 0 ? 0 : quint8(ui->akuAkuLoadComboBox->itemData(chargeIndex).toInt());
    for (int i = 0; i < PhoneCount; ++i)
        configuration->setPowerFailPhone(i, form->powerFailPhoneBoxes[i]->isChecked());
    configuration->relayHoldTime =
        quint16(ui->akuMinSpinBox->value() * 60 + ui->akuSekSpinBox->value());
    configuration->setRelaysOn(ui->akuPrzekZalCheckBox->isChecked());
    configuration->setActiveInputs(ui->akuAktWejCheckBox->isChecked());

    // A range that cannot be stored keeps the previous one; the field showed
    // that one again as soon as the other was typed.
    for (int input = 0; input < AnalogInputCount; ++input) {
        if (const auto range = analogRangeFromText(form->analogRangeEdits[input]->text())) {
            configuration->analogRange[input] = range->range;
            configuration->analogDecimals[input] = range->decimals;
        }
    }

    quint8 types = 0;
    for (int input = 0; input < AnalogInputCount; ++input) {
        for (int type = 0; type < 4; ++type) {
            if (form->signalTypeButtons[input][type]->isChecked())
                types |= quint8(1 << (type + 4 * input));
        }
    }
    configuration->analogInputTypes = types;
    configuration->hysteresis = byteFromText(ui->weWyHisterezaLineEdit->text());
}

void MainWindow::fillPhoneNumbers()
{
    if (!configuration)
        return;
    for (int row = 0; row < PhoneCount; ++row)
        setCellText(ui->defNazwNazwyTelTableWidget, row, PhoneNumberColumn, configuration->phoneNumber(row));
    ui->defNazwNazwyTelTableWidget->resizeColumnToContents(1);
}

void MainWindow::fillInputNames()
{
    const UserNames names = UserNames::fromSettings();
    for (int row = 0; row < ui->weWyWejsciaTableWidget->rowCount(); ++row)
        setCellText(ui->weWyWejsciaTableWidget, row, NameColumn, names.inputsTableName(row));
    ui->weWyWejsciaTableWidget->resizeColumnToContents(0);
    ui->weWyWejsciaTableWidget->resizeColumnToContents(1);
}

void MainWindow::on_actionCofnij_zmiany_triggered()
{
    if (!configuration || !referenceConfiguration)
        return;
    *configuration = *referenceConfiguration;
    fillForm();
    updateModifiedMarker();
}
