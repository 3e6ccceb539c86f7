#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

namespace {
// Far more steps back than a session of edits needs; each step holds two
// small records.
constexpr int HistorySteps = 1000;
}

// "Edycja → Cofnij" and "Ponów" step through the changes of the open
// configuration and of the user's names.
void MainWindow::prepareHistory()
{
    history.setUndoLimit(HistorySteps);
    ui->actionPonow->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Y),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    // A change that has not settled yet becomes its step first.
    const auto settled = [this](void (QUndoStack::*step)()) {
        return [this, step] {
            if (modifiedCheck.isActive())
                updateModifiedMarker();
            (history.*step)();
        };
    };
    connect(ui->actionCofnij, &QAction::triggered, this, settled(&QUndoStack::undo));
    connect(ui->actionPonow, &QAction::triggered, this, [this, redo = settled(&QUndoStack::redo)] {
        if (history.canRedo() || !revertedEdits)
            return redo();
        // After "Cofnij zmiany": its edits come back as a new step.
        const EditState edits = revertedEdits->second;
        *configuration = edits.configuration;
        edits.names.store();
        fillForm();
        updateModifiedMarker();
    });
    connect(&history, &QUndoStack::indexChanged, this, [this](int index) {
        if (revertedEdits && revertedEdits->first != index)
            revertedEdits.reset();
        updateWindowState();
    });
    connect(&history, &QUndoStack::canUndoChanged, this, &MainWindow::updateWindowState);
    connect(&history, &QUndoStack::canRedoChanged, this, &MainWindow::updateWindowState);
    // Keystrokes typed after the focus moved make a step of their own.
    connect(qApp, &QApplication::focusChanged, this, [this] { ++focusChanges; });

    // In a field of the form the keys step through the window's history too,
    // not through the field's own undo of typing, which knows nothing of
    // the other fields.
    for (QWidget *field : ui->tabWidget->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(field) || qobject_cast<QAbstractSpinBox *>(field)
            || qobject_cast<QPlainTextEdit *>(field))
            field->installEventFilter(this);
    }
}

bool MainWindow::leaveShortcutToHistory(QEvent *event)
{
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *action : { ui->actionCofnij, ui->actionPonow }) {
        if (action->shortcuts().contains(pressed)) {
            // Not taken by the field, so the window's shortcut runs.
            event->ignore();
            return true;
        }
    }
    return false;
}

void MainWindow::startNewHistory()
{
    history.clear();
    revertedEdits.reset();
    typing = {};
    recordedState = { *configuration, UserNames::fromSettings() };
}

void MainWindow::noteTyping(const QObject *field)
{
    if (!fillingForm && !restoringHistory)
        typing = typingKey(field);
}

EditCommand::TypingKey MainWindow::typingKey(const QObject *field) const
{
    return { field, focusChanges };
}

// Runs once a change has settled and the form has been collected.
void MainWindow::recordHistoryStep()
{
    const EditCommand::TypingKey typed = std::exchange(typing, EditCommand::TypingKey());
    if (!configuration || restoringHistory)
        return;
    EditState now{ *configuration, UserNames::fromSettings() };
    if (now == recordedState)
        return;
    history.push(new EditCommand(recordedState, now, typed,
                                 [this](const EditState &state) { restoreHistoryState(state); }));
    recordedState = std::move(now);
}

void MainWindow::restoreHistoryState(const EditState &state)
{
    const QScopedValueRollback<bool> restoring(restoringHistory, true);
    *configuration = state.configuration;
    state.names.store();
    recordedState = state;
    fillForm();
    updateModifiedMarker();
}
