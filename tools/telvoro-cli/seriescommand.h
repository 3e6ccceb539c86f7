#ifndef SERIESCOMMAND_H
#define SERIESCOMMAND_H

#include "series/seriesreport.h"
#include "series/seriestable.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class ModuleSession;
class StopSignals;

// "telvoro-cli series BASE TABLE.csv PORT": the base configuration with each
// row of the table written to module after module on one port, each checked
// by reading it back, with a line of the report for each. A module that
// fails does not stop the series; the program ends with ExitSuccess only
// when every module of the table was verified.
class SeriesCommand
{
    Q_DECLARE_TR_FUNCTIONS(SeriesCommand)

public:
    // The command's own options; --no-verify and --log are the write's.
    static QList<const QCommandLineOption *> options();
    static QString syntax();
    static QString summary();
    static QString description();

    // Problems with the options end with ExitWrongUsage before anything is read.
    static int run(const QCommandLineParser &parser, const QStringList &arguments, bool verify);

private:
    enum class Wait { Ready, Stopped, InputEnded };

    SeriesCommand(const QString &port, bool verify, bool waitForModule);
    int writeAll(const SeriesTable &table, int first, const SeriesReport &report, const QSet<QString> &verified);
    Wait waitForModule(const SeriesTable::Row &row, int position, int count);
    Wait waitForEnter();
    Wait waitForAnswer(bool answering);
    bool answers();
    // The write of one module; false when the report cannot take its line.
    bool writeModule(const SeriesTable::Row &row, const SeriesReport &report, bool *verified);

    QString port;
    bool verify;
    bool waitsForModule;
    bool stopRequested = false;
    ModuleSession *writing = nullptr;
    StopSignals *stopSignals = nullptr;
};

#endif
