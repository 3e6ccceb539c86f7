#include "mainwindow/mainwindow.h"
#include "backup/backupstore.h"
#include "configuration/configuration.h"
#include "files/configurationfile.h"
#include "dialoganswerer.h"
#include "emulatedmodule.h"
#include "emulatorprocess.h"
#include "link/module.h"
#include "sessionwords.h"
#include "link/modulesession.h"
#include "testmain.h"
#include "testwidgets.h"
#include "widgets/trendwidget.h"
#include "ui_mainwindow.h"
#include "windowdriver.h"

#include <QAreaSeries>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QLineSeries>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/file.h>
#include <unistd.h>

using TestWidgets::child;
using TestWidgets::chooseItem;
using TestWidgets::typeInto;
using WindowDriver::action;

namespace {

// The window talks to the emulator at the module's own period (500 ms), which
// leaves a busy machine ample time. A step that must run out its bound, and
// whose outcome no late answer can change, switches to this short period.
constexpr int ShortPeriod = 100;
constexpr char ExtraPorts[] = "TX48_EXTRA_PORTS";
QString linkStatus(const char *icon, const char *colour, const QString &text)
{
    return QStringLiteral("<img src=\":/new/prefix1/icons/%1.png\"> <span style=\"color:rgb(%2);font-size:9pt;"
                          "font-weight:bold;\">%3</span>").arg(QLatin1String(icon), QLatin1String(colour), text);
}
const QString ConnectedStatus = linkStatus("agt_action_success", "0,170,0", QStringLiteral("Połączono z modemem"));
const QString FailedStatus = linkStatus("agt_action_fail", "220,0,0", QStringLiteral("Błąd połączenia z modemem"));
// The failure with its reason and next step after it.
QString failedStatus(const QString &told)
{
    return FailedStatus + QStringLiteral(" <span style=\"color:rgb(230,230,230);font-size:9pt;\">%1</span>")
                                  .arg(told.toHtmlEscaped());
}
const QString ConnectingStatus = QStringLiteral("<span style=\"font-size:9pt;font-weight:bold;\">Łączenie…</span>");
const QString LostStatus = linkStatus("agt_action_fail", "220,0,0", QStringLiteral("Utracono połączenie z modemem"));
const QString ReadError = QStringLiteral("Błąd podczas odczytywania z modemu.");
const QString WriteError = QStringLiteral("Błąd podczas zapisu do modemu.");
const QString Verified = QStringLiteral("Zapisano i sprawdzono konfigurację w modemie.");
const QString OutputRangeError = QStringLiteral("Dla wyjść analogowych należy wpisać wartość od 0 do 10.");

// The controls that the window's state enables and disables.
const QStringList Controls{"actionNowy", "actionOdczyt_z_pliku", "actionZapis_do_pliku", "actionCofnij_zmiany",
                           "actionZamknij_konfiguracj", "actionOdbierz_z_modemu", "actionZapisz_do_modu_u",
                           "actionUstawienia", "polaczZModememPushButton", "portsComboBox",
                           "actionPorownaj_z_plikiem", "actionKopie_zapasowe", "actionEksportuj_do_PDF",
                           "actionDrukuj", "weWyManWyslijPushButton"};
const QStringList FileActions{"actionZapis_do_pliku", "actionCofnij_zmiany", "actionZamknij_konfiguracj",
                              "actionPorownaj_z_plikiem", "actionEksportuj_do_PDF", "actionDrukuj"};
const QStringList ModuleActions{"actionOdbierz_z_modemu", "actionZapisz_do_modu_u"};
const QStringList NotConnected = ModuleActions + QStringList{"weWyManWyslijPushButton"};
const QStringList PortsBox{"portsComboBox"};
const QStringList WhilePolling = ModuleActions + QStringList{"actionUstawienia", "portsComboBox"};

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QStringList disabledControls(MainWindow &window)
{
    QStringList disabled;
    for (const QString &name : Controls) {
        // Actions and widgets alike have the property.
        if (!child<QObject>(&window, qPrintable(name))->property("enabled").toBool())
            disabled.append(name);
    }
    return sorted(disabled);
}

// The live fields are greyed and empty, the indicators off, and the trend's
// legend shows a dash for every input.
bool liveFieldsCleared(MainWindow &window)
{
    bool cleared = true;
    for (const QWidget *field : window.findChildren<QWidget *>(QRegularExpression("^onlineAktualne(An|Zal)")))
        cleared = cleared && !field->isEnabled() && field->property("text").toString().isEmpty()
                && !field->property("checked").toBool();
    for (const QAbstractSeries *series : child<QChartView>(&window, "przebiegChartView")->chart()->series())
        cleared = cleared && (!qobject_cast<const QLineSeries *>(series) || series->name().endsWith(": –"));
    return cleared;
}

bool showsIcon(const QAbstractButton *button, const QString &path)
{
    const QImage shown = button->icon().pixmap(16).toImage();
    return !shown.isNull() && shown == QIcon(path).pixmap(16).toImage();
}

QProgressDialog *visibleBusyDialog(MainWindow &window)
{
    for (QProgressDialog *dialog : window.findChildren<QProgressDialog *>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// The commands that start with the given bytes, each as its number of bytes.
QList<int> commandLengths(const EmulatorProcess &emulator, const QString &start)
{
    QList<int> lengths;
    for (const QString &command : emulator.commands()) {
        if (command.startsWith(start))
            lengths.append(int(command.count(' ') + 1));
    }
    return lengths;
}

// The emulator's options for a module that starts with AI 2 ranging to 25.0.
QStringList startingWith(const QTemporaryDir &folder, Configuration stored = {})
{
    stored.analogRange[1] = 250;
    stored.analogDecimals[1] = 1;
    const QString path = folder.filePath(QStringLiteral("module.kvl"));
    return {"--config", ConfigurationFile::save(path, stored) ? path : QString()};
}

template<typename Series = QLineSeries>
Series *trendSeries(MainWindow &window, const char *name)
{
    const auto *view = child<QChartView>(&window, "przebiegChartView");
    for (QAbstractSeries *series : view->chart()->series()) {
        if (series->objectName() == QLatin1String(name))
            return qobject_cast<Series *>(series);
    }
    qFatal("no series %s", name);
}

// The answer to the dialog that holds the named widget. Any other dialog
// (a message box a fault brought instead) is dismissed: the test's own
// checks then fail, and the answer's lookups cannot end the whole run.
DialogAnswerer::Answer inDialogWith(const QString &widget, const DialogAnswerer::Answer &answer)
{
    return [widget, answer](QWidget *dialog) {
        if (dialog->findChild<QWidget *>(widget)) {
            answer(dialog);
            return;
        }
        qWarning("expected a dialog with %s, got \"%s\"", qPrintable(widget), qPrintable(dialog->windowTitle()));
        DialogAnswerer::dismiss(dialog);
    };
}

// Presses a button of the dialog, once the answerer has returned (the click
// may bring a message box of its own).
DialogAnswerer::Answer press(const QString &button)
{
    return inDialogWith(button, [button](QWidget *dialog) {
        QTimer::singleShot(0, dialog, [dialog, button] {
            child<QAbstractButton>(dialog, qPrintable(button))->click();
        });
    });
}

// The fields a differences dialog lists, "field: before → after", then its summary.
QStringList listedChanges(QWidget *dialog)
{
    QStringList listed;
    const QTreeWidget *tree = child<QTreeWidget>(dialog, "zmianyTreeWidget");
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        for (int row = 0; row < tree->topLevelItem(i)->childCount(); ++row) {
            const QTreeWidgetItem *field = tree->topLevelItem(i)->child(row);
            listed << field->text(0) + ": " + field->text(1) + " → " + field->text(3);
        }
    }
    return listed << child<QLabel>(dialog, "podsumowanieLabel")->text();
}

DialogAnswerer::Answer openBackup(int row, QStringList *differencesShown)
{
    return inDialogWith(QStringLiteral("kopieTableWidget"), [row, differencesShown](QWidget *dialog) {
        auto *table = child<QTableWidget>(dialog, "kopieTableWidget");
        differencesShown->append(table->item(row, 3)->text());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
        press(QStringLiteral("otworzPushButton"))(dialog);
    });
}

// Takes the URLs the window would open, in place of the desktop.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestMainWindowModule : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void connectAndReadAtModuleTiming();
    void connectButtonShowsTheLink_data();
    void connectButtonShowsTheLink();
    void connectionFailureIsExplained_data();
    void connectionFailureIsExplained();
    void vanishedPortLeavesWindowReadyToConnectAgain_data();
    void vanishedPortLeavesWindowReadyToConnectAgain();
    void scanRefillsPortsAndChoosesTheLastOneUsed();
    void findingTheModule_data();
    void findingTheModule();
    void findingStopsWhenCancelled();

    void readFailures_data();
    void readFailures();
    void readHoldsOffOtherActionsAndClosing();
    void closingDuringWriteStillAsksAboutChanges();

    void writeSendsSmsTextsOnlyWhenTheModulesDiffer();
    void writeAsksAgainWhenTheModuleChangesDuringTheQuestion();
    void writeIsCheckedByReadingBack_data();
    void writeIsCheckedByReadingBack();
    void writeFailures_data();
    void writeFailures();
    void writeSaysWhatTheSessionSays_data();
    void writeSaysWhatTheSessionSays();
    void settingsSurviveTheModule();
    void untouchedValuesGoBackToTheModule();
    void writeAsksFirst_data();
    void writeAsksFirst();
    void writeListsChangesKeepsBackupAndRestores();
    void moduleStateStaysUntilSettled();

    void onlineTabShowsLiveState();
    void onlineTrendHoldsPollsAndGaps();
    void trendBreaksWherePollingPaused();
    void manualOutputs_data();
    void manualOutputs();
    void requestsDuringAPollWaitForIt();

    void windowStateDecidesWhatIsEnabled_data();
    void windowStateDecidesWhatIsEnabled();

    void linkLogFollowsTheLine();

private:
    // Starts an emulator and lists its port in a fresh window; then, as far
    // as asked, connects and reads the module's configuration.
    // The steps tell whether they succeeded; a test checks each with QVERIFY
    // and ends there, rather than going on with a window half set up.
    enum Stage { Listed, Connected, Read };
    bool setUp(const QStringList &options = {}, Stage stage = Connected);
    bool connectWindow();
    // A fresh window listing the emulators' ports and no other.
    void listOnly(const std::vector<std::unique_ptr<EmulatorProcess>> &emulators);
    bool readModule();
    void checkLink(bool connected, const QString &status);
    bool writeModule();
    // Types into status SMS 1's text.
    void typeSmsText(const QString &text);
    // Takes the step once, as soon as a poll waits for its answer.
    void duringPoll(const std::function<void()> &step);

    std::unique_ptr<EmulatorProcess> emulator;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DialogAnswerer> answerer;
};

void TestMainWindowModule::init()
{
    QSettings().clear();
    QDir(BackupStore::defaultFolder()).removeRecursively();
    answerer = std::make_unique<DialogAnswerer>();
}

void TestMainWindowModule::cleanup()
{
    const QList<DialogAnswerer::Seen> unexpected = answerer ? answerer->unexpected : QList<DialogAnswerer::Seen>();
    window.reset();
    emulator.reset();
    answerer.reset();
    qunsetenv(ExtraPorts);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.value(0).text));
}

