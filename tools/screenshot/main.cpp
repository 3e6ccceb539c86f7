// Renders the main window with an example configuration to a PNG file.
// Usage: telvoro-screenshot OUTPUT.png [TAB]
#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "config/configuration.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: %s OUTPUT.png [TAB]\n", argv[0]);
        return 2;
    }
    // The picture must not depend on, or change, the user's own settings.
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareApplication();
    QApplication app(argc, argv);

    MainWindow window;
    // The size the window opens with on a 1366 x 768 screen.
    window.resize(1280, 677);
    window.findChild<QAction *>(QStringLiteral("actionNowy"))->trigger();

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
    *window.referenceConfiguration = example;
    window.findChild<QAction *>(QStringLiteral("actionCofnij_zmiany"))->trigger();

    if (argc == 3)
        window.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(atoi(argv[2]));
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
