#ifndef TESTWIDGETS_H
#define TESTWIDGETS_H

#include <QObject>
#include <QString>

class QWidget;

// What a test does to the widgets of a window or dialog, found by object name.
namespace TestWidgets {
// The widget a test drives by its object name. A missing one ends the run at
// once with its name: every later step would only fail less clearly.
template<typename T>
T *child(const QObject *parent, const char *name)
{
    T *widget = parent->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// Replaces the text of a line edit or spin box by typing.
void typeInto(QWidget *parent, const char *name, const QString &text);
// Moves through a combo box with the arrow keys until the item shows.
void chooseItem(QWidget *parent, const char *name, const QString &text);
}

#endif