bool TestMainWindowModule::setUp(const QStringList &options, Stage stage)
{
    emulator = std::make_unique<EmulatorProcess>(options);
    if (!emulator->isRunning())
        return false;
    qputenv(ExtraPorts, emulator->portPath().toLocal8Bit());
    window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return false;
    window->module->readAvaiblePorts();
    return (stage < Connected || connectWindow()) && (stage < Read || readModule());
}

bool TestMainWindowModule::connectWindow()
{
    QComboBox *ports = window->ui->portsComboBox;
    const int index = ports->findData(emulator->portPath());
    if (index <= 0)
        return false;
    ports->setCurrentIndex(index);
    QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);
    return window->ui->polaczZModememPushButton->text() == QStringLiteral("Rozłącz");
}

bool TestMainWindowModule::readModule()
{
    action(*window, "actionOdbierz_z_modemu")->trigger();
    return window->configuration && window->configurationSource == 2;
}

void TestMainWindowModule::checkLink(bool connected, const QString &status)
{
    QPushButton *button = window->ui->polaczZModememPushButton;
    QCOMPARE(button->text(), connected ? QStringLiteral("Rozłącz") : QStringLiteral("Połącz"));
    QVERIFY(button->isEnabled());
    QVERIFY(showsIcon(button, connected ? QStringLiteral(":/new/prefix1/icons/network-connect.png")
                                        : QStringLiteral(":/new/prefix1/icons/network-disconnect.png")));
    QCOMPARE(window->ui->modemPolaczenieStatusLabel->text(), status);
    QCOMPARE(window->ui->portsComboBox->isEnabled(), !connected);
    QCOMPARE(window->module->isConnected(), connected);
    QCOMPARE(window->module->portsTimer.isActive(), !connected);
}

// "Zapisz do modemu", confirmed in the list of changes.
bool TestMainWindowModule::writeModule()
{
    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    action(*window, "actionZapisz_do_modu_u")->trigger();
    return !answerer->seen.isEmpty() && answerer->seen.takeLast().title == QStringLiteral("Zapis do modemu");
}

void TestMainWindowModule::typeSmsText(const QString &text)
{
    QTableWidget *statuses = window->ui->defNazwSmsListaTableWidget;
    WindowDriver::reveal(statuses);
    QTest::mouseClick(statuses->viewport(), Qt::LeftButton, {}, statuses->visualItemRect(statuses->item(0, 1)).center());
    window->ui->defNazwSmsTrescPlainTextEdit->setFocus();
    QTest::keyClicks(window->ui->defNazwSmsTrescPlainTextEdit, text);
}

void TestMainWindowModule::duringPoll(const std::function<void()> &step)
{
    bool taken = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (window->module->isBusy() && !taken) {
            taken = true;
            step();
        }
    });
    watch.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(taken, 10000);
}

void TestMainWindowModule::connectAndReadAtModuleTiming()
{
    Configuration stored;
    stored.hysteresis = 42;
    QTemporaryDir folder;
    // A module that takes a second to answer, so the busy dialog shows.
    QVERIFY(setUp(startingWith(folder, stored) + QStringList{"--delay", "A=1000"}));

    bool shownEarly = false;
    QString shownLabel;
    QStringList shownBar;
    int lastValue = -1;
    // Context of the timers below: they die with this function's locals.
    // A thread's timers fire in the order they fall due, however late a busy
    // machine runs them: the one at 300 ms before the dialog's half second,
    // the one at 800 ms before the answer, due after a second, ends the read.
    const QObject scope;
    QTimer::singleShot(300, &scope, [&] { shownEarly = visibleBusyDialog(*window); });
    QTimer::singleShot(800, &scope, [&] {
        if (QProgressDialog *dialog = visibleBusyDialog(*window)) {
            shownLabel = dialog->labelText();
            shownBar << dialog->windowTitle() << QString::number(dialog->maximum());
            lastValue = dialog->value();
            connect(dialog->findChild<QProgressBar *>(), &QProgressBar::valueChanged, &scope,
                    [&](int value) { lastValue = value; });
        }
    });
    QVERIFY(readModule());

    QVERIFY(!shownEarly);
    QVERIFY2(shownLabel.contains(QRegularExpression(QStringLiteral(
                     "^<b>Odczyt danych z modemu.</b><br>Proszę czekać...<br>Czekam na konfigurację z modemu… \\d s$"))),
             qPrintable(shownLabel));
    // Against the read's 3 s, and full once the answer is in.
    QCOMPARE(shownBar, QStringList({"Telvoro", "3000"}));
    QCOMPARE(lastValue, 3000);
    QVERIFY(!visibleBusyDialog(*window));
    QCOMPARE(emulator->commands(), QStringList({"69", "69", "41"}));
    QCOMPARE(window->ui->mainStackedWidget->currentIndex(), 1);
    QCOMPARE(window->windowTitle(), QStringLiteral("Telvoro[*]"));
    QVERIFY(!window->isWindowModified());
    QCOMPARE(window->ui->weWyHisterezaLineEdit->text(), QStringLiteral("42"));
    QCOMPARE(window->ui->weWyWeAn2ZakresLineEdit->text(), QStringLiteral("25.0"));
    QCOMPARE(window->configuration->simPin, QStringLiteral("1234"));
    QVERIFY(*window->configuration == *window->referenceConfiguration);
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Odczytano konfigurację z modemu."));
    QCOMPARE(disabledControls(*window), PortsBox);
}

void TestMainWindowModule::connectButtonShowsTheLink_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("portChosen");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("status");
    QTest::newRow("connected") << QStringList() << true << 1 << ConnectedStatus;
    QTest::newRow("disconnected again") << QStringList() << true << 2 << QString();
    QTest::newRow("no module answers") << QStringList{"--fail", "silent"} << true << 1
                                       << failedStatus("port nie odpowiada. Sprawdź kabel i zasilanie modemu.");
    // Without a port chosen, "Połącz" finds the module.
    QTest::newRow("prompt item chosen") << QStringList() << false << 1 << ConnectedStatus;
}

void TestMainWindowModule::connectButtonShowsTheLink()
{
    QFETCH(QStringList, options);
    QFETCH(bool, portChosen);
    QFETCH(int, clicks);
    QFETCH(QString, status);
    QVERIFY(setUp(options, Listed));
    // A silent module's probe fails whatever comes within its bound.
    if (options.contains(QLatin1String("silent")))
        window->module->setPeriodForTests(ShortPeriod);
    QComboBox *ports = window->ui->portsComboBox;
    ports->setCurrentIndex(portChosen ? ports->findData(emulator->portPath()) : 0);
    // Stopped, so that the window must start the scan again once not connected.
    if (portChosen)
        window->module->portsTimer.stop();
    // As after an earlier attempt that failed.
    if (portChosen)
        window->ui->modemPolaczenieStatusLabel->setText(FailedStatus);
    QString shownWhileConnecting;
    QTimer::singleShot(0, window.get(), [&] { shownWhileConnecting = window->ui->modemPolaczenieStatusLabel->text(); });
    for (int click = 0; click < clicks; ++click)
        QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);

    checkLink(status == ConnectedStatus, status);
    // A failed attempt is remembered too.
    QCOMPARE(QSettings().value(QStringLiteral("LastPortUsed")).toString(), emulator->portPath());
    QCOMPARE(ports->currentData().toString(), emulator->portPath());
    QTRY_COMPARE(emulator->commands(), QStringList({"69", "69"}));
    QCOMPARE(disabledControls(*window), sorted(FileActions + (status == ConnectedStatus ? PortsBox : NotConnected)));
    // Until the attempt's end, in place of the status before it.
    if (portChosen)
        QCOMPARE(shownWhileConnecting, ConnectingStatus);
    else
        QVERIFY2(shownWhileConnecting.contains("Szukanie modemu: " + emulator->portPath() + " (1 z "),
                 qPrintable(shownWhileConnecting));
}

void TestMainWindowModule::connectionFailureIsExplained_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("told");
    QTest::newRow("silent port") << "silent" << "port nie odpowiada. Sprawdź kabel i zasilanie modemu.";
    QTest::newRow("something else answers")
            << "wrong-answer"
            << "na porcie odpowiada coś innego niż modem (7A 0D 0A). Sprawdź, czy wybrano port modemu i czy modem "
               "jest włączony.";
    QTest::newRow("busy") << "busy" << "port jest zajęty przez inny program. Zamknij ten program albo wybierz inny port.";
    QTest::newRow("not permitted")
            << "not permitted"
            << "brak uprawnień do portu (zwykle potrzebna jest grupa dialout). Dodaj użytkownika do tej grupy i "
               "zaloguj się ponownie.";
    QTest::newRow("vanished") << "vanished" << "nie ma takiego portu. Podłącz modem i wybierz jego port z listy.";
}

