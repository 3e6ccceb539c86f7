#include "mainwindow/formtables.h"
#include "mainwindow/mainwindow.h"
#include "configuration/configuration.h"
#include "files/configurationfile.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "windowdriver.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTableWidget>
#include <QToolButton>

namespace {
QString setting(const QString &key)
{
    return QSettings().value(key).toString();
}
}

class TestNames : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void phoneNamesCaptionThePowerFailureBoxes();
    void inputNamesReachTheOnlineLabels_data();
    void inputNamesReachTheOnlineLabels();
    void outputNamesReachTheirLabels_data();
    void outputNamesReachTheirLabels();
    void namesOfTheSettingsStoreAreShownOnOpen();
    void typingStoresTheTextOfTheSelectedStatus();
    void typingWithoutAStatusShowsTheHint();
    void statusNamesAreStoredAndKeptWhenTheirTextGoes();
    void editorShowsTheRecordAfterTheFormIsFilled_data();
    void editorShowsTheRecordAfterTheFormIsFilled();

private:
    QTableWidget *table(const char *name) { return window->findChild<QTableWidget *>(name); }
    template<typename T>
    T *child(const char *name) { return window->findChild<T *>(name); }
    void clickStatus(int row);
    // Chooses the status and types into the SMS editor, which it returns.
    QPlainTextEdit *typeSms(int row, const QString &text);

    MainWindow *window = nullptr;
};

void TestNames::init()
{
    QSettings().clear();
    window = new MainWindow;
    window->show();
    WindowDriver::newConfiguration(*window);
}

void TestNames::cleanup()
{
    delete window;
    window = nullptr;
}

void TestNames::clickStatus(int row)
{
    QTableWidget *statuses = table("defNazwSmsListaTableWidget");
    const QRect cell = statuses->visualItemRect(statuses->item(row, 1));
    QTest::mouseClick(statuses->viewport(), Qt::LeftButton, {}, cell.center());
}

QPlainTextEdit *TestNames::typeSms(int row, const QString &text)
{
    clickStatus(row);
    auto *editor = child<QPlainTextEdit>("defNazwSmsTrescPlainTextEdit");
    editor->setFocus();
    QTest::keyClicks(editor, text);
    return editor;
}

void TestNames::phoneNamesCaptionThePowerFailureBoxes()
{
    WindowDriver::editCell(table("defNazwNazwyTelTableWidget"), 2, 2, QStringLiteral("Dom"));
    QCOMPARE(setting(QStringLiteral("defNazwNazwyTel_2")), QStringLiteral("Dom"));
    QCOMPARE(child<QCheckBox>("akuTelCheckBox_3")->text(), QStringLiteral("Telefon 3 (Dom)"));
    WindowDriver::editCell(table("defNazwNazwyTelTableWidget"), 2, 2, QString());
    QCOMPARE(child<QCheckBox>("akuTelCheckBox_3")->text(), QStringLiteral("Telefon 3 "));
}

void TestNames::inputNamesReachTheOnlineLabels_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::newRow("DI1") << 0 << "onlineAktualneNazwaLabel_1";
    QTest::newRow("DI6") << 5 << "onlineAktualneNazwaLabel_6";
    QTest::newRow("AI1") << 6 << "onlineAktualneNazwaLabel_7";
    QTest::newRow("AI2") << 7 << "onlineAktualneNazwaLabel_8";
}

void TestNames::inputNamesReachTheOnlineLabels()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    WindowDriver::editCell(table("weWyWejsciaTableWidget"), row, 2, QStringLiteral("Czujnik"));
    QCOMPARE(setting(QStringLiteral("defNazwWejscia_%1").arg(row)), QStringLiteral("Czujnik"));
    QCOMPARE(window->findChild<QLabel *>(label)->text(), QStringLiteral("Czujnik"));
}

void TestNames::outputNamesReachTheirLabels_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("DO1") << 0 << QStringList{"onlineManualneNazwaLabel_1", "weWyPoUruchomNazwaLabel_1"};
    QTest::newRow("DO6") << 5 << QStringList{"onlineManualneNazwaLabel_6", "weWyPoUruchomNazwaLabel_6"};
    QTest::newRow("AO2") << 7 << QStringList{"onlineManualneNazwaLabel_8"};
}

void TestNames::outputNamesReachTheirLabels()
{
    QFETCH(int, row);
    QFETCH(QStringList, labels);
    const QString before = child<QLabel>("weWyPoUruchomNazwaLabel_1")->text();
    WindowDriver::editCell(table("weWyWyjsciaTableWidget"), row, 2, QStringLiteral("Pompa"));
    for (const QString &label : labels)
        QCOMPARE(window->findChild<QLabel *>(label)->text(), QStringLiteral("Pompa"));
    if (row != 0)
        QCOMPARE(child<QLabel>("weWyPoUruchomNazwaLabel_1")->text(), before);
    // Output names belong to the configuration, not to the settings store.
    QVERIFY(setting(QStringLiteral("defNazwWyjscia_%1").arg(row)).isEmpty());
}

