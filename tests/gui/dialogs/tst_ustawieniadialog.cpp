#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "emulatedmodule.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "dialogs/ustawieniadialog.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include "testwidgets.h"

#include <QTest>
#include <QTimer>

// Drives the settings dialog by object name, as a user would.
class UstawieniaDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void validationMessages_data();
    void validationMessages();
    void serverAddressLeftEmptyIsStoredAsZeros();
    void serverAddressTypedIsStored();
    void numberListAddStartsEditingFirstEmptyRow_data();
    void numberListAddStartsEditingFirstEmptyRow();
    void numberListAndTabsFitTheFirstSize();
    void numberListAddWithAllRowsFilledDoesNothing();
    void numberListRemoveClearsSelectedNumber();
    void ringTaskItems_data();
    void ringTaskItems();
    void ringTasks_data();
    void ringTasks();
    void errorPhoneCaptionsFollowPhoneNames();
    void storesEditedValues();
    void cancelLeavesConfigurationUnchanged();
    void withoutConfigurationOnlySimGroupIsUsable();
    void pinPukChecks_data();
    void pinPukChecks();
    void pinRequestHasThreeStates();
    void showPinWithPassword();
    void showPinWrongPasswordOrCancel_data();
    void showPinWrongPasswordOrCancel();
    void pinPukSentToModule_data();
    void pinPukSentToModule();
    void pinPukNotAcknowledged();
    void pinPukWithModuleNotConnected();
};

namespace {

// The module is emulated in the test's own process, so a short period leaves
// it ample time.
constexpr int TestPeriod = 10;
const QString NotConnected = QStringLiteral("Brak połączenia z modemem. Kodu PIN, PUK nie zapisano.");

using TestWidgets::child;
using TestWidgets::chooseItem;
using TestWidgets::typeInto;

void click(QWidget *dialog, const char *name)
{
    auto *button = child<QAbstractButton>(dialog, name);
    // A check box or radio button reacts only to its indicator and label,
    // and a layout may make it wider than those.
    const bool indicatorButton = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    const QPoint position = indicatorButton ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, position);
}

void showTab(QWidget *dialog, int index)
{
    child<QTabWidget>(dialog, "tabWidget")->setCurrentIndex(index);
}

// The line edit in which a number is being edited, or null.
QLineEdit *openEditor(QTableWidget *table)
{
    for (QLineEdit *editor : table->viewport()->findChildren<QLineEdit *>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

// Opens the number of a row for editing, types it and confirms with Enter.
void typeNumber(QWidget *dialog, int row, const QString &text)
{
    showTab(dialog, 2);
    auto *table = child<QTableWidget>(dialog, "numeryTableWidget");
    table->editItem(table->item(row, 1));
    QLineEdit *editor = openEditor(table);
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes the editor from the event loop.
    QTRY_VERIFY(!openEditor(table));
    QCOMPARE(table->item(row, 1)->text(), text);
}


}

void UstawieniaDialogTest::cleanup()
{
    QSettings().clear();
}

void UstawieniaDialogTest::validationMessages_data()
{
    QTest::addColumn<QString>("secondModulePhone");
    QTest::addColumn<QString>("serverAddress");
    QTest::addColumn<QString>("number5");
    QTest::addColumn<QString>("number6");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("tab");

    const QString phoneMessage = QStringLiteral("Komunikacja z drugim modułem: błędny numer telefonu.");
    const QString addressMessage = QStringLiteral("Archiwizacja: błędny adres ip.");
    QTest::newRow("second module number too short")
            << "12345" << "" << "" << "" << phoneMessage << 0;
    QTest::newRow("second module checked first")
            << "12345678" << "1..2.3" << "" << "12" << phoneMessage << 0;
    QTest::newRow("address with an empty part")
            << "" << "10.0..1" << "" << "" << addressMessage << 3;
    QTest::newRow("address part 256")
            << "600100200" << "256.1.1.1" << "" << "" << addressMessage << 3;
    QTest::newRow("address checked before the numbers")
            << "" << "1.2.3" << "" << "1" << addressMessage << 3;
    QTest::newRow("eight digits at position 6")
            << "" << "" << "600100200" << "60010020" << "Lista numerów: błędny numer na pozycji 6." << 2;
    QTest::newRow("letter at position 5")
            << "" << "" << "60010020x" << "600100200" << "Lista numerów: błędny numer na pozycji 5." << 2;
    QTest::newRow("ten digits at position 5")
            << "" << "1.2.3.4" << "6001002003" << "" << "Lista numerów: błędny numer na pozycji 5." << 2;
}

void UstawieniaDialogTest::validationMessages()
{
    QFETCH(QString, secondModulePhone);
    QFETCH(QString, serverAddress);
    QFETCH(QString, number5);
    QFETCH(QString, number6);
    QFETCH(QString, message);
    QFETCH(int, tab);

    Configuration configuration;
    const Configuration original = configuration;
    UstawieniaDialog dialog(1, &configuration, nullptr);
    dialog.show();
    typeInto(&dialog, "drugiModulTelefonLineEdit", secondModulePhone);
    typeInto(&dialog, "serverIpLineEdit", serverAddress);
    typeNumber(&dialog, 4, number5);
    typeNumber(&dialog, 5, number6);
    showTab(&dialog, 1);

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "zapiszPushButton");

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].className, QStringLiteral("QMessageBox"));
    QCOMPARE(answerer.seen[0].title, QStringLiteral("Ustawienia"));
    QCOMPARE(answerer.seen[0].text, message);
    QCOMPARE(child<QTabWidget>(&dialog, "tabWidget")->currentIndex(), tab);
    QVERIFY(dialog.isVisible());
    QVERIFY(configuration == original);
}

