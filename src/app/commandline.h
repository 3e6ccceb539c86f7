#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The program's command line: telvoro [options] [file.kvl].
//
// --help and --version are answered on the terminal and must work where no
// display exists, so main() reads the arguments as given before it builds
// the QApplication, and answers them with a QCoreApplication only. Mistakes
// are judged afterwards, once the QApplication has taken Qt's own options
// (-platform, -style, ...) out of the arguments.
class CommandLine
{
public:
    CommandLine();

    // Reads the arguments, the program's name first. False on a mistake,
    // which errorText() describes.
    bool parse(const QStringList &arguments);
    QString errorText() const;

    // --help or --version: the program prints terminalAnswer() and ends.
    bool asksForHelpOrVersion() const;
    // Needs a QCoreApplication: the help names the program as it was
    // started, and Qt translates its headings.
    QString terminalAnswer() const;

    // The configuration file to open at start; empty when none was named.
    QString configurationFile() const;

private:
    QCommandLineParser parser;
    QCommandLineOption helpOption;
    QCommandLineOption versionOption;
    QCommandLineOption verboseOption;
    QString mistake;
};

#endif
