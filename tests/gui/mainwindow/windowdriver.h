#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include <QString>

class DialogAnswerer;
class MainWindow;
class QAction;
class QTableWidget;
class QWidget;

// What a user does to the main window, step by step.
namespace WindowDriver {
// Brings the tab and page that hold the widget to the front.
void reveal(QWidget *widget);
// Double-clicks into a cell, types the text and confirms it with Enter.
void editCell(QTableWidget *table, int row, int column, const QString &text);
// Replaces a line edit's text by typing.
void retype(QWidget *lineEdit, const QString &text);
// Changes a bound widget the way a user would: types into a line edit,
// clicks a check or radio box, steps a spin box, picks another combo item,
// or types into a table cell.
void change(MainWindow &window, const QString &objectName);
// Triggers "Zapisz do pliku" and cancels the file dialog: the form is
// collected into the configuration and nothing else happens.
void collect(MainWindow &window, DialogAnswerer &answerer);
// Creates a new configuration through the menu.
void newConfiguration(MainWindow &window);
// Shows the window, creates a new configuration and changes one bound widget,
// so that closing the configuration asks about the change.
void newChangedConfiguration(MainWindow &window, const QString &objectName);
QAction *action(MainWindow &window, const char *objectName);
}

#endif
