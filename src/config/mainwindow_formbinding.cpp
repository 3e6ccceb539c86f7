// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::fillForm() {}
void MainWindow::collectForm() {}
void MainWindow::fillPhoneNumbers() {}
void MainWindow::fillInputNames() {}
void MainWindow::on_actionCofnij_zmiany_triggered() {}
