#include "mainwindow/edithistory.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTableWidget>

namespace {
// Far more steps back than a session of edits needs; each step holds two
// small records.
constexpr int HistorySteps = 1000;
}

EditHistory::EditHistory(QWidget *form, QAction *undo, QAction *redo)
    : undoAction(undo),
      redoAction(redo)
{
    history.setUndoLimit(HistorySteps);
    redoAction->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    // A change that has not settled yet becomes its step first.
    const auto settled = [this](void (QUndoStack::*step)()) {
        return [this, step] {
            if (modifiedCheck.isActive())
                emit changeSettled();
            (history.*step)();
        };
    };
    connect(undoAction, &QAction::triggered, this, settled(&QUndoStack::undo));
    connect(redoAction, &QAction::triggered, this, [this, redo = settled(&QUndoStack::redo)] {
        redo();
        if (!revertedEdits)
            return;
        // After "Cofnij zmiany": its edits come back as a new step, which
        // the window records as it puts them in place.
        const EditState edits = revertedEdits->second;
        revertedEdits.reset();
        edits.names.store();
        emit stateRestored(edits);
        emit availabilityChanged();
    });
    // A step taken, or a step back or forth, leaves "Cofnij zmiany" behind.
    connect(&history, &QUndoStack::indexChanged, this, [this](int index) {
        if (revertedEdits && revertedEdits->first != index) {
            revertedEdits.reset();
            emit availabilityChanged();
        }
    });
    connect(&history, &QUndoStack::canUndoChanged, this, &EditHistory::availabilityChanged);
    connect(&history, &QUndoStack::canRedoChanged, this, &EditHistory::availabilityChanged);
    // Keystrokes typed after the focus moved make a step of their own.
    connect(qApp, &QApplication::focusChanged, this, [this] { ++focusChanges; });

    // In a field of the form the keys step through the window's history too,
    // not through the field's own undo of typing, which knows nothing of
    // the other fields.
    for (QWidget *field : form->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(field) || qobject_cast<QAbstractSpinBox *>(field)
            || qobject_cast<QPlainTextEdit *>(field))
            field->installEventFilter(this);
    }
    watchFormForChanges(form);
}

// Any edit in the tabs may change the configuration.
void EditHistory::watchFormForChanges(QWidget *form)
{
    modifiedCheck.setSingleShot(true);
    modifiedCheck.setInterval(0);
    connect(&modifiedCheck, &QTimer::timeout, this, &EditHistory::changeSettled);
    // Connected to the timer, which goes before the widgets when the window
    // is destroyed: the widgets' last signals then start nothing.
    QTimer *timer = &modifiedCheck;
    const auto check = qOverload<>(&QTimer::start);
    // Typing into a text field is also noted, so that the keystrokes of one
    // field make one step of the edit history.
    const auto typed = [this](QWidget *field) {
        return [this, field] {
            noteTyping(field);
            modifiedCheck.start();
        };
    };
    for (QLineEdit *edit : form->findChildren<QLineEdit *>()) {
        // The live values of the "Online" tab change without typing.
        if (edit->isReadOnly())
            connect(edit, &QLineEdit::textChanged, timer, check);
        else
            connect(edit, &QLineEdit::textChanged, timer, typed(edit));
    }
    for (QPlainTextEdit *edit : form->findChildren<QPlainTextEdit *>())
        connect(edit, &QPlainTextEdit::textChanged, timer, typed(edit));
    for (QAbstractButton *button : form->findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::toggled, timer, check);
    for (QSpinBox *spinBox : form->findChildren<QSpinBox *>())
        connect(spinBox, &QSpinBox::valueChanged, timer, typed(spinBox));
    for (QComboBox *combo : form->findChildren<QComboBox *>())
        connect(combo, &QComboBox::currentIndexChanged, timer, check);
    // The tables change also when an action, the SMS texts or the phone
    // numbers change behind them.
    for (QTableWidget *table : form->findChildren<QTableWidget *>()) {
        const QAbstractItemModel *model = table->model();
        connect(model, &QAbstractItemModel::dataChanged, timer, check);
        connect(model, &QAbstractItemModel::rowsInserted, timer, check);
        connect(model, &QAbstractItemModel::rowsRemoved, timer, check);
        connect(model, &QAbstractItemModel::modelReset, timer, check);
    }
}

bool EditHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *action : { undoAction, redoAction }) {
            if (action->shortcuts().contains(pressed)) {
                // Not taken by the field, so the window's shortcut runs.
                event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void EditHistory::start(const Configuration &configuration)
{
    clear();
    typing = {};
    recordedState = { configuration, UserNames::fromSettings() };
}

void EditHistory::clear()
{
    history.clear();
    revertedEdits.reset();
}

bool EditHistory::canUndo() const
{
    return history.canUndo();
}

bool EditHistory::canRedo() const
{
    return history.canRedo() || revertedEdits;
}

const EditState &EditHistory::recorded() const
{
    return recordedState;
}

void EditHistory::offerRevertedEdits(const EditState &edits)
{
    if (edits == recordedState)
        return;
    revertedEdits.emplace(history.index(), edits);
    emit availabilityChanged();
}

void EditHistory::noteTyping(const QObject *field)
{
    if (!fillingForm && !restoringHistory)
        typing = typingKey(field);
}

EditCommand::TypingKey EditHistory::typingKey(const QObject *field) const
{
    return { field, focusChanges };
}

void EditHistory::continueTyping(EditCommand::TypingKey key)
{
    typing = key;
}

void EditHistory::setFillingForm(bool filling)
{
    fillingForm = filling;
}

void EditHistory::cancelPendingCheck()
{
    modifiedCheck.stop();
}

// Runs once a change has settled and the form has been collected.
void EditHistory::record(const Configuration &configuration)
{
    const EditCommand::TypingKey typed = std::exchange(typing, EditCommand::TypingKey());
    if (restoringHistory)
        return;
    EditState now{ configuration, UserNames::fromSettings() };
    if (now == recordedState)
        return;
    history.push(new EditCommand(recordedState, now, typed, [this](const EditState &state) { restore(state); }));
    recordedState = std::move(now);
}

void EditHistory::restore(const EditState &state)
{
    const QScopedValueRollback<bool> restoring(restoringHistory, true);
    state.names.store();
    recordedState = state;
    emit stateRestored(state);
}