// Why, with the next step, in the status bar and the band, in the words
// telvoro-cli uses; the band keeps its own failure text first.
void TestMainWindowModule::connectionFailureIsExplained()
{
    QFETCH(QString, cause);
    QFETCH(QString, told);
    const bool fault = cause == QLatin1String("silent") || cause == QLatin1String("wrong-answer");
    QVERIFY(setUp(fault ? QStringList{"--fail", cause} : QStringList(), Listed));
    window->module->setPeriodForTests(ShortPeriod);
    QComboBox *ports = window->ui->portsComboBox;
    ports->setCurrentIndex(ports->findData(emulator->portPath()));
    QFile other(emulator->portPath());
    if (cause == QLatin1String("busy")) {
        QVERIFY(other.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    } else if (cause == QLatin1String("vanished")) {
        // Listed before it went.
        ports->addItem(QStringLiteral("ttyUSB9"), QStringLiteral("/dev/tx48-gone"));
        ports->setCurrentIndex(ports->count() - 1);
    }
    // A user who may not open the root's device.
    const bool asNobody = cause == QLatin1String("not permitted");
    if (asNobody && (::geteuid() != 0 || ::seteuid(65534) != 0))
        QSKIP("becoming another user needs root");
    window->ui->polaczZModememPushButton->click();
    if (asNobody)
        QCOMPARE(::seteuid(0), 0);

    checkLink(false, failedStatus(told));
    const QString message = QStringLiteral("Błąd połączenia z modemem: ") + told;
    QCOMPARE(window->ui->modemPolaczenieStatusLabel->toolTip(), message);
    QCOMPARE(window->statusBar()->currentMessage(), message);
}

void TestMainWindowModule::vanishedPortLeavesWindowReadyToConnectAgain_data()
{
    QTest::addColumn<bool>("duringWrite");
    QTest::newRow("during a write") << true;
    QTest::newRow("while polling") << false;
}

// The module's line goes away as when an adapter is pulled out.
void TestMainWindowModule::vanishedPortLeavesWindowReadyToConnectAgain()
{
    QFETCH(bool, duringWrite);
    QVERIFY(setUp({"--delay", "pb=2000"}));
    WindowDriver::newConfiguration(*window);
    WindowDriver::retype(window->ui->weWyHisterezaLineEdit, QStringLiteral("77"));
    Configuration *open = window->configuration.get();
    if (duringWrite) {
        const QMetaObject::Connection stopDuringPb =
                connect(window->module, &Module::exchangeProgress, this, [&](int elapsed) {
                    if (elapsed > 0 && !commandLengths(*emulator, "70 62").isEmpty())
                        emulator->stop();
                });
        answerer->expect(press(QStringLiteral("zapiszPushButton")));
        // The backup cannot go back to a module that is gone: the window says how to do it later.
        answerer->expectMessageBox(QStringLiteral("Przywróć kopię zapasową"));
        answerer->expectMessageBox();
        action(*window, "actionZapisz_do_modu_u")->trigger();
        disconnect(stopDuringPb);
        QCOMPARE(answerer->seen.value(1).text,
                 "Połączenie z modemem zostało utracone w trakcie zapisu. " + WriteError);
        QVERIFY(answerer->seen.value(2).details.contains(BackupStore().list().first().path));
        QVERIFY(answerer->seen.value(2).details.contains(QStringLiteral("Plik → Kopie zapasowe…")));
    } else {
        window->ui->tabWidget->setCurrentIndex(3);
        QTRY_VERIFY(emulator->commands().contains(QStringLiteral("42")));
        emulator->stop();
    }

    QTRY_COMPARE(window->ui->polaczZModememPushButton->text(), QStringLiteral("Połącz"));
    checkLink(false, LostStatus);
    QVERIFY(!window->onlineTimer.isActive());
    if (!duringWrite)
        QVERIFY(liveFieldsCleared(*window));

    // The scan notices the port gone, then the new one. The box is refilled
    // only when the number of ports changes, so the gone port leaves the
    // list before the scan: its /dev/pts number is free for any program's
    // next pseudo-terminal, such as the emulator of a test running beside
    // this one, and would still count as a port.
    qunsetenv(ExtraPorts);
    window->module->readAvaiblePorts();
    emulator = std::make_unique<EmulatorProcess>();
    QVERIFY(emulator->isRunning());
    qputenv(ExtraPorts, emulator->portPath().toLocal8Bit());
    window->module->readAvaiblePorts();
    QVERIFY(connectWindow());
    QCOMPARE(window->onlineTimer.isActive(), !duringWrite);
    window->ui->tabWidget->setCurrentIndex(0);
    QVERIFY(writeModule());
    QCOMPARE(window->statusBar()->currentMessage(), Verified);
    QCOMPARE(window->configuration.get(), open);
    QCOMPARE(window->configuration->hysteresis, quint8(77));
}

// The scan refills the box whenever the ports change, also when one is
// replaced by another; the port chosen stays chosen, and the last port used
// is chosen once it is there.
void TestMainWindowModule::scanRefillsPortsAndChoosesTheLastOneUsed()
{
    EmulatorProcess other;
    QVERIFY(other.isRunning());
    QSettings().setValue(QStringLiteral("LastPortUsed"), other.portPath());
    QVERIFY(setUp({}, Listed));
    QComboBox *ports = window->ui->portsComboBox;
    QCOMPARE(ports->itemText(0), QStringLiteral("<<Wybierz port do komunikacji z modemem>>"));
    QCOMPARE(ports->itemText(1), QStringLiteral("Automatycznie (znajdź modem)"));
    QCOMPARE(ports->currentIndex(), 0);
    const int countWithOne = ports->count();

    qputenv(ExtraPorts, (emulator->portPath() + ':' + other.portPath()).toLocal8Bit());
    window->module->readAvaiblePorts();
    QCOMPARE(ports->count(), countWithOne + 1);
    QCOMPARE(ports->currentData().toString(), other.portPath());
    QCOMPARE(ports->currentText(), other.portPath() + " (port wirtualny)");

    // One adapter out and another in between two scans.
    ports->setCurrentIndex(ports->findData(emulator->portPath()));
    EmulatorProcess third;
    QVERIFY(third.isRunning());
    qputenv(ExtraPorts, (emulator->portPath() + ':' + third.portPath()).toLocal8Bit());
    window->module->readAvaiblePorts();
    QCOMPARE(ports->count(), countWithOne + 1);
    QCOMPARE(ports->findData(other.portPath()), -1);
    QCOMPARE(ports->itemText(ports->findData(third.portPath())), third.portPath() + " (port wirtualny)");
    QCOMPARE(ports->currentData().toString(), emulator->portPath());

    // The chosen port gone: the last port used, else the prompt.
    qputenv(ExtraPorts, third.portPath().toLocal8Bit());
    window->module->readAvaiblePorts();
    QCOMPARE(ports->currentIndex(), 0);
    ports->setCurrentIndex(1);
    qputenv(ExtraPorts, (third.portPath() + ':' + other.portPath()).toLocal8Bit());
    window->module->readAvaiblePorts();
    QCOMPARE(ports->currentIndex(), 1);
}

// Three ports listed, and only they: the machine's own would make the
// outcome depend on the machine.
void TestMainWindowModule::listOnly(const std::vector<std::unique_ptr<EmulatorProcess>> &emulators)
{
    QStringList paths;
    for (const auto &listed : emulators)
        paths.append(listed->portPath());
    qputenv(ExtraPorts, paths.join(':').toLocal8Bit());
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->module->readAvaiblePorts();
    window->module->availablePorts.removeIf([&paths](const QPair<QString, QString> &port) {
        return !paths.contains(port.first);
    });
    emit window->module->newAvailablePorts();
    QCOMPARE(window->ui->portsComboBox->count(), 2 + paths.size());
}

void TestMainWindowModule::findingTheModule_data()
{
    QTest::addColumn<QList<QStringList>>("options");
    // Of the third port: a lock file of a program that is running ("live")
    // or has ended ("dead").
    QTest::addColumn<QString>("lockFile");
    // The port remembered as the last one used; -1 for none.
    QTest::addColumn<int>("lastUsed");
    QTest::addColumn<int>("found");
    // Without a module: each port tried, "%1" to "%3" for their paths, "%4"
    // for the lock file's PID.
    QTest::addColumn<QStringList>("reasons");
    const QStringList module;
    const QStringList silent{"--fail", "silent"};
    const QStringList garbage{"--fail", "wrong-answer"};
    QTest::newRow("module after no answer and another device") << QList{silent, garbage, module} << "dead" << -1 << 2
                                                              << QStringList();
    QTest::newRow("last port used first") << QList{module, silent, module} << "" << 2 << 2 << QStringList();
    QTest::newRow("no module") << QList{silent, garbage, module} << "live" << 2 << -1
                               << QStringList{"%3: port jest zajęty przez inny program: sleep (PID %4).",
                                              "%1: brak odpowiedzi.",
                                              "%2: odpowiedziało inne urządzenie (7A 0D 0A)."};
}

void TestMainWindowModule::findingTheModule()
{
    QFETCH(QList<QStringList>, options);
    QFETCH(QString, lockFile);
    QFETCH(int, lastUsed);
    QFETCH(int, found);
    QFETCH(QStringList, reasons);
    std::vector<std::unique_ptr<EmulatorProcess>> emulators;
    for (const QStringList &faults : options) {
        emulators.push_back(std::make_unique<EmulatorProcess>(faults));
        QVERIFY(emulators.back()->isRunning());
    }
    const auto path = [&emulators](int index) { return emulators.at(index)->portPath(); };
    QTemporaryDir lockFolder;
    QProcess holder;
    if (!lockFile.isEmpty()) {
        holder.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(holder.waitForStarted());
        if (lockFile == QLatin1String("dead")) {
            holder.kill();
            QVERIFY(holder.waitForFinished());
        }
        QFile lock(lockFolder.filePath("LCK.." + path(2).mid(5).replace('/', '_')));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(holder.processId()).rightJustified(10, ' ') + '\n');
        qputenv("TX48_LOCK_FOLDERS", QFile::encodeName(lockFolder.path()));
    }
    if (lastUsed >= 0)
        QSettings().setValue(QStringLiteral("LastPortUsed"), path(lastUsed));
    listOnly(emulators);
    QComboBox *ports = window->ui->portsComboBox;
    ports->setCurrentIndex(1);
    if (found < 0)
        answerer->expectMessageBox();

    QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);
    qunsetenv("TX48_LOCK_FOLDERS");

    checkLink(found >= 0, found >= 0 ? ConnectedStatus : FailedStatus);
    QCOMPARE(QSettings().value(QStringLiteral("LastPortUsed")).toString(), path(found >= 0 ? found : lastUsed));
    if (found >= 0) {
        QCOMPARE(ports->currentData().toString(), path(found));
        QCOMPARE(window->statusBar()->currentMessage(), "Modem znaleziono na porcie " + path(found) + '.');
        // Tried before it: the ports before it in the list, unless it was the last one used.
        for (int before = 0; before < found; ++before)
            QCOMPARE(emulators.at(before)->commands().isEmpty(), found == lastUsed);
        return;
    }
    QCOMPARE(ports->currentIndex(), 1);
    QCOMPARE(answerer->seen.size(), 1);
    QCOMPARE(answerer->seen.first().text, QStringLiteral("Nie znaleziono modemu na żadnym porcie."));
    QCOMPARE(answerer->seen.first().details,
             reasons.join('\n').arg(path(0), path(1), path(2), QString::number(holder.processId())));
    QVERIFY(emulators.at(2)->commands().isEmpty());
    holder.kill();
    holder.waitForFinished();
}

