#include "app/mainwindow.h"
#include "link/ustawieniadialog.h"

void MainWindow::on_actionUstawienia_triggered()
{
    UstawieniaDialog dialog(0, configuration, module, this);
    if (dialog.exec() == QDialog::Accepted)
        fillPhoneNumbers();
}

// The "kliknij tutaj" link of the phone-names page opens the number list.
void MainWindow::on_label_6_linkActivated(QString)
{
    // Like "Ustawienia", which is disabled meanwhile: the dialog edits the
    // configuration and talks to the module, both busy during an exchange.
    if (exchangeRunning)
        return;
    UstawieniaDialog dialog(2, configuration, module, this);
    dialog.exec();
    fillPhoneNumbers();
}
