#include "oprogramiedialog.h"

#include "ui_oprogramiedialog.h"

OProgramieDialog::OProgramieDialog(QWidget *parent)
    : QDialog(parent),
      ui(new Ui::OProgramieDialogUi)
{
    ui->setupUi(this);
}

OProgramieDialog::~OProgramieDialog()
{
    delete ui;
}
