#include "app/applicationsetup.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    return app.exec();
}
