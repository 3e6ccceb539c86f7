// The slots the form connects by name, handing the work to the classes of
// each concern.
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/linklogdialog.h"
#include "dialogs/seriesdialog.h"
#include "link/modulesession.h"
#include "mainwindow/actiontables.h"
#include "mainwindow/moduleoperations.h"
#include "mainwindow/namespage.h"
#include "mainwindow/onlinepage.h"

void MainWindow::on_polaczZModememPushButton_clicked(bool)
{
    moduleOperations->toggleConnection();
    updateWindowState();
}

void MainWindow::fillPortsComboBox()
{
    moduleOperations->fillPortsComboBox();
}

// The question about unsaved changes comes first, but the open configuration,
// edits included, gives way only to a read that succeeded.
void MainWindow::on_actionOdbierz_z_modemu_triggered()
{
    moduleOperations->readModule();
}

void MainWindow::on_actionZapisz_do_modu_u_triggered()
{
    if (!configuration) {
        statusBar()->showMessage(tr("Nie ma otwartej konfiguracji do zapisania w modemie. Utwórz nową, otwórz "
                                    "plik albo odczytaj modem."));
        return;
    }
    if (!configuration || !moduleSession->isConnected()
        || moduleSession->deferWhileBusy(ui->actionZapisz_do_modu_u,
                                         [this] { on_actionZapisz_do_modu_u_triggered(); }))
        return;
    actionTables->finishRangeEdits();
    collectForm();
    // This copy is what goes to the module: edits made while it is written
    // stay edits, and go with the next write.
    moduleOperations->writeEdited(Configuration(*configuration));
}

// Made when first asked for and kept, with its filter, for the program's run.
void MainWindow::on_actionDziennik_komunikacji_triggered()
{
    if (!linkLogDialog)
        linkLogDialog = new LinkLogDialog(moduleSession->log(), this);
    linkLogDialog->show();
    linkLogDialog->raise();
    linkLogDialog->activateWindow();
}

void MainWindow::on_actionSeria_modemow_triggered()
{
    if (configuration) {
        actionTables->finishRangeEdits();
        collectForm();
    }
    SeriesDialog dialog(*moduleSession, configuration ? std::optional(*configuration) : std::nullopt,
                        ModuleOperations::verifiesWrites(), this);
    dialog.exec();
}

void MainWindow::updateOnlineAktualneWejscia()
{
    onlinePage->poll();
}

void MainWindow::on_weWyManWyslijPushButton_clicked()
{
    onlinePage->sendManualOutputs();
}

void MainWindow::on_weWyWejsciaTableWidget_itemChanged(QTableWidgetItem *item)
{
    namesPage->inputNameChanged(item);
}

void MainWindow::on_defNazwNazwyTelTableWidget_itemChanged(QTableWidgetItem *item)
{
    namesPage->phoneNameChanged(item);
}

void MainWindow::on_weWyWyjsciaTableWidget_itemChanged(QTableWidgetItem *item)
{
    namesPage->outputNameChanged(item);
}

void MainWindow::on_defNazwSmsListaTableWidget_itemChanged(QTableWidgetItem *item)
{
    namesPage->statusNameChanged(item);
}

void MainWindow::on_defNazwSmsListaTableWidget_clicked(QModelIndex index)
{
    namesPage->statusClicked(index);
}

void MainWindow::on_defNazwSmsTrescPlainTextEdit_textChanged()
{
    namesPage->smsTextEdited();
}

void MainWindow::on_defNazwSmsUsunToolButton_clicked()
{
    namesPage->deleteSmsText();
}

void MainWindow::on_noweWeAn1ToolButton_clicked() { actionTables->newAction(AnalogInput, 0); }
void MainWindow::on_noweWeAn2ToolButton_clicked() { actionTables->newAction(AnalogInput, 1); }
void MainWindow::on_noweWeCy1ToolButton_clicked() { actionTables->newAction(DigitalInput, 0); }
void MainWindow::on_noweWeCy2ToolButton_clicked() { actionTables->newAction(DigitalInput, 1); }
void MainWindow::on_noweWeCy3ToolButton_clicked() { actionTables->newAction(DigitalInput, 2); }
void MainWindow::on_noweWeCy4ToolButton_clicked() { actionTables->newAction(DigitalInput, 3); }
void MainWindow::on_noweWeCy5ToolButton_clicked() { actionTables->newAction(DigitalInput, 4); }
void MainWindow::on_noweWeCy6ToolButton_clicked() { actionTables->newAction(DigitalInput, 5); }

void MainWindow::on_edytujWeAn1ToolButton_clicked() { actionTables->editAction(AnalogInput, 0); }
void MainWindow::on_edytujWeAn2ToolButton_clicked() { actionTables->editAction(AnalogInput, 1); }
void MainWindow::on_edytujWeCy1ToolButton_clicked() { actionTables->editAction(DigitalInput, 0); }
void MainWindow::on_edytujWeCy2ToolButton_clicked() { actionTables->editAction(DigitalInput, 1); }
void MainWindow::on_edytujWeCy3ToolButton_clicked() { actionTables->editAction(DigitalInput, 2); }
void MainWindow::on_edytujWeCy4ToolButton_clicked() { actionTables->editAction(DigitalInput, 3); }
void MainWindow::on_edytujWeCy5ToolButton_clicked() { actionTables->editAction(DigitalInput, 4); }
void MainWindow::on_edytujWeCy6ToolButton_clicked() { actionTables->editAction(DigitalInput, 5); }

void MainWindow::on_usunWeAn1ToolButton_clicked() { actionTables->deleteAction(AnalogInput, 0); }
void MainWindow::on_usunWeAn2ToolButton_clicked() { actionTables->deleteAction(AnalogInput, 1); }
void MainWindow::on_usunWeCy1ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 0); }
void MainWindow::on_usunWeCy2ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 1); }
void MainWindow::on_usunWeCy3ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 2); }
void MainWindow::on_usunWeCy4ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 3); }
void MainWindow::on_usunWeCy5ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 4); }
void MainWindow::on_usunWeCy6ToolButton_clicked() { actionTables->deleteAction(DigitalInput, 5); }

void MainWindow::on_weAn1TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(AnalogInput, 0, item);
}

void MainWindow::on_weAn2TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(AnalogInput, 1, item);
}

void MainWindow::on_weCy1TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 0, item);
}

void MainWindow::on_weCy2TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 1, item);
}

void MainWindow::on_weCy3TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 2, item);
}

void MainWindow::on_weCy4TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 3, item);
}

void MainWindow::on_weCy5TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 4, item);
}

void MainWindow::on_weCy6TableWidget_itemClicked(QTableWidgetItem *item)
{
    actionTables->actionTableItemClicked(DigitalInput, 5, item);
}

void MainWindow::on_weWyWeAn1ZakresLineEdit_textEdited(QString text)
{
    actionTables->analogRangeEdited(0, text);
}

void MainWindow::on_weWyWeAn2ZakresLineEdit_textEdited(QString text)
{
    actionTables->analogRangeEdited(1, text);
}
