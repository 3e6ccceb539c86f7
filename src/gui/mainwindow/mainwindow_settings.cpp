#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/ustawieniadialog.h"

// The dialog writes the PIN and PUK straight into the module. Asked for while
// a poll still waits for its answer, it opens once that answer is in: opened
// at once, its command would meet a busy link.
void MainWindow::on_actionUstawienia_triggered()
{
    if (!ui->actionUstawienia->isEnabled()
        || moduleSession->deferWhileBusy(ui->actionUstawienia, [this] { on_actionUstawienia_triggered(); }))
        return;
    UstawieniaDialog dialog(0, configuration, module, this);
    if (dialog.exec() == QDialog::Accepted)
        fillPhoneNumbers();
    updateModifiedMarker();
}

// The "kliknij tutaj" link of the phone-names page opens the number list.
void MainWindow::on_label_6_linkActivated(QString)
{
    openNumberList();
}

void MainWindow::openNumberList()
{
    // Like "Ustawienia", which is disabled meanwhile: the dialog edits the
    // configuration and talks to the module, both busy during an exchange.
    if (moduleOperationRunning() || moduleSession->deferWhileBusy(ui->label_6, [this] { openNumberList(); }))
        return;
    UstawieniaDialog dialog(2, configuration, module, this);
    dialog.exec();
    fillPhoneNumbers();
    updateModifiedMarker();
}