void UstawieniaDialogTest::serverAddressLeftEmptyIsStoredAsZeros()
{
    Configuration configuration;
    configuration.serverAddress = {10, 0, 0, 1};
    {
        UstawieniaDialog dialog(3, &configuration, nullptr);
        dialog.show();
        auto *address = child<QLineEdit>(&dialog, "serverIpLineEdit");
        QCOMPARE(address->text(), QStringLiteral("10.0.0.1"));
        QCOMPARE(address->displayText(), QStringLiteral("10_.0__.0__.1__"));

        typeInto(&dialog, "serverIpLineEdit", QString());
        click(&dialog, "zapiszPushButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(configuration.serverAddress, (std::array<quint8, 4>{0, 0, 0, 0}));

    UstawieniaDialog reopened(3, &configuration, nullptr);
    QCOMPARE(child<QLineEdit>(&reopened, "serverIpLineEdit")->text(), QStringLiteral("..."));
}

void UstawieniaDialogTest::serverAddressTypedIsStored()
{
    Configuration configuration;
    UstawieniaDialog dialog(3, &configuration, nullptr);
    dialog.show();
    typeInto(&dialog, "serverIpLineEdit", QStringLiteral("192.168.1.20"));
    click(&dialog, "zapiszPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.serverAddress, (std::array<quint8, 4>{192, 168, 1, 20}));
}

void UstawieniaDialogTest::numberListAddStartsEditingFirstEmptyRow_data()
{
    QTest::addColumn<int>("filled");
    QTest::newRow("rows 1 to 3 filled") << 3;
    QTest::newRow("rows 1 to 7 filled, the last row below the list's first view") << 7;
}

// The editor opens in sight, says that nine digits are wanted, and shows a
// number that is not (yet) one in red, with the hint below the list.
void UstawieniaDialogTest::numberListAddStartsEditingFirstEmptyRow()
{
    QFETCH(int, filled);
    Configuration configuration;
    for (int i = 0; i < filled; ++i)
        configuration.setPhoneNumber(i, QStringLiteral("60010020%1").arg(i));
    UstawieniaDialog dialog(2, &configuration, nullptr);
    dialog.show();
    auto *table = child<QTableWidget>(&dialog, "numeryTableWidget");
    table->setFixedHeight(3 * table->rowHeight(0));
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("600100202"));

    click(&dialog, "dodajNumerPushButton");
    QLineEdit *editor = openEditor(table);
    QVERIFY(editor);
    QCOMPARE(table->indexAt(editor->geometry().center()), table->model()->index(filled, 1));
    QVERIFY(table->viewport()->rect().contains(editor->geometry()));
    QCOMPARE(editor->placeholderText(), QStringLiteral("9 cyfr"));

    const auto *hint = child<QLabel>(&dialog, "numerPodpowiedzLabel");
    QCOMPARE(hint->text(), QStringLiteral("Numer telefonu to 9 cyfr, bez +48 i bez spacji."));
    const auto shownRed = [editor, hint] {
        return QList<bool>{editor->palette().color(QPalette::Text) == QColor(220, 0, 0),
                           hint->palette().color(QPalette::WindowText) == QColor(220, 0, 0)};
    };
    QCOMPARE(shownRed(), QList<bool>({false, false}));
    QTest::keyClicks(editor, QStringLiteral("+48 700"));
    QCOMPARE(shownRed(), QList<bool>({true, true}));
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("700800900"));
    QCOMPARE(shownRed(), QList<bool>({false, false}));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(table->item(filled, 1)->text(), QStringLiteral("700800900"));
    click(&dialog, "zapiszPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.phoneNumber(filled), QStringLiteral("700800900"));
    QCOMPARE(configuration.phoneNumber(0), QStringLiteral("600100200"));
}

// At the size the dialog opens with, every tab's title shows whole and the
// number column takes the list's width beside the phone captions.
void UstawieniaDialogTest::numberListAndTabsFitTheFirstSize()
{
    Configuration configuration;
    configuration.setPhoneNumber(0, QStringLiteral("600100200"));
    UstawieniaDialog dialog(2, &configuration, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QTabBar *tabs = child<QTabWidget>(&dialog, "tabWidget")->tabBar();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        QVERIFY2(tabs->rect().contains(tabs->tabRect(tab)), qPrintable(tabs->tabText(tab)));
        QVERIFY(tabs->tabRect(tab).width() > tabs->fontMetrics().horizontalAdvance(tabs->tabText(tab)));
    }
    const auto *table = child<QTableWidget>(&dialog, "numeryTableWidget");
    QCOMPARE(table->columnWidth(0) + table->columnWidth(1), table->viewport()->width());
    QVERIFY(table->columnWidth(1) > table->fontMetrics().horizontalAdvance(QStringLiteral("600100200 ")));
}

void UstawieniaDialogTest::numberListAddWithAllRowsFilledDoesNothing()
{
    Configuration configuration;
    for (int i = 0; i < 8; ++i)
        configuration.setPhoneNumber(i, QStringLiteral("60010020%1").arg(i));
    UstawieniaDialog dialog(2, &configuration, nullptr);
    dialog.show();
    auto *table = child<QTableWidget>(&dialog, "numeryTableWidget");

    click(&dialog, "dodajNumerPushButton");
    QVERIFY(!openEditor(table));
}

void UstawieniaDialogTest::numberListRemoveClearsSelectedNumber()
{
    Configuration configuration;
    for (int i = 0; i < 4; ++i)
        configuration.setPhoneNumber(i, QStringLiteral("60010020%1").arg(i));
    UstawieniaDialog dialog(2, &configuration, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *table = child<QTableWidget>(&dialog, "numeryTableWidget");

    // Nothing selected: the button does nothing.
    click(&dialog, "usunNumerPushButton");
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("600100202"));

    // A click on the phone's caption selects its number, the only selectable item.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(2, 1)).center());
    QCOMPARE(table->selectedItems().size(), 1);
    click(&dialog, "usunNumerPushButton");
    QCOMPARE(table->item(2, 1)->text(), QString());
    QVERIFY(table->selectedItems().isEmpty());

    click(&dialog, "zapiszPushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.phoneNumber(2), QString());
    QCOMPARE(configuration.phoneNumber(3), QStringLiteral("600100203"));
}

void UstawieniaDialogTest::ringTaskItems_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("data");

    QTest::newRow("off") << 0 << "Wyłączone" << QVariant();
    QTest::newRow("first local") << 1 << "zał. DO 1" << QVariant(1);
    QTest::newRow("switch on all") << 7 << "zał. Wszyst." << QVariant(7);
    QTest::newRow("switch off DO 1 after skipped code 7") << 8 << "wył. DO 1" << QVariant(9);
    QTest::newRow("switch off all") << 14 << "wył. Wszyst." << QVariant(15);
    QTest::newRow("negate DO 6") << 20 << "neg. DO 6" << QVariant(22);
    QTest::newRow("negate all") << 21 << "neg. Wszyst." << QVariant(23);
    QTest::newRow("status 1") << 22 << "status 1" << QVariant(25);
    QTest::newRow("status 8") << 29 << "status 8" << QVariant(32);
}

void UstawieniaDialogTest::ringTaskItems()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QVariant, data);

    UstawieniaDialog dialog(1, nullptr, nullptr);
    for (const char *name : {"dzwonek1ComboBox", "dzwonek2ComboBox"}) {
        auto *combo = child<QComboBox>(&dialog, name);
        QCOMPARE(combo->count(), 30);
        QCOMPARE(combo->itemText(index), text);
        QCOMPARE(combo->itemData(index), data);
    }
}

