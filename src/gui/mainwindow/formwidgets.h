#ifndef FORMWIDGETS_H
#define FORMWIDGETS_H

#include "configuration/configuration.h"

#include <QList>
#include <array>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace Ui {
class MainWindowUi;
}

// The main window's widgets of each input, output and phone, in arrays
// taken from the form once, so that no code looks a widget up by a
// composed name or by its place in a layout.
struct FormWidgets
{
    explicit FormWidgets(const Ui::MainWindowUi *ui);

    // Per analogue input: the range, the filter, and the four signal types
    // in the order of their bits (0-10 V, 2-10 V, 0-20 mA, 4-20 mA).
    std::array<QLineEdit *, AnalogInputCount> analogRangeEdits;
    std::array<QLineEdit *, AnalogInputCount> analogFilterEdits;
    std::array<std::array<QRadioButton *, 4>, AnalogInputCount> signalTypeButtons;
    std::array<QLineEdit *, DigitalInputCount> digitalFilterEdits;
    std::array<QTableWidget *, AnalogInputCount> analogActionTables;
    std::array<QTableWidget *, DigitalInputCount> digitalActionTables;

    // Per digital output: its state after power-up, the time it keeps it,
    // and its switches on the "Online" tab.
    std::array<QRadioButton *, DigitalOutputCount> startupOnButtons;
    std::array<QRadioButton *, DigitalOutputCount> startupOffButtons;
    std::array<QSpinBox *, DigitalOutputCount> startupMinuteSpinBoxes;
    std::array<QSpinBox *, DigitalOutputCount> startupSecondSpinBoxes;
    std::array<QLabel *, DigitalOutputCount> startupNameLabels;
    std::array<QRadioButton *, DigitalOutputCount> manualOnButtons;
    std::array<QRadioButton *, DigitalOutputCount> manualOffButtons;

    // Per row of the outputs table (DO1 to DO6, then AO1 and AO2): the name
    // beside its manual setting.
    std::array<QLabel *, DigitalOutputCount + AnalogOutputCount> manualNameLabels;
    // Per row of the inputs table (DI1 to DI6, then AI1 and AI2): the name
    // beside its live value; each digital input's live indicator and each
    // analogue input's live value.
    std::array<QLabel *, DigitalInputCount + AnalogInputCount> liveNameLabels;
    std::array<QRadioButton *, DigitalInputCount> liveInputIndicators;
    std::array<QLineEdit *, AnalogInputCount> liveAnalogFields;

    // Per phone: whether it is told of a supply failure.
    std::array<QCheckBox *, PhoneCount> powerFailPhoneBoxes;

    QList<QLineEdit *> filterEdits() const;
};

#endif
