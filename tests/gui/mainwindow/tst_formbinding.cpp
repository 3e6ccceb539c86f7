#include "mainwindow/mainwindow.h"
#include "testwidgets.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "windowdriver.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolTip>

#include <memory>

using WindowDriver::action;

namespace {
template<typename T>
T *widget(MainWindow &window, const char *name)
{
    return TestWidgets::child<T>(&window, name);
}

// Pastes over a field's whole text with Ctrl+V.
void paste(QLineEdit *field, const QString &text)
{
    WindowDriver::reveal(field);
    field->setFocus();
    field->selectAll();
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// Puts a configuration into the window the way undo does: as the reference
// copy, then "Cofnij zmiany".
void show(MainWindow &window, const Configuration &shown)
{
    *window.referenceConfiguration = shown;
    action(window, "actionCofnij_zmiany")->trigger();
}
}

class TestFormBinding : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void numberTexts_data();
    void numberTexts();
    void timesBeyondTheSpinBoxes();
    void chargeCurrentNotAmongTheItems();
    void signalTypesWithoutBitsKeepTheButtons();
    void namesFitTheirFields_data();
    void namesFitTheirFields();
    void everyMemberSurvivesFillAndCollect();
    void undoRestoresTheFormAndASecondUndoChangesNothing();

private:
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DialogAnswerer> answerer;
};

void TestFormBinding::init()
{
    QSettings().clear();
    window = std::make_unique<MainWindow>();
    window->show();
    answerer = std::make_unique<DialogAnswerer>();
    WindowDriver::newConfiguration(*window);
}

void TestFormBinding::cleanup()
{
    answerer.reset();
    window.reset();
}

void TestFormBinding::numberTexts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("text");
    // What an analogue input's range keeps; -1 for other fields.
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("decimals");
    // Once the text went in, and after the form was collected and filled again.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("shownAgain");
    const QString ai2 = QStringLiteral("weWyWeAn2ZakresLineEdit");
    QTest::newRow("10.5") << ai2 << false << "10.5" << 105 << 1 << "10.5" << "10.5";
    QTest::newRow("10 and a full stop") << ai2 << false << "10." << 10 << 0 << "10." << "10";
    QTest::newRow("full stop and 5") << ai2 << false << ".5" << 5 << 1 << ".5" << "0.5";
    QTest::newRow("empty") << ai2 << false << "" << 0 << 0 << "" << "0";
    QTest::newRow("0.25") << ai2 << false << "0.25" << 25 << 2 << "0.25" << "0.25";
    QTest::newRow("655.35 fits exactly") << ai2 << false << "655.35" << 65535 << 2 << "655.35" << "655.35";
    // Pasted, so the field's key filter does not see it. A range that does
    // not fit is never wrapped: the previous one stays, shown again at once.
    const QString ai1 = QStringLiteral("weWyWeAn1ZakresLineEdit");
    QTest::newRow("1000.00 keeps its value with one decimal")
            << ai1 << true << "1000.00" << 10000 << 1 << "1000.00" << "1000.0";
    QTest::newRow("999.99 cannot be stored") << ai1 << true << "999.99" << 1000 << 2 << "10.00" << "10.00";
    QTest::newRow("655.36 cannot be stored") << ai1 << true << "655.36" << 1000 << 2 << "10.00" << "10.00";
    // A decimal comma never scales a value.
    for (const bool pasted : {false, true}) {
        const char *how = pasted ? "pasted" : "typed";
        QTest::addRow("range, comma %s", how) << ai1 << pasted << "7,5" << 75 << 1 << "7.5" << "7.5";
        QTest::addRow("analogue output, comma %s", how)
                << "onlineManAnOut2LineEdit" << pasted << "5,5" << -1 << -1 << "5.5" << "5.5";
    }
    // Whole numbers take no decimals: the digit after the separator is refused.
    QTest::newRow("hysteresis, comma typed") << "weWyHisterezaLineEdit" << false << "7,5" << -1 << -1 << "7." << "7";
    QTest::newRow("hysteresis, comma pasted") << "weWyHisterezaLineEdit" << true << "7,5" << -1 << -1 << "20" << "20";
    QTest::newRow("filter, comma typed") << "weWyFiltrCyAnLineEdit" << false << "1,5" << -1 << -1 << "1." << "1";
}

void TestFormBinding::numberTexts()
{
    QFETCH(QString, field);
    QFETCH(bool, pasted);
    QFETCH(QString, text);
    QFETCH(int, range);
    QFETCH(int, decimals);
    QFETCH(QString, shown);
    QFETCH(QString, shownAgain);
    auto *edit = widget<QLineEdit>(*window, qPrintable(field));
    if (pasted)
        paste(edit, text);
    else
        WindowDriver::retype(edit, text);
    QCOMPARE(edit->text(), shown);
    // Only a range that cannot be stored is refused, in the status bar.
    const bool refused = range >= 0 && shown != QString(text).replace(u',', u'.');
    if (!text.isEmpty())
        QCOMPARE(window->statusBar()->currentMessage().contains(text), refused);
    WindowDriver::collect(*window, *answerer);
    if (range >= 0) {
        const int input = field.contains(QLatin1String("An1")) ? 0 : 1;
        QCOMPARE(int(window->configuration->analogRange[input]), range);
        QCOMPARE(int(window->configuration->analogDecimals[input]), decimals);
    }
    QCOMPARE(edit->text(), shown);
    show(*window, *window->configuration);
    QCOMPARE(edit->text(), shownAgain);
}

