#include "dialogs/sterowanienowydialog.h"
#include "ui_sterowanienowydialog.h"

#include "actions/actioncode.h"
#include "actions/analogscale.h"
#include "actions/inputaction.h"
#include "configuration/configuration.h"
#include "settings/usernames.h"

#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <cmath>
#include <limits>

namespace {

constexpr int ValueFieldDecimals = 2;
constexpr double ValueFieldTop = 1000.0;

int selectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

// The largest value the input's range lets a slot hold, shown with the
// range's decimals and rounded down, so that it can itself be entered.
QString largestStorableText(AnalogRange range)
{
    const double scale = std::pow(10.0, range.decimals);
    const double largest = std::floor(65535.0 * range.range / 1000.0) / scale;
    return QStringLiteral("%1").arg(largest, 0, 'f', range.decimals);
}

} // namespace

SterowanieNowyDialog::SterowanieNowyDialog(int editMode, int inputKind,
                                           Configuration *configuration, QWidget *parent)
    : QDialog(parent),
      ui(new Ui::SterowanieNowyDialogUi),
      configuration(configuration),
      inputKind(inputKind),
      editMode(editMode)
{
    ui->setupUi(this);
    if (!configuration)
        ui->listWidget->clear();
    ui->stackedWidget->setCurrentIndex(inputKind == DigitalInput ? 1 : 0);
    ui->groupBox->setChecked(false);

    valueValidator.setRange(0, ValueFieldTop, ValueFieldDecimals);
    valueValidator.setNotation(QDoubleValidator::StandardNotation);
    ui->wartoscLineEdit->setValidator(&valueValidator);

    // A selection made by dragging or with the keys is a choice as well, so
    // that the lists to the right always belong to what is selected.
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            [this] { chooseGroup(selectedRow(ui->listWidget)); });
    connect(ui->listWidget_2, &QListWidget::itemSelectionChanged, this,
            [this] { chooseSecond(selectedRow(ui->listWidget_2)); });
    connect(ui->listWidget_3, &QListWidget::itemSelectionChanged, this,
            [this] { chooseThird(selectedRow(ui->listWidget_3)); });

    if (editMode == 1)
        loadAction();
}

SterowanieNowyDialog::~SterowanieNowyDialog()
{
    delete ui;
}

void SterowanieNowyDialog::loadAction()
{
    setWindowTitle(tr("Edycja akcji"));
    setWindowIcon(QIcon(QStringLiteral(":/new/prefix1/icons/edit.png")));
    if (!configuration || editedSlot < 0)
        return;

    const InputAction action = editedAction();
    const ActionCode code(action.code);
    if (!code.isKnown() || !code.hasTarget())
        return;

    // Each selection fills the list to its right.
    ui->listWidget->setCurrentRow(code.group());
    ui->listWidget_2->setCurrentRow(code.second());
    ui->listWidget_3->setCurrentRow(code.third());

    if (inputKind == AnalogInput) {
        loadedValueText = analogDisplayText(action.value,
                                            configuration->analogInputRange(analogInput));
        ui->wartoscLineEdit->setText(loadedValueText);
        switch (action.condition()) {
        case 1: ui->wiekszeOdRadioButton->setChecked(true); break;
        case 2: ui->mniejszeOdRadioButton->setChecked(true); break;
        case 3: ui->zmianaORadioButton->setChecked(true); break;
        default: break;
        }
    } else {
        switch (action.condition()) {
        case 1: ui->narastajaceRadioButton->setChecked(true); break;
        case 2: ui->opadajaceRadioButton->setChecked(true); break;
        default: break;
        }
    }

    if (action.time != 0) {
        ui->groupBox->setChecked(true);
        ui->HSpinBox->setValue(action.time / 3600);
        ui->MSpinBox->setValue(action.time % 3600 / 60);
        ui->SSpinBox->setValue(action.time % 60);
    }
}

void SterowanieNowyDialog::updateInputInfo()
{
    QString info = editMode == 1 ? QStringLiteral("Edycja akcji wejścia ")
                                 : QStringLiteral("Wybierz rodzaj akcji dla wejścia ");
    if (!configuration)
        return;

    const bool digital = inputKind == DigitalInput;
    const int slotCount = digital ? DigitalActionSlots : AnalogActionSlots;
    int used = 0;
    for (int i = 0; i < slotCount; ++i) {
        const InputAction action = digital ? configuration->digitalAction(digitalInput, i)
                                           : configuration->analogAction(analogInput, i);
        if (!action.isFree())
            ++used;
        else if (firstFreeSlot == -1)
            firstFreeSlot = i;
    }
    info += digital ? QStringLiteral("cyfrowego DI%1").arg(digitalInput + 1)
                    : QStringLiteral("analogowego AI%1").arg(analogInput + 1);

    ui->pozostaloLabel->setText(tr("Pozostało akcji: %1").arg(slotCount - used));
    ui->infoLabel->setText(info);
}

void SterowanieNowyDialog::on_listWidget_activated(QModelIndex index)
{
    chooseGroup(index.row());
}

void SterowanieNowyDialog::on_listWidget_2_activated(QModelIndex index)
{
    chooseSecond(index.row());
}

void SterowanieNowyDialog::on_listWidget_3_clicked(QModelIndex index)
{
    chooseThird(index.row());
}

void SterowanieNowyDialog::on_listWidget_3_doubleClicked(QModelIndex index)
{
    chooseThird(index.row());
}

void SterowanieNowyDialog::on_listWidget_clicked(QModelIndex index)
{
    chooseGroup(index.row());
}

void SterowanieNowyDialog::on_listWidget_2_clicked(QModelIndex index)
{
    chooseSecond(index.row());
}

