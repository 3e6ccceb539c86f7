#ifndef STEROWANIENOWYDIALOG_H
#define STEROWANIENOWYDIALOG_H

#include "widgets/decimalvalidator.h"

#include <QDialog>
#include <QModelIndex>

class Configuration;
class InputAction;

namespace Ui {
class SterowanieNowyDialogUi;
}

// Composes a new action for one input, or edits an existing one: what the
// action does is chosen in three lists from left to right, then the
// condition, the value (analogue inputs) and an optional execution time.
//
// The edited action is named by its slot index rather than held by pointer,
// and it is read and written through the configuration, which never hands
// out its storage while the dialog runs.
class SterowanieNowyDialog : public QDialog
{
    Q_OBJECT

public:
    SterowanieNowyDialog(int editMode, int inputKind, Configuration *configuration,
                         QWidget *parent);
    ~SterowanieNowyDialog() override;

    // Fills the form from the slot editedSlot of the dialog's input.
    void loadAction();
    // Shows which input is edited and how many slots it has left, and finds
    // the slot a new action goes to.
    void updateInputInfo();

    // Set by the caller after construction.
    int editedSlot = -1;
    int analogInput = 0;
    int digitalInput = 0;

private slots:
    void on_listWidget_activated(QModelIndex index);
    void on_listWidget_2_activated(QModelIndex index);
    void on_listWidget_3_clicked(QModelIndex index);
    void on_listWidget_3_doubleClicked(QModelIndex index);
    void on_listWidget_clicked(QModelIndex index);
    void on_listWidget_2_clicked(QModelIndex index);
    void on_okPushButton_clicked();

private:
    void chooseGroup(int row);
    void chooseSecond(int row);
    void chooseThird(int row);
    InputAction editedAction() const;
    void storeAction(int slot, const InputAction &action);
    int checkedCondition() const;
    // The value field converted for storing; shows a warning and returns
    // false when the value cannot be stored.
    bool storedValue(quint16 *value);
    // The execution time in seconds; shows a warning and returns false when
    // it does not fit.
    bool storedTime(quint16 *time);
    void warn(const QString &message);

    Ui::SterowanieNowyDialogUi *ui;
    Configuration *configuration;
    int inputKind;
    int editMode;
    DecimalValidator valueValidator;
    int firstFreeSlot = -1;
    // The value text as loadAction() showed it: an unchanged field keeps the
    // stored value exactly instead of its rounded display.
    QString loadedValueText;
};

#endif
