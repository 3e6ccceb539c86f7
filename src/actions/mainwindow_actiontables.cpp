// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::on_noweWeAn1ToolButton_clicked() {}
void MainWindow::on_noweWeAn2ToolButton_clicked() {}
void MainWindow::on_noweWeCy1ToolButton_clicked() {}
void MainWindow::on_noweWeCy2ToolButton_clicked() {}
void MainWindow::on_noweWeCy3ToolButton_clicked() {}
void MainWindow::on_noweWeCy4ToolButton_clicked() {}
void MainWindow::on_noweWeCy5ToolButton_clicked() {}
void MainWindow::on_noweWeCy6ToolButton_clicked() {}
void MainWindow::on_usunWeAn1ToolButton_clicked() {}
void MainWindow::on_edytujWeAn1ToolButton_clicked() {}
void MainWindow::on_usunWeAn2ToolButton_clicked() {}
void MainWindow::on_edytujWeAn2ToolButton_clicked() {}
void MainWindow::on_usunWeCy1ToolButton_clicked() {}
void MainWindow::on_edytujWeCy1ToolButton_clicked() {}
void MainWindow::on_usunWeCy2ToolButton_clicked() {}
void MainWindow::on_edytujWeCy2ToolButton_clicked() {}
void MainWindow::on_usunWeCy3ToolButton_clicked() {}
void MainWindow::on_edytujWeCy3ToolButton_clicked() {}
void MainWindow::on_usunWeCy4ToolButton_clicked() {}
void MainWindow::on_edytujWeCy4ToolButton_clicked() {}
void MainWindow::on_usunWeCy5ToolButton_clicked() {}
void MainWindow::on_edytujWeCy5ToolButton_clicked() {}
void MainWindow::on_usunWeCy6ToolButton_clicked() {}
void MainWindow::on_edytujWeCy6ToolButton_clicked() {}
void MainWindow::on_weAn1TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weAn2TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy1TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy2TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy3TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy4TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy5TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weCy6TableWidget_itemClicked(QTableWidgetItem *) {}
void MainWindow::on_weWyWeAn1ZakresLineEdit_textEdited(QString) {}
void MainWindow::on_weWyWeAn2ZakresLineEdit_textEdited(QString) {}
void MainWindow::fillAnalogActionTable(int) {}
void MainWindow::fillDigitalActionTable(int) {}
