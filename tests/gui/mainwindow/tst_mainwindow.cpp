#include "settings/applicationsetup.h"
#include "mainwindow/mainwindow.h"
#include "actions/inputaction.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "windowdriver.h"

#include "settings/usernames.h"

#include <QAbstractButton>
#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

using WindowDriver::action;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStartUsesDefaultsAndSeedsStatusNames();
    void geometryIsStoredOnCloseAndRestored();
    void restoredGeometryFitsTheScreen_data();
    void restoredGeometryFitsTheScreen();
    void startPageButtonsFollowTheirActions();
    void toolBarHoldsTheModuleAndUndoActions();
    void chargeCurrentItemsCarryMilliamperes();
    void pageButtonsSwitchTheNamesPages();
    void collapsingInputPanels_data();
    void collapsingInputPanels();
    void aboutBoxOpensAndCloses();
    void pluginsOnlyFromBesideTheProgram();
    void textsStayReadable_data();
    void textsStayReadable();
    void windowFitsSmallScreensAndScrollsSafely();
    void tabsFitSmallScreens_data();
    void tabsFitSmallScreens();
};

namespace {
// How far apart the lightest and the darkest pixel of an area are: text
// drawn in its background's colour leaves almost none.
int lightnessSpread(const QImage &image, const QRect &wanted)
{
    const QRect area = wanted & image.rect();
    QList<int> lightness;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            lightness.append(QColor(image.pixel(x, y)).lightness());
    }
    const auto [darkest, lightest] = std::minmax_element(lightness.cbegin(), lightness.cend());
    return lightness.isEmpty() ? 0 : *lightest - *darkest;
}
}

void TestMainWindow::init()
{
    QSettings().clear();
}

// Status names already stored are kept; missing or empty ones get defaults.
// Nothing is open: the start page shows.
void TestMainWindow::firstStartUsesDefaultsAndSeedsStatusNames()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("defNazwSmsListaTableWidget_2"), QString());
        settings.setValue(QStringLiteral("defNazwSmsListaTableWidget_3"), QStringLiteral("Alarm"));
    }
    MainWindow window;
    QCOMPARE(window.pos(), QPoint(50, 50));
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro"));
    QSettings settings;
    for (int i = 0; i < 8; ++i)
        QCOMPARE(settings.value(QStringLiteral("defNazwSmsListaTableWidget_%1").arg(i)).toString(),
                 i == 3 ? QStringLiteral("Alarm") : QStringLiteral("status %1").arg(i + 1));

    // The ports were scanned: the list's prompt is the scanned list's one.
    QCOMPARE(window.findChild<QComboBox *>("portsComboBox")->itemText(0),
             QStringLiteral("<<Wybierz port do komunikacji z modemem>>"));
    QCOMPARE(window.findChild<QStackedWidget *>("mainStackedWidget")->currentIndex(), 0);
    QCOMPARE(window.findChild<QTabWidget *>("tabWidget")->currentIndex(), 0);
    QCOMPARE(window.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), 0);
    QVERIFY(!window.configuration);
    QVERIFY(!window.referenceConfiguration);
    QCOMPARE(window.configurationSource, 0);
    QVERIFY(!window.onlineTimer.isActive());
}

void TestMainWindow::geometryIsStoredOnCloseAndRestored()
{
    {
        MainWindow window;
        window.show();
        window.move(120, 80);
        window.resize(600, 400);
        window.close();
    }
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("mainWindowSize")).toSize(), QSize(600, 400));
    MainWindow restored;
    QCOMPARE(restored.size(), QSize(600, 400));
    QCOMPARE(restored.pos(), settings.value(QStringLiteral("mainWindowPos")).toPoint());
}