// "Przerwij" ends the search in the port test's wait, before the probe, and
// no other port is tried.
void TestMainWindowModule::findingStopsWhenCancelled()
{
    std::vector<std::unique_ptr<EmulatorProcess>> emulators;
    for (int i = 0; i < 3; ++i) {
        emulators.push_back(std::make_unique<EmulatorProcess>(QStringList{"--fail", "silent"}));
        QVERIFY(emulators.back()->isRunning());
    }
    listOnly(emulators);
    QPushButton *button = window->ui->polaczZModememPushButton;
    QString shownWhileTrying;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (!emulators.front()->commands().isEmpty() && shownWhileTrying.isEmpty()) {
            shownWhileTrying = window->ui->modemPolaczenieStatusLabel->text() + '|' + button->text();
            QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    watch.start(5);
    QTest::mouseClick(button, Qt::LeftButton);
    watch.stop();

    const QString trying = "Szukanie modemu: " + emulators.front()->portPath() + " (1 z 3)…</span>|Przerwij";
    QVERIFY2(shownWhileTrying.contains(trying), qPrintable(shownWhileTrying));
    checkLink(false, QString());
    QCOMPARE(emulators.at(0)->commands(), QStringList{"69"});
    QVERIFY(emulators.at(1)->commands().isEmpty());
    QVERIFY(emulators.at(2)->commands().isEmpty());
    QVERIFY(!QSettings().contains(QStringLiteral("LastPortUsed")));
}

void TestMainWindowModule::readFailures_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("editedOpen");
    // The ways a read fails are the session's (tst_modulesession); the
    // window shows one message for all of them.
    QTest::newRow("1967 bytes") << QStringList{"--fail", "short-image"} << false;
    // "Porzuć zmiany" answered, but the read fails: nothing is lost.
    QTest::newRow("1967 bytes, edited configuration open") << QStringList{"--fail", "short-image"} << true;
}

void TestMainWindowModule::readFailures()
{
    QFETCH(QStringList, options);
    QFETCH(bool, editedOpen);
    QVERIFY(setUp(options));
    // Whatever comes within the bound, the read fails.
    window->module->setPeriodForTests(ShortPeriod);
    if (editedOpen) {
        WindowDriver::newConfiguration(*window);
        WindowDriver::retype(window->ui->weWyHisterezaLineEdit, QStringLiteral("77"));
        answerer->expectMessageBox(QStringLiteral("Porzuć zmiany"));
    }
    answerer->expectMessageBox();
    action(*window, "actionOdbierz_z_modemu")->trigger();

    QCOMPARE(answerer->seen.size(), editedOpen ? 2 : 1);
    QCOMPARE(answerer->seen.last().title, QStringLiteral("Odczyt"));
    QCOMPARE(answerer->seen.last().text, ReadError);
    QVERIFY(window->statusBar()->currentMessage().isEmpty());
    QCOMPARE(bool(window->configuration), editedOpen);
    QCOMPARE(bool(window->referenceConfiguration), editedOpen);
    QCOMPARE(window->ui->mainStackedWidget->currentIndex(), editedOpen ? 1 : 0);
    QCOMPARE(disabledControls(*window), sorted(editedOpen ? PortsBox : FileActions + PortsBox));
    if (editedOpen) {
        QCOMPARE(window->ui->weWyHisterezaLineEdit->text(), QStringLiteral("77"));
        QVERIFY(window->isWindowModified());
    }
}

// During a read the window's actions and links do nothing, and closing the
// window waits for the read's end.
void TestMainWindowModule::readHoldsOffOtherActionsAndClosing()
{
    QVERIFY(setUp({"--delay", "A=400"}));
    QStringList disabledDuringRead;
    bool newConfigurationCreated = false;
    bool closedAtOnce = true;
    const QObject scope;
    QTimer::singleShot(200, &scope, [&] {
        disabledDuringRead = disabledControls(*window);
        action(*window, "actionNowy")->trigger();
        newConfigurationCreated = bool(window->configuration);
        emit window->ui->label_6->linkActivated(QStringLiteral("ustawienia_telefon"));
        closedAtOnce = window->close();
    });
    QVERIFY(readModule());
    QCOMPARE(disabledDuringRead, sorted(Controls));
    QVERIFY(answerer->seen.isEmpty());
    QVERIFY(!newConfigurationCreated);
    QCOMPARE(disabledControls(*window), PortsBox);
    QVERIFY(!closedAtOnce);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(!window->configuration);
}

void TestMainWindowModule::closingDuringWriteStillAsksAboutChanges()
{
    QVERIFY(setUp({"--delay", "pb=300"}));
    WindowDriver::newConfiguration(*window);
    WindowDriver::change(*window, QStringLiteral("weWyHisterezaLineEdit"));
    bool closedAtOnce = true;
    const QObject scope;
    QTimer::singleShot(100, &scope, [&] { closedAtOnce = window->close(); });
    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    answerer->expectMessageBox(QStringLiteral("Porzuć zmiany"));
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QVERIFY(!closedAtOnce);
    QCOMPARE(commandLengths(*emulator, "70 62"), QList<int>{836});
    QVERIFY(answerer->waitAllAnswered());
    QCOMPARE(answerer->seen[1].title, QStringLiteral("Zmiany"));
    QTRY_VERIFY(!window->isVisible());
}

// The SMS block goes only when the texts just read from the module differ
// from the ones to send (tst_modulesession has every case of that rule).
// What is sent is the copy taken as the write starts:
// a text typed while the SMS block waits for its answer stays an edit, and
// the next write sends it.
void TestMainWindowModule::writeSendsSmsTextsOnlyWhenTheModulesDiffer()
{
    QVERIFY(setUp({"--delay", "pc=500"}));
    WindowDriver::newConfiguration(*window);
    WindowDriver::retype(window->ui->weWyHisterezaLineEdit, QStringLiteral("77"));
    QVERIFY(writeModule());
    QCOMPARE(commandLengths(*emulator, "70 62"), QList<int>{836});
    QCOMPARE(commandLengths(*emulator, "70 63"), QList<int>());
    QVERIFY(answerer->seen.isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(), Verified);
    QCOMPARE(disabledControls(*window), PortsBox);

    // Written, yet not saved: a read asks about the changes first.
    Configuration *open = window->configuration.get();
    const QStringList sent = emulator->commands();
    answerer->expectMessageBox(QStringLiteral("Anuluj"));
    action(*window, "actionOdbierz_z_modemu")->trigger();
    QCOMPARE(answerer->seen.takeFirst().title, QStringLiteral("Zmiany"));
    QCOMPARE(window->configuration.get(), open);
    QCOMPARE(emulator->commands(), sent);

    typeSmsText(QStringLiteral("AAA"));
    bool typed = false;
    const QMetaObject::Connection typeWhileSmsBlockWaits =
            connect(window->module, &Module::exchangeProgress, this, [&](int elapsed) {
                if (!typed && elapsed > 0 && !commandLengths(*emulator, "70 63").isEmpty()) {
                    typed = true;
                    QTest::keyClicks(window->ui->defNazwSmsTrescPlainTextEdit, QStringLiteral("BBB"));
                }
            });
    QVERIFY(writeModule());
    disconnect(typeWhileSmsBlockWaits);
    QVERIFY(typed);
    QCOMPARE(window->statusBar()->currentMessage(), Verified);
    Configuration held;
    held.fromImage(window->module->readConfiguration());
    QCOMPARE(held.smsText(0), QStringLiteral("AAA"));
    QCOMPARE(window->configuration->smsText(0), QStringLiteral("AAABBB"));

    QStringList listed;
    answerer->expect([&listed](QWidget *dialog) {
        listed = listedChanges(dialog);
        press(QStringLiteral("zapiszPushButton"))(dialog);
    });
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QCOMPARE(listed, QStringList({"Status 1: AAA → AAABBB", "Zmiany: 1 pole w 1 sekcji."}));
    QCOMPARE(commandLengths(*emulator, "70 63"), QList<int>({1122, 1122}));
    QCOMPARE(window->statusBar()->currentMessage(), Verified);
}

// Moved to another module while the list of changes is open: the module is
// read again once the user has answered, the list comes again, saying the
// module changed, and nothing goes to it when the user declines.
void TestMainWindowModule::writeAsksAgainWhenTheModuleChangesDuringTheQuestion()
{
    QTemporaryDir folder;
    Configuration second;
    second.hysteresis = 33;
    second.setPhoneNumber(0, QStringLiteral("600100200"));
    const QString secondPath = folder.filePath(QStringLiteral("second.kvl"));
    QVERIFY(ConfigurationFile::save(secondPath, second));
    QVERIFY(setUp({"--swap-file", secondPath}, Read));
    QStringList listed;
    QString described;
    answerer->expect([this](QWidget *dialog) {
        QVERIFY(emulator->swapModule());
        press(QStringLiteral("zapiszPushButton"))(dialog);
    });
    answerer->expect([&listed, &described](QWidget *dialog) {
        listed = listedChanges(dialog);
        described = child<QLabel>(dialog, "opisLabel")->text();
        press(QStringLiteral("anulujPushButton"))(dialog);
    });
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QVERIFY(answerer->waitAllAnswered());
    QCOMPARE(listed, QStringList({"Histereza: 33 → 20", "Telefon 1: 600100200 → —", "Zmiany: 2 pola w 2 sekcjach."}));
    QVERIFY2(described.contains(QStringLiteral("zmienił się")), qPrintable(described));
    QVERIFY(commandLengths(*emulator, "70 62").isEmpty());
    QCOMPARE(window->module->readConfiguration().mid(ImageHeaderSize),
             ConfigurationFile::encode(second).mid(ConfigurationFile::LengthFieldSize + ImageHeaderSize));
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Modem zmienił się przed zapisem; nic do niego nie wysłano."));
}

void TestMainWindowModule::writeIsCheckedByReadingBack_data()
{
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QString>("fault");
    // What the read-back finds stored differently; the SMS texts change too when it is one of them.
    QTest::addColumn<QString>("listed");
    QTest::newRow("read back and compared") << true << "store-changed" << "Histereza: 30 → 31";
    QTest::newRow("check turned off: verifyModuleWrites=false") << false << "store-changed" << QString();
    QTest::newRow("only the SMS block stored changed") << true << "sms-store-changed" << "Status 1: AAA → BAA";
}

// The module acknowledges the blocks but stores the hysteresis one higher,
// or the first byte of status SMS 1: the field is listed and no success is
// reported; "Zapisz ponownie" sends the same again.
void TestMainWindowModule::writeIsCheckedByReadingBack()
{
    QFETCH(bool, verify);
    QFETCH(QString, fault);
    QFETCH(QString, listed);
    QSettings().setValue(QStringLiteral("verifyModuleWrites"), verify);
    QVERIFY(setUp({"--fail", fault}, Read));
    WindowDriver::retype(window->ui->weWyHisterezaLineEdit, QStringLiteral("30"));
    const bool smsChanged = listed.startsWith(QStringLiteral("Status"));
    if (smsChanged)
        typeSmsText(QStringLiteral("AAA"));
    QStringList shown;
    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    if (verify) {
        answerer->expect([&shown](QWidget *dialog) {
            shown = listedChanges(dialog) << dialog->windowTitle();
            press(QStringLiteral("zapiszPonowniePushButton"))(dialog);
        });
        answerer->expect(press(QStringLiteral("zamknijPushButton")));
    }
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QVERIFY(answerer->waitAllAnswered());
    QCOMPARE(shown, verify ? QStringList({listed, "Różnice: 1 pole w 1 sekcji.", "Zapis do modemu"}) : QStringList());
    QCOMPARE(commandLengths(*emulator, "70 62").size(), verify ? 2 : 1);
    QCOMPARE(commandLengths(*emulator, "70 63").size(), smsChanged ? 2 : 0);
    QCOMPARE(emulator->commands().last() == QLatin1String("41"), verify);
    QCOMPARE(window->statusBar()->currentMessage().startsWith(QStringLiteral("Zapisano")), !verify);
    if (!verify)
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Zapisano konfigurację w modemie."));
}

