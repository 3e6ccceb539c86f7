#ifndef USTAWIENIADIALOG_H
#define USTAWIENIADIALOG_H

#include "configuration/configuration.h"
#include "widgets/shownfields.h"

#include <QDialog>
#include <array>
#include <QIntValidator>
#include <QRegularExpressionValidator>

class Configuration;
class Module;
class QCheckBox;

namespace Ui {
class UstawieniaDialogUi;
}

// Edits the settings of the open configuration that have no place on the
// main window's tabs, and writes the SIM PIN and PUK straight into the module,
// through the session that drives it (ModuleSession::of()).
// The configuration changes only when the user confirms with "OK", and then
// only in the fields the user changed: a value a field cannot show (a port
// that is no number, a number of another length) stays as it was.
class UstawieniaDialog : public QDialog
{
    Q_OBJECT

public:
    UstawieniaDialog(int tabIndex, Configuration *configuration, Module *module,
                     QWidget *parent = nullptr);
    ~UstawieniaDialog() override;

private slots:
    void on_zapiszPushButton_clicked();
    void on_dodajNumerPushButton_clicked();
    void on_usunNumerPushButton_clicked();
    void on_zapiszPinPukPushButton_clicked();
    void on_zadaniePinWlRadioButton_clicked();
    void on_zadaniePinWyRadioButton_clicked();
    void on_pokazCheckBox_clicked();

private:
    void fillRingTaskItems();
    void fillFromConfiguration();
    void prepareNumberList();
    void showWrongNumbers();
    void showNumberHint(bool acceptable);
    QList<QWidget *> configurationFields() const;
    void disableConfigurationFields();
    bool validate();
    void storeIntoConfiguration();
    void showInvalid(const QString &text, int tabIndex);

    Ui::UstawieniaDialogUi *ui;
    // "komBladTelCheckBox_1" .. "_8": which phones hear of an error.
    std::array<QCheckBox *, PhoneCount> errorPhoneBoxes{};
    Module *module;
    Configuration *configuration;
    QIntValidator phoneValidator;
    QRegularExpressionValidator pukValidator;
    ShownFields shownFields;
    // Whether the user picked an item in the ring task combo boxes: a stored
    // task that no item names shows as "Wyłączone" and must survive "OK"
    // unless the user chose "Wyłączone" himself.
    bool ringTask1Chosen = false;
    bool ringTask3Chosen = false;
};

#endif