void UstawieniaDialogTest::ringTasks_data()
{
    QTest::addColumn<QByteArray>("comboName");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("expected");

    for (const auto &[comboName, ringKey] : {std::pair{"dzwonek1ComboBox", 1}, std::pair{"dzwonek2ComboBox", 4}}) {
        // Named copies: a lambda may not capture a structured binding before C++20.
        const char *const name = comboName;
        const int key = ringKey;
        const auto row = [&](const char *caseName) -> QTestData & {
            return QTest::addRow("%s %s", name, caseName) << QByteArray(name) << key;
        };
        row("switch on DO 2") << 0 << "Wyłączone" << QStringList{"zał. DO 2"} << 2;
        row("status 3") << 0 << "Wyłączone" << QStringList{"status 3"} << 27;
        row("stored status 3 shown") << 27 << "status 3" << QStringList() << 27;
        row("back to off stores 0") << 2 << "zał. DO 2" << QStringList{"Wyłączone"} << 0;
        row("unknown value untouched is kept") << 8 << "Wyłączone" << QStringList() << 8;
        row("unknown value, off chosen again stores 0")
                << 8 << "Wyłączone" << QStringList{"status 1", "Wyłączone"} << 0;
    }
}

void UstawieniaDialogTest::ringTasks()
{
    QFETCH(QByteArray, comboName);
    QFETCH(int, key);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(QStringList, choices);
    QFETCH(int, expected);

    Configuration configuration;
    configuration.setRingAction(key, quint8(stored));
    const int otherKey = key == 1 ? 4 : 1;
    configuration.setRingAction(otherKey, 8);

    UstawieniaDialog dialog(1, &configuration, nullptr);
    dialog.show();
    QCOMPARE(child<QComboBox>(&dialog, comboName.constData())->currentText(), shown);
    for (const QString &choice : choices)
        chooseItem(&dialog, comboName.constData(), choice);
    click(&dialog, "zapiszPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(configuration.ringActions.value(key)), expected);
    QCOMPARE(int(configuration.ringActions.value(otherKey)), 8);
}

void UstawieniaDialogTest::errorPhoneCaptionsFollowPhoneNames()
{
    QSettings settings;
    settings.setValue(QStringLiteral("defNazwNazwyTel_0"), QStringLiteral("Biuro"));
    settings.setValue(QStringLiteral("defNazwNazwyTel_7"), QStringLiteral("Magazyn"));

    UstawieniaDialog dialog(0, nullptr, nullptr);
    QCOMPARE(child<QCheckBox>(&dialog, "komBladTelCheckBox_1")->text(), QStringLiteral("Telefon 1 (Biuro)"));
    QCOMPARE(child<QCheckBox>(&dialog, "komBladTelCheckBox_3")->text(), QStringLiteral("Telefon 3 "));
    QCOMPARE(child<QCheckBox>(&dialog, "komBladTelCheckBox_8")->text(), QStringLiteral("Telefon 8 (Magazyn)"));
}

void UstawieniaDialogTest::storesEditedValues()
{
    Configuration configuration;
    configuration.setErrorReportPhone(1, true);
    configuration.serverPort = QStringLiteral("1234");
    configuration.archiveInterval = 15;
    configuration.archiveSendAfter = 4;
    configuration.secondModulePhone = QStringLiteral("500600700");

    UstawieniaDialog dialog(0, &configuration, nullptr);
    dialog.show();
    QCOMPARE(child<QLineEdit>(&dialog, "drugiModulTelefonLineEdit")->text(), QStringLiteral("500600700"));
    QVERIFY(child<QCheckBox>(&dialog, "komBladTelCheckBox_2")->isChecked());
    QVERIFY(!child<QCheckBox>(&dialog, "komBladTelCheckBox_1")->isChecked());
    QVERIFY(!child<QCheckBox>(&dialog, "nasluchCheckBox")->isChecked());
    auto *port = child<QSpinBox>(&dialog, "serverPortSpinBox");
    auto *interval = child<QSpinBox>(&dialog, "backupTimeSpinBox");
    auto *sendAfter = child<QSpinBox>(&dialog, "backupAfterSpinBox");
    QCOMPARE(port->value(), 1234);
    QCOMPARE(interval->value(), 15);
    QCOMPARE(sendAfter->value(), 4);

    // The validator lets only digits into the second module's number.
    typeInto(&dialog, "drugiModulTelefonLineEdit", QStringLiteral("6a0b0100200"));
    QCOMPARE(child<QLineEdit>(&dialog, "drugiModulTelefonLineEdit")->text(), QStringLiteral("600100200"));
    click(&dialog, "komBladTelCheckBox_2");
    click(&dialog, "komBladTelCheckBox_5");
    click(&dialog, "nasluchCheckBox");
    port->setValue(65535);
    interval->setValue(255);
    sendAfter->setValue(7);
    click(&dialog, "zapiszPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.secondModulePhone, QStringLiteral("600100200"));
    QCOMPARE(configuration.errorReportPhones, quint8(1 << 4));
    QVERIFY(configuration.microphone());
    QCOMPARE(configuration.serverPort, QStringLiteral("65535"));
    QCOMPARE(configuration.archiveInterval, quint8(255));
    QCOMPARE(configuration.archiveSendAfter, quint8(7));
}

void UstawieniaDialogTest::cancelLeavesConfigurationUnchanged()
{
    Configuration configuration;
    const Configuration original = configuration;
    UstawieniaDialog dialog(0, &configuration, nullptr);
    dialog.show();
    typeInto(&dialog, "drugiModulTelefonLineEdit", QStringLiteral("600100200"));
    click(&dialog, "nasluchCheckBox");
    chooseItem(&dialog, "dzwonek1ComboBox", QStringLiteral("status 2"));
    click(&dialog, "anulujPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(configuration == original);
}

void UstawieniaDialogTest::withoutConfigurationOnlySimGroupIsUsable()
{
    UstawieniaDialog dialog(0, nullptr, nullptr);
    dialog.show();

    for (const char *name : {"pinLineEdit", "pukLineEdit", "zapiszPinPukPushButton", "zadaniePinWlRadioButton",
                             "zadaniePinWyRadioButton", "anulujPushButton", "tabWidget"})
        QVERIFY2(child<QWidget>(&dialog, name)->isEnabled(), name);
    for (const char *name :
         {"drugiModulTelefonLineEdit", "dzwonek1ComboBox", "dzwonek2ComboBox", "dodajNumerPushButton",
          "usunNumerPushButton", "serverIpLineEdit", "serverPortSpinBox", "testPushButton", "backupAfterSpinBox",
          "backupTimeSpinBox", "zapiszPushButton", "numeryTableWidget", "komBladTelCheckBox_1",
          "nasluchCheckBox", "pokazCheckBox"})
        QVERIFY2(!child<QWidget>(&dialog, name)->isEnabled(), name);
}

void UstawieniaDialogTest::pinPukChecks_data()
{
    QTest::addColumn<QString>("pin");
    QTest::addColumn<QString>("puk");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");

    // Without a module to write to, valid codes are not sent, and the message says why.
    const QString notWritten = NotConnected;
    QTest::newRow("PIN of three digits") << "123" << "" << "Zapisz" << "Błędny kod PIN.";
    QTest::newRow("empty PIN") << "" << "12345678" << "Zapisz" << "Błędny kod PIN.";
    QTest::newRow("PIN checked first") << "12" << "123" << "Zapisz" << "Błędny kod PIN.";
    QTest::newRow("PUK of seven digits") << "1234" << "1234567" << "Zapisz" << "Błędny kod PUK.";
    QTest::newRow("PUK of one digit") << "1234" << "1" << "Zapisz" << "Błędny kod PUK.";
    QTest::newRow("empty PUK, no module") << "1234" << "" << "Ustawienia" << notWritten;
    QTest::newRow("full PUK, no module") << "1234" << "12345678" << "Ustawienia" << notWritten;
}

void UstawieniaDialogTest::pinPukChecks()
{
    QFETCH(QString, pin);
    QFETCH(QString, puk);
    QFETCH(QString, title);
    QFETCH(QString, message);

    UstawieniaDialog dialog(0, nullptr, nullptr);
    dialog.show();
    // Each field clicked towards its right end, past the digits, as a user might.
    for (const auto &[name, code] : {std::pair{"pinLineEdit", pin}, std::pair{"pukLineEdit", puk}}) {
        auto *edit = child<QLineEdit>(&dialog, name);
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() * 3 / 4, edit->height() / 2));
        QTest::keyClicks(edit, code);
        QCOMPARE(edit->text(), code);
    }

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "zapiszPinPukPushButton");

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].title, title);
    QCOMPARE(answerer.seen[0].text, message);
    QVERIFY(dialog.isEnabled());
    QVERIFY(dialog.isVisible());
}

