#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "actions/analogscale.h"
#include "configuration/configuration.h"

#include <QSettings>

namespace {
constexpr int SmsTextRole = Qt::UserRole + 1;
constexpr int OutputNameColumn = 2;
constexpr int UserNameColumn = 2;

QString settingsText(const QSettings &settings, const QString &key)
{
    return settings.value(key, QString()).toString();
}

// A filter or hysteresis field as one byte; empty or invalid text gives 0.
quint8 byteFromText(const QString &text)
{
    return quint8(WholeNumberValidator::value(text));
}

QList<QLineEdit *> filterEdits(const Ui::MainWindowUi *ui)
{
    return {ui->weWyFiltrCyAnLineEdit,   ui->weWyFiltrCyAnLineEdit_2,
            ui->weWyFiltrCyDiLineEdit,   ui->weWyFiltrCyDiLineEdit_2,
            ui->weWyFiltrCyDiLineEdit_3, ui->weWyFiltrCyDiLineEdit_4,
            ui->weWyFiltrCyDiLineEdit_5, ui->weWyFiltrCyDiLineEdit_6};
}

QList<QRadioButton *> signalTypeButtons(const QWidget *window, int input)
{
    QList<QRadioButton *> buttons;
    for (int type = 1; type <= 4; ++type)
        buttons.append(window->findChild<QRadioButton *>(
            QStringLiteral("weWyWeAn%1Set%2RadioButton").arg(input + 1).arg(type)));
    return buttons;
}

QLineEdit *rangeEdit(const Ui::MainWindowUi *ui, int input)
{
    return input == 0 ? ui->weWyWeAn1ZakresLineEdit : ui->weWyWeAn2ZakresLineEdit;
}

// Series of widgets per output: the first one has no number suffix.
QString seriesName(const QString &base, int index)
{
    return index == 0 ? base : QStringLiteral("%1_%2").arg(base).arg(index + 1);
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
            row, OutputNameColumn, new QTableWidgetItem(configuration->digitalOutputNames.value(row)));
    for (int row = 6; row < 8; ++row)
        ui->weWyWyjsciaTableWidget->setItem(
            row, OutputNameColumn,
            new QTableWidgetItem(configuration->analogOutputNames.value(row - 6)));

    const QList<QLineEdit *> filters = filterEdits(ui);
    for (int i = 0; i < 2; ++i)
        filters[i]->setText(QString::number(configuration->analogFilters[i]));
    for (int i = 0; i < 6; ++i)
        filters[i + 2]->setText(QString::number(configuration->digitalFilters[i]));

    for (int i = 0; i < 6; ++i) {
        const OutputStartup startup = configuration->outputStartup.value(i);
        const QString onName = QStringLiteral("weWyPoUrDO%1ZalRadioButton").arg(i + 1);
        const QString offName = QStringLiteral("weWyPoUrDO%1WylRadioButton").arg(i + 1);
        findChild<QRadioButton *>(startup.on ? onName : offName)->setChecked(true);
        findChild<QSpinBox *>(seriesName(QStringLiteral("weWyPoUrCzMinSpinBox"), i))
            ->setValue(startup.seconds / 60);
        findChild<QSpinBox *>(seriesName(QStringLiteral("weWyPoUrCzSekSpinBox"), i))
            ->setValue(startup.seconds % 60);
    }

    QSettings settings;
    for (int row = 0; row < 8; ++row) {
        QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, 1);
        if (!item)
            continue;
        item->setText(settingsText(settings, QStringLiteral("defNazwSmsListaTableWidget_%1").arg(row)));
        item->setData(SmsTextRole, configuration->smsText(row));
    }
    showSelectedSmsText();

    for (int input = 0; input < 2; ++input)
        rangeEdit(ui, input)->setText(analogRangeText(configuration->analogInputRange(input)));
    for (int input = 0; input < 2; ++input) {
        const int typeBits = configuration->analogInputTypes >> (4 * input);
        const QList<QRadioButton *> buttons = signalTypeButtons(this, input);
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
    for (int i = 0; i < 8; ++i)
        findChild<QCheckBox *>(QStringLiteral("akuTelCheckBox_%1").arg(i + 1))
            ->setChecked(configuration->powerFailPhone(i));
    ui->akuMinSpinBox->setValue(configuration->relayHoldTime / 60);
    ui->akuSekSpinBox->setValue(configuration->relayHoldTime - 60 * ui->akuMinSpinBox->value());
    ui->akuPrzekZalCheckBox->setChecked(configuration->relaysOn());
    ui->akuAktWejCheckBox->setChecked(configuration->activeInputs());

    fillPhoneNumbers();
    fillInputNames();

    for (int row = 0; row < ui->defNazwNazwyTelTableWidget->rowCount(); ++row) {
        setCellText(ui->defNazwNazwyTelTableWidget, row, UserNameColumn,
                    settingsText(settings, QStringLiteral("defNazwNazwyTel_%1").arg(row)));
    }

    for (int input = 0; input < 2; ++input)
        fillAnalogActionTable(input);
    for (int input = 0; input < 6; ++input)
        fillDigitalActionTable(input);
}

