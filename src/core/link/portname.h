#ifndef PORTNAME_H
#define PORTNAME_H

#include <QString>

// The one way a port is named to the user: its device path, with the
// adapter's description where the system knows it ("/dev/ttyUSB0 (FT232R
// USB UART)"), and a short form of the path for file names ("ttyUSB0",
// "pts-3").
class PortName
{
public:
    // `name` as the port list holds it: a name in /dev ("ttyUSB0") or a path.
    static QString label(const QString &name, const QString &description = QString());
    // The path without "/dev/", its folders joined by '-'; a path elsewhere
    // keeps its folders the same way.
    static QString shortForm(const QString &name);
};

#endif