// A place and size stored with another screen (or scale): the window opens
// whole on this one, as large as it was where the screen has room for it.
void TestMainWindow::restoredGeometryFitsTheScreen_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("sizeKept");
    QTest::newRow("fits") << QPoint(60, 40) << QSize(600, 420) << true;
    QTest::newRow("larger than the screen") << QPoint(30, 20) << QSize(3840, 2122) << false;
    QTest::newRow("beyond the right and bottom") << QPoint(5000, 3000) << QSize(600, 420) << true;
    QTest::newRow("left of and above the screen") << QPoint(-3000, -2000) << QSize(600, 420) << true;
}

void TestMainWindow::restoredGeometryFitsTheScreen()
{
    QFETCH(QPoint, position);
    QFETCH(QSize, size);
    QFETCH(bool, sizeKept);
    QSettings().setValue(QStringLiteral("mainWindowPos"), position);
    QSettings().setValue(QStringLiteral("mainWindowSize"), size);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    QVERIFY(area.contains(window.frameGeometry()));
    QCOMPARE(window.pos() == position, area.contains(QRect(position, size)));
    QCOMPARE(window.size() == size, sizeKept);
    QVERIFY(window.width() > area.width() / 2 && window.height() > area.height() / 2);
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

void TestMainWindow::textsStayReadable_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("ports list") << "portsComboBox";
    QTest::newRow("start-page button under the mouse") << "nowyToolButton";
}

void TestMainWindow::textsStayReadable()
{
    QFETCH(QString, where);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QImage shown;
    QRect text;
    if (auto *ports = window.findChild<QComboBox *>(where)) {
        ports->addItem(QStringLiteral("/dev/ttyUSB0 (port szeregowy)"));
        ports->showPopup();
        QTRY_VERIFY(ports->view()->isVisible());
        shown = ports->view()->viewport()->grab().toImage();
        text = ports->view()->visualRect(ports->model()->index(1, 0));
        ports->hidePopup();
    } else {
        auto *button = window.findChild<QToolButton *>(where);
        QTest::mouseMove(button);
        QTRY_VERIFY(button->underMouse());
        shown = button->grab().toImage();
        // The label under the icon.
        text = QRect(0, button->height() * 3 / 4, button->width(), button->height() / 4 - 4);
    }
    const qreal scale = shown.devicePixelRatio();
    QVERIFY(lightnessSpread(shown, QRect(text.topLeft() * scale, text.size() * scale)) > 100);
}

// At the size the window opens with on a 1366 x 768 screen the action tables
// show every column and the tab needs no scrolling; a 1024 x 600 screen
// takes the window too, with scrolling tabs.
void TestMainWindow::windowFitsSmallScreensAndScrollsSafely()
{
    MainWindow window;
    WindowDriver::newConfiguration(window);
    Configuration example;
    example.setAnalogAction(0, 0, InputAction(AnalogInput, 5, 1000, 3605, 5));
    example.setDigitalAction(2, 0, InputAction(DigitalInput, 3, 0, 65535, 7));
    *window.referenceConfiguration = example;
    action(window, "actionCofnij_zmiany")->trigger();
    window.resize(1280, 677);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QTableWidget *table : window.findChild<QWidget *>("tab")->findChildren<QTableWidget *>())
        QVERIFY2(!table->horizontalScrollBar()->isVisible(), qPrintable(table->objectName()));
    QVERIFY(!window.findChild<QScrollArea *>("tabScrollArea")->verticalScrollBar()->isVisible());
    QVERIFY(window.minimumSizeHint().width() <= 1024);
    QVERIFY(window.minimumSizeHint().height() <= 560);

    // Turned to scroll a tab, the wheel passes over fields without changing them.
    auto *minutes = window.findChild<QSpinBox *>("weWyPoUrCzMinSpinBox_6");
    WindowDriver::reveal(minutes);
    const QPointF inside(minutes->rect().center());
    QWheelEvent wheel(inside, minutes->mapToGlobal(inside), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(minutes, &wheel);
    QCOMPARE(minutes->value(), 0);
    QVERIFY(!minutes->hasFocus());
}

void TestMainWindow::tabsFitSmallScreens_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<int>("actionRows");
    QTest::newRow("1366 x 768") << QSize(1280, 677) << 5;
    QTest::newRow("1024 x 600") << QSize(1014, 520) << 3;
    QTest::newRow("1920 x 1080 at scale 2") << QSize(900, 450) << 3;
}