void UstawieniaDialogTest::pinRequestHasThreeStates()
{
    UstawieniaDialog dialog(0, nullptr, nullptr);
    dialog.show();
    auto *on = child<QRadioButton>(&dialog, "zadaniePinWlRadioButton");
    auto *off = child<QRadioButton>(&dialog, "zadaniePinWyRadioButton");
    QVERIFY(!on->isChecked() && !off->isChecked());

    click(&dialog, "zadaniePinWlRadioButton");
    QVERIFY(on->isChecked() && !off->isChecked());
    click(&dialog, "zadaniePinWyRadioButton");
    QVERIFY(!on->isChecked() && off->isChecked());
    click(&dialog, "zadaniePinWyRadioButton");
    QVERIFY(!on->isChecked() && !off->isChecked());
}

void UstawieniaDialogTest::showPinWithPassword()
{
    Configuration configuration;
    configuration.simPin = QStringLiteral("4321");
    configuration.simPuk = QStringLiteral("87654321");
    UstawieniaDialog dialog(0, &configuration, nullptr);
    dialog.show();
    auto *pin = child<QLineEdit>(&dialog, "pinLineEdit");
    auto *puk = child<QLineEdit>(&dialog, "pukLineEdit");
    QCOMPARE(pin->text(), QString());
    QCOMPARE(puk->text(), QString());

    DialogAnswerer answerer;
    answerer.expectInteger(5837);
    click(&dialog, "pokazCheckBox");

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].className, QStringLiteral("QInputDialog"));
    QCOMPARE(answerer.seen[0].title, QStringLiteral("Pokaż PIN"));
    QCOMPARE(answerer.seen[0].text, QStringLiteral("Wprowadź hasło:"));
    QCOMPARE(pin->text(), QStringLiteral("4321"));
    QCOMPARE(puk->text(), QStringLiteral("87654321"));
    QVERIFY(child<QCheckBox>(&dialog, "pokazCheckBox")->isChecked());
}