void TestNames::namesOfTheSettingsStoreAreShownOnOpen()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("defNazwNazwyTel_0"), QStringLiteral("Biuro"));
        settings.setValue(QStringLiteral("defNazwWejscia_6"), QStringLiteral("Poziom"));
        settings.setValue(QStringLiteral("defNazwSmsListaTableWidget_1"), QStringLiteral("Awaria"));
    }
    WindowDriver::newConfiguration(*window);
    QCOMPARE(table("defNazwNazwyTelTableWidget")->item(0, 2)->text(), QStringLiteral("Biuro"));
    QCOMPARE(child<QCheckBox>("akuTelCheckBox_1")->text(), QStringLiteral("Telefon 1 (Biuro)"));
    QCOMPARE(table("weWyWejsciaTableWidget")->item(6, 2)->text(), QStringLiteral("Poziom"));
    QCOMPARE(child<QLabel>("onlineAktualneNazwaLabel_7")->text(), QStringLiteral("Poziom"));
    QCOMPARE(table("defNazwSmsListaTableWidget")->item(1, 1)->text(), QStringLiteral("Awaria"));
}

// The text travels with the configuration.
void TestNames::typingStoresTheTextOfTheSelectedStatus()
{
    QPlainTextEdit *editor = typeSms(2, QStringLiteral("Pompa stoi"));
    QCOMPARE(table("defNazwSmsListaTableWidget")->item(2, 1)->data(FormTables::SmsTextRole).toString(),
             QStringLiteral("Pompa stoi"));
    QCOMPARE(child<QLabel>("defNazwSmsPozostaloLabel")->text(), QStringLiteral("Pozostało: 130 znaków"));
    QVERIFY(child<QLabel>("defNazwSmsInfoLabel")->text().isEmpty());

    // A status without text, chosen after the selection was cleared, empties the editor.
    table("defNazwSmsListaTableWidget")->clearSelection();
    clickStatus(0);
    QVERIFY(editor->toPlainText().isEmpty());
    QCOMPARE(child<QLabel>("defNazwSmsPozostaloLabel")->text(), QStringLiteral("Pozostało: 140 znaków"));
    QVERIFY(child<QLabel>("defNazwSmsInfoLabel")->text().isEmpty());
    clickStatus(2);
    QCOMPARE(editor->toPlainText(), QStringLiteral("Pompa stoi"));
    DialogAnswerer answerer;
    WindowDriver::collect(*window, answerer);
    QCOMPARE(window->configuration->smsText(2), QStringLiteral("Pompa stoi"));
}

void TestNames::typingWithoutAStatusShowsTheHint()
{
    auto *editor = child<QPlainTextEdit>("defNazwSmsTrescPlainTextEdit");
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    QVERIFY(child<QLabel>("defNazwSmsInfoLabel")->text().contains(QStringLiteral("Wybierz nazwę statusu.")));
    for (int row = 0; row < 8; ++row)
        QVERIFY(table("defNazwSmsListaTableWidget")->item(row, 1)->data(FormTables::SmsTextRole).toString().isEmpty());
}

void TestNames::statusNamesAreStoredAndKeptWhenTheirTextGoes()
{
    WindowDriver::editCell(table("defNazwSmsListaTableWidget"), 5, 1, QStringLiteral("Zalanie"));
    QCOMPARE(setting(QStringLiteral("defNazwSmsListaTableWidget_5")), QStringLiteral("Zalanie"));
    QPlainTextEdit *editor = typeSms(5, QStringLiteral("do usuniecia"));
    QTest::mouseClick(child<QToolButton>("defNazwSmsUsunToolButton"), Qt::LeftButton);
    QTableWidgetItem *item = table("defNazwSmsListaTableWidget")->item(5, 1);
    QVERIFY(item->data(FormTables::SmsTextRole).toString().isEmpty());
    QCOMPARE(item->text(), QStringLiteral("Zalanie"));
    QCOMPARE(setting(QStringLiteral("defNazwSmsListaTableWidget_5")), QStringLiteral("Zalanie"));
    QVERIFY(editor->toPlainText().isEmpty());
    QVERIFY(child<QLabel>("defNazwSmsInfoLabel")->text().isEmpty());
    QCOMPARE(child<QLabel>("defNazwSmsPozostaloLabel")->text(), QStringLiteral("Pozostało: 140 znaków"));
}

void TestNames::editorShowsTheRecordAfterTheFormIsFilled_data()
{
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("undo") << "actionCofnij_zmiany" << "" << "140";
    QTest::newRow("new") << "actionNowy" << "" << "140";
    QTest::newRow("open") << "actionOdczyt_z_pliku" << "Alarm" << "135";
}

void TestNames::editorShowsTheRecordAfterTheFormIsFilled()
{
    QFETCH(QString, fill);
    QFETCH(QString, shown);
    QFETCH(QString, remaining);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("alarm.kvl"));
    Configuration stored;
    stored.setSmsText(2, QStringLiteral("Alarm"));
    QVERIFY(ConfigurationFile::save(file, stored));

    QPlainTextEdit *editor = typeSms(2, QStringLiteral("Pompa stoi"));
    DialogAnswerer answerer;
    if (fill != QLatin1String("actionCofnij_zmiany"))
        answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    if (fill == QLatin1String("actionOdczyt_z_pliku"))
        answerer.expectFile(file);
    WindowDriver::action(*window, qPrintable(fill))->trigger();
    QVERIFY(answerer.waitAllAnswered());

    QCOMPARE(editor->toPlainText(), shown);
    QCOMPARE(child<QLabel>("defNazwSmsPozostaloLabel")->text(), QStringLiteral("Pozostało: %1 znaków").arg(remaining));
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("!"));
    QCOMPARE(table("defNazwSmsListaTableWidget")->item(2, 1)->data(FormTables::SmsTextRole).toString(), shown + '!');
}

TELVORO_TEST_MAIN(TestNames)
#include "tst_names.moc"
