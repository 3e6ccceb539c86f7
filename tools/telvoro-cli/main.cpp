// telvoro-cli: the TX48 module and its configuration files from scripts.

#include "files/filename.h"
#include "settings/applicationsetup.h"
#include "settings/developermessages.h"
#include "settings/standardstreams.h"
#include "settings/qttranslations.h"
#include "commanddispatcher.h"
#include "console.h"
#include "exitcode.h"
#include "linklogfile.h"
#include "printingapplication.h"
#include "stopsignals.h"

#include <QCoreApplication>
#include <QStringList>
#include <memory>

int main(int argc, char *argv[])
{
    // Before any file is opened, so that none takes the number of a missing stream.
    openMissingStandardStreams();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandDispatcher::mayTalkToModule(arguments))
        StopSignals::catchFromStart();
    DeveloperMessages::showOnlyIf(CommandDispatcher::verbose(arguments));
    // The window's settings store (user names) and its data folder (backups).
    prepareApplication();
    // Qt would open another file than the one named.
    if (const QString refusal = FileName::refusal(argc, argv); !refusal.isEmpty()) {
        Console::message(refusal);
        return ExitWrongUsage;
    }
    // Only a report needs Qt GUI's fonts and text layout; every other
    // command starts without them.
    const std::unique_ptr<QCoreApplication> application = CommandDispatcher::needsPrinting(arguments)
            ? createPrintingApplication(argc, argv)
            : std::make_unique<QCoreApplication>(argc, argv);
    // Qt's own words in the help ("Opcje:", "Argumenty:") in Polish too.
    installQtTranslations(*application);
    Console::hideCodesOf(QCoreApplication::arguments());
    return Console::finish(LinkLogFile::finish(CommandDispatcher().run(QCoreApplication::arguments())));
}
