#ifndef FORMBINDER_H
#define FORMBINDER_H

#include "widgets/foldingnotes.h"
#include "widgets/shownfields.h"

#include <QCoreApplication>
#include <memory>

class Configuration;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QWidget;
struct FormWidgets;

// Moves values between the form's fields and the open configuration:
// fillForm shows the record, collectForm takes back only the fields changed
// since (a value a field cannot show as it is stays as the record holds it),
// and the fields with such values are marked, and listed in a bar above the
// tabs. The action tables and the SMS text editor are filled by their own
// classes. Touches: the bound fields below and in FormWidgets, the user's
// names in the settings store (read only), and the open configuration.
class FormBinder
{
    Q_DECLARE_TR_FUNCTIONS(FormBinder)

public:
    struct Widgets
    {
        QTableWidget *outputs;
        QTableWidget *inputs;
        QTableWidget *phones;
        QTableWidget *statuses;
        QLineEdit *hysteresis;
        QComboBox *chargeCurrent;
        QSpinBox *holdMinutes;
        QSpinBox *holdSeconds;
        QCheckBox *relaysOn;
        QCheckBox *activeInputs;
        QWidget *unshownValuesBar;
        QLabel *unshownValuesLabel;
    };

    FormBinder(const Widgets &widgets, const FormWidgets &form,
               const std::unique_ptr<Configuration> &configuration);

    void fillForm();
    void collectForm();
    void fillPhoneNumbers();
    void fillInputNames();
    // Marks the fields whose value the form cannot show as it is, and lists
    // them in the bar above the tabs.
    void markValuesTheFormCannotShow();

private:
    void rememberShownFields();

    Widgets ui;
    // Two values or more fold to one line ("Pokaż").
    FoldingNotes unshownValues;
    const FormWidgets &form;
    const std::unique_ptr<Configuration> &configuration;
    ShownFields shownFields;
};

#endif
