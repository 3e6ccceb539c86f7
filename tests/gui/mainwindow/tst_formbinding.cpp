#include "mainwindow/editcommand.h"
#include "mainwindow/mainwindow.h"
#include "testwidgets.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "files/configurationfile.h"
#include "randomimage.h"
#include "settings/usernames.h"
#include "testmain.h"
#include "windowdriver.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolTip>

#include <functional>
#include <memory>

using WindowDriver::action;

using Edit = std::function<void(MainWindow &)>;
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Configuration)

namespace {
template<typename T>
T *widget(MainWindow &window, const char *name)
{
    return TestWidgets::child<T>(&window, name);
}

// Changes a bound widget as WindowDriver::change() does, once it is seen to
// show the text given (when one is).
Edit change(const char *name, const char *shown)
{
    return [=](MainWindow &window) {
        if (*shown) {
            auto *field = widget<QWidget>(window, name);
            const QString text = field->metaObject()->userProperty().read(field).toString();
            QCOMPARE(text, QString::fromUtf8(shown));
        }
        WindowDriver::change(window, QString::fromLatin1(name));
    };
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
    void valuesTheFormCannotShowAreKept_data();
    void valuesTheFormCannotShowAreKept();
    void manyValuesFoldToOneLine();
    void randomImagesComeBackUnchanged();
    void namesFitTheirFields_data();
    void namesFitTheirFields();
    void everyMemberSurvivesFillAndCollect();
    void undoRestoresTheFormAndASecondUndoChangesNothing();
    void everyEditIsOneStepOfTheHistory_data();
    void everyEditIsOneStepOfTheHistory();
    void historyReachesBackBeyondAHundredSteps();

private:
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DialogAnswerer> answerer;
    QTemporaryDir folder;
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

void TestFormBinding::valuesTheFormCannotShowAreKept_data()
{
    QTest::addColumn<Configuration>("stored");
    // What the bar above the tabs names, the field a user then changes, and
    // what the record holds afterwards: what the field shows.
    QTest::addColumn<QString>("listed");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<Configuration>("edited");

    Configuration charge;
    charge.chargeCurrent = 30;
    Configuration chargeEdited = charge;
    chargeEdited.chargeCurrent = 0;
    QTest::newRow("charge current 30")
            << charge << "Prąd ładowania akumulatora: 30 mA (spoza listy)"
            << change("akuAkuLoadComboBox", "30 mA (spoza listy)") << chargeEdited;

    Configuration hold;
    hold.relayHoldTime = 65535;
    Configuration holdEdited = hold;
    holdEdited.relayHoldTime = 60058;
    QTest::newRow("relay hold 65535 s")
            << hold << "przy wyłączonym zasilaniu: 18g 12m 15s" << change("akuSekSpinBox", "59") << holdEdited;

    Configuration startup;
    startup.setOutputStartup(2, 1, 65535);
    Configuration startupEdited = startup;
    startupEdited.setOutputStartup(2, 1, 60016);
    QTest::newRow("output delay 65535 s")
            << startup << "DO 3 – Opóźnienie: 18g 12m 15s" << change("weWyPoUrCzSekSpinBox_3", "15")
            << startupEdited;

    Configuration name;
    name.digitalOutputNames[1] = QStringLiteral("ZAWOR GLOWNY1");
    Configuration nameEdited = name;
    nameEdited.digitalOutputNames[1] = QStringLiteral("Pompa");
    QTest::newRow("13-byte output name")
            << name << "cyfrowe 2 (DO 2): „ZAWOR GLOWNY1” ma 13 znaków"
            << Edit([](MainWindow &window) {
                   WindowDriver::editCell(widget<QTableWidget>(window, "weWyWyjsciaTableWidget"), 1, 2, "Pompa");
               })
            << nameEdited;

    Configuration noType;
    noType.analogInputTypes = 0x01;
    Configuration noTypeEdited = noType;
    noTypeEdited.analogInputTypes = 0x41;
    QTest::newRow("no signal type of AI2")
            << noType << "AI2 → Typ sygnału: nie wybrano" << change("weWyWeAn2Set3RadioButton", "") << noTypeEdited;

    Configuration twoTypes;
    twoTypes.analogInputTypes = 0x15;
    Configuration twoTypesEdited = twoTypes;
    twoTypesEdited.analogInputTypes = 0x18;
    QTest::newRow("two signal types of AI1")
            << twoTypes << "AI1 → Typ sygnału: 0 - 10 V, 0 - 20 mA" << change("weWyWeAn1Set4RadioButton", "")
            << twoTypesEdited;
}

// Opened as it is, shown as well as the field can, named in the bar, and
// kept until the user changes that field; then the field's value counts.
void TestFormBinding::valuesTheFormCannotShowAreKept()
{
    QFETCH(Configuration, stored);
    QFETCH(QString, listed);
    QFETCH(Edit, edit);
    QFETCH(Configuration, edited);
    const QString file = QDir(folder.path()).filePath(QStringLiteral("stored.kvl"));
    QVERIFY(ConfigurationFile::save(file, stored));
    window->openConfigurationFile(file);

    auto *bar = widget<QLabel>(*window, "wartosciSpozaFormularzaLabel");
    QVERIFY(bar->isVisible());
    QVERIFY2(bar->text().contains(listed.toHtmlEscaped()), qPrintable(bar->text()));
    QVERIFY(!window->isWindowModified());
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(*window->configuration, stored);

    edit(*window);
    WindowDriver::collect(*window, *answerer);
    QCOMPARE(*window->configuration, edited);
    QVERIFY(window->isWindowModified());
    QVERIFY(!bar->isVisible());
}

// With more than one value the bar takes one line until it is unfolded;
// the next window opens it as it was left.
void TestFormBinding::manyValuesFoldToOneLine()
{
    Configuration stored;
    stored.chargeCurrent = 30;
    stored.relayHoldTime = 65535;
    stored.analogInputTypes = 0x15;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("stored.kvl"));
    QVERIFY(ConfigurationFile::save(file, stored));
    for (const bool unfoldedBefore : { false, true }) {
        window = std::make_unique<MainWindow>();
        window->show();
        window->openConfigurationFile(file);
        auto *bar = widget<QLabel>(*window, "wartosciSpozaFormularzaLabel");
        QCOMPARE(bar->text().contains(QStringLiteral("Ta konfiguracja ma 3 wartości, których formularz nie może "
                                                     "pokazać dokładnie.</b> <a href=\"unfold\">Pokaż</a>")),
                 !unfoldedBefore);
        QCOMPARE(bar->text().contains(QStringLiteral("mA (spoza listy)")), unfoldedBefore);
        if (!unfoldedBefore) {
            emit bar->linkActivated(QStringLiteral("unfold"));
            QVERIFY(bar->text().contains(QStringLiteral("30 mA (spoza listy)<br>")));
            QVERIFY(bar->text().contains(QStringLiteral("Ukryj")));
        }
    }
}

// Whatever a module or file holds comes back byte for byte (but the bytes
// after a text's end) when nothing was edited.
void TestFormBinding::randomImagesComeBackUnchanged()
{
    // A chosen status shows its text in the editor, which must not store it.
    WindowDriver::reveal(widget<QTableWidget>(*window, "defNazwSmsListaTableWidget"));
    widget<QTableWidget>(*window, "defNazwSmsListaTableWidget")->selectRow(3);
    QRandomGenerator random(20250214);
    for (int round = 0; round < 200; ++round) {
        const QByteArray image = RandomImage::randomImage(random);
        Configuration stored;
        stored.fromImage(image);
        show(*window, stored);
        QVERIFY2(!window->isWindowModified(), qPrintable(QString::number(round)));
        QCOMPARE(window->configuration->toImage(ImageSection::Full), RandomImage::keptBytes(image));
    }
}

void TestFormBinding::namesFitTheirFields_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("output, 12 characters") << "weWyWyjsciaTableWidget" << 7 << "Zawor glowny 2" << "Zawor glowny";
    QTest::newRow("output, 13 bytes") << "weWyWyjsciaTableWidget" << 0 << "Pompa główna" << "Pompa główn";
    // Names of the settings store take any length.
    QTest::newRow("phone") << "defNazwNazwyTelTableWidget" << 2 << "PIETNASCIEZNAKOW DLUGA NAZWA"
                           << "PIETNASCIEZNAKOW DLUGA NAZWA";
    QTest::newRow("input") << "weWyWejsciaTableWidget" << 6 << "Poziom zbiornika w Gdańsku"
                           << "Poziom zbiornika w Gdańsku";
}

