#ifndef CONFIGURATIONREPORT_H
#define CONFIGURATIONREPORT_H

#include "fields/configurationfields.h"

#include <QList>
#include <QString>

// Configurations as text for a terminal, in the form's words: a line per
// section, then its fields indented, "caption: value". A value stays on its
// line whatever it holds, written as visibleValue() writes it (control
// characters as \n, \r, \t or \xHH, an empty value as "—"), as the printed
// report writes it too.
namespace ConfigurationReport {

QString listing(const QList<ConfigurationField> &fields);
// Each field as "caption: before → after".
QString differences(const QList<ConfigurationDifference> &differences);

} // namespace ConfigurationReport

#endif
