// Renders the main window with an example configuration to a PNG file.
// Usage: telvoro-screenshot OUTPUT.png [TAB [PORT SECONDS]]
// With a port (a module or the emulator), the window connects to it first and
// shows the tab after SECONDS of live polling; the trend shows the last minute.
#include "settings/applicationsetup.h"
#include "settings/standardstreams.h"
#include "mainwindow/mainwindow.h"
#include "configuration/configuration.h"
#include "files/configurationfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    openMissingStandardStreams();
    if (argc != 2 && argc != 3 && argc != 5) {
        fprintf(stderr, "usage: %s OUTPUT.png [TAB [PORT SECONDS]]\n", argv[0]);
        return 2;
    }
    const bool live = argc == 5;
    if (live)
        qputenv("TX48_EXTRA_PORTS", argv[3]);
    // The picture must not depend on, or change, the user's own settings.
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareApplication();
    QApplication app(argc, argv);

    Configuration example;
    example.analogRange[0] = 105;
    example.analogDecimals[0] = 1;
    example.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 476, 0, 0));
    example.setAnalogAction(0, 1, InputAction(AnalogInput, 5, 95, 90, 8));
    example.setAnalogAction(1, 0, InputAction(AnalogInput, 7, 100, 0, 66));
    example.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 3605, 3));
    example.setDigitalAction(0, 1, InputAction(DigitalInput, 5, 0, 0, 11));
    example.setDigitalAction(1, 0, InputAction(DigitalInput, 3, 0, 60, 24));
    example.setDigitalAction(2, 0, InputAction(DigitalInput, 2, 0, 0, 49));
    const QString exampleFile = settingsFolder.filePath(QStringLiteral("przyklad.kvl"));
    if (!ConfigurationFile::save(exampleFile, example)) {
        fprintf(stderr, "cannot write %s\n", qPrintable(exampleFile));
        return 1;
    }

    // The window is used as a user would: it opens the file, connects and
    // shows the tab.
    MainWindow window;
    // The size the window opens with on a 1366 x 768 screen.
    window.resize(1280, 677);
    window.openConfigurationFile(exampleFile);

    if (live) {
        auto *ports = window.findChild<QComboBox *>(QStringLiteral("portsComboBox"));
        ports->setCurrentIndex(ports->findData(QString::fromLocal8Bit(argv[3])));
        window.findChild<QAbstractButton *>(QStringLiteral("polaczZModememPushButton"))->click();
    }
    if (argc >= 3)
        window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(atoi(argv[2]));
    window.show();
    if (live) {
        if (auto *minute = window.findChild<QAbstractButton *>(QStringLiteral("przebieg1MinToolButton")))
            minute->click();
        QEventLoop polling;
        QTimer::singleShot(atoi(argv[4]) * 1000, &polling, &QEventLoop::quit);
        polling.exec();
    }
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
