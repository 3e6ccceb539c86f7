#ifndef CONFIGURATIONREPORT_H
#define CONFIGURATIONREPORT_H

#include "configuration/configurationfields.h"

#include <QList>
#include <QString>

// Configurations as text for a terminal, in the form's words: a line per
// section, then its fields indented, "caption: value". A value stays on its
// line whatever it holds: control characters are written \n, \r, \t or \xHH
// and a backslash \\; an empty value shows as "—".
namespace ConfigurationReport {

QString listing(const QList<ConfigurationField> &fields);
// Each field as "caption: before → after".
QString differences(const QList<ConfigurationDifference> &differences);
QString shownValue(const QString &value);

} // namespace ConfigurationReport

#endif