void TestMainWindowModule::writeFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<int>>("smsBlocks");
    QTest::addColumn<QString>("leftBehind");
    QTest::addColumn<bool>("restore");
    // Another module is on the line when the backup is to go back.
    QTest::addColumn<bool>("swapped");
    const QString noU = "Modem potwierdził blok ustawień, ale nie potwierdził bloku tekstów SMS.";
    QTest::newRow("no u, backup restored") << "no-sms-ack" << QList<int>{1122} << noU << true << false;
    QTest::newRow("no u, another module: asked, kept") << "no-sms-ack" << QList<int>{1122} << noU << true << true;
}

// The message says which block the module acknowledged and where the backup
// is; restoring it gives the module its old image byte for byte.
void TestMainWindowModule::writeFailures()
{
    QFETCH(QString, fault);
    QFETCH(QList<int>, smsBlocks);
    QFETCH(QString, leftBehind);
    QFETCH(bool, restore);
    QFETCH(bool, swapped);
    // The module's texts differ from the new configuration's, so both blocks go.
    Configuration stored;
    stored.setSmsText(0, QStringLiteral("Alarm"));
    QTemporaryDir folder;
    Configuration other;
    other.setSmsText(0, QStringLiteral("Inny modem"));
    const QString otherPath = folder.filePath(QStringLiteral("other.kvl"));
    QVERIFY(ConfigurationFile::save(otherPath, other));
    QVERIFY(setUp(startingWith(folder, stored) + QStringList{"--fail", fault, "--swap-file", otherPath}));
    const QByteArray original = window->module->readConfiguration();
    WindowDriver::newConfiguration(*window);
    // The list of changes shows once the module's configuration is read; the
    // write then runs out its bound at the short period.
    answerer->expect([this](QWidget *dialog) {
        window->module->setPeriodForTests(ShortPeriod);
        press(QStringLiteral("zapiszPushButton"))(dialog);
    });
    if (swapped) {
        answerer->expect([this](QWidget *dialog) {
            QVERIFY(emulator->swapModule());
            for (QAbstractButton *button : qobject_cast<QMessageBox *>(dialog)->buttons()) {
                if (button->text() == QStringLiteral("Przywróć kopię zapasową"))
                    button->click();
            }
        });
        answerer->expectMessageBox(QStringLiteral("Anuluj"));
    } else {
        answerer->expectMessageBox(restore ? QStringLiteral("Przywróć kopię zapasową") : QStringLiteral("OK"));
    }
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QCOMPARE(answerer->seen.size(), swapped ? 3 : 2);
    QCOMPARE(answerer->seen[1].title, window->windowTitle());
    QCOMPARE(answerer->seen[1].text, "Modem nie potwierdził wysłanego bloku w wyznaczonym czasie. " + WriteError);
    const QString backup = BackupStore().list().last().path;
    QCOMPARE(answerer->seen[1].details, leftBehind + "\nModem może zawierać część nowej konfiguracji.\n"
                                                      "Kopia zapasowa jego poprzedniej konfiguracji: " + backup);
    const bool restored = restore && !swapped;
    QCOMPARE(window->statusBar()->currentMessage(),
             restored ? QStringLiteral("Przywrócono w modemie kopię zapasową z %1.")
                                .arg(BackupStore().list().last().time.toString(QStringLiteral("d.M.yyyy HH:mm")))
                      : QString());
    QCOMPARE(commandLengths(*emulator, "70 62"), restored ? QList<int>({836, 836}) : QList<int>{836});
    QCOMPARE(commandLengths(*emulator, "70 63"), smsBlocks);
    if (restored)
        QCOMPARE(window->module->readConfiguration(), original);
    // The question names the module on the line and the backup; the other
    // module keeps its configuration.
    if (swapped) {
        QCOMPARE(answerer->seen[2].title, QStringLiteral("Przywróć kopię zapasową"));
        QVERIFY2(answerer->seen[2].text.contains(emulator->portPath()) && answerer->seen[2].text.contains(backup),
                 qPrintable(answerer->seen[2].text));
        QCOMPARE(window->module->readConfiguration().mid(ImageHeaderSize),
                 other.toImage(ImageSection::Full).mid(ImageHeaderSize));
    }
    QVERIFY(action(*window, "actionZapisz_do_modu_u")->isEnabled());
    QVERIFY(window->configuration);
}

void TestMainWindowModule::writeSaysWhatTheSessionSays_data()
{
    QTest::addColumn<QStringList>("options");
    // Of the message box; empty for the window's own title.
    QTest::addColumn<QString>("title");
    // Of the module once the user has confirmed: where no answer comes, the
    // shortest.
    QTest::addColumn<int>("period");
    QTest::newRow("stored differently") << QStringList{"--fail", "store-changed"} << QString() << ShortPeriod;
    QTest::newRow("block unanswered") << QStringList{"--fail", "no-settings-ack"} << QString() << 20;
    QTest::newRow("backup failed") << QStringList() << "Kopia zapasowa" << ShortPeriod;
}

// The session's sentences, as telvoro-cli prints them (tst_telvorocli): in
// the list of what the module holds, or in a message box.
void TestMainWindowModule::writeSaysWhatTheSessionSays()
{
    QFETCH(QStringList, options);
    QFETCH(QString, title);
    QFETCH(int, period);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    // The module's texts differ from the new configuration's, so both blocks go.
    Configuration stored;
    stored.setSmsText(0, QStringLiteral("Alarm"));
    QTemporaryDir folder;
    QVERIFY(setUp(startingWith(folder, stored) + options));
    WindowDriver::newConfiguration(*window);
    // An unanswered block runs out its bound at a short period.
    answerer->expect([this, period](QWidget *dialog) {
        window->module->setPeriodForTests(period);
        press(QStringLiteral("zapiszPushButton"))(dialog);
    });
    QString described;
    if (name == QLatin1String("stored differently")) {
        answerer->expect(inDialogWith(QStringLiteral("opisLabel"), [&described](QWidget *dialog) {
            described = child<QLabel>(dialog, "opisLabel")->text();
            press(QStringLiteral("zamknijPushButton"))(dialog);
        }));
    } else {
        answerer->expectMessageBox();
    }
    // A data folder under a file cannot be made, not even by root.
    const QByteArray dataFolder = qgetenv("XDG_DATA_HOME");
    const bool backupFails = name == QLatin1String("backup failed");
    if (backupFails)
        qputenv("XDG_DATA_HOME", QCoreApplication::applicationFilePath().toLocal8Bit() + "/data");
    const QString backupFolder = BackupStore::defaultFolder();
    action(*window, "actionZapisz_do_modu_u")->trigger();
    qputenv("XDG_DATA_HOME", dataFolder);

    QVERIFY(answerer->waitAllAnswered());
    const ModuleSession::WriteOutcome outcome =
            SessionWords::outcome(name, backupFails ? backupFolder : BackupStore().list().value(0).path);
    if (name == QLatin1String("stored differently")) {
        QCOMPARE(described, outcome.summary() + '\n' + outcome.leftBehind());
    } else {
        QCOMPARE(answerer->seen.value(1).title, title.isEmpty() ? window->windowTitle() : title);
        QCOMPARE(answerer->seen.value(1).text, outcome.summary());
        QCOMPARE(answerer->seen.value(1).details, outcome.leftBehind());
    }
}

// Values the form cannot show, read and written back without an edit,
// leave the module as it was; the settings dialog confirmed with "OK" too.
void TestMainWindowModule::untouchedValuesGoBackToTheModule()
{
    Configuration stored;
    stored.chargeCurrent = 30;
    stored.relayHoldTime = 65535;
    stored.setOutputStartup(4, 1, 65535);
    stored.digitalOutputNames[0] = QStringLiteral("ZAWOR GLOWNY1");
    stored.analogInputTypes = 0x05;
    stored.serverPort = QStringLiteral("80");
    stored.imageRemainder = {0x5A, 0xC0, 0x1A};
    stored.setPhoneNumber(2, QStringLiteral("112"));
    QTemporaryDir folder;
    QVERIFY(setUp(startingWith(folder, stored), Read));
    const Configuration read = *window->configuration;
    QCOMPARE(read.imageRemainder, stored.imageRemainder);
    QVERIFY(!window->isWindowModified());
    QVERIFY(!action(*window, "actionCofnij")->isEnabled());

    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    action(*window, "actionUstawienia")->trigger();
    QVERIFY(answerer->waitAllAnswered());
    answerer->seen.clear();
    QVERIFY(writeModule());
    QVERIFY(readModule());
    QVERIFY(*window->configuration == read);
}

// Every setting of the settings dialog reaches the module and comes back.
void TestMainWindowModule::settingsSurviveTheModule()
{
    QVERIFY(setUp());
    WindowDriver::newConfiguration(*window);
    answerer->expect(inDialogWith(QStringLiteral("drugiModulTelefonLineEdit"), [](QWidget *dialog) {
        typeInto(dialog, "drugiModulTelefonLineEdit", QStringLiteral("600700800"));
        dialog->findChild<QCheckBox *>(QStringLiteral("komBladTelCheckBox_2"))->click();
        dialog->findChild<QCheckBox *>(QStringLiteral("nasluchCheckBox"))->click();
        chooseItem(dialog, "dzwonek1ComboBox", QStringLiteral("zał. DO 2"));
        chooseItem(dialog, "dzwonek2ComboBox", QStringLiteral("status 3"));
        typeInto(dialog, "serverIpLineEdit", QStringLiteral("192.168.1.20"));
        typeInto(dialog, "serverPortSpinBox", QStringLiteral("8080"));
        typeInto(dialog, "backupTimeSpinBox", QStringLiteral("15"));
        typeInto(dialog, "backupAfterSpinBox", QStringLiteral("4"));
        auto *numbers = dialog->findChild<QTableWidget *>(QStringLiteral("numeryTableWidget"));
        numbers->item(3, 1)->setText(QStringLiteral("500600700"));
        dialog->findChild<QPushButton *>(QStringLiteral("zapiszPushButton"))->click();
    }));
    action(*window, "actionUstawienia")->trigger();
    QVERIFY(answerer->waitAllAnswered());

    Configuration expected;
    expected.secondModulePhone = QStringLiteral("600700800");
    expected.setErrorReportPhone(1, true);
    expected.setMicrophone(true);
    expected.setRingAction(1, 2);
    expected.setRingAction(4, 27);
    expected.serverAddress = {192, 168, 1, 20};
    expected.serverPort = QStringLiteral("8080");
    expected.archiveInterval = 15;
    expected.archiveSendAfter = 4;
    expected.setPhoneNumber(3, QStringLiteral("500600700"));
    QVERIFY(writeModule());
    answerer->expectMessageBox(QStringLiteral("Porzuć zmiany"));
    QVERIFY(readModule());
    // The module answers with its own SIM PIN and PUK.
    expected.simPin = window->configuration->simPin;
    expected.simPuk = window->configuration->simPuk;
    QCOMPARE(*window->configuration, expected);
    QCOMPARE(window->ui->defNazwNazwyTelTableWidget->item(3, 1)->text(), QStringLiteral("500600700"));
}

