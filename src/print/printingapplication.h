#ifndef PRINTINGAPPLICATION_H
#define PRINTINGAPPLICATION_H

#include <QCoreApplication>
#include <memory>

// The application object of a program that lays out and prints documents
// without showing them: a QGuiApplication, which fonts and text layout need,
// on Qt's off-screen platform unless QT_QPA_PLATFORM names another, so that
// it runs without a display.
std::unique_ptr<QCoreApplication> createPrintingApplication(int &argc, char **argv);

#endif
