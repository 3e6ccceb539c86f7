#include "mainwindow/formwidgets.h"
#include "ui_mainwindow.h"

FormWidgets::FormWidgets(const Ui::MainWindowUi *ui)
    : analogRangeEdits{ui->weWyWeAn1ZakresLineEdit, ui->weWyWeAn2ZakresLineEdit},
      analogFilterEdits{ui->weWyFiltrCyAnLineEdit, ui->weWyFiltrCyAnLineEdit_2},
      signalTypeButtons{{{ui->weWyWeAn1Set1RadioButton, ui->weWyWeAn1Set2RadioButton,
                          ui->weWyWeAn1Set3RadioButton, ui->weWyWeAn1Set4RadioButton},
                         {ui->weWyWeAn2Set1RadioButton, ui->weWyWeAn2Set2RadioButton,
                          ui->weWyWeAn2Set3RadioButton, ui->weWyWeAn2Set4RadioButton}}},
      digitalFilterEdits{ui->weWyFiltrCyDiLineEdit, ui->weWyFiltrCyDiLineEdit_2,
                         ui->weWyFiltrCyDiLineEdit_3, ui->weWyFiltrCyDiLineEdit_4,
                         ui->weWyFiltrCyDiLineEdit_5, ui->weWyFiltrCyDiLineEdit_6},
      analogActionTables{ui->weAn1TableWidget, ui->weAn2TableWidget},
      digitalActionTables{ui->weCy1TableWidget, ui->weCy2TableWidget, ui->weCy3TableWidget,
                          ui->weCy4TableWidget, ui->weCy5TableWidget, ui->weCy6TableWidget},
      startupOnButtons{ui->weWyPoUrDO1ZalRadioButton, ui->weWyPoUrDO2ZalRadioButton,
                       ui->weWyPoUrDO3ZalRadioButton, ui->weWyPoUrDO4ZalRadioButton,
                       ui->weWyPoUrDO5ZalRadioButton, ui->weWyPoUrDO6ZalRadioButton},
      startupOffButtons{ui->weWyPoUrDO1WylRadioButton, ui->weWyPoUrDO2WylRadioButton,
                        ui->weWyPoUrDO3WylRadioButton, ui->weWyPoUrDO4WylRadioButton,
                        ui->weWyPoUrDO5WylRadioButton, ui->weWyPoUrDO6WylRadioButton},
      startupMinuteSpinBoxes{ui->weWyPoUrCzMinSpinBox, ui->weWyPoUrCzMinSpinBox_2,
                             ui->weWyPoUrCzMinSpinBox_3, ui->weWyPoUrCzMinSpinBox_4,
                             ui->weWyPoUrCzMinSpinBox_5, ui->weWyPoUrCzMinSpinBox_6},
      startupSecondSpinBoxes{ui->weWyPoUrCzSekSpinBox, ui->weWyPoUrCzSekSpinBox_2,
                             ui->weWyPoUrCzSekSpinBox_3, ui->weWyPoUrCzSekSpinBox_4,
                             ui->weWyPoUrCzSekSpinBox_5, ui->weWyPoUrCzSekSpinBox_6},
      startupNameLabels{ui->weWyPoUruchomNazwaLabel_1, ui->weWyPoUruchomNazwaLabel_2,
                        ui->weWyPoUruchomNazwaLabel_3, ui->weWyPoUruchomNazwaLabel_4,
                        ui->weWyPoUruchomNazwaLabel_5, ui->weWyPoUruchomNazwaLabel_6},
      manualOnButtons{ui->weWyManDO1ZalRadioButton, ui->weWyManDO2ZalRadioButton,
                      ui->weWyManDO3ZalRadioButton, ui->weWyManDO4ZalRadioButton,
                      ui->weWyManDO5ZalRadioButton, ui->weWyManDO6ZalRadioButton},
      manualOffButtons{ui->weWyManDO1WylRadioButton, ui->weWyManDO2WylRadioButton,
                       ui->weWyManDO3WylRadioButton, ui->weWyManDO4WylRadioButton,
                       ui->weWyManDO5WylRadioButton, ui->weWyManDO6WylRadioButton},
      manualNameLabels{ui->onlineManualneNazwaLabel_1, ui->onlineManualneNazwaLabel_2,
                       ui->onlineManualneNazwaLabel_3, ui->onlineManualneNazwaLabel_4,
                       ui->onlineManualneNazwaLabel_5, ui->onlineManualneNazwaLabel_6,
                       ui->onlineManualneNazwaLabel_7, ui->onlineManualneNazwaLabel_8},
      liveNameLabels{ui->onlineAktualneNazwaLabel_1, ui->onlineAktualneNazwaLabel_2,
                     ui->onlineAktualneNazwaLabel_3, ui->onlineAktualneNazwaLabel_4,
                     ui->onlineAktualneNazwaLabel_5, ui->onlineAktualneNazwaLabel_6,
                     ui->onlineAktualneNazwaLabel_7, ui->onlineAktualneNazwaLabel_8},
      liveInputIndicators{ui->onlineAktualneZalRadioButton, ui->onlineAktualneZalRadioButton_2,
                          ui->onlineAktualneZalRadioButton_3, ui->onlineAktualneZalRadioButton_4,
                          ui->onlineAktualneZalRadioButton_5, ui->onlineAktualneZalRadioButton_6},
      liveAnalogFields{ui->onlineAktualneAn1LineEdit, ui->onlineAktualneAn2LineEdit},
      powerFailPhoneBoxes{ui->akuTelCheckBox_1, ui->akuTelCheckBox_2, ui->akuTelCheckBox_3,
                          ui->akuTelCheckBox_4, ui->akuTelCheckBox_5, ui->akuTelCheckBox_6,
                          ui->akuTelCheckBox_7, ui->akuTelCheckBox_8}
{
}

QList<QLineEdit *> FormWidgets::filterEdits() const
{
    QList<QLineEdit *> edits(analogFilterEdits.cbegin(), analogFilterEdits.cend());
    edits.append(QList<QLineEdit *>(digitalFilterEdits.cbegin(), digitalFilterEdits.cend()));
    return edits;
}
