#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>

// "Telvoro" or "Telvoro (path)" as the title has always read, with the
// placeholder that the platform shows as its mark of unsaved changes. The
// path is kept as the window's file too, for the printed report.
void MainWindow::showConfigurationTitle(const QString &path)
{
    const QString title =
        path.isEmpty() ? applicationTitle : QStringLiteral("%1 (%2)").arg(applicationTitle, path);
    setWindowFilePath(path);
    setWindowTitle(title + QStringLiteral("[*]"));
    updateModifiedMarker();
}

// Any edit in the tabs may change the configuration. The comparison waits
// until the event loop is back, so that a form being filled is never
// collected half-way, and many edits at once are compared once.
void MainWindow::watchFormForChanges()
{
    modifiedCheck.setSingleShot(true);
    modifiedCheck.setInterval(0);
    connect(&modifiedCheck, &QTimer::timeout, this, &MainWindow::updateModifiedMarker);
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
    QWidget *form = ui->tabWidget;
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

// The same comparison as the question about unsaved changes. A change that
// has settled here also becomes a step of the edit history, and the marks of
// values the form cannot show follow what the fields now hold.
void MainWindow::updateModifiedMarker()
{
    modifiedCheck.stop();
    bool modified = false;
    if (configuration && referenceConfiguration) {
        collectForm();
        recordHistoryStep();
        modified = *configuration != *referenceConfiguration;
    }
    markValuesTheFormCannotShow();
    setWindowModified(modified);
}
