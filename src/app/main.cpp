#include "files/filename.h"
#include "settings/applicationsetup.h"
#include "settings/developermessages.h"
#include "settings/standardstreams.h"
#include "commandline.h"
#include "mainwindow/mainwindow.h"
#include "settings/qttranslations.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <cstdio>

namespace {

// The program's own icon in every size compiled in, for all its windows.
QIcon applicationIcon()
{
    const QDir icons(QStringLiteral(":/new/prefix1/icons"), QStringLiteral("telvoro-*.png"));
    QIcon icon;
    for (const QString &name : icons.entryList())
        icon.addFile(icons.filePath(name));
    return icon;
}

// Without a display Qt aborts with advice to reinstall the program; the
// user is told instead what is missing. Qt's option -platform names one too.
bool displayNamed(const QStringList &arguments)
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return arguments.contains(QLatin1String("-platform"))
            || arguments.contains(QLatin1String("--platform"));
}

} // namespace

int main(int argc, char *argv[])
{
    openMissingStandardStreams();
    prepareApplication();

    // --help and --version are answered before anything needs a display.
    QStringList givenArguments;
    for (int i = 0; i < argc; ++i)
        givenArguments << QString::fromLocal8Bit(argv[i]);
    // Qt's English warnings, from the start, only when asked for.
    DeveloperMessages::showOnlyIf(givenArguments.contains(QStringLiteral("--verbose")));
    CommandLine commandLine;
    commandLine.parse(givenArguments);
    if (commandLine.asksForHelpOrVersion()) {
        QCoreApplication app(argc, argv);
        installQtTranslations(app);
        std::fputs(qPrintable(commandLine.terminalAnswer()), stdout);
        return 0;
    }
    // Qt would open another file than the one named.
    if (const QString refusal = FileName::refusal(argc, argv); !refusal.isEmpty()) {
        std::fprintf(stderr, "telvoro: %s\n", qPrintable(refusal));
        return 1;
    }
    if (!displayNamed(givenArguments)) {
        std::fputs("telvoro: brak ekranu graficznego (nie ustawiono zmiennej DISPLAY ani "
                   "WAYLAND_DISPLAY).\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    installQtTranslations(app);
    if (!commandLine.parse(QApplication::arguments())) {
        std::fprintf(stderr, "telvoro: %s\n", qPrintable(commandLine.errorText()));
        return 1;
    }
    // The name of the menu entry, by which desktops find the window's icon
    // and group its windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.telvoro.telvoro"));
    QApplication::setWindowIcon(applicationIcon());

    MainWindow window;
    window.show();
    const QString file = commandLine.configurationFile();
    if (!file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file] { window.openConfigurationFile(file); });
    return app.exec();
}
