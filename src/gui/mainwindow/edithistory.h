#ifndef EDITHISTORY_H
#define EDITHISTORY_H

#include "mainwindow/editcommand.h"

#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <optional>
#include <utility>

class QAction;
class QWidget;

// "Edycja → Cofnij" and "Ponów": the steps of the open configuration and of
// the user's names. It watches the form's fields, and says when a change has
// settled (changeSettled), so the window compares and records it once;
// keystrokes typed into one field while it keeps the focus make one step.
// Touches: the fields under the form widget, the two actions and their
// shortcuts, and the user's names in the settings store (a step brings them
// back).
class EditHistory : public QObject
{
    Q_OBJECT

public:
    EditHistory(QWidget *form, QAction *undo, QAction *redo);

    // Starts an empty history for the configuration just put into the form.
    void start(const Configuration &configuration);
    void clear();
    // Records a step when the configuration or the names differ from the
    // last step's.
    void record(const Configuration &configuration);
    bool canUndo() const;
    // A step forth, or the edits "Cofnij zmiany" took back.
    bool canRedo() const;
    // The state of the last step.
    const EditState &recorded() const;
    // "Cofnij zmiany" took back `edits` and was recorded as a step: while
    // the history stays there, "Ponów" brings them back as a step of its own.
    void offerRevertedEdits(const EditState &edits);

    EditCommand::TypingKey typingKey(const QObject *field) const;
    // The next step merges with the typing named.
    void continueTyping(EditCommand::TypingKey key);
    // While the form is filled its fields change without typing.
    void setFillingForm(bool filling);
    // A change waits until the event loop is back, so that a form being
    // filled is never collected half-way, and many edits at once are
    // compared once.
    void cancelPendingCheck();

signals:
    void changeSettled();
    // A step back or forth, or the edits "Cofnij zmiany" took back: the
    // window puts this configuration in place.
    void stateRestored(const EditState &state);
    void availabilityChanged();

protected:
    // A field does not take the window's undo and redo keys.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchFormForChanges(QWidget *form);
    void noteTyping(const QObject *field);
    void restore(const EditState &state);

    QAction *undoAction;
    QAction *redoAction;
    QTimer modifiedCheck;
    QUndoStack history;
    EditState recordedState;
    // The edits "Cofnij zmiany" took back, and the history's index it left.
    std::optional<std::pair<int, EditState>> revertedEdits;
    EditCommand::TypingKey typing;
    int focusChanges = 0;
    bool fillingForm = false;
    bool restoringHistory = false;
};

#endif
