#ifndef CHILDWIDGET_H
#define CHILDWIDGET_H

#include <QObject>
#include <QString>

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
}

#endif
