#ifndef OPROGRAMIEDIALOG_H
#define OPROGRAMIEDIALOG_H

#include <QDialog>

namespace Ui {
class OProgramieDialogUi;
}

// The About box: the program's name, version and build.
class OProgramieDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OProgramieDialog(QWidget *parent = nullptr);
    ~OProgramieDialog() override;

private:
    Ui::OProgramieDialogUi *ui;
};

#endif