void TestMainWindowModule::writeAsksFirst_data()
{
    QTest::addColumn<QStringList>("options");
    // Buttons of the list of changes by name, of message boxes by "box:" and text.
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("lastMessage");
    const QStringList unreadable{"--fail", "short-image"};
    const QString noComparison = QStringLiteral("Nie udało się odczytać konfiguracji z modemu");
    QTest::newRow("Anuluj") << QStringList() << QStringList{"anulujPushButton"} << "";
    QTest::newRow("Escape") << QStringList() << QStringList{"Escape"} << "";
    QTest::newRow("module unreadable, Anuluj") << unreadable << QStringList{"box:Anuluj"} << noComparison;
}

// Nothing is sent unless the user confirms; without the module's
// configuration there is nothing to back up, and the question says so.
void TestMainWindowModule::writeAsksFirst()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, answers);
    QFETCH(QString, lastMessage);
    QVERIFY(setUp(options));
    // An unreadable module's read fails whatever arrives within its bound.
    if (options.contains(QLatin1String("short-image")))
        window->module->setPeriodForTests(ShortPeriod);
    WindowDriver::newConfiguration(*window);
    for (const QString &answer : answers) {
        if (answer == QLatin1String("Escape"))
            answerer->expectEscape();
        else if (answer.startsWith(QLatin1String("box:")))
            answerer->expectMessageBox(answer.mid(4));
        else
            answerer->expect(press(answer));
    }
    action(*window, "actionZapisz_do_modu_u")->trigger();

    QVERIFY(answerer->waitAllAnswered());
    QVERIFY2(answerer->seen.last().text.contains(lastMessage), qPrintable(answerer->seen.last().text));
    if (options.contains(QLatin1String("short-image")))
        QVERIFY(answerer->seen.first().details.contains(QStringLiteral("Nie powstanie kopia zapasowa")));
    QCOMPARE(commandLengths(*emulator, "70 62").size(), 0);
    QVERIFY(BackupStore().list().isEmpty());
}

// Read, change three fields, write: the list shows exactly those three, the
// module's configuration is in a backup before "pb" goes out, and writing
// that backup back gives the module its old image byte for byte.
void TestMainWindowModule::writeListsChangesKeepsBackupAndRestores()
{
    QVERIFY(setUp());
    const QByteArray original = window->module->readConfiguration();
    QVERIFY(readModule());
    for (const char *name : {"weWyFiltrCyDiLineEdit", "weWyPoUrDO3ZalRadioButton", "weWyWeAn2Set4RadioButton"})
        WindowDriver::change(*window, QLatin1String(name));

    QStringList listed;
    answerer->expect(inDialogWith(QStringLiteral("zmianyTreeWidget"), [&listed](QWidget *dialog) {
        listed = listedChanges(dialog);
        press(QStringLiteral("zapiszPushButton"))(dialog);
    }));
    int backupsWhenPbStarted = -1;
    const QMetaObject::Connection watch =
            connect(window->module, &Module::exchangeProgress, this, [&](int elapsed, int limit) {
                if (elapsed == 0 && limit == window->module->limitMilliseconds(Module::Command::SettingsBlock))
                    backupsWhenPbStarted = int(BackupStore().list().size());
            });
    action(*window, "actionZapisz_do_modu_u")->trigger();
    disconnect(watch);
    QCOMPARE(listed, QStringList({"DI 1: 0 → 7", "DO 3: Wyłączone → Załączone",
                                  "Typ sygnału: 0 - 10 V → 4- 20 mA", "Zmiany: 3 pola w 3 sekcjach."}));
    QCOMPARE(backupsWhenPbStarted, 1);
    const QString backup = BackupStore().list().first().path;
    QFile file(backup);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().mid(4 + 14), original.mid(14));

    // A damaged copy is listed first; choosing it says so and keeps the list.
    QFile damaged(QDir(BackupStore::defaultFolder()).filePath(QStringLiteral("2999-01-01_00-00-00-000_ttyS9.kvl")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.close();
    QStringList differencesShown;
    answerer->seen.clear();
    answerer->expect(openBackup(0, &differencesShown));
    answerer->expectMessageBox();
    answerer->expect(openBackup(1, &differencesShown));
    answerer->expectMessageBox(QStringLiteral("Porzuć zmiany"));
    action(*window, "actionKopie_zapasowe")->trigger();
    QVERIFY(answerer->waitAllAnswered());
    QVERIFY(answerer->seen.at(1).text.contains(QStringLiteral("plik jest uszkodzony")));
    QCOMPARE(differencesShown, QStringList({"plik uszkodzony", "3"}));
    QCOMPARE(window->windowTitle(), QStringLiteral("Telvoro (%1)[*]").arg(backup));
    QCOMPARE(window->configurationSource, 1);

    QVERIFY(writeModule());
    QCOMPARE(window->module->readConfiguration(), original);
}

// After a write that broke or was stored differently, the bar above the
// tabs says what the module may hold and offers both ways out, until a
// verified write or restore; when the connection ends it says the module's
// state is unknown. "Przerwij" ends the wait for an unanswered block at once.
void TestMainWindowModule::moduleStateStaysUntilSettled()
{
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->module->setPeriodForTests(10);
    EmulatedModule emulated;
    Configuration stored;
    stored.setSmsText(0, QStringLiteral("Alarm"));
    emulated.emulator().setImage(stored.toImage(ImageSection::Full));
    ModuleSession *session = ModuleSession::of(window->module);
    QVERIFY(emulated.connect(*session));
    WindowDriver::newConfiguration(*window);
    QWidget *bar = child<QWidget>(window.get(), "ModuleStateBar");
    QLabel *barText = child<QLabel>(bar, "moduleStateLabel");
    QWidget *restore = child<QWidget>(bar, "restoreBackupButton");
    QWidget *writeAgain = child<QWidget>(bar, "writeAgainButton");
    const auto setFaults = [&emulated](const QSet<ModuleEmulator::Fault> &faults) {
        emulated.emulator().setFaults(faults);
    };
    QVERIFY(!bar->isVisible());

    // The module keeps the SMS block unanswered; "Przerwij" as it waits.
    setFaults({ModuleEmulator::Fault::NoSmsAck});
    QString waitShown;
    emulated.onCommand(QStringLiteral("pc"), 1, [&] {
        auto *progress = window->findChild<QProgressDialog *>();
        waitShown = progress->labelText();
        child<QPushButton>(progress, "stopWaitingButton")->click();
    });
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    QStringList offered;
    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    answerer->expect([&offered](QWidget *dialog) {
        QAbstractButton *openFolder = nullptr;
        for (QAbstractButton *button : qobject_cast<QMessageBox *>(dialog)->buttons()) {
            offered.append(button->text().remove(QLatin1Char('&')));
            if (offered.last() == QStringLiteral("Otwórz folder"))
                openFolder = button;
        }
        // The folder opens and the message stays.
        QTimer::singleShot(0, dialog, [dialog, openFolder] {
            if (openFolder)
                openFolder->click();
            qobject_cast<QMessageBox *>(dialog)->button(QMessageBox::Ok)->click();
        });
    });
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY2(waitShown.contains(QRegularExpression(QStringLiteral("<br>Czekam na potwierdzenie bloku tekstów SMS… \\d+ s$"))),
             qPrintable(waitShown));
    // Read before the question and again after it, since the cable may have moved meanwhile.
    QCOMPARE(emulated.commandNames().mid(1), QStringList({"A", "A", "pb", "pc"}));
    QCOMPARE(answerer->seen.value(1).text, QStringLiteral("Zapis do modemu przerwano."));
    const BackupStore::Backup backup = BackupStore().list().first();
    QVERIFY(answerer->seen.value(1).details.contains(
            "Modem potwierdził blok ustawień, ale nie potwierdził bloku tekstów SMS.\nModem może zawierać część nowej "
            "konfiguracji.\nKopia zapasowa jego poprzedniej konfiguracji: " + backup.path));
    QCOMPARE(sorted(offered), QStringList({"OK", "Otwórz folder", "Przywróć kopię zapasową"}));
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(backup.path).absolutePath())});
    QVERIFY(bar->isVisible() && restore->isVisible() && writeAgain->isVisible());
    QVERIFY2(barText->text().contains(QStringLiteral("modem może zawierać część nowej konfiguracji")),
             qPrintable(barText->text()));

    // The backup goes back; the form still holds the edits the module has not.
    setFaults({});
    QTest::mouseClick(child<QPushButton>(bar, "restoreBackupButton"), Qt::LeftButton);
    const QString restoredText = QStringLiteral("Przywrócono w modemie kopię zapasową z %1.")
                                         .arg(backup.time.toString(QStringLiteral("d.M.yyyy HH:mm")));
    QCOMPARE(window->statusBar()->currentMessage(), restoredText);
    QCOMPARE(emulated.emulator().currentImage().mid(ImageHeaderSize), stored.toImage(ImageSection::Full).mid(ImageHeaderSize));
    QVERIFY(bar->isVisible() && !restore->isVisible() && writeAgain->isVisible());
    QVERIFY(barText->text().startsWith(restoredText + " Formularz nadal zawiera zmiany"));

    // Written again, the module stores a field differently: both ways out again.
    setFaults({ModuleEmulator::Fault::StoreChanged});
    bool restoreOffered = false;
    answerer->expect([&restoreOffered](QWidget *dialog) {
        restoreOffered = child<QWidget>(dialog, "przywrocKopiePushButton")->isVisibleTo(dialog);
        press(QStringLiteral("zamknijPushButton"))(dialog);
    });
    QTest::mouseClick(child<QPushButton>(bar, "writeAgainButton"), Qt::LeftButton);
    QVERIFY(answerer->waitAllAnswered());
    QVERIFY(restoreOffered);
    QVERIFY(bar->isVisible() && restore->isVisible() && writeAgain->isVisible());

    // A verified write settles it, and says so beside the connection's state
    // with no time limit, unlike the status bar.
    setFaults({});
    QTest::mouseClick(child<QPushButton>(bar, "writeAgainButton"), Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    QVERIFY(window->ui->modemPolaczenieStatusLabel->text().contains(
            QRegularExpression(QStringLiteral(">Zapisano i sprawdzono \\d\\d:\\d\\d</span>$"))));

    // Broken once more, then the line goes: what the module holds is unknown.
    setFaults({ModuleEmulator::Fault::NoSettingsAck});
    answerer->expect(press(QStringLiteral("zapiszPushButton")));
    answerer->expectMessageBox();
    action(*window, "actionZapisz_do_modu_u")->trigger();
    QVERIFY(bar->isVisible());
    emulated.pullPlug();
    QTRY_VERIFY(barText->text().contains(QStringLiteral("nie wiadomo, co modem teraz zawiera")));
}

