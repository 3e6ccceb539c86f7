#include "mainwindow/mainwindow.h"

#include "dialogs/linklogdialog.h"
#include "link/module.h"

void MainWindow::on_actionDziennik_komunikacji_triggered()
{
    if (!linkLogDialog)
        linkLogDialog = new LinkLogDialog(module->log(), this);
    linkLogDialog->show();
    linkLogDialog->raise();
    linkLogDialog->activateWindow();
}
