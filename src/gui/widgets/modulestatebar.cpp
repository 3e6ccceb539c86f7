#include "widgets/modulestatebar.h"

#include "ui_modulestatebar.h"

ModuleStateBar::ModuleStateBar(QWidget *parent) : QFrame(parent), ui(new Ui::ModuleStateBarUi)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("ModuleStateBar"));
    connect(ui->restoreBackupButton, &QPushButton::clicked, this, &ModuleStateBar::restoreRequested);
    connect(ui->writeAgainButton, &QPushButton::clicked, this, &ModuleStateBar::writeAgainRequested);
    hide();
}

ModuleStateBar::~ModuleStateBar() = default;

void ModuleStateBar::showState(const QString &text, bool canRestore, bool canWriteAgain)
{
    ui->moduleStateLabel->setText(text);
    ui->restoreBackupButton->setVisible(canRestore);
    ui->writeAgainButton->setVisible(canWriteAgain);
    show();
}
