#include "mainwindow/actiontables.h"

#include "mainwindow/edithistory.h"
#include "mainwindow/formwidgets.h"

#include "actions/actiontext.h"
#include "actions/analogscale.h"
#include "actions/inputaction.h"
#include "dialogs/sterowanienowydialog.h"
#include "mainwindow/formtables.h"
#include "widgets/actiontablefit.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QLineEdit>
#include <QTableWidget>

namespace {

// Column 0 of each row keeps the index of the slot the row shows
// (SlotIndexRole). The slot itself is looked up in the configuration on
// every use: a pointer kept in the row could outlive the data it points into.
using FormTables::SlotIndexRole;

enum ActionColumn { NumberColumn, UseColumn, ConditionColumn, TimeColumn, ActionTextColumn,
                    ActionColumnCount };

constexpr int RangeMessageTimeout = 10000;

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

ActionTables::ActionTables(const FormWidgets &form, const std::unique_ptr<Configuration> &configuration,
                           EditHistory &history, QStatusBar *statusBar, QWidget *dialogParent)
    : form(form),
      configuration(configuration),
      history(history),
      statusBar(statusBar),
      dialogParent(dialogParent)
{
    for (QTableWidget *table : form.analogActionTables)
        fits.insert(table, new ActionTableFit(table));
    for (QTableWidget *table : form.digitalActionTables)
        fits.insert(table, new ActionTableFit(table));
}

void ActionTables::fillAll()
{
    for (int input = 0; input < AnalogInputCount; ++input)
        fillActionTable(AnalogInput, input);
    for (int input = 0; input < DigitalInputCount; ++input)
        fillActionTable(DigitalInput, input);
}

QTableWidget *ActionTables::actionTable(int inputKind, int input) const
{
    if (input < 0)
        return nullptr;
    if (inputKind == AnalogInput)
        return input < AnalogInputCount ? form.analogActionTables[input] : nullptr;
    return input < DigitalInputCount ? form.digitalActionTables[input] : nullptr;
}

InputAction *ActionTables::actionSlotOfRow(int inputKind, int input, int row)
{
    const QTableWidget *table = actionTable(inputKind, input);
    const QTableWidgetItem *numberItem = table ? table->item(row, NumberColumn) : nullptr;
    if (!configuration || !numberItem)
        return nullptr;
    const QVariant slotIndex = numberItem->data(SlotIndexRole);
    if (!slotIndex.isValid())
        return nullptr;
    return inputKind == AnalogInput ? configuration->analogActionSlot(input, slotIndex.toInt())
                                    : configuration->digitalActionSlot(input, slotIndex.toInt());
}

void ActionTables::fillActionTable(int inputKind, int input)
{
    QTableWidget *table = actionTable(inputKind, input);
    if (!configuration || !table)
        return;

    table->clear();
    table->setColumnCount(ActionColumnCount);
    table->setRowCount(0);
    table->setHorizontalHeaderLabels({ tr("L.p."), tr("Użyj"), tr("Warunek"), tr("Czas"),
                                       tr("Akcja") });

    const bool analog = inputKind == AnalogInput;
    const int slotCount = analog ? AnalogActionSlots : DigitalActionSlots;
    const AnalogRange range = configuration->analogInputRange(input);
    for (int index = 0; index < slotCount; ++index) {
        const InputAction action = analog ? configuration->analogAction(input, index)
                                          : configuration->digitalAction(input, index);
        if (action.isFree())
            continue;

        const int row = table->rowCount();
        table->setRowCount(row + 1);

        QTableWidgetItem *number = readOnlyItem(tr("%1.").arg(row + 1));
        number->setData(SlotIndexRole, index);
        table->setItem(row, NumberColumn, number);

        auto *use = new QTableWidgetItem;
        use->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        use->setCheckState(action.use() ? Qt::Checked : Qt::Unchecked);
        table->setItem(row, UseColumn, use);

        QString condition = actionConditionText(action);
        if (analog)
            condition += QStringLiteral(" %1").arg(analogDisplayText(action.value, range));
        table->setItem(row, ConditionColumn, readOnlyItem(condition));
        table->setItem(row, TimeColumn, readOnlyItem(actionTimeText(action)));

        QTableWidgetItem *text = readOnlyItem(actionText(action));
        text->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        table->setItem(row, ActionTextColumn, text);
    }

    for (int column = NumberColumn; column < ActionTextColumn; ++column)
        table->resizeColumnToContents(column);
    fits.value(table)->refit();

    // A click reports the new state of a "Użyj" box, but the Space key
    // toggles it without a click.
    connect(table, &QTableWidget::itemChanged, this, &ActionTables::actionTableItemChanged,
            Qt::UniqueConnection);
    connect(table, &QTableWidget::itemDoubleClicked, this,
            &ActionTables::actionTableItemDoubleClicked, Qt::UniqueConnection);
}

void ActionTables::newAction(int inputKind, int input)
{
    SterowanieNowyDialog dialog(0, inputKind, configuration.get(), dialogParent);
    if (inputKind == AnalogInput)
        dialog.analogInput = input;
    else
        dialog.digitalInput = input;
    dialog.updateInputInfo();
    dialog.exec();
    fillActionTable(inputKind, input);
}

void ActionTables::editAction(int inputKind, int input)
{
    const QTableWidget *table = actionTable(inputKind, input);
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    if (!configuration || selected.size() != ActionColumnCount)
        return;
    const QTableWidgetItem *number = table->item(selected.first()->row(), NumberColumn);
    const QVariant slotIndex = number ? number->data(SlotIndexRole) : QVariant();
    if (!slotIndex.isValid())
        return;

    SterowanieNowyDialog dialog(1, inputKind, configuration.get(), dialogParent);
    dialog.editedSlot = slotIndex.toInt();
    if (inputKind == AnalogInput)
        dialog.analogInput = input;
    else
        dialog.digitalInput = input;
    dialog.loadAction();
    dialog.updateInputInfo();
    dialog.exec();
    fillActionTable(inputKind, input);
}

void ActionTables::deleteAction(int inputKind, int input)
{
    QTableWidget *table = actionTable(inputKind, input);
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    if (!configuration || selected.isEmpty())
        return;
    const int row = selected.first()->row();
    table->clearSelection();

    InputAction *slot = actionSlotOfRow(inputKind, input, row);
    if (!slot)
        return;
    *slot = InputAction(slot->inputKind);
    fillActionTable(inputKind, input);
}

void ActionTables::actionTableItemClicked(int inputKind, int input, QTableWidgetItem *item)
{
    if (!item || item->tableWidget() != actionTable(inputKind, input)
        || item->column() != UseColumn)
        return;
    // The view has already toggled the box; the table shows the new state.
    if (InputAction *slot = actionSlotOfRow(inputKind, input, item->row()))
        slot->setUse(item->checkState() == Qt::Checked);
}

void ActionTables::actionTableItemChanged(QTableWidgetItem *item)
{
    int inputKind = 0;
    int input = 0;
    if (findActionTable(item->tableWidget(), &inputKind, &input))
        actionTableItemClicked(inputKind, input, item);
}

// A double-click on a row edits its action, as the edit button does; on the
// "Użyj" box it only ticks the box.
void ActionTables::actionTableItemDoubleClicked(QTableWidgetItem *item)
{
    int inputKind = 0;
    int input = 0;
    if (item->column() != UseColumn && findActionTable(item->tableWidget(), &inputKind, &input))
        editAction(inputKind, input);
}

bool ActionTables::findActionTable(const QTableWidget *table, int *inputKind, int *input) const
{
    for (int kind : { AnalogInput, DigitalInput }) {
        for (int index = 0; index < DigitalInputCount; ++index) {
            if (table && actionTable(kind, index) == table) {
                *inputKind = kind;
                *input = index;
                return true;
            }
        }
    }
    return false;
}

void ActionTables::analogRangeEdited(int input, const QString &text)
{
    if (!configuration)
        return;
    if (!rangeBeforeEdit[input]) {
        rangeBeforeEdit[input] = configuration->analogInputRange(input);
        rangeEditTyping[input] = history.typingKey(form.analogRangeEdits[input]);
    }
    const std::optional<AnalogRange> range = analogRangeFromText(text);
    if (!range) {
        // The field shows at once the range the record keeps.
        const QString kept = analogRangeText(configuration->analogInputRange(input));
        statusBar->showMessage(
                tr("Zakresu %1 nie można zapisać w modemie: obowiązuje nadal zakres %2.").arg(text, kept),
                RangeMessageTimeout);
        form.analogRangeEdits[input]->setText(kept);
        return;
    }
    configuration->analogRange[input] = range->range;
    configuration->analogDecimals[input] = range->decimals;
    // The values shown in the table are fractions of the range.
    fillActionTable(AnalogInput, input);
}

void ActionTables::finishRangeEdits()
{
    for (int input = 0; input < AnalogInputCount; ++input)
        analogRangeEditFinished(input);
}

// The thresholds are stored as thousandths of the range, so a new range
// changes the values they stand for. The user chooses: the values stay (the
// stored numbers are computed anew, cut as the action editor cuts them), or
// the stored numbers stay and the values follow the range. Either way the
// range and its thresholds make one step of the edit history.
void ActionTables::analogRangeEditFinished(int input)
{
    // Taken first: the question takes the focus, which finishes the edit
    // once more.
    const std::optional<AnalogRange> before = std::exchange(rangeBeforeEdit[input], std::nullopt);
    if (!configuration || !before || *before == configuration->analogInputRange(input))
        return;
    const AnalogRange after = configuration->analogInputRange(input);

    struct Threshold
    {
        int slot;
        QString before;
        quint16 keptValue;
        QString keptValueText;
        QString keptNumberText;
    };
    QList<Threshold> thresholds;
    for (int slot = 0; slot < AnalogActionSlots; ++slot) {
        const InputAction action = configuration->analogAction(input, slot);
        if (action.isFree())
            continue;
        const QString condition = actionConditionText(action) + QLatin1Char(' ');
        const QString shown = analogDisplayText(action.value, *before);
        const std::optional<quint16> stored = analogStoredValue(shown.toDouble(), after);
        const QString rescaled = condition + analogDisplayText(action.value, after);
        const QString row = tr("%1.").arg(thresholds.size() + 1);
        thresholds.append({ slot, QStringLiteral("%1 %2").arg(row, condition + shown), stored.value_or(action.value),
                            stored ? condition + analogDisplayText(*stored, after)
                                   : tr("%1 (wartości %2 nie da się zapisać przy nowym zakresie)")
                                             .arg(rescaled, shown),
                            rescaled });
    }
    if (thresholds.isEmpty())
        return;

    QStringList keepValues;
    QStringList keepNumbers;
    for (const Threshold &threshold : std::as_const(thresholds)) {
        keepValues.append(QStringLiteral("    %1 → %2").arg(threshold.before, threshold.keptValueText));
        keepNumbers.append(QStringLiteral("    %1 → %2").arg(threshold.before, threshold.keptNumberText));
    }
    QMessageBox box(QMessageBox::Question, tr("Zakres wejścia"),
                    tr("Zakres wejścia AI%1 zmieniono z %2 na %3. Progi akcji tego wejścia są zapisane "
                       "w modemie jako części zakresu.")
                            .arg(input + 1)
                            .arg(analogRangeText(*before), analogRangeText(after)),
                    QMessageBox::NoButton, dialogParent);
    box.setInformativeText(tr("Zachować wartości progów? Zapisane liczby zostaną przeliczone:\n%1\n\n"
                              "Zachować zapisane liczby? Progi zmienią się razem z zakresem:\n%2")
                                   .arg(keepValues.join(u'\n'), keepNumbers.join(u'\n')));
    QPushButton *keepValuesButton = box.addButton(tr("Zachowaj wartości progów"), QMessageBox::AcceptRole);
    box.addButton(tr("Zachowaj zapisane liczby"), QMessageBox::RejectRole);
    box.setDefaultButton(keepValuesButton);
    box.exec();
    if (box.clickedButton() != keepValuesButton)
        return;

    for (const Threshold &threshold : std::as_const(thresholds))
        configuration->analogActionSlot(input, threshold.slot)->value = threshold.keptValue;
    fillActionTable(AnalogInput, input);
    // The same step as the typing of the range.
    history.continueTyping(rangeEditTyping[input]);
    emit thresholdsChanged();
}

void ActionTables::forgetRangeEdits()
{
    rangeBeforeEdit.fill(std::nullopt);
}