void SterowanieNowyDialog::on_okPushButton_clicked()
{
    const int condition = checkedCondition();
    if (inputKind == DigitalInput) {
        if (condition == 0) {
            warn(tr("Należy wybrać 'narastające' lub 'opadające' zbocze sygnału."));
            return;
        }
    } else {
        if (condition == 0) {
            warn(tr("Należy wybrać 'większe od' lub 'mniejsze od' lub 'zmiana o'."));
            return;
        }
        if (ui->wartoscLineEdit->text().isEmpty()) {
            warn(tr("Należy wpisać wartość."));
            return;
        }
    }

    quint16 value = 0;
    if (inputKind == AnalogInput && !storedValue(&value))
        return;
    quint16 time = 0;
    if (!storedTime(&time))
        return;
    const quint8 code = quint8(ActionCode::compose(ui->listWidget->currentRow(),
                                                   ui->listWidget_2->currentRow(),
                                                   ui->listWidget_3->currentRow())
                                       .value());

    if (editMode == 0) {
        // New actions are always in use; a full input has no slot for them.
        storeAction(firstFreeSlot,
                    InputAction(inputKind, quint8(condition * 2 + 1), value, time, code));
    } else if (editedSlot >= 0) {
        InputAction action = editedAction();
        action.flags = quint8(condition * 2 + (action.use() ? 1 : 0));
        if (inputKind == AnalogInput)
            action.value = value;
        action.time = time;
        action.code = code;
        storeAction(editedSlot, action);
    }
    accept();
}

void SterowanieNowyDialog::chooseGroup(int row)
{
    ui->listWidget_2->clear();
    ui->listWidget_3->clear();
    ui->okPushButton->setEnabled(false);
    ui->stackedWidget->setEnabled(false);
    if (row < 0)
        return;

    if (row == ActionCode::StatusSms) {
        const UserNames names = UserNames::fromSettings();
        for (int i = 0; i < PhoneCount; ++i)
            ui->listWidget_2->addItem(QStringLiteral("Telefon %1 ").arg(i + 1) + names.phones[i]);
    } else {
        ui->listWidget_2->addItems({ tr("Załącz"), tr("Wyłącz"), tr("Negacja") });
    }
}

void SterowanieNowyDialog::chooseSecond(int row)
{
    ui->listWidget_3->clear();
    ui->okPushButton->setEnabled(false);
    ui->stackedWidget->setEnabled(false);
    if (row < 0)
        return;

    if (ui->listWidget->currentRow() == ActionCode::StatusSms) {
        for (int i = 1; i <= 8; ++i)
            ui->listWidget_3->addItem(tr("Status %1").arg(i));
    } else if (row <= 2) {
        for (int i = 1; i <= 6; ++i)
            ui->listWidget_3->addItem(tr("Wyjście cyfrowe DO%1").arg(i));
        ui->listWidget_3->addItem(tr("Wszystkie wyjścia"));
    }
}

void SterowanieNowyDialog::chooseThird(int row)
{
    const bool chosen = row >= 0;
    ui->stackedWidget->setEnabled(chosen);
    ui->okPushButton->setEnabled(chosen);
}

InputAction SterowanieNowyDialog::editedAction() const
{
    return inputKind == DigitalInput ? configuration->digitalAction(digitalInput, editedSlot)
                                     : configuration->analogAction(analogInput, editedSlot);
}

void SterowanieNowyDialog::storeAction(int slot, const InputAction &action)
{
    if (inputKind == DigitalInput)
        configuration->setDigitalAction(digitalInput, slot, action);
    else
        configuration->setAnalogAction(analogInput, slot, action);
}

int SterowanieNowyDialog::checkedCondition() const
{
    if (inputKind == DigitalInput) {
        if (ui->narastajaceRadioButton->isChecked())
            return 1;
        if (ui->opadajaceRadioButton->isChecked())
            return 2;
        return 0;
    }
    if (ui->wiekszeOdRadioButton->isChecked())
        return 1;
    if (ui->mniejszeOdRadioButton->isChecked())
        return 2;
    if (ui->zmianaORadioButton->isChecked())
        return 3;
    return 0;
}

bool SterowanieNowyDialog::storedValue(quint16 *value)
{
    const QString text = ui->wartoscLineEdit->text();
    if (editMode == 1 && editedSlot >= 0 && text == loadedValueText) {
        *value = editedAction().value;
        return true;
    }

    const AnalogRange range = configuration->analogInputRange(analogInput);
    if (range.range == 0) {
        warn(tr("Zakres wejścia wynosi 0, więc wartości nie można zapisać. "
                "Najpierw ustaw zakres wejścia."));
        return false;
    }
    const std::optional<quint16> stored = analogStoredValue(text.toDouble(), range);
    if (!stored) {
        warn(tr("Wartość %1 jest za duża: przy zakresie %2 można zapisać najwyżej %3.")
                     .arg(text, analogRangeText(range), largestStorableText(range)));
        return false;
    }
    *value = *stored;
    return true;
}

bool SterowanieNowyDialog::storedTime(quint16 *time)
{
    if (!ui->groupBox->isChecked()) {
        *time = 0;
        return true;
    }
    const int seconds = ui->HSpinBox->value() * 3600 + ui->MSpinBox->value() * 60
            + ui->SSpinBox->value();
    if (seconds > std::numeric_limits<quint16>::max()) {
        warn(tr("Czas wykonania może wynosić najwyżej 18g 12m 15s."));
        return false;
    }
    *time = quint16(seconds);
    return true;
}

void SterowanieNowyDialog::warn(const QString &message)
{
    QMessageBox::warning(this, windowTitle(), message);
}
