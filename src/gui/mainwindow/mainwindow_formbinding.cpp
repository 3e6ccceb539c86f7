#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "actions/actiontext.h"
#include "actions/analogscale.h"
#include "configuration/configuration.h"
#include "mainwindow/formtables.h"
#include "settings/usernames.h"

#include <QScopedValueRollback>

using namespace FormTables;

namespace {

// The most the minutes and seconds boxes of a time can show together.
constexpr int LargestShownTime = 1000 * 60 + 59;
const QColor UnshownValueColour(255, 236, 170);

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

QTableWidgetItem *outputNameItem(Ui::MainWindowUi *ui, int row)
{
    return ui->weWyWyjsciaTableWidget->item(row, NameColumn);
}

QString outputName(const Configuration &configuration, int row)
{
    return row < DigitalOutputCount ? configuration.digitalOutputNames.value(row)
                                    : configuration.analogOutputNames.value(row - DigitalOutputCount);
}

// The signal type an input's bits name, or -1 unless exactly one is set.
int signalType(quint8 types, int input)
{
    const int bits = types >> (4 * input) & 0xF;
    return qPopulationCount(quint8(bits)) == 1 ? qCountTrailingZeroBits(quint8(bits)) : -1;
}

QString signalTypesText(quint8 types, int input, const std::array<QRadioButton *, 4> &buttons)
{
    QStringList names;
    for (int type = 0; type < 4; ++type) {
        if (types >> (4 * input + type) & 1)
            names.append(buttons[type]->text());
    }
    return names.isEmpty() ? QCoreApplication::translate("MainWindow", "nie wybrano")
                           : names.join(QStringLiteral(", "));
}

// A field that shows its value only as well as it can: a tint, and a tool
// tip that says what it holds.
void markField(QWidget *field, const QString &note)
{
    QPalette palette;
    if (!note.isEmpty()) {
        palette = field->palette();
        palette.setColor(QPalette::Base, UnshownValueColour);
        palette.setColor(QPalette::Button, UnshownValueColour);
    }
    // A palette without roles of its own takes the parent's again.
    field->setPalette(palette);
    field->setToolTip(note);
}

void markCell(QTableWidgetItem *cell, const QString &note)
{
    cell->setData(Qt::BackgroundRole, note.isEmpty() ? QVariant() : QVariant(QBrush(UnshownValueColour)));
    cell->setToolTip(note);
}

} // namespace

void MainWindow::fillForm()
{
    const QScopedValueRollback<bool> filling(fillingForm, true);
    rangeBeforeEdit.fill(std::nullopt);

    for (int row = 0; row < DigitalOutputCount + AnalogOutputCount; ++row)
        ui->weWyWyjsciaTableWidget->setItem(row, NameColumn, new QTableWidgetItem(outputName(*configuration, row)));

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
    // Bits that name no single type leave none of the input's types checked.
    for (int input = 0; input < AnalogInputCount; ++input) {
        const int type = signalType(configuration->analogInputTypes, input);
        for (QRadioButton *button : form->signalTypeButtons[input]) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
        if (type >= 0)
            form->signalTypeButtons[input][type]->setChecked(true);
    }
    ui->weWyHisterezaLineEdit->setText(QString::number(configuration->hysteresis));

    // A current the list does not offer gets an item of its own, for as
    // long as this configuration is shown.
    QComboBox *charge = ui->akuAkuLoadComboBox;
    for (int unlisted; (unlisted = charge->findData(true, UnlistedValueRole)) >= 0;)
        charge->removeItem(unlisted);
    int chargeIndex = charge->findData(configuration->chargeCurrent, Qt::UserRole, Qt::MatchExactly);
    if (chargeIndex < 0) {
        charge->addItem(tr("%1 mA (spoza listy)").arg(configuration->chargeCurrent), configuration->chargeCurrent);
        chargeIndex = charge->count() - 1;
        charge->setItemData(chargeIndex, true, UnlistedValueRole);
    }
    charge->setCurrentIndex(chargeIndex);
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

    rememberShownFields();
    markValuesTheFormCannotShow();
}

void MainWindow::rememberShownFields()
{
    shownFields.clear();
    for (QLineEdit *edit : form->filterEdits())
        shownFields.remember(edit);
    for (int i = 0; i < DigitalOutputCount; ++i) {
        shownFields.remember(form->startupOnButtons[i]);
        shownFields.remember(form->startupMinuteSpinBoxes[i]);
        shownFields.remember(form->startupSecondSpinBoxes[i]);
    }
    for (int row = 0; row < DigitalOutputCount + AnalogOutputCount; ++row)
        shownFields.remember(outputNameItem(ui, row), Qt::DisplayRole);
    for (int row = 0; row < SmsCount; ++row) {
        if (const QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, StatusNameColumn))
            shownFields.remember(item, SmsTextRole);
    }
    for (int input = 0; input < AnalogInputCount; ++input) {
        shownFields.remember(form->analogRangeEdits[input]);
        for (QRadioButton *button : form->signalTypeButtons[input])
            shownFields.remember(button);
    }
    shownFields.remember(ui->weWyHisterezaLineEdit);
    shownFields.remember(ui->akuAkuLoadComboBox);
    for (QCheckBox *box : form->powerFailPhoneBoxes)
        shownFields.remember(box);
    for (QWidget *field : std::initializer_list<QWidget *>{ ui->akuMinSpinBox, ui->akuSekSpinBox,
                                                            ui->akuPrzekZalCheckBox, ui->akuAktWejCheckBox })
        shownFields.remember(field);
}

