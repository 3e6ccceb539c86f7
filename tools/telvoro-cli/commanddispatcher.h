#ifndef COMMANDDISPATCHER_H
#define COMMANDDISPATCHER_H

#include "configurationlocation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The command line: "telvoro-cli [--help | --version]" or
// "telvoro-cli COMMAND ARGUMENTS [OPTIONS]". Answers --help for the program
// and for each command, judges the arguments (a mistake ends with
// ExitWrongUsage) and hands complete ones to Commands.
class CommandDispatcher
{
    Q_DECLARE_TR_FUNCTIONS(CommandDispatcher)

public:
    CommandDispatcher();

    // The arguments with the program's name first; returns the exit code.
    int run(const QStringList &arguments);
    // The command the arguments name, empty when they name none.
    static QString commandName(const QStringList &arguments);
    // Whether the command lays out a document for print, which needs a
    // QGuiApplication instead of a QCoreApplication.
    static bool needsPrinting(const QStringList &arguments);
    // Whether Qt's own English warnings go to standard error too (--verbose).
    static bool verbose(const QStringList &arguments);
    // Whether the command may open a module's port.
    static bool mayTalkToModule(const QStringList &arguments);

private:
    struct Subcommand
    {
        QString name;
        QString syntax;
        QString summary;
        QString description;
        QList<const QCommandLineOption *> options;
        int (CommandDispatcher::*execute)(const QCommandLineParser &parser, const QStringList &arguments);
        int argumentCount;
    };

    int runWithoutCommand(const QStringList &arguments);
    QString programHelp() const;
    int wrongUsage(const QString &problem, const Subcommand *subcommand = nullptr) const;
    QString usage(const Subcommand &subcommand) const;

    int ports(const QCommandLineParser &parser, const QStringList &arguments);
    int read(const QCommandLineParser &parser, const QStringList &arguments);
    int write(const QCommandLineParser &parser, const QStringList &arguments);
    int show(const QCommandLineParser &parser, const QStringList &arguments);
    int diff(const QCommandLineParser &parser, const QStringList &arguments);
    int exportJson(const QCommandLineParser &parser, const QStringList &arguments);
    int importJson(const QCommandLineParser &parser, const QStringList &arguments);
    int convert(const QCommandLineParser &parser, const QString &input, ConfigurationLocation::Kind from,
                ConfigurationLocation::Kind to);
    int pin(const QCommandLineParser &parser, const QStringList &arguments);
    int watch(const QCommandLineParser &parser, const QStringList &arguments);
    int report(const QCommandLineParser &parser, const QStringList &arguments);
    int series(const QCommandLineParser &parser, const QStringList &arguments);

    const QCommandLineOption helpOption;
    const QCommandLineOption verboseOption;
    const QCommandLineOption versionOption;
    const QCommandLineOption outputOption;
    const QCommandLineOption dryRunOption;
    const QCommandLineOption noVerifyOption;
    const QCommandLineOption jsonOption;
    const QCommandLineOption requestOption;
    const QCommandLineOption csvOption;
    const QCommandLineOption countOption;
    const QCommandLineOption configOption;
    const QCommandLineOption logOption;
    QList<Subcommand> subcommands;
    const Subcommand *current = nullptr;
};

#endif
