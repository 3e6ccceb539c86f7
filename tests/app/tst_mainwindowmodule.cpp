#include "app/mainwindow.h"
#include "testmain.h"

class TestMainWindowModule : public QObject
{
    Q_OBJECT
};

TELVORO_TEST_MAIN(TestMainWindowModule)
#include "tst_mainwindowmodule.moc"
