#include "app/applicationsetup.h"
#include "app/mainwindow.h"
#include "config/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QScopeGuard>
#include <QGridLayout>
#include <QGroupBox>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

using WindowDriver::action;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStartUsesDefaultsAndSeedsStatusNames();
    void storedStatusNamesAreKeptAndEmptyOnesReplaced();
    void geometryIsStoredOnCloseAndRestored();
    void startsOnTheStartPageWithNothingOpen();
    void startPageButtonsFollowTheirActions();
    void toolBarHoldsTheModuleAndUndoActions();
    void chargeCurrentItemsCarryMilliamperes();
    void pageButtonsSwitchTheNamesPages();
    void collapsingInputPanels_data();
    void collapsingInputPanels();
    void onlineTabWithoutModuleStartsNoPolling();
    void aboutBoxOpensAndCloses();
    void quitAsksAboutUnsavedChanges();
    void pluginsOnlyFromBesideTheProgram();
};

void TestMainWindow::init()
{
    QSettings().clear();
}

void TestMainWindow::firstStartUsesDefaultsAndSeedsStatusNames()
{
    MainWindow window;
    QCOMPARE(window.pos(), QPoint(50, 50));
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro"));
    QSettings settings;
    for (int i = 0; i < 8; ++i)
        QCOMPARE(settings.value(QStringLiteral("defNazwSmsListaTableWidget_%1").arg(i)).toString(),
                 QStringLiteral("status %1").arg(i + 1));
}

void TestMainWindow::storedStatusNamesAreKeptAndEmptyOnesReplaced()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("defNazwSmsListaTableWidget_2"), QString());
        settings.setValue(QStringLiteral("defNazwSmsListaTableWidget_3"), QStringLiteral("Alarm"));
    }
    MainWindow window;
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("defNazwSmsListaTableWidget_2")).toString(),
             QStringLiteral("status 3"));
    QCOMPARE(settings.value(QStringLiteral("defNazwSmsListaTableWidget_3")).toString(),
             QStringLiteral("Alarm"));
}

void TestMainWindow::geometryIsStoredOnCloseAndRestored()
{
    {
        MainWindow window;
        window.show();
        window.move(120, 80);
        window.resize(900, 700);
        window.close();
    }
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("mainWindowSize")).toSize(), QSize(900, 700));
    MainWindow restored;
    QCOMPARE(restored.size(), QSize(900, 700));
    QCOMPARE(restored.pos(), settings.value(QStringLiteral("mainWindowPos")).toPoint());
}

void TestMainWindow::startsOnTheStartPageWithNothingOpen()
{
    MainWindow window;
    QCOMPARE(window.findChild<QStackedWidget *>("mainStackedWidget")->currentIndex(), 0);
    QCOMPARE(window.findChild<QTabWidget *>("tabWidget")->currentIndex(), 0);
    QCOMPARE(window.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), 0);
    QVERIFY(!window.configuration);
    QVERIFY(!window.referenceConfiguration);
    QCOMPARE(window.configurationSource, 0);
    QVERIFY(!window.onlineTimer.isActive());
    for (const char *name : {"actionOdbierz_z_modemu", "actionZapis_do_pliku", "actionZapisz_do_modu_u",
                             "actionCofnij_zmiany", "actionZamknij_konfiguracj"})
        QVERIFY2(!action(window, name)->isEnabled(), name);
    for (const char *name : {"actionNowy", "actionOdczyt_z_pliku", "actionUstawienia", "actionZamknij",
                             "actionO_programie"})
        QVERIFY2(action(window, name)->isEnabled(), name);
}

void TestMainWindow::startPageButtonsFollowTheirActions()
{
    MainWindow window;
    const QList<QPair<const char *, const char *>> buttons{
        {"nowyToolButton", "actionNowy"},
        {"odczytajZPlikuToolButton", "actionOdczyt_z_pliku"},
        {"odczytajZModemuToolButton", "actionOdbierz_z_modemu"}};
    for (const auto &[buttonName, actionName] : buttons) {
        auto *button = window.findChild<QToolButton *>(buttonName);
        QCOMPARE(button->defaultAction(), action(window, actionName));
        QCOMPARE(button->isEnabled(), action(window, actionName)->isEnabled());
    }
    QTest::mouseClick(window.findChild<QToolButton *>("nowyToolButton"), Qt::LeftButton);
    QVERIFY(window.configuration);
    QCOMPARE(window.findChild<QStackedWidget *>("mainStackedWidget")->currentIndex(), 1);
}

void TestMainWindow::toolBarHoldsTheModuleAndUndoActions()
{
    MainWindow window;
    QList<QAction *> shown;
    for (QToolButton *button : window.findChild<QToolBar *>("mainToolBar")->findChildren<QToolButton *>()) {
        if (button->defaultAction()) {
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            shown.append(button->defaultAction());
        }
    }
    QCOMPARE(shown, (QList<QAction *>{action(window, "actionOdbierz_z_modemu"),
                                      action(window, "actionZapisz_do_modu_u"),
                                      action(window, "actionCofnij_zmiany")}));
}

