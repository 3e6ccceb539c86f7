// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::on_actionNowy_triggered() {}
void MainWindow::on_actionOdczyt_z_pliku_triggered() {}
void MainWindow::on_actionZapis_do_pliku_triggered() {}
void MainWindow::on_actionZamknij_konfiguracj_triggered() {}
bool MainWindow::closeConfiguration() { return true; }
bool MainWindow::saveConfigurationToFile() { return true; }
