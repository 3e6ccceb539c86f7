// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::on_defNazwSmsUsunToolButton_clicked() {}
void MainWindow::on_defNazwSmsListaTableWidget_clicked(QModelIndex) {}
void MainWindow::on_defNazwSmsTrescPlainTextEdit_textChanged() {}
void MainWindow::on_defNazwNazwyTelTableWidget_itemChanged(QTableWidgetItem *) {}
void MainWindow::on_weWyWejsciaTableWidget_itemChanged(QTableWidgetItem *) {}
void MainWindow::on_weWyWyjsciaTableWidget_itemChanged(QTableWidgetItem *) {}
void MainWindow::on_defNazwSmsListaTableWidget_itemChanged(QTableWidgetItem *) {}
void MainWindow::refreshInputNames() {}
void MainWindow::refreshPhoneNames() {}
