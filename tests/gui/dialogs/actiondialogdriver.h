#ifndef ACTIONDIALOGDRIVER_H
#define ACTIONDIALOGDRIVER_H

#include <QString>

class QListWidget;
class QWidget;

// What a user does in the action editor, by the widgets' object names.
namespace ActionDialogDriver {
// The three lists from left to right: column 0, 1 or 2.
QListWidget *list(QWidget *dialog, int column);
void clickRow(QWidget *dialog, int column, int row);
// Group, then operation or phone, then target or status.
void choose(QWidget *dialog, int group, int second, int third);
// Clicks a button near its left edge, where a radio button's indicator is.
void click(QWidget *dialog, const char *buttonName);
void typeValue(QWidget *dialog, const QString &text);
// Checks the execution time group and types the time into its spin boxes.
void setTime(QWidget *dialog, int hours, int minutes, int seconds);
}

#endif
