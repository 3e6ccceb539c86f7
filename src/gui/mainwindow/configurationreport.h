#ifndef CONFIGURATIONREPORT_H
#define CONFIGURATIONREPORT_H

#include "mainwindow/configurationsource.h"

#include <QCoreApplication>
#include <QString>

class Configuration;
class QStatusBar;
class QWidget;

// The open configuration as a document: exported to PDF or printed, under
// where it came from and whether it has been edited since. Touches: the
// file or printer chosen, and the status bar.
class ConfigurationReport
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationReport)

public:
    struct Subject
    {
        const Configuration &configuration;
        bool edited;
        ConfigurationSource source;
        // The file it came from, or the module's port.
        QString filePath;
        QString portName;
    };

    ConfigurationReport(QStatusBar *statusBar, QWidget *window);

    void exportToPdf(const Subject &subject) const;
    void print(const Subject &subject) const;

private:
    QStatusBar *statusBar;
    QWidget *window;
};

#endif