void TestFormBinding::timesBeyondTheSpinBoxes()
{
    Configuration stored;
    stored.relayHoldTime = 65535;
    stored.setOutputStartup(2, 1, 65535);
    show(*window, stored);
    QCOMPARE(widget<QSpinBox>(*window, "akuMinSpinBox")->value(), 1000);
    QCOMPARE(widget<QSpinBox>(*window, "akuSekSpinBox")->value(), 59);
    QCOMPARE(widget<QSpinBox>(*window, "weWyPoUrCzMinSpinBox_3")->value(), 1000);
    QCOMPARE(widget<QSpinBox>(*window, "weWyPoUrCzSekSpinBox_3")->value(), 15);
    QVERIFY(widget<QRadioButton>(*window, "weWyPoUrDO3ZalRadioButton")->isChecked());
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(window->configuration->relayHoldTime, quint16(60059));
    QCOMPARE(window->configuration->outputStartup.value(2).seconds, quint16(60015));
}

void TestFormBinding::chargeCurrentNotAmongTheItems()
{
    Configuration stored;
    stored.chargeCurrent = 30;
    show(*window, stored);
    QCOMPARE(widget<QComboBox>(*window, "akuAkuLoadComboBox")->currentIndex(), -1);
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(window->configuration->chargeCurrent, quint8(0));
}

void TestFormBinding::signalTypesWithoutBitsKeepTheButtons()
{
    Configuration fourToTwenty;
    fourToTwenty.analogInputTypes = 0x88;
    show(*window, fourToTwenty);
    QVERIFY(widget<QRadioButton>(*window, "weWyWeAn2Set4RadioButton")->isChecked());

    Configuration noAi2Type;
    noAi2Type.analogInputTypes = 0x02;
    show(*window, noAi2Type);
    QVERIFY(widget<QRadioButton>(*window, "weWyWeAn1Set2RadioButton")->isChecked());
    QVERIFY(widget<QRadioButton>(*window, "weWyWeAn2Set4RadioButton")->isChecked());
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(window->configuration->analogInputTypes, quint8(0x82));
}

void TestFormBinding::namesFitTheirFields_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("output, 12 characters") << "weWyWyjsciaTableWidget" << 7 << "Zawor glowny 2" << "Zawor glowny";
    QTest::newRow("output, 13 bytes") << "weWyWyjsciaTableWidget" << 0 << "Pompa główna" << "Pompa główn";
    QTest::newRow("phone") << "defNazwNazwyTelTableWidget" << 2 << "Biuro w Gdańsku" << "Biuro w Gdań";
    QTest::newRow("input") << "weWyWejsciaTableWidget" << 6 << "Poziom zbiornika" << "Poziom zbior";
}

void TestFormBinding::namesFitTheirFields()
{
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto *names = widget<QTableWidget>(*window, qPrintable(table));
    WindowDriver::editCell(names, row, 2, typed);
    QCOMPARE(names->item(row, 2)->text(), kept);

    // What the module gets back is what the cell shows.
    WindowDriver::collect(*window, *answerer);
    Configuration reopened;
    reopened.fromImage(window->configuration->toImage(ImageSection::Full));
    QCOMPARE(reopened, *window->configuration);

    const QPoint cell = names->visualItemRect(names->item(row, 2)).center();
    QHelpEvent help(QEvent::ToolTip, cell, names->viewport()->mapToGlobal(cell));
    QCoreApplication::sendEvent(names->viewport(), &help);
    QVERIFY(QToolTip::text().contains(QStringLiteral("najwyżej 12 znaków")));
}

// Every member the form shows comes back unchanged when nothing is edited.
void TestFormBinding::everyMemberSurvivesFillAndCollect()
{
    Configuration stored;
    stored.analogFilters = {1, 255};
    stored.digitalFilters = {2, 3, 4, 5, 6, 7};
    stored.analogRange = {105, 25};
    stored.analogDecimals = {1, 0};
    stored.hysteresis = 99;
    stored.analogInputTypes = 0x48;
    stored.setOutputStartup(0, 1, 61);
    stored.setOutputStartup(5, 0, 3599);
    stored.chargeCurrent = 150;
    stored.powerFailPhones = 0xA5;
    stored.relayHoldTime = 754;
    stored.setRelaysOn(true);
    stored.setActiveInputs(true);
    stored.digitalOutputNames[4] = QStringLiteral("Brama");
    stored.analogOutputNames[0] = QStringLiteral("Zasuwa");
    stored.setSmsText(6, QStringLiteral("Alarm zalania"));
    show(*window, stored);
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(*window->configuration, stored);
}

void TestFormBinding::undoRestoresTheFormAndASecondUndoChangesNothing()
{
    for (const char *name : {"weWyFiltrCyDiLineEdit_4", "weWyPoUrDO2ZalRadioButton", "weWyPoUrCzSekSpinBox_2",
                             "weWyHisterezaLineEdit", "akuAkuLoadComboBox", "akuTelCheckBox_5",
                             "akuMinSpinBox", "akuAktWejCheckBox", "weWyWeAn1Set3RadioButton"})
        WindowDriver::change(*window, QString::fromLatin1(name));
    WindowDriver::editCell(widget<QTableWidget>(*window, "weWyWyjsciaTableWidget"), 2, 2, QStringLiteral("Pompa"));
    window->configuration->setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 10, 1));
    QTRY_VERIFY(window->isWindowModified());

    action(*window, "actionCofnij_zmiany")->trigger();
    QVERIFY(!window->isWindowModified());
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(*window->configuration, Configuration());
    QCOMPARE(widget<QTableWidget>(*window, "weCy1TableWidget")->rowCount(), 0);
    QCOMPARE(widget<QLineEdit>(*window, "weWyHisterezaLineEdit")->text(), QStringLiteral("20"));

    action(*window, "actionCofnij_zmiany")->trigger();
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(*window->configuration, Configuration());
}

TELVORO_TEST_MAIN(TestFormBinding)
#include "tst_formbinding.moc"