void TestFormBinding::namesFitTheirFields()
{
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto *names = widget<QTableWidget>(*window, qPrintable(table));
    QSignalSpy messages(window->statusBar(), &QStatusBar::messageChanged);
    WindowDriver::editCell(names, row, 2, typed);
    QCOMPARE(names->item(row, 2)->text(), kept);
    // Where typing stopped, the status bar said why while the field was open.
    const bool limited = kept != typed;
    QCOMPARE(!messages.isEmpty() && messages.first().first().toString().contains(QStringLiteral("najwyżej 12 znaków")),
             limited);
    QCOMPARE(window->statusBar()->currentMessage(), QString());

    // What the module gets back is what the cell shows; the other names
    // stay whole, also when the cell is opened and left with Enter.
    WindowDriver::collect(*window, *answerer);
    Configuration reopened;
    reopened.fromImage(window->configuration->toImage(ImageSection::Full));
    QCOMPARE(reopened, *window->configuration);
    names->editItem(names->item(row, 2));
    QTest::keyClick(names->viewport()->findChild<QLineEdit *>(), Qt::Key_Return);
    QCOMPARE(names->item(row, 2)->text(), kept);
    if (!limited) {
        const UserNames stored = UserNames::fromSettings();
        QCOMPARE(row == 2 ? stored.phones[row] : stored.inputsTableName(row), kept);
        return;
    }

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

void TestFormBinding::everyEditIsOneStepOfTheHistory_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::newRow("typed into a field") << Edit([](MainWindow &window) {
        WindowDriver::retype(widget<QLineEdit>(window, "weWyHisterezaLineEdit"), QStringLiteral("135"));
    });
    QTest::newRow("check box") << change("akuPrzekZalCheckBox", "");
    QTest::newRow("spin box") << change("weWyPoUrCzMinSpinBox_4", "0");
    const auto cell = [](const char *table, int row, int column, const char *text) {
        return Edit([=](MainWindow &window) {
            WindowDriver::editCell(widget<QTableWidget>(window, table), row, column, QString::fromUtf8(text));
        });
    };
    QTest::newRow("output name") << cell("weWyWyjsciaTableWidget", 0, 2, "Pompa");
    QTest::newRow("phone name") << cell("defNazwNazwyTelTableWidget", 1, 2, "Dom");
    QTest::newRow("input name") << cell("weWyWejsciaTableWidget", 6, 2, "Zbiornik");
    QTest::newRow("status name") << cell("defNazwSmsListaTableWidget", 0, 1, "Alarm");
    QTest::newRow("SMS text") << Edit([](MainWindow &window) {
        auto *statuses = widget<QTableWidget>(window, "defNazwSmsListaTableWidget");
        WindowDriver::reveal(statuses);
        statuses->selectRow(2);
        auto *editor = widget<QPlainTextEdit>(window, "defNazwSmsTrescPlainTextEdit");
        editor->setFocus();
        QTest::keyClicks(editor, QStringLiteral("Awaria pompy"));
    });
    QTest::newRow("action deleted") << Edit([](MainWindow &window) {
        auto *actions = widget<QTableWidget>(window, "weCy1TableWidget");
        WindowDriver::reveal(actions);
        actions->selectRow(0);
        widget<QAbstractButton>(window, "usunWeCy1ToolButton")->click();
    });
    QTest::newRow("settings dialog") << Edit([](MainWindow &window) {
        DialogAnswerer settings;
        settings.expect([](QWidget *dialog) {
            TestWidgets::child<QAbstractButton>(dialog, "nasluchCheckBox")->click();
            TestWidgets::child<QAbstractButton>(dialog, "zapiszPushButton")->click();
        });
        action(window, "actionUstawienia")->trigger();
        QVERIFY(settings.waitAllAnswered());
    });
}