void UstawieniaDialogTest::showPinWrongPasswordOrCancel_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("password");

    QTest::newRow("wrong number") << false << 5838;
    QTest::newRow("zero") << false << 0;
    QTest::newRow("cancel") << true << 0;
}

void UstawieniaDialogTest::showPinWrongPasswordOrCancel()
{
    QFETCH(bool, cancel);
    QFETCH(int, password);

    Configuration configuration;
    configuration.simPin = QStringLiteral("4321");
    configuration.simPuk = QStringLiteral("87654321");
    UstawieniaDialog dialog(0, &configuration, nullptr);
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "pinLineEdit"), QStringLiteral("1111"));

    DialogAnswerer answerer;
    if (cancel) {
        answerer.expectInputCancel();
    } else {
        answerer.expectInteger(password);
        answerer.expectMessageBox();
    }
    click(&dialog, "pokazCheckBox");

    QCOMPARE(answerer.seen.size(), cancel ? 1 : 2);
    if (!cancel) {
        QCOMPARE(answerer.seen[1].title, QStringLiteral("Pokaż PIN"));
        QCOMPARE(answerer.seen[1].text, QStringLiteral("Błędne hasło"));
    }
    QCOMPARE(child<QLineEdit>(&dialog, "pinLineEdit")->text(), QStringLiteral("1111"));
    QCOMPARE(child<QLineEdit>(&dialog, "pukLineEdit")->text(), QString());
    QVERIFY(!child<QCheckBox>(&dialog, "pokazCheckBox")->isChecked());
}