// Only what the user changed is taken from the form; every other member
// keeps what the record holds, which may be more than its field can show.
void MainWindow::collectForm()
{
    if (!configuration)
        return;
    const auto changed = [this](const QWidget *field) { return shownFields.changed(field); };

    for (int i = 0; i < AnalogInputCount; ++i) {
        if (changed(form->analogFilterEdits[i]))
            configuration->analogFilters[i] = byteFromText(form->analogFilterEdits[i]->text());
    }
    for (int i = 0; i < DigitalInputCount; ++i) {
        if (changed(form->digitalFilterEdits[i]))
            configuration->digitalFilters[i] = byteFromText(form->digitalFilterEdits[i]->text());
    }

    for (int i = 0; i < DigitalOutputCount; ++i) {
        OutputStartup startup = configuration->outputStartup.value(i);
        if (changed(form->startupOnButtons[i]))
            startup.on = form->startupOnButtons[i]->isChecked() ? 1 : 0;
        if (changed(form->startupMinuteSpinBoxes[i]) || changed(form->startupSecondSpinBoxes[i]))
            startup.seconds = quint16(form->startupMinuteSpinBoxes[i]->value() * 60
                                      + form->startupSecondSpinBoxes[i]->value());
        configuration->setOutputStartup(i, startup.on, startup.seconds);
    }

    for (int row = 0; row < DigitalOutputCount + AnalogOutputCount; ++row) {
        const QTableWidgetItem *item = outputNameItem(ui, row);
        if (!item || !shownFields.changed(item, Qt::DisplayRole))
            continue;
        if (row < DigitalOutputCount)
            configuration->digitalOutputNames[row] = item->text();
        else
            configuration->analogOutputNames[row - DigitalOutputCount] = item->text();
    }

    for (int row = 0; row < SmsCount; ++row) {
        const QTableWidgetItem *item = ui->defNazwSmsListaTableWidget->item(row, StatusNameColumn);
        if (item && shownFields.changed(item, SmsTextRole))
            configuration->setSmsText(row, item->data(SmsTextRole).toString());
    }

    if (changed(ui->akuAkuLoadComboBox))
        configuration->chargeCurrent = quint8(ui->akuAkuLoadComboBox->currentData().toInt());
    for (int i = 0; i < PhoneCount; ++i) {
        if (changed(form->powerFailPhoneBoxes[i]))
            configuration->setPowerFailPhone(i, form->powerFailPhoneBoxes[i]->isChecked());
    }
    if (changed(ui->akuMinSpinBox) || changed(ui->akuSekSpinBox))
        configuration->relayHoldTime = quint16(ui->akuMinSpinBox->value() * 60 + ui->akuSekSpinBox->value());
    if (changed(ui->akuPrzekZalCheckBox))
        configuration->setRelaysOn(ui->akuPrzekZalCheckBox->isChecked());
    if (changed(ui->akuAktWejCheckBox))
        configuration->setActiveInputs(ui->akuAktWejCheckBox->isChecked());

    // A range that cannot be stored keeps the previous one; the field showed
    // that one again as soon as the other was typed.
    for (int input = 0; input < AnalogInputCount; ++input) {
        if (!changed(form->analogRangeEdits[input]))
            continue;
        if (const auto range = analogRangeFromText(form->analogRangeEdits[input]->text())) {
            configuration->analogRange[input] = range->range;
            configuration->analogDecimals[input] = range->decimals;
        }
    }

    for (int input = 0; input < AnalogInputCount; ++input) {
        const auto &buttons = form->signalTypeButtons[input];
        if (std::none_of(buttons.cbegin(), buttons.cend(), changed))
            continue;
        quint8 bits = 0;
        for (int type = 0; type < 4; ++type) {
            if (buttons[type]->isChecked())
                bits |= quint8(1 << type);
        }
        const int shift = 4 * input;
        configuration->analogInputTypes =
                quint8((configuration->analogInputTypes & ~(0xF << shift)) | bits << shift);
    }
    if (changed(ui->weWyHisterezaLineEdit))
        configuration->hysteresis = byteFromText(ui->weWyHisterezaLineEdit->text());
}

