#ifndef TRENDCSV_H
#define TRENDCSV_H

#include <QByteArray>
#include <QString>

class TrendRecord;

// A record as a CSV file: a header line, then one line per poll with its
// local time, AI1 and AI2 in the units and decimals they were shown with,
// and DI1 to DI6 as 0 or 1. A poll without an answer keeps its time and
// leaves the values empty; time without polls has no lines. Lines end with
// CR LF.
namespace TrendCsv {
enum class Dialect {
    // For programs: comma separated, decimal point, the time in ISO 8601
    // with its offset from UTC.
    Standard,
    // For a spreadsheet in Polish opened by a double click: semicolon
    // separated, decimal comma, the time as "2024-01-15 09:30:05", which
    // spreadsheets take for a date and time.
    Spreadsheet
};
// The header line without its line end; telvoro-cli's CSV has it too.
QByteArray header(Dialect dialect = Dialect::Standard);
QByteArray encode(const TrendRecord &record, Dialect dialect = Dialect::Standard);
// Written atomically: a failure leaves any old file as it was (see
// saveFileAtomically, which also sets *reason).
bool save(const QString &path, const TrendRecord &record, Dialect dialect = Dialect::Standard,
          QString *reason = nullptr);
}

#endif
