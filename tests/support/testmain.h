#ifndef TESTMAIN_H
#define TESTMAIN_H

#include "settings/applicationsetup.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// Like QTEST_MAIN, but the settings store and the data folder live in a
// temporary folder that is created before the application object and removed
// afterwards, so a test never reads or writes the user's own settings or files.
#define TELVORO_TEST_MAIN(TestClass)                                           \
    int main(int argc, char *argv[])                                           \
    {                                                                          \
        QTemporaryDir settingsFolder;                                          \
        if (!settingsFolder.isValid())                                         \
            qFatal("cannot create a temporary settings folder");               \
        qputenv("XDG_CONFIG_HOME", settingsFolder.path().toLocal8Bit());       \
        qputenv("XDG_DATA_HOME", settingsFolder.path().toLocal8Bit());         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                    \
            qputenv("QT_QPA_PLATFORM", "offscreen");                           \
        prepareApplication();                                                  \
        QApplication app(argc, argv);                                          \
        app.setAttribute(Qt::AA_Use96Dpi, true);                               \
        TestClass test;                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                             \
        return QTest::qExec(&test, argc, argv);                                \
    }

#endif