// Says, in a bar above the tabs and on each field, which values the form
// shows only as well as it can. Once the user changes such a field, it
// holds what it shows, and its mark goes.
void MainWindow::markValuesTheFormCannotShow()
{
    QStringList notes;
    const auto note = [&notes](const QString &section, const QString &value) {
        notes.append(QStringLiteral("%1: %2").arg(section, value));
        return value + QLatin1Char(' ') + tr("Zostaje bez zmian, dopóki nie zmienisz tego pola.");
    };
    const bool open = configuration != nullptr;
    const QString tooLong = tr("(pole przyjmuje najwyżej 1000 minut i 59 sekund)");
    const QString inputOutputTab = tr("Wejście / Wyjście");

    for (int i = 0; i < DigitalOutputCount; ++i) {
        const quint16 seconds = open ? configuration->outputStartup.value(i).seconds : 0;
        const QString text = seconds > LargestShownTime
                ? note(tr("%1 → Ustawienia po uruchomieniu → DO %2 – Opóźnienie").arg(inputOutputTab).arg(i + 1),
                       timeText(seconds) + QLatin1Char(' ') + tooLong)
                : QString();
        markField(form->startupMinuteSpinBoxes[i], text);
        markField(form->startupSecondSpinBoxes[i], text);
    }

    for (int input = 0; input < AnalogInputCount; ++input) {
        const QString section = tr("%1 → Wejście analogowe AI%2").arg(inputOutputTab).arg(input + 1);
        const AnalogRange range = open ? configuration->analogInputRange(input) : AnalogRange();
        markField(form->analogRangeEdits[input],
                  analogRangeFromText(analogRangeText(range)) == range
                          ? QString()
                          : note(section + tr(" → Zakres"),
                                 tr("liczba %1 z %2 miejscami po przecinku").arg(range.range).arg(range.decimals)));
        const auto &buttons = form->signalTypeButtons[input];
        const QString types = open && signalType(configuration->analogInputTypes, input) < 0
                ? note(section + tr(" → Typ sygnału"),
                       signalTypesText(configuration->analogInputTypes, input, buttons) + QLatin1Char(' ')
                               + tr("(powinien być wybrany jeden typ)"))
                : QString();
        for (QRadioButton *button : buttons)
            markField(button, types);
    }

    for (int row = 0; row < DigitalOutputCount + AnalogOutputCount; ++row) {
        QTableWidgetItem *item = outputNameItem(ui, row);
        const QString name = open ? outputName(*configuration, row) : QString();
        if (item)
            markCell(item, name.size() > NameCharacters
                                   ? note(tr("Definicje nazw użytkownika → Wyjścia → %1")
                                                  .arg(ui->weWyWyjsciaTableWidget->item(row, 1)->text()),
                                          tr("„%1” ma %2 znaków (pole przyjmuje najwyżej 12)")
                                                  .arg(name).arg(name.size()))
                                   : QString());
    }

    const QString batteryTab = tr("Akumulator");
    const int chargeItem = open ? ui->akuAkuLoadComboBox->findData(configuration->chargeCurrent, Qt::UserRole,
                                                                   Qt::MatchExactly)
                                : 0;
    markField(ui->akuAkuLoadComboBox,
              chargeItem < 0 || ui->akuAkuLoadComboBox->itemData(chargeItem, UnlistedValueRole).toBool()
                      ? note(batteryTab + tr(" → Prąd ładowania akumulatora"),
                             tr("%1 mA (spoza listy)").arg(configuration->chargeCurrent))
                      : QString());
    const quint16 holdTime = open ? configuration->relayHoldTime : 0;
    const QString hold = holdTime > LargestShownTime
            ? note(batteryTab + tr(" → Czas pamiętania stanu przekaźników przy wyłączonym zasilaniu"),
                   timeText(holdTime) + QLatin1Char(' ') + tooLong)
            : QString();
    markField(ui->akuMinSpinBox, hold);
    markField(ui->akuSekSpinBox, hold);

    QStringList lines;
    for (const QString &line : std::as_const(notes))
        lines.append(QStringLiteral("• ") + line.toHtmlEscaped());
    ui->wartosciSpozaFormularzaLabel->setText(
            QStringLiteral("<b>%1</b><br>%2")
                    .arg(tr("Ta konfiguracja ma wartości, których formularz nie może pokazać dokładnie. "
                            "Zostają bez zmian, dopóki nie zmienisz danego pola:"),
                         lines.join(QStringLiteral("<br>"))));
    ui->wartosciSpozaFormularzaFrame->setVisible(!notes.isEmpty());
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

// Without a question, as always; it is one step of the edit history, which
// "Cofnij" takes back, and "Ponów" then brings the edits back.
void MainWindow::on_actionCofnij_zmiany_triggered()
{
    if (!configuration || !referenceConfiguration)
        return;
    updateModifiedMarker();
    const EditState edits = recordedState;
    *configuration = *referenceConfiguration;
    fillForm();
    updateModifiedMarker();
    if (!(recordedState == edits))
        revertedEdits.emplace(history.index(), edits);
    updateWindowState();
}
