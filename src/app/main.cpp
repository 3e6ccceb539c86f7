#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Plug-ins shipped beside the program are found before the system's.
    QCoreApplication::addLibraryPath(QStringLiteral("plugins/"));
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    return app.exec();
}