void TestFormBinding::everyEditIsOneStepOfTheHistory()
{
    QFETCH(Edit, edit);
    Configuration stored;
    stored.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 10, 1));
    show(*window, stored);
    const auto current = [this] { return EditState{ *window->configuration, UserNames::fromSettings() }; };
    const EditState before = current();

    edit(*window);
    QTRY_VERIFY(!(current() == before));
    const EditState after = current();
    action(*window, "actionCofnij")->trigger();
    QVERIFY(current() == before);
    QVERIFY(!window->isWindowModified());
    action(*window, "actionPonow")->trigger();
    QVERIFY(current() == after);

    // "Cofnij zmiany", then "Ponów" brings the edits back, once; the user's
    // names are no part of the configuration it puts back.
    const bool configurationEdited = !(*window->configuration == *window->referenceConfiguration);
    action(*window, "actionCofnij_zmiany")->trigger();
    QVERIFY(*window->configuration == *window->referenceConfiguration);
    QCOMPARE(action(*window, "actionPonow")->isEnabled(), configurationEdited);
    action(*window, "actionPonow")->trigger();
    QVERIFY(current() == after);
    QVERIFY(!action(*window, "actionPonow")->isEnabled());
}

// Each click is a step; "Cofnij zmiany" is one more, which "Cofnij" takes
// back, as it takes back "Ponów" bringing the edits back after it. The keys
// work in a text field as well.
void TestFormBinding::historyReachesBackBeyondAHundredSteps()
{
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QAction *undo = action(*window, "actionCofnij");
    QVERIFY(!undo->isEnabled());
    auto *box = widget<QCheckBox>(*window, "akuTelCheckBox_5");
    constexpr int Clicks = 121;
    for (int click = 1; click <= Clicks; ++click) {
        box->click();
        QTRY_COMPARE(window->isWindowModified(), click % 2 == 1);
    }
    action(*window, "actionCofnij_zmiany")->trigger();
    QVERIFY(!box->isChecked());

    auto *field = widget<QLineEdit>(*window, "weWyHisterezaLineEdit");
    WindowDriver::reveal(field);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(box->isChecked());
    undo->trigger();
    QVERIFY(!box->isChecked());
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(box->isChecked());
    for (int click = 1; click <= Clicks; ++click)
        undo->trigger();
    QVERIFY(!box->isChecked());
    QVERIFY(!undo->isEnabled());
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(box->isChecked());

    // A new configuration starts a history of its own.
    answerer->expectMessageBox(QStringLiteral("Porzuć zmiany"));
    WindowDriver::newConfiguration(*window);
    QVERIFY(answerer->waitAllAnswered());
    QVERIFY(!undo->isEnabled());
    QVERIFY(!action(*window, "actionPonow")->isEnabled());
}

TELVORO_TEST_MAIN(TestFormBinding)
#include "tst_formbinding.moc"
