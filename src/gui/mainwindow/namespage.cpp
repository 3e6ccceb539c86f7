#include "mainwindow/namespage.h"

#include "configuration/configuration.h"
#include "configuration/fieldtext.h"
#include "mainwindow/formtables.h"
#include "mainwindow/formwidgets.h"
#include "settings/usernames.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>

using namespace FormTables;

namespace {
QString remainingText(int remaining)
{
    return NamesPage::tr("Pozostało: %1 znaków").arg(remaining);
}
}

NamesPage::NamesPage(const FormWidgets &form, QTableWidget *statuses, QPlainTextEdit *smsText, QLabel *remaining,
                     QLabel *info)
    : form(form),
      statuses(statuses),
      smsText(smsText),
      remaining(remaining),
      info(info)
{
}

void NamesPage::inputNameChanged(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget() || item->column() != NameColumn)
        return;
    UserNames::storeInputsTableName(item->row(), item->text());
    refreshInputNames();
}

void NamesPage::refreshInputNames()
{
    const UserNames names = UserNames::fromSettings();
    for (int row = 0; row < int(form.liveNameLabels.size()); ++row)
        form.liveNameLabels[row]->setText(names.inputsTableName(row));
    emit inputNamesChanged();
}

void NamesPage::phoneNameChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != NameColumn)
        return;
    UserNames::storePhoneName(item->row(), item->text());
    refreshPhoneNames();
}

void NamesPage::refreshPhoneNames()
{
    const UserNames names = UserNames::fromSettings();
    for (int i = 0; i < PhoneCount; ++i) {
        const QString name = names.phones[i].isEmpty() ? QString() : QStringLiteral("(%1)").arg(names.phones[i]);
        form.powerFailPhoneBoxes[i]->setText(QStringLiteral("Telefon %1 %2").arg(i + 1).arg(name));
    }
}

void NamesPage::outputNameChanged(QTableWidgetItem *item)
{
    if (!item)
        return;
    const int row = item->row();
    if (row >= 0 && row < int(form.manualNameLabels.size()))
        form.manualNameLabels[row]->setText(item->text());
    if (row >= 0 && row < int(form.startupNameLabels.size()))
        form.startupNameLabels[row]->setText(item->text());
}

void NamesPage::statusNameChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != StatusNameColumn)
        return;
    UserNames::storeStatusName(item->row(), item->text());
}

void NamesPage::statusClicked(const QModelIndex &index)
{
    showSmsText(index.data(SmsTextRole).toString());
}

// Shows a status text in the editor, ready to be continued. Its change
// signal is blocked, so that showing a text never stores it: the editor's
// plain text may differ from the text (a line break of another kind), and
// only typing changes what the status holds. The counter is set here.
void NamesPage::showSmsText(const QString &text)
{
    const QSignalBlocker blocker(smsText);
    smsText->setPlainText(text);
    smsText->moveCursor(QTextCursor::End);
    remaining->setText(remainingText(SmsWidth - int(fieldTextSize(text))));
    if (!text.isEmpty())
        info->clear();
}

void NamesPage::showSelectedSmsText()
{
    const QList<QTableWidgetItem *> selected = statuses->selectedItems();
    info->clear();
    showSmsText(selected.size() == 1 ? selected.constFirst()->data(SmsTextRole).toString() : QString());
}

void NamesPage::smsTextEdited()
{
    const QList<QTableWidgetItem *> selected = statuses->selectedItems();
    if (selected.size() != 1) {
        info->setText(tr("<span style=\"color: red;\">Wybierz nazwę statusu.</span>"));
        return;
    }
    info->clear();
    const QString text = smsText->toPlainText();
    selected.constFirst()->setData(SmsTextRole, text);
    // The module's field holds 140 bytes, so what remains is counted in bytes.
    remaining->setText(remainingText(SmsWidth - int(fieldTextSize(text))));
}

void NamesPage::deleteSmsText()
{
    const QList<QTableWidgetItem *> selected = statuses->selectedItems();
    if (selected.isEmpty())
        return;
    selected.constFirst()->setData(SmsTextRole, QString());
    statuses->clearSelection();
    smsText->clear();
    remaining->setText(remainingText(SmsWidth));
    info->clear();
}