// Poll n answers AI1 = 50 n of 10.00, AI2 = 1000 - 50 n of 25.0 and the
// inputs n. The module lingers over its answer to the outputs sent after the
// first poll, and that answer must not spoil the next poll's.
void TestMainWindowModule::onlineTabShowsLiveState()
{
    QTemporaryDir folder;
    QVERIFY(setUp(startingWith(folder) + QStringList{"--fail", "linger"}, Read));
    window->ui->tabWidget->setCurrentIndex(3);
    // DI 1 as bit 0.
    const auto inputsShown = [this] {
        int bits = 0;
        for (const char *suffix : {"_6", "_5", "_4", "_3", "_2", ""}) {
            const QByteArray name = QByteArray("onlineAktualneZalRadioButton") + suffix;
            bits = bits << 1 | int(child<QAbstractButton>(window.get(), name.constData())->isChecked());
        }
        return bits;
    };
    for (const int n : {0, 1, 2, 3, 4}) {
        QTRY_COMPARE(window->ui->onlineAktualneAn1LineEdit->text(), QString::number(0.5 * n, 'f', 2));
        if (n % 2 == 0)
            QCOMPARE(window->ui->onlineAktualneAn2LineEdit->text(), QString::number(25 - 1.25 * n, 'f', 1));
        QCOMPARE(inputsShown(), n);
        if (n == 0) {
            QTest::mouseClick(window->ui->weWyManWyslijPushButton, Qt::LeftButton);
            QCOMPARE(commandLengths(*emulator, "43"), QList<int>{6});
        }
    }
}

// Poll n answers AI1 = 50 (n mod 21) of 10.00, AI2 = 1000 minus that of 25.0
// and the inputs n; polls 2, 5, 8, ... are a byte short and leave gaps.
void TestMainWindowModule::onlineTrendHoldsPollsAndGaps()
{
    QTemporaryDir folder;
    QVERIFY(setUp(startingWith(folder) + QStringList{"--fail", "short-live"}, Read));
    QVERIFY(!window->findChild<TrendWidget *>());
    // Polls close together; a short answer still waits out its bound.
    window->onlineTimer.setInterval(120);
    window->ui->tabWidget->setCurrentIndex(3);
    QLineSeries *ai1 = trendSeries(*window, "przebiegAn1Series");
    QTRY_VERIFY_WITH_TIMEOUT(ai1->count() >= 6, 15000);
    auto *pause = child<QAbstractButton>(window.get(), "przebiegWstrzymajPushButton");
    pause->click();
    const qsizetype shown = ai1->count();
    const QString shownValue = window->ui->onlineAktualneAn1LineEdit->text();
    QTRY_VERIFY(window->ui->onlineAktualneAn1LineEdit->text() != shownValue);
    QCOMPARE(ai1->count(), shown);
    pause->click();
    window->ui->tabWidget->setCurrentIndex(0);

    const QList<QPointF> gapBands =
        trendSeries<QAreaSeries>(*window, "przebiegBrakOdpowiedziSeries")->upperSeries()->points();
    const QList<QPointF> ai2 = trendSeries(*window, "przebiegAn2Series")->points();
    const int polls = int(ai1->count() + gapBands.size() / 4);
    QCOMPARE(gapBands.size() / 4, polls / 3);

    const QString csvPath = folder.filePath(QStringLiteral("przebieg.csv"));
    answerer->expectFile(folder.filePath(QStringLiteral("missing/przebieg.csv")));
    answerer->expectMessageBox();
    answerer->expectFile(csvPath);
    auto *save = child<QAbstractButton>(window.get(), "przebiegZapiszPushButton");
    save->click();
    save->click();
    QVERIFY(answerer->waitAllAnswered());
    QVERIFY(answerer->seen.at(1).text.startsWith(QStringLiteral("Nie można zapisać przebiegu do pliku ")));
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), polls + 2);
    QCOMPARE(lines.at(0), QByteArray("Czas,AI1,AI2,DI1,DI2,DI3,DI4,DI5,DI6\r"));

    int lastAnswered = 0;
    for (int n = 0, point = 0; n < polls; ++n) {
        const QByteArray line = lines.at(n + 1).chopped(1);
        const qsizetype comma = line.indexOf(',');
        const QDateTime time = QDateTime::fromString(QString::fromLatin1(line.left(comma)), Qt::ISODate);
        QVERIFY2(time.isValid() && time.timeSpec() != Qt::LocalTime, line.constData());
        if (n % 3 == 2) {
            // The band reaches from the poll before the gap to the one after it.
            QCOMPARE(qint64(gapBands.at(4 * (n / 3)).x()), qint64(ai1->at(point - 1).x()));
            if (point < ai1->count())
                QCOMPARE(qint64(gapBands.at(4 * (n / 3) + 2).x()), qint64(ai1->at(point).x()));
            QCOMPARE(line.mid(comma), QByteArray(",,,,,,,,"));
            continue;
        }
        const int step = n % 21;
        QCOMPARE(ai1->at(point).y(), 0.5 * step);
        QCOMPARE(ai2.at(point).y(), 25.0 - 1.25 * step);
        QByteArray values = ',' + QByteArray::number(0.5 * step, 'f', 2) + ','
                + QByteArray::number(25.0 - 1.25 * step, 'f', 1);
        for (int input = 0; input < 6; ++input)
            values += (n >> input) & 1 ? ",1" : ",0";
        QCOMPARE(line.mid(comma), values);
        lastAnswered = n;
        ++point;
    }
    for (int input = 0; input < 6; ++input) {
        const QByteArray name = "przebiegCy" + QByteArray::number(input + 1) + "Series";
        QCOMPARE(trendSeries(*window, name.constData())->points().last().y(), double((lastAnswered >> input) & 1));
    }
    // After a poll without a usable answer the field is greyed and keeps the
    // last value with its age, and the legend shows the dash.
    QLineEdit *ai1Field = window->ui->onlineAktualneAn1LineEdit;
    QCOMPARE(ai1Field->isEnabled(), lastAnswered == polls - 1);
    QCOMPARE(ai1Field->text().contains(QRegularExpression(QStringLiteral("^[0-9.]+ \\(sprzed \\d+ s\\)$"))),
             !ai1Field->isEnabled());
    QCOMPARE(ai1->name(), "AI 1: " + (ai1Field->isEnabled() ? ai1Field->text() : QStringLiteral("–")));
    // The next file dialog opens where the record went.
    answerer->expect([&folder](QWidget *dialog) {
        QCOMPARE(qobject_cast<QFileDialog *>(dialog)->directory().absolutePath(), folder.path());
        qobject_cast<QFileDialog *>(dialog)->reject();
    });
    action(*window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer->waitAllAnswered());

    // Disconnected, the record can still be saved; connecting again starts a new one.
    QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);
    QVERIFY(save->isEnabled());
    QVERIFY(liveFieldsCleared(*window));
    QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);
    QCOMPARE(ai1->count(), 0);
    // Nothing to save or pause yet, and the buttons say so.
    QVERIFY(!save->isEnabled() && !pause->isEnabled());
    QVERIFY(!pause->toolTip().isEmpty());
}

// While another tab is shown nothing is polled: the trend breaks there
// without the band of a poll left unanswered, and the CSV has no line for
// it. The spreadsheet type of CSV is chosen, and offered first next time.
void TestMainWindowModule::trendBreaksWherePollingPaused()
{
    QTemporaryDir folder;
    QVERIFY(setUp(startingWith(folder), Read));
    window->onlineTimer.setInterval(120);
    QTabWidget *tabs = window->ui->tabWidget;
    tabs->setCurrentIndex(3);
    QLineSeries *ai1 = trendSeries(*window, "przebiegAn1Series");
    QTRY_VERIFY_WITH_TIMEOUT(ai1->count() >= 3, 15000);
    tabs->setCurrentIndex(0);
    const qsizetype beforeBreak = ai1->count();
    tabs->setCurrentIndex(3);
    QTRY_VERIFY_WITH_TIMEOUT(ai1->count() >= beforeBreak + 3, 15000);
    tabs->setCurrentIndex(0);

    const QList<QPointF> breaks = trendSeries<QAreaSeries>(*window, "przebiegPrzerwaSeries")->upperSeries()->points();
    QCOMPARE(breaks.size(), 4);
    QCOMPARE(breaks.at(0).x(), ai1->at(beforeBreak - 1).x());
    QCOMPARE(breaks.at(2).x(), ai1->at(beforeBreak).x());
    QVERIFY(trendSeries<QAreaSeries>(*window, "przebiegBrakOdpowiedziSeries")->upperSeries()->points().isEmpty());

    const QString spreadsheetType = QStringLiteral("CSV (arkusz kalkulacyjny) (*.csv)");
    QString csvPath;
    QStringList offered;
    for (int save = 0; save < 2; ++save) {
        csvPath = folder.filePath(QStringLiteral("arkusz-%1.csv").arg(save));
        answerer->expect([&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            offered << files->selectedNameFilter();
            files->selectNameFilter(spreadsheetType);
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(csvPath);
            QMetaObject::invokeMethod(files, "accept");
        });
        child<QAbstractButton>(window.get(), "przebiegZapiszPushButton")->click();
    }
    QVERIFY(answerer->waitAllAnswered());
    QCOMPARE(offered, QStringList({"Plik CSV (*.csv)", spreadsheetType}));
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), ai1->count() + 2);
    QCOMPARE(lines.at(0), QByteArray("Czas;AI1;AI2;DI1;DI2;DI3;DI4;DI5;DI6\r"));
}