void MainWindow::collectForm()
{
    if (!configuration)
        return;

    const QList<QLineEdit *> filters = filterEdits(ui);
    for (int i = 0; i < 2; ++i)
        configuration->analogFilters[i] = byteFromText(filters[i]->text());
    for (int i = 0; i < 6; ++i)
        configuration->digitalFilters[i] = byteFromText(filters[i + 2]->text());

    for (int i = 0; i < 6; ++i) {
        const bool on =
            findChild<QRadioButton *>(QStringLiteral("weWyPoUrDO%1ZalRadioButton").arg(i + 1))->isChecked();
        const int minutes =
            findChild<QSpinBox *>(seriesName(QStringLiteral("weWyPoUrCzMinSpinBox"), i))->value();
        const int seconds =
            findChild<QSpinBox *>(seriesName(QStringLiteral("weWyPoUrCzSekSpinBox"), i))->value();
        configuration->setOutputStartup(i, on ? 1 : 0, quint16(minutes * 60 + seconds));
    }

    for (int row = 0; row < 8; ++row) {
        const QTableWidgetItem *item = ui->weWyWyjsciaTableWidget->item(row, OutputNameColumn);
        const QString name = item ? item->text().left(NameCharacters) : QString();
        if (row < 6)
            configuration->digitalOutputNames[row] = name;
        else
            configuration->analogOutputNames[row - 6] = name;
    }

    for (int row = 0; row < 8; ++row) {
        const QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, 1);
        configuration->setSmsText(row, item ? item->data(SmsTextRole).toString() : QString());
    }

    const int chargeIndex = ui->akuAkuLoadComboBox->currentIndex();
    configuration->chargeCurrent =
        chargeIndex < 0 ? 0 : quint8(ui->akuAkuLoadComboBox->itemData(chargeIndex).toInt());
    for (int i = 0; i < 8; ++i)
        configuration->setPowerFailPhone(
            i, findChild<QCheckBox *>(QStringLiteral("akuTelCheckBox_%1").arg(i + 1))->isChecked());
    configuration->relayHoldTime =
        quint16(ui->akuMinSpinBox->value() * 60 + ui->akuSekSpinBox->value());
    configuration->setRelaysOn(ui->akuPrzekZalCheckBox->isChecked());
    configuration->setActiveInputs(ui->akuAktWejCheckBox->isChecked());

    // A range that cannot be stored keeps the previous one; the field showed
    // that one again as soon as the other was typed.
    for (int input = 0; input < 2; ++input) {
        if (const auto range = analogRangeFromText(rangeEdit(ui, input)->text())) {
            configuration->analogRange[input] = range->range;
            configuration->analogDecimals[input] = range->decimals;
        }
    }

    quint8 types = 0;
    for (int input = 0; input < 2; ++input) {
        const QList<QRadioButton *> buttons = signalTypeButtons(this, input);
        for (int type = 0; type < 4; ++type) {
            if (buttons[type]->isChecked())
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
    for (int row = 0; row < 8; ++row) {
        setCellText(ui->defNazwNazwyTelTableWidget, row, 1, configuration->phoneNumber(row));
    }
    ui->defNazwNazwyTelTableWidget->resizeColumnToContents(1);
}

void MainWindow::fillInputNames()
{
    QSettings settings;
    for (int row = 0; row < ui->weWyWejsciaTableWidget->rowCount(); ++row) {
        setCellText(ui->weWyWejsciaTableWidget, row, UserNameColumn,
                    settingsText(settings, QStringLiteral("defNazwWejscia_%1").arg(row)));
    }
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
