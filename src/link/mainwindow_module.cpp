// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::on_polaczZModememPushButton_clicked(bool) {}
void MainWindow::fillPortsComboBox() {}
void MainWindow::on_actionOdbierz_z_modemu_triggered() {}
void MainWindow::on_weWyManWyslijPushButton_clicked() {}
void MainWindow::on_actionZapisz_do_modu_u_triggered() {}
void MainWindow::updateOnlineAktualneWejscia() {}
