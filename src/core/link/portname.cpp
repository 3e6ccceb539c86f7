#include "link/portname.h"

#include "link/module.h"

#include <QRegularExpression>

QString PortName::label(const QString &name, const QString &description)
{
    const QString path = Module::systemLocation(name);
    return description.isEmpty() ? path : QStringLiteral("%1 (%2)").arg(path, description);
}

QString PortName::shortForm(const QString &name)
{
    static const QString devFolder = QStringLiteral("/dev/");
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9.-]+"));
    QString path = Module::systemLocation(name);
    if (path.startsWith(devFolder))
        path = path.mid(devFolder.size());
    path.replace(unsafe, QStringLiteral("-"));
    while (path.startsWith(QLatin1Char('-')))
        path.remove(0, 1);
    return path;
}