void TestMainWindow::chargeCurrentItemsCarryMilliamperes()
{
    MainWindow window;
    auto *combo = window.findChild<QComboBox *>("akuAkuLoadComboBox");
    QStringList texts;
    QList<int> data;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
        data << combo->itemData(i).toInt();
    }
    QCOMPARE(texts, (QStringList{"", "25 mA", "50 mA", "75 mA", "100 mA", "125 mA", "150 mA", "200 mA"}));
    QCOMPARE(data, (QList<int>{0, 25, 50, 75, 100, 125, 150, 200}));
}

void TestMainWindow::pageButtonsSwitchTheNamesPages()
{
    MainWindow window;
    WindowDriver::newConfiguration(window);
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(2);
    const QStringList names{"nazwyTelefonowPushButton", "wejsciaWyjsciaPushButton", "smsyPushButton"};
    for (int page : {2, 1, 0}) {
        QTest::mouseClick(window.findChild<QAbstractButton *>(names[page]), Qt::LeftButton);
        QCOMPARE(window.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), page);
        for (int other = 0; other < 3; ++other)
            QCOMPARE(window.findChild<QAbstractButton *>(names[other])->isChecked(), other == page);
    }
}

void TestMainWindow::collapsingInputPanels_data()
{
    QTest::addColumn<bool>("analogCollapsed");
    QTest::addColumn<bool>("digitalCollapsed");
    QTest::newRow("analogue only") << true << false;
    QTest::newRow("digital only") << false << true;
    QTest::newRow("both") << true << true;
    QTest::newRow("none") << false << false;
}

void TestMainWindow::collapsingInputPanels()
{
    QFETCH(bool, analogCollapsed);
    QFETCH(bool, digitalCollapsed);
    MainWindow window;
    WindowDriver::newConfiguration(window);
    window.show();
    auto *analogButton = window.findChild<QToolButton *>("toolButton_17");
    auto *digitalButton = window.findChild<QToolButton *>("toolButton_18");
    // Collapse both first, so that expanding again is covered too.
    QTest::mouseClick(analogButton, Qt::LeftButton);
    QTest::mouseClick(digitalButton, Qt::LeftButton);
    if (!analogCollapsed)
        QTest::mouseClick(analogButton, Qt::LeftButton);
    if (!digitalCollapsed)
        QTest::mouseClick(digitalButton, Qt::LeftButton);

    for (const char *name : {"groupBox", "groupBox_2"})
        QCOMPARE(window.findChild<QGroupBox *>(name)->isHidden(), analogCollapsed);
    for (const char *name : {"groupBox_3", "groupBox_4", "groupBox_5", "groupBox_6", "groupBox_7", "groupBox_8"})
        QCOMPARE(window.findChild<QGroupBox *>(name)->isHidden(), digitalCollapsed);

    auto *grid = window.findChild<QGridLayout *>("gridLayout_2");
    QSpacerItem *spacer = grid->itemAtPosition(6, 0)->spacerItem();
    QVERIFY(spacer);
    const QSizePolicy::Policy expected =
        analogCollapsed && digitalCollapsed ? QSizePolicy::Expanding : QSizePolicy::Fixed;
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), expected);
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), expected);
}

void TestMainWindow::onlineTabWithoutModuleStartsNoPolling()
{
    MainWindow window;
    WindowDriver::newConfiguration(window);
    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(3);
    QVERIFY(!window.onlineTimer.isActive());
    QVERIFY(action(window, "actionUstawienia")->isEnabled());
}

void TestMainWindow::aboutBoxOpensAndCloses()
{
    MainWindow window;
    DialogAnswerer answerer;
    answerer.expectEscape();
    action(window, "actionO_programie")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.constFirst().title, QStringLiteral("O programie"));
    QVERIFY(answerer.unexpected.isEmpty());
}

void TestMainWindow::quitAsksAboutUnsavedChanges()
{
    MainWindow window;
    WindowDriver::newChangedConfiguration(window, QStringLiteral("akuPrzekZalCheckBox"));
    DialogAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    action(window, "actionZamknij")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.constFirst().title, QStringLiteral("Zmiany"));
    QVERIFY(!window.isVisible());
    QVERIFY(!window.configuration);
}

void TestMainWindow::pluginsOnlyFromBesideTheProgram()
{
    QTemporaryDir startFolder;
    QVERIFY(QDir(startFolder.path()).mkdir(QStringLiteral("plugins")));
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const bool madeBeside = programFolder.mkdir(QStringLiteral("plugins"));
    const QString testFolder = QDir::currentPath();
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(testFolder);
        if (madeBeside)
            programFolder.rmdir(QStringLiteral("plugins"));
    });
    QDir::setCurrent(startFolder.path());
    prepareApplication();

    const QStringList paths = QCoreApplication::libraryPaths();
    QVERIFY(paths.contains(programFolder.filePath(QStringLiteral("plugins"))));
    QVERIFY(!paths.contains(QDir(startFolder.filePath(QStringLiteral("plugins"))).canonicalPath()));
}

TELVORO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
