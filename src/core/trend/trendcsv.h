#ifndef TRENDCSV_H
#define TRENDCSV_H

#include <QByteArray>
#include <QString>

class TrendRecord;

// A record as a CSV file: a header line, then one line per poll with its
// local time in ISO 8601 with the offset from UTC, AI1 and AI2 in the units
// and decimals they were shown with, and DI1 to DI6 as 0 or 1. A poll
// without an answer keeps its time and leaves the values empty. Comma
// separated, decimal point, lines ended by CR LF.
namespace TrendCsv {
// The header line without its line end; telvoro-cli's CSV has it too.
QByteArray header();
QByteArray encode(const TrendRecord &record);
// Written atomically: a failure leaves any old file as it was (see
// saveFileAtomically, which also sets *reason).
bool save(const QString &path, const TrendRecord &record, QString *reason = nullptr);
}

#endif
