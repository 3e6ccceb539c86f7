// Placeholder bodies until this area is built; replaced by its owner.
#include "app/mainwindow.h"

void MainWindow::on_actionUstawienia_triggered() {}
void MainWindow::on_label_6_linkActivated(QString) {}
