#ifndef SERIESREPORT_H
#define SERIESREPORT_H

#include "link/modulesession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <optional>

// The report of a series of modules: a CSV file for a spreadsheet in Polish
// (semicolons, UTF-8 with a byte order mark), one line appended per module
// written: its name, the local time, the outcome, the backup's path, the
// number of fields the write changed and the outcome in sentences. A series
// started again reads it to skip the modules it records as verified.
class SeriesReport
{
    Q_DECLARE_TR_FUNCTIONS(SeriesReport)

public:
    enum class Outcome {
        Verified,
        WrittenUnverified,
        StoredDifferently,
        Unanswered,
        NotConnected,
        LineLost,
        Interrupted,
        BackupFailed,
        ReadBackFailed,
        // Another module came on the line during the question; nothing sent.
        ModuleChanged,
        Cancelled
    };

    struct Entry
    {
        QString module;
        QDateTime time;
        Outcome outcome = Outcome::Interrupted;
        QString backupPath;
        int changedFields = 0;
        QString details;
    };

    static Outcome outcomeOf(ModuleSession::WriteStatus status);
    // The outcome as the report's column and the window's table say it.
    static QString outcomeText(Outcome outcome);
    // The line of a module whose write ended with `outcome`.
    static Entry entryOf(const QString &module, const ModuleSession::WriteOutcome &outcome);

    // The report of a table when none is named: "<table>-raport.csv" beside it.
    static QString defaultPath(const QString &table);

    explicit SeriesReport(const QString &path);
    QString path() const;
    // The modules whose last line says they were verified; nothing when the
    // file is there but cannot be read.
    std::optional<QSet<QString>> verifiedModules() const;
    // Creates the file with its header when it is not there, so that a
    // report that cannot be written is known before any module is; false
    // when the file cannot take it.
    bool prepare() const;
    // Adds the line at the end (the header first into a new file); false
    // when the file cannot take it.
    bool append(const Entry &entry) const;

private:
    bool appendLines(const QByteArray &lines) const;

    QString file;
};

#endif
