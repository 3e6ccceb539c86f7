#ifndef CSVTEXT_H
#define CSVTEXT_H

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// CSV as spreadsheets write and read it: fields separated by a comma or, as a
// spreadsheet in Polish saves them, a semicolon; a field in double quotes may
// hold the separator, line ends and "" for a quote.
namespace CsvText {
// The separator the first line of `text` uses: a semicolon when it has more of
// them than commas outside quotes, otherwise a comma.
QChar separatorOf(const QString &text);
// Every record of `text`, each a list of its fields; a line end (LF or CR LF)
// outside quotes ends a record. Empty lines give no record.
QList<QStringList> records(const QString &text, QChar separator);
// One record with its CR LF; a field that holds the separator, a quote or a
// line end is quoted.
QByteArray line(const QStringList &fields, QChar separator);
}

#endif