void TestMainWindowModule::manualOutputs_data()
{
    QTest::addColumn<QString>("ao1");
    QTest::addColumn<QString>("ao2");
    QTest::addColumn<QString>("sent");
    QTest::newRow("5.5 and empty") << "5.5" << "" << "43 02 26 00 00 21";
    QTest::newRow("decimal commas") << "5,5" << "0,29" << "43 02 26 00 1D 21";
    QTest::newRow("10 and 0") << "10" << "0" << "43 03 E8 00 00 21";
    QTest::newRow("0.29 exactly") << "0.29" << "1.13" << "43 00 1D 00 71 21";
    QTest::newRow("AO 1 above 10") << "10.01" << "0" << "";
    QTest::newRow("AO 2 above 10") << "0" << "11" << "";
}

void TestMainWindowModule::manualOutputs()
{
    QFETCH(QString, ao1);
    QFETCH(QString, ao2);
    QFETCH(QString, sent);
    QVERIFY(setUp({}, Read));
    // The outputs go unanswered: their wait runs out at the short period.
    window->module->setPeriodForTests(ShortPeriod);
    window->ui->tabWidget->setCurrentIndex(3);
    QVERIFY(window->onlineTimer.isActive());
    WindowDriver::retype(window->ui->onlineManAnOut1LineEdit, ao1);
    WindowDriver::retype(window->ui->onlineManAnOut2LineEdit, ao2);
    QCOMPARE(window->ui->onlineManAnOut1LineEdit->text(), ao1.replace(u',', u'.'));
    QCOMPARE(window->ui->onlineManAnOut2LineEdit->text(), ao2.replace(u',', u'.'));
    QTest::mouseClick(window->ui->weWyManDO1ZalRadioButton, Qt::LeftButton);
    QTest::mouseClick(window->ui->weWyManDO3ZalRadioButton, Qt::LeftButton);
    QTest::mouseClick(window->ui->weWyManDO3WylRadioButton, Qt::LeftButton);
    QTest::mouseClick(window->ui->weWyManDO6ZalRadioButton, Qt::LeftButton);

    if (sent.isEmpty())
        answerer->expectMessageBox();
    bool timerRanDuringCommand = true;
    // A refused request returns at once; the probe must not fire into the next row.
    const QObject scope;
    QTimer::singleShot(10, &scope, [&] { timerRanDuringCommand = window->onlineTimer.isActive(); });
    QTest::mouseClick(window->ui->weWyManWyslijPushButton, Qt::LeftButton);

    if (sent.isEmpty()) {
        QCOMPARE(answerer->seen.size(), 1);
        QCOMPARE(answerer->seen[0].title, window->windowTitle());
        QCOMPARE(answerer->seen[0].text, OutputRangeError);
        QVERIFY(window->onlineTimer.isActive());
        QCOMPARE(commandLengths(*emulator, "43"), QList<int>());
        QVERIFY(!window->statusBar()->currentMessage().startsWith(QStringLiteral("Wysłano")));
        return;
    }
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Wysłano stan wyjść do modemu."));
    QVERIFY(!timerRanDuringCommand);
    QVERIFY(window->onlineTimer.isActive());
    QTRY_VERIFY(emulator->commands().contains(sent));
}

// Sending the outputs or opening the settings while a poll waits for its
// answer: neither is refused nor lost, and the poll is not cut short; each
// goes ahead once the poll's answer is in.
void TestMainWindowModule::requestsDuringAPollWaitForIt()
{
    QVERIFY(setUp({"--delay", "B=100"}, Read));
    window->ui->tabWidget->setCurrentIndex(3);
    WindowDriver::retype(window->ui->onlineManAnOut1LineEdit, QStringLiteral("2"));
    duringPoll([this] { QTest::mouseClick(window->ui->weWyManWyslijPushButton, Qt::LeftButton); });
    QTRY_VERIFY(emulator->commands().contains(QStringLiteral("43 00 C8 00 00 00")));
    const QStringList commands = emulator->commands();
    QCOMPARE(commands.at(commands.indexOf(QStringLiteral("43 00 C8 00 00 00")) - 1), QStringLiteral("42"));
    QTRY_VERIFY(window->onlineTimer.isActive());

    answerer->expect(inDialogWith(QStringLiteral("pinLineEdit"), [](QWidget *dialog) {
        QTest::keyClicks(child<QLineEdit>(dialog, "pinLineEdit"), QStringLiteral("1234"));
        press(QStringLiteral("zapiszPinPukPushButton"))(dialog);
    }));
    answerer->expectMessageBox();
    answerer->expectEscape();
    duringPoll([this] {
        window->ui->tabWidget->setCurrentIndex(0);
        action(*window, "actionUstawienia")->trigger();
    });
    QVERIFY(answerer->waitAllAnswered(10000));
    QCOMPARE(answerer->seen.at(1).text, QStringLiteral("Kod PIN, PUK zapisano."));
}

void TestMainWindowModule::windowStateDecidesWhatIsEnabled_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<bool>("polling");
    QTest::newRow("nothing open") << QStringList() << FileActions + NotConnected << false;
    QTest::newRow("connected, nothing open") << QStringList{"connect"} << FileActions + PortsBox << false;
    QTest::newRow("new") << QStringList{"new"} << NotConnected << false;
    QTest::newRow("Online tab, not connected") << QStringList{"new", "online"} << NotConnected << false;
    QTest::newRow("connected") << QStringList{"connect", "new"} << PortsBox << false;
    QTest::newRow("connected, Online tab") << QStringList{"connect", "new", "online"} << WhilePolling << true;
    QTest::newRow("connected on the Online tab") << QStringList{"new", "online", "connect"} << WhilePolling << true;
    QTest::newRow("close cancelled on the Online tab")
            << QStringList{"connect", "new", "change", "online", "cancelled close"} << WhilePolling << true;
    QTest::newRow("back from the Online tab") << QStringList{"connect", "new", "online", "tab 0"} << PortsBox << false;
    QTest::newRow("disconnected on the Online tab")
            << QStringList{"connect", "new", "online", "disconnect"} << NotConnected << false;
    QTest::newRow("closed on the Online tab") << QStringList{"connect", "new", "online", "close"}
                                              << FileActions + PortsBox << false;
}

void TestMainWindowModule::windowStateDecidesWhatIsEnabled()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, disabled);
    QFETCH(bool, polling);
    QVERIFY(setUp({}, Listed));
    for (const QString &step : steps) {
        if (step == QLatin1String("connect")) {
            QVERIFY(connectWindow());
        } else if (step == QLatin1String("disconnect")) {
            QTest::mouseClick(window->ui->polaczZModememPushButton, Qt::LeftButton);
        } else if (step == QLatin1String("new")) {
            WindowDriver::newConfiguration(*window);
        } else if (step == QLatin1String("change")) {
            WindowDriver::change(*window, QStringLiteral("akuPrzekZalCheckBox"));
        } else if (step.startsWith(QLatin1String("online")) || step.startsWith(QLatin1String("tab"))) {
            window->ui->tabWidget->setCurrentIndex(step == QLatin1String("online") ? 3 : 0);
        } else if (step == QLatin1String("close")) {
            action(*window, "actionZamknij_konfiguracj")->trigger();
        } else if (step == QLatin1String("cancelled close")) {
            answerer->expectMessageBox(QStringLiteral("Anuluj"));
            QVERIFY(!window->close());
            QVERIFY(answerer->waitAllAnswered());
        }
    }
    QCOMPARE(disabledControls(*window), sorted(disabled));
    QCOMPARE(window->onlineTimer.isActive(), polling);
    // A disabled "Wyślij" says why.
    QCOMPARE(window->ui->weWyManWyslijPushButton->toolTip(),
             disabled.contains(QLatin1String("weWyManWyslijPushButton"))
                     ? QStringLiteral("Brak połączenia z modemem. Połącz się z modemem, aby wysłać stan wyjść.")
                     : QString());
}

// "Narzędzia → Dziennik komunikacji…" shows what went over the line and
// follows it live; the filter narrows it to one command, and "Kopiuj" puts
// the lines shown on the clipboard. An image still on the line at the
// connection shows there and in the saved log with the codes hidden, as
// the dialog promises.
void TestMainWindowModule::linkLogFollowsTheLine()
{
    QVERIFY(setUp({"--fail", "stale-image"}, Read));
    action(*window, "actionDziennik_komunikacji")->trigger();
    auto *dialog = child<QDialog>(window.get(), "LinkLogDialog");
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    const QAbstractItemModel *shown = child<QTableView>(dialog, "dziennikTableView")->model();
    // Port test, probe, read.
    const int entries = shown->rowCount();
    QVERIFY(entries >= 6);
    chooseItem(dialog, "dziennikPolecenieComboBox", QStringLiteral("A – odczyt konfiguracji"));
    QCOMPARE(shown->rowCount(), 2);
    QVERIFY(readModule());
    QCOMPARE(shown->rowCount(), 4);
    QCOMPARE(child<QLabel>(dialog, "dziennikLiczbaLabel")->text(), QStringLiteral("Wpisów: 4 z %1").arg(entries + 2));

    QTest::mouseClick(child<QPushButton>(dialog, "dziennikKopiujPushButton"), Qt::LeftButton);
    const QStringList copied = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 4);
    for (const QString &line : copied)
        QCOMPARE(line.section('\t', 2, 2), QStringLiteral("A"));
    const QStringList answer = copied.last().split('\t');
    QCOMPARE(QStringList({answer.at(1), answer.at(3), answer.at(5)}),
             QStringList({"z modemu", "1968", "poprawna"}));
    QVERIFY(answer.at(6).startsWith(QStringLiteral("** ").repeated(12)));

    chooseItem(dialog, "dziennikPolecenieComboBox", QStringLiteral("Wszystkie"));
    QTemporaryDir folder;
    answerer->expectFile(folder.filePath("dziennik.txt"));
    QTest::mouseClick(child<QPushButton>(dialog, "dziennikZapiszPushButton"), Qt::LeftButton);
    QVERIFY(answerer->waitAllAnswered());
    QFile saved(folder.filePath("dziennik.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(saved.readAll()).split('\n', Qt::SkipEmptyParts);
    for (int row = 0; row < shown->rowCount(); ++row)
        lines << shown->index(row, shown->columnCount() - 1).data().toString();
    QCOMPARE(lines.size(), 2 * shown->rowCount());
    QVERIFY(!lines.filter(QRegularExpression("\tz modemu\ti\t\\d+\t\\d+ ms\tbłędna\t\\*\\* ")).isEmpty());
    QCOMPARE(lines.filter(QRegularExpression("3[0-9] 3[0-9]")), QStringList());
}

TELVORO_TEST_MAIN(TestMainWindowModule)
#include "tst_mainwindowmodule.moc"