// Every action table shows as many rows as the screen allows, without a
// scroll bar of its own sideways: a text cut short ends in "…" and its tool
// tip shows it whole. The live fields, the manual outputs and the whole
// trend show together without scrolling; the tabs never scroll sideways.
// Word-wrapped captions keep all their lines. The analogue axes carry the
// inputs' names in their traces' colours.
void TestMainWindow::tabsFitSmallScreens()
{
    QFETCH(QSize, windowSize);
    QFETCH(int, actionRows);
    // Row 7 of the inputs table is AI1.
    UserNames::storeInputsTableName(6, QStringLiteral("Temperatura"));
    MainWindow window;
    WindowDriver::newConfiguration(window);
    Configuration example;
    for (int slot = 0; slot < 6; ++slot) {
        for (int input = 0; input < AnalogInputCount; ++input)
            example.setAnalogAction(input, slot, InputAction(AnalogInput, 5, 1000, 3605, 5 + slot));
        for (int input = 0; input < DigitalInputCount; ++input)
            example.setDigitalAction(input, slot, InputAction(DigitalInput, 3, 0, 65535, 72 + slot));
    }
    *window.referenceConfiguration = example;
    action(window, "actionCofnij_zmiany")->trigger();
    window.resize(windowSize);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *caption = window.findChild<QLabel *>("label_2");
    QTRY_VERIFY(caption->height() >= caption->heightForWidth(caption->width()));

    bool cutTextSeen = false;
    for (QTableWidget *table : window.findChild<QWidget *>("tab")->findChildren<QTableWidget *>()) {
        QVERIFY2(table->viewport()->height() / table->rowHeight(0) >= actionRows, qPrintable(table->objectName()));
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        const QModelIndex last = table->model()->index(0, table->columnCount() - 1);
        QVERIFY(table->visualRect(last).right() <= table->viewport()->width());
        for (int column = 0; column < table->columnCount() && !cutTextSeen; ++column) {
            const QModelIndex cell = table->model()->index(0, column);
            const QString text = cell.data().toString();
            if (table->fontMetrics().horizontalAdvance(text) <= table->columnWidth(column))
                continue;
            const QPoint inside = table->visualRect(cell).center();
            QHelpEvent help(QEvent::ToolTip, inside, table->viewport()->mapToGlobal(inside));
            QApplication::sendEvent(table->viewport(), &help);
            QTRY_COMPARE(QToolTip::text(), text);
            cutTextSeen = true;
        }
    }
    QCOMPARE(cutTextSeen, windowSize.width() < 1100);

    window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(3);
    const auto *trend = window.findChild<QWidget *>("przebiegWidget");
    const auto *scrollArea = window.findChild<QScrollArea *>("tabScrollArea_4");
    QTRY_VERIFY(scrollArea->widget()->width() <= scrollArea->viewport()->width());
    QTRY_VERIFY(scrollArea->widget()->height() <= scrollArea->viewport()->height());
    for (const char *name : { "onlineAktualneGroupBox", "wewyManualneGroupBox", "przebiegWidget" }) {
        const auto *shown = window.findChild<QWidget *>(name);
        QVERIFY2(scrollArea->viewport()->rect().contains(
                         QRect(shown->mapTo(scrollArea->viewport(), QPoint(0, 0)), shown->size())),
                 name);
    }
    QVERIFY(trend->width() >= trend->minimumSizeHint().width() && trend->height() >= trend->minimumSizeHint().height());

    QStringList titles;
    for (const QAbstractAxis *axis : window.findChild<QChartView *>("przebiegChartView")->chart()->axes(Qt::Vertical))
        titles << axis->titleText() + QLatin1Char(' ') + axis->titleBrush().color().name();
    QCOMPARE(titles.mid(0, 2), QStringList({"Temperatura #005ac8", "AI 2 #dc6400"}));
}

TELVORO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
