#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"
#include "configuration/fieldtext.h"
#include "mainwindow/formtables.h"
#include "settings/usernames.h"

using namespace FormTables;

namespace {

QString remainingText(int remaining)
{
    return QCoreApplication::translate("MainWindow", "Pozostało: %1 znaków").arg(remaining);
}

// Shows a status text in the editor, ready to be continued. Its change
// signal is blocked, so that showing a text never stores it: the editor's
// plain text may differ from the text (a line break of another kind), and
// only typing changes what the status holds. The counter is set here.
void showSmsText(Ui::MainWindowUi *ui, const QString &text)
{
    const QSignalBlocker blocker(ui->defNazwSmsTrescPlainTextEdit);
    ui->defNazwSmsTrescPlainTextEdit->setPlainText(text);
    ui->defNazwSmsTrescPlainTextEdit->moveCursor(QTextCursor::End);
    ui->defNazwSmsPozostaloLabel->setText(remainingText(SmsWidth - int(fieldTextSize(text))));
    if (!text.isEmpty())
        ui->defNazwSmsInfoLabel->clear();
}
}

void MainWindow::on_weWyWejsciaTableWidget_itemChanged(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget() || item->column() != NameColumn)
        return;
    UserNames::storeInputsTableName(item->row(), item->text());
    refreshInputNames();
}

void MainWindow::refreshInputNames()
{
    const UserNames names = UserNames::fromSettings();
    for (int row = 0; row < int(form->liveNameLabels.size()); ++row)
        form->liveNameLabels[row]->setText(names.inputsTableName(row));
    showTrendNames();
}

void MainWindow::on_defNazwNazwyTelTableWidget_itemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != NameColumn)
        return;
    UserNames::storePhoneName(item->row(), item->text());
    refreshPhoneNames();
}

void MainWindow::refreshPhoneNames()
{
    const UserNames names = UserNames::fromSettings();
    for (int i = 0; i < PhoneCount; ++i) {
        const QString name = names.phones[i].isEmpty() ? QString() : QStringLiteral("(%1)").arg(names.phones[i]);
        form->powerFailPhoneBoxes[i]->setText(QStringLiteral("Telefon %1 %2").arg(i + 1).arg(name));
    }
}

void MainWindow::on_weWyWyjsciaTableWidget_itemChanged(QTableWidgetItem *item)
{
    if (!item)
        return;
    const int row = item->row();
    if (row >= 0 && row < int(form->manualNameLabels.size()))
        form->manualNameLabels[row]->setText(item->text());
    if (row >= 0 && row < int(form->startupNameLabels.size()))
        form->startupNameLabels[row]->setText(item->text());
}

void MainWindow::on_defNazwSmsListaTableWidget_itemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != StatusNameColumn)
        return;
    UserNames::storeStatusName(item->row(), item->text());
}

void MainWindow::on_defNazwSmsListaTableWidget_clicked(QModelIndex index)
{
    showSmsText(ui, index.data(SmsTextRole).toString());
}

// After the form is filled the editor must not keep a text of the previous
// record: typing would store it, with the new character, into this one.
void MainWindow::showSelectedSmsText()
{
    const QList<QTableWidgetItem *> selected = ui->defNazwSmsListaTableWidget->selectedItems();
    ui->defNazwSmsInfoLabel->clear();
    showSmsText(ui, selected.size() == 1 ? selected.constFirst()->data(SmsTextRole).toString()
                                         : QString());
}

void MainWindow::on_defNazwSmsTrescPlainTextEdit_textChanged()
{
    const QList<QTableWidgetItem *> selected = ui->defNazwSmsListaTableWidget->selectedItems();
    if (selected.size() != 1) {
        ui->defNazwSmsInfoLabel->setText(
            tr("<span style=\"color: red;\">Wybierz nazwę statusu.</span>"));
        return;
    }
    ui->defNazwSmsInfoLabel->clear();
    const QString text = ui->defNazwSmsTrescPlainTextEdit->toPlainText();
    selected.constFirst()->setData(SmsTextRole, text);
    // The module's field holds 140 bytes, so what remains is counted in bytes.
    ui->defNazwSmsPozostaloLabel->setText(remainingText(SmsWidth - int(fieldTextSize(text))));
}

void MainWindow::on_defNazwSmsUsunToolButton_clicked()
{
    const QList<QTableWidgetItem *> selected = ui->defNazwSmsListaTableWidget->selectedItems();
    if (selected.isEmpty())
        return;
    selected.constFirst()->setData(SmsTextRole, QString());
    ui->defNazwSmsListaTableWidget->clearSelection();
    ui->defNazwSmsTrescPlainTextEdit->clear();
    ui->defNazwSmsPozostaloLabel->setText(remainingText(SmsWidth));
    ui->defNazwSmsInfoLabel->clear();
}