void UstawieniaDialogTest::pinPukSentToModule_data()
{
    QTest::addColumn<bool>("withConfiguration");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<QString>("puk");
    QTest::addColumn<QStringList>("pinRequestClicks");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty PUK, request off")
            << true << "1234" << "" << QStringList{"zadaniePinWyRadioButton"}
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 01";
    QTest::newRow("PUK, request on")
            << true << "0000" << "87654321" << QStringList{"zadaniePinWlRadioButton"}
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 02";
    QTest::newRow("request not chosen")
            << true << "9876" << "" << QStringList() << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 00";
    QTest::newRow("request switched on, then off again")
            << true << "1111" << "" << QStringList{"zadaniePinWlRadioButton", "zadaniePinWlRadioButton"}
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 00";
    QTest::newRow("without configuration")
            << false << "4321" << "11112222" << QStringList{"zadaniePinWlRadioButton", "zadaniePinWyRadioButton"}
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 01";
}

void UstawieniaDialogTest::pinPukSentToModule()
{
    QFETCH(bool, withConfiguration);
    QFETCH(QString, pin);
    QFETCH(QString, puk);
    QFETCH(QStringList, pinRequestClicks);
    QFETCH(QString, message);

    EmulatedModule emulated;
    Module module;
    module.setPeriodForTests(TestPeriod);
    ModuleSession session(&module);
    QVERIFY(emulated.connect(session));

    Configuration configuration;
    const Configuration original = configuration;
    UstawieniaDialog dialog(0, withConfiguration ? &configuration : nullptr, &module);
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "pinLineEdit"), pin);
    QTest::keyClicks(child<QLineEdit>(&dialog, "pukLineEdit"), puk);
    for (const QString &name : pinRequestClicks)
        click(&dialog, name.toLatin1().constData());

    // The first events handled after the click are those of the wait for the module.
    // The session knows the line is busy.
    bool enabledWhileWriting = true;
    ModuleSession::State stateWhileWriting = ModuleSession::State::Idle;
    QTimer::singleShot(0, &dialog, [&] {
        enabledWhileWriting = dialog.isEnabled();
        stateWhileWriting = session.state();
    });
    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "zapiszPinPukPushButton");

    QVERIFY(!enabledWhileWriting);
    QCOMPARE(stateWhileWriting, ModuleSession::State::WritingPinPuk);
    QVERIFY(dialog.isEnabled());
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].className, QStringLiteral("QMessageBox"));
    QCOMPARE(answerer.seen[0].title, QStringLiteral("Ustawienia"));
    QCOMPARE(answerer.seen[0].text, QStringLiteral("Kod PIN, PUK zapisano."));
    // The log hides the codes; the module's header holds them.
    QCOMPARE(emulated.emulator().commandLog().last(), message);
    const std::optional<Configuration> read = session.read();
    QVERIFY(read.has_value());
    QCOMPARE(read->simPin, pin);
    QCOMPARE(read->simPuk, puk);
    QVERIFY(configuration == original);
    // So does the link log, in the message and in the image read back.
    const QList<LinkLog::Entry> &log = session.log()->entries();
    QCOMPARE(QString::fromLatin1(log.at(log.size() - 4).hex), message);
    QVERIFY(log.last().hex.startsWith(QByteArray("** ").repeated(12)));
}

