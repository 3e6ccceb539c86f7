// telvoro-cli: the TX48 module and its configuration files from scripts.

#include "settings/applicationsetup.h"
#include "settings/qttranslations.h"
#include "commanddispatcher.h"
#include "console.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // The window's settings store (user names) and its data folder (backups).
    prepareApplication();
    QCoreApplication application(argc, argv);
    // Qt's own words in the help ("Opcje:", "Argumenty:") in Polish too.
    installQtTranslations(application);
    Console::hideCodesOf(QCoreApplication::arguments());
    return Console::finish(CommandDispatcher().run(QCoreApplication::arguments()));
}
