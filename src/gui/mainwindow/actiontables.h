#ifndef ACTIONTABLES_H
#define ACTIONTABLES_H

#include "configuration/configuration.h"
#include "mainwindow/editcommand.h"

#include <QHash>
#include <QObject>
#include <array>
#include <memory>
#include <optional>

class ActionTableFit;
class EditHistory;
class InputAction;
class QLineEdit;
class QStatusBar;
class QTableWidget;
class QTableWidgetItem;
class QWidget;
struct FormWidgets;

// The eight tables of input actions and the two range fields whose edits
// change how their thresholds read. The tables show the open configuration's
// actions, and the new, edit and delete buttons change them in place.
// Touches: the action tables and range fields of FormWidgets, the status
// bar (a range that cannot be stored), the open configuration, and the edit
// history (a range and its thresholds make one step).
class ActionTables : public QObject
{
    Q_OBJECT

public:
    ActionTables(const FormWidgets &form, const std::unique_ptr<Configuration> &configuration,
                 EditHistory &history, QStatusBar *statusBar, QWidget *dialogParent);

    // inputKind is AnalogInput or DigitalInput.
    void fillActionTable(int inputKind, int input);
    void fillAll();
    void newAction(int inputKind, int input);
    void editAction(int inputKind, int input);
    void deleteAction(int inputKind, int input);
    void actionTableItemClicked(int inputKind, int input, QTableWidgetItem *item);

    void analogRangeEdited(int input, const QString &text);
    // Once a range edit is finished, asks what becomes of the input's
    // thresholds; finishRangeEdits() asks for an edit not finished yet.
    void analogRangeEditFinished(int input);
    void finishRangeEdits();
    // A configuration put into the form has no range edit under way.
    void forgetRangeEdits();

signals:
    // The thresholds followed a new range: a change that has settled.
    void thresholdsChanged();

private:
    QTableWidget *actionTable(int inputKind, int input) const;
    InputAction *actionSlotOfRow(int inputKind, int input, int row);
    void actionTableItemChanged(QTableWidgetItem *item);
    void actionTableItemDoubleClicked(QTableWidgetItem *item);
    // Which input's table this is; false for any other table.
    bool findActionTable(const QTableWidget *table, int *inputKind, int *input) const;

    const FormWidgets &form;
    const std::unique_ptr<Configuration> &configuration;
    EditHistory &history;
    QStatusBar *statusBar;
    QWidget *dialogParent;
    // Each table's fit to its place; the tables own them.
    QHash<const QTableWidget *, ActionTableFit *> fits;
    std::array<std::optional<AnalogRange>, AnalogInputCount> rangeBeforeEdit;
    std::array<EditCommand::TypingKey, AnalogInputCount> rangeEditTyping;
};

#endif