// Types a PIN, presses "Zapisz" and expects the failure message.
static void savePinPukExpectingFailure(Module &module, const QString &message)
{
    Configuration configuration;
    UstawieniaDialog dialog(0, &configuration, &module);
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "pinLineEdit"), QStringLiteral("1234"));

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "zapiszPinPukPushButton");

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen[0].title, QStringLiteral("Ustawienia"));
    QCOMPARE(answerer.seen[0].text, message);
    QVERIFY(dialog.isEnabled());
}

void UstawieniaDialogTest::pinPukNotAcknowledged()
{
    EmulatedModule emulated;
    emulated.emulator().setFaults({ModuleEmulator::Fault::NoPinAck});
    Module module;
    module.setPeriodForTests(TestPeriod);
    ModuleSession session(&module);
    QVERIFY(emulated.connect(session));

    savePinPukExpectingFailure(module, QStringLiteral("Błąd podczas zapisu kodu PIN, PUK."));
    QCOMPARE(emulated.emulator().commandLog().last(), QStringLiteral("70 61 ** ** ** ** ** ** ** ** ** ** ** ** 00"));
}

// A module no session drives, and one whose session is not connected, get nothing.
void UstawieniaDialogTest::pinPukWithModuleNotConnected()
{
    Module module;
    savePinPukExpectingFailure(module, NotConnected);
    ModuleSession session(&module);
    savePinPukExpectingFailure(module, NotConnected);
}

TELVORO_TEST_MAIN(UstawieniaDialogTest)
#include "tst_ustawieniadialog.moc"
