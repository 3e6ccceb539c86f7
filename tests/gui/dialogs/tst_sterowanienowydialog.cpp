#include "actiondialogdriver.h"
#include "actions/inputaction.h"
#include "dialogs/sterowanienowydialog.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include "testwidgets.h"

#include <QTest>

char *toString(const InputAction &action)
{
    return QTest::toString(QStringLiteral("InputAction(kind %1, flags %2, value %3, time %4, code %5)")
                                   .arg(action.inputKind)
                                   .arg(action.flags)
                                   .arg(action.value)
                                   .arg(action.time)
                                   .arg(action.code));
}

// Drives the action editor by object name, as a user would.
class SterowanieNowyDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void startsWithNothingChosen();
    void inputInfo_data();
    void inputInfo();
    void threeListFlowAndResets();
    void phoneEntriesCarryTheirNames();
    void selectionMovedByKeysRefillsLaterLists();
    void withoutConfigurationNothingCanBeChosen();
    void validationMessages_data();
    void validationMessages();
    void digitalExampleIsStored();
    void checkedTimeOfZeroIsStoredAsZero();
    void newActionGoesToLowestFreeSlot();
    void fullInputStoresNothing();
    void editLoadsAction();
    void editKeepsUseFlag();
    void editDecodesStatusCode_data();
    void editDecodesStatusCode();
    void editOfUndecodableCodeKeepsOkDisabled_data();
    void editOfUndecodableCodeKeepsOkDisabled();
    void valueShownInItsInputsOwnRange();
    void untouchedValueIsKeptExactly();
    void timeAboveLimitIsRefused();
    void unstorableValueIsRefused_data();
    void unstorableValueIsRefused();
};

namespace {

using TestWidgets::child;

QStringList itemTexts(const QListWidget *listWidget)
{
    QStringList texts;
    for (int i = 0; i < listWidget->count(); ++i)
        texts.append(listWidget->item(i)->text());
    return texts;
}

bool okEnabled(QWidget *dialog)
{
    return child<QPushButton>(dialog, "okPushButton")->isEnabled();
}

void showDialog(QDialog &dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

// Fills every slot of a digital input with a rising-edge action.
void fillDigitalInput(Configuration &configuration, int input)
{
    for (int i = 0; i < DigitalActionSlots; ++i)
        configuration.setDigitalAction(input, i, InputAction(DigitalInput, 3, 0, 0, quint8(i)));
}

} // namespace

using namespace ActionDialogDriver;

void SterowanieNowyDialogTest::init()
{
    QSettings().clear();
}

void SterowanieNowyDialogTest::startsWithNothingChosen()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, AnalogInput, &configuration, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Nowa akcja"));
    QCOMPARE(itemTexts(list(&dialog, 0)),
             QStringList({ "Lokalne", "Zdalne", "Status (SMS)" }));
    QCOMPARE(list(&dialog, 1)->count(), 0);
    QCOMPARE(list(&dialog, 2)->count(), 0);
    QVERIFY(!okEnabled(&dialog));
    auto *pages = child<QStackedWidget>(&dialog, "stackedWidget");
    QVERIFY(!pages->isEnabled());
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("page"));
    QVERIFY(!child<QGroupBox>(&dialog, "groupBox")->isChecked());

    SterowanieNowyDialog digitalDialog(0, DigitalInput, &configuration, nullptr);
    QCOMPARE(child<QStackedWidget>(&digitalDialog, "stackedWidget")->currentWidget()->objectName(),
             QStringLiteral("page_2"));
}

void SterowanieNowyDialogTest::inputInfo_data()
{
    QTest::addColumn<int>("editMode");
    QTest::addColumn<int>("inputKind");
    QTest::addColumn<int>("input");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("left");

    QTest::newRow("new DI3") << 0 << int(DigitalInput) << 2
                             << "Wybierz rodzaj akcji dla wejścia cyfrowego DI3"
                             << "Pozostało akcji: 15";
    QTest::newRow("edit AI2") << 1 << int(AnalogInput) << 1
                              << "Edycja akcji wejścia analogowego AI2"
                              << "Pozostało akcji: 17";
}

void SterowanieNowyDialogTest::inputInfo()
{
    QFETCH(int, editMode);
    QFETCH(int, inputKind);
    QFETCH(int, input);
    QFETCH(QString, info);
    QFETCH(QString, left);

    Configuration configuration;
    configuration.setDigitalAction(2, 4, InputAction(DigitalInput, 5, 0, 0, 1));
    configuration.setAnalogAction(1, 0, InputAction(AnalogInput, 3, 10, 0, 1));
    SterowanieNowyDialog dialog(editMode, inputKind, &configuration, nullptr);
    dialog.analogInput = input;
    dialog.digitalInput = input;
    dialog.updateInputInfo();

    QCOMPARE(child<QLabel>(&dialog, "infoLabel")->text(), info);
    QCOMPARE(child<QLabel>(&dialog, "pozostaloLabel")->text(), left);
    QCOMPARE(dialog.windowTitle(),
             editMode == 1 ? QStringLiteral("Edycja akcji") : QStringLiteral("Nowa akcja"));
}

void SterowanieNowyDialogTest::threeListFlowAndResets()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.updateInputInfo();
    showDialog(dialog);
    auto *pages = child<QStackedWidget>(&dialog, "stackedWidget");

    clickRow(&dialog, 0, 1);
    QCOMPARE(itemTexts(list(&dialog, 1)), QStringList({ "Załącz", "Wyłącz", "Negacja" }));
    QCOMPARE(list(&dialog, 2)->count(), 0);
    QVERIFY(!okEnabled(&dialog));

    clickRow(&dialog, 1, 2);
    QCOMPARE(itemTexts(list(&dialog, 2)),
             QStringList({ "Wyjście cyfrowe DO1", "Wyjście cyfrowe DO2", "Wyjście cyfrowe DO3",
                           "Wyjście cyfrowe DO4", "Wyjście cyfrowe DO5", "Wyjście cyfrowe DO6",
                           "Wszystkie wyjścia" }));
    QVERIFY(!okEnabled(&dialog));
    QVERIFY(!pages->isEnabled());

    clickRow(&dialog, 2, 6);
    QVERIFY(okEnabled(&dialog));
    QVERIFY(pages->isEnabled());
    click(&dialog, "opadajaceRadioButton");

    // Choosing again in the second list empties the third.
    clickRow(&dialog, 1, 0);
    QCOMPARE(list(&dialog, 2)->count(), 7);
    QVERIFY(!okEnabled(&dialog));
    QVERIFY(!pages->isEnabled());

    // Choosing again in the first list empties both.
    clickRow(&dialog, 2, 0);
    QVERIFY(okEnabled(&dialog));
    clickRow(&dialog, 0, 2);
    QCOMPARE(list(&dialog, 1)->count(), 8);
    QCOMPARE(list(&dialog, 2)->count(), 0);
    QVERIFY(!okEnabled(&dialog));
    QVERIFY(!pages->isEnabled());

    clickRow(&dialog, 1, 3);
    QCOMPARE(itemTexts(list(&dialog, 2)),
             QStringList({ "Status 1", "Status 2", "Status 3", "Status 4", "Status 5",
                           "Status 6", "Status 7", "Status 8" }));

    // The condition keeps its state across the steps.
    QVERIFY(child<QRadioButton>(&dialog, "opadajaceRadioButton")->isChecked());
}

void SterowanieNowyDialogTest::phoneEntriesCarryTheirNames()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("defNazwNazwyTel_2"), QStringLiteral("Serwis"));
    }
    Configuration configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    showDialog(dialog);

    clickRow(&dialog, 0, 2);
    const QStringList phones = itemTexts(list(&dialog, 1));
    QCOMPARE(phones.size(), 8);
    QCOMPARE(phones.at(0), QStringLiteral("Telefon 1 "));
    QCOMPARE(phones.at(2), QStringLiteral("Telefon 3 Serwis"));
    QCOMPARE(phones.at(7), QStringLiteral("Telefon 8 "));
}

void SterowanieNowyDialogTest::selectionMovedByKeysRefillsLaterLists()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.updateInputInfo();
    showDialog(dialog);

    choose(&dialog, 2, 5, 3);
    click(&dialog, "narastajaceRadioButton");
    QVERIFY(okEnabled(&dialog));

    // Moving the group with the keys must not leave the phones and statuses
    // of the former group to be combined with the new one.
    QListWidget *groups = list(&dialog, 0);
    groups->setFocus();
    QTest::keyClick(groups, Qt::Key_Up);
    QCOMPARE(groups->currentRow(), 1);
    QCOMPARE(itemTexts(list(&dialog, 1)), QStringList({ "Załącz", "Wyłącz", "Negacja" }));
    QCOMPARE(list(&dialog, 2)->count(), 0);
    QVERIFY(!okEnabled(&dialog));

    clickRow(&dialog, 1, 1);
    clickRow(&dialog, 2, 4);
    click(&dialog, "okPushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.digitalAction(0, 0).code, quint8(24 + 8 + 4));
}

void SterowanieNowyDialogTest::withoutConfigurationNothingCanBeChosen()
{
    SterowanieNowyDialog dialog(0, AnalogInput, nullptr, nullptr);
    dialog.updateInputInfo();
    QCOMPARE(list(&dialog, 0)->count(), 0);
    QCOMPARE(child<QLabel>(&dialog, "infoLabel")->text(), QStringLiteral("Wejście"));
    QCOMPARE(child<QLabel>(&dialog, "pozostaloLabel")->text(),
             QStringLiteral("Pozostało akcji: xx"));
    QVERIFY(!okEnabled(&dialog));
}

void SterowanieNowyDialogTest::validationMessages_data()
{
    QTest::addColumn<int>("inputKind");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("message");

    QTest::newRow("digital, no edge")
            << int(DigitalInput) << QString()
            << "Należy wybrać 'narastające' lub 'opadające' zbocze sygnału.";
    QTest::newRow("analogue, no condition")
            << int(AnalogInput) << QString()
            << "Należy wybrać 'większe od' lub 'mniejsze od' lub 'zmiana o'.";
    QTest::newRow("analogue, no value")
            << int(AnalogInput) << "zmianaORadioButton" << "Należy wpisać wartość.";
}

void SterowanieNowyDialogTest::validationMessages()
{
    QFETCH(int, inputKind);
    QFETCH(QString, condition);
    QFETCH(QString, message);

    Configuration configuration;
    const Configuration before = configuration;
    SterowanieNowyDialog dialog(0, inputKind, &configuration, nullptr);
    dialog.updateInputInfo();
    showDialog(dialog);
    choose(&dialog, 0, 0, 0);
    if (!condition.isEmpty())
        click(&dialog, qPrintable(condition));

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "okPushButton");
    QVERIFY(answerer.waitAllAnswered());

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.at(0).className, QStringLiteral("QMessageBox"));
    QCOMPARE(answerer.seen.at(0).title, QStringLiteral("Nowa akcja"));
    QCOMPARE(answerer.seen.at(0).text, message);
    QVERIFY(dialog.isVisible());
    QVERIFY(configuration == before);
}

void SterowanieNowyDialogTest::digitalExampleIsStored()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.digitalInput = 1;
    dialog.updateInputInfo();
    showDialog(dialog);

    clickRow(&dialog, 0, 0);
    QCOMPARE(list(&dialog, 1)->item(0)->text(), QStringLiteral("Załącz"));
    clickRow(&dialog, 1, 0);
    QCOMPARE(list(&dialog, 2)->item(3)->text(), QStringLiteral("Wyjście cyfrowe DO4"));
    clickRow(&dialog, 2, 3);
    click(&dialog, "narastajaceRadioButton");
    setTime(&dialog, 1, 0, 5);
    click(&dialog, "okPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(configuration.digitalAction(1, 0), InputAction(DigitalInput, 3, 0, 3605, 3));
    QVERIFY(configuration.digitalAction(0, 0).isFree());
}

void SterowanieNowyDialogTest::checkedTimeOfZeroIsStoredAsZero()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, AnalogInput, &configuration, nullptr);
    dialog.updateInputInfo();
    showDialog(dialog);
    choose(&dialog, 1, 2, 6);
    click(&dialog, "wiekszeOdRadioButton");
    typeValue(&dialog, QStringLiteral("5"));
    setTime(&dialog, 0, 0, 0);
    click(&dialog, "okPushButton");

    // Default range 10.00: 5 is half of it.
    QCOMPARE(configuration.analogAction(0, 0), InputAction(AnalogInput, 3, 500, 0, 24 + 16 + 6));
}

void SterowanieNowyDialogTest::newActionGoesToLowestFreeSlot()
{
    Configuration configuration;
    configuration.setDigitalAction(3, 0, InputAction(DigitalInput, 3, 0, 0, 1));
    configuration.setDigitalAction(3, 2, InputAction(DigitalInput, 5, 0, 0, 2));
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.digitalInput = 3;
    dialog.updateInputInfo();
    QCOMPARE(child<QLabel>(&dialog, "pozostaloLabel")->text(),
             QStringLiteral("Pozostało akcji: 14"));
    showDialog(dialog);

    choose(&dialog, 0, 1, 5);
    click(&dialog, "opadajaceRadioButton");
    click(&dialog, "okPushButton");

    QCOMPARE(configuration.digitalAction(3, 1), InputAction(DigitalInput, 5, 0, 0, 13));
    QCOMPARE(configuration.digitalAction(3, 2), InputAction(DigitalInput, 5, 0, 0, 2));
    QVERIFY(configuration.digitalAction(3, 3).isFree());
}

void SterowanieNowyDialogTest::fullInputStoresNothing()
{
    Configuration configuration;
    fillDigitalInput(configuration, 5);
    const Configuration before = configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.digitalInput = 5;
    dialog.updateInputInfo();
    QCOMPARE(child<QLabel>(&dialog, "pozostaloLabel")->text(),
             QStringLiteral("Pozostało akcji: 0"));
    showDialog(dialog);

    choose(&dialog, 0, 0, 0);
    click(&dialog, "narastajaceRadioButton");
    click(&dialog, "okPushButton");

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(configuration == before);
}

void SterowanieNowyDialogTest::editLoadsAction()
{
    Configuration configuration;
    configuration.setAnalogAction(0, 4, InputAction(AnalogInput, 7, 250, 3725, 24 + 8 + 2));
    SterowanieNowyDialog dialog(1, AnalogInput, &configuration, nullptr);
    dialog.editedSlot = 4;
    dialog.loadAction();
    dialog.updateInputInfo();

    QCOMPARE(list(&dialog, 0)->currentRow(), 1);
    QCOMPARE(list(&dialog, 1)->currentRow(), 1);
    QCOMPARE(list(&dialog, 2)->currentRow(), 2);
    QVERIFY(okEnabled(&dialog));
    QVERIFY(child<QStackedWidget>(&dialog, "stackedWidget")->isEnabled());
    QVERIFY(child<QRadioButton>(&dialog, "zmianaORadioButton")->isChecked());
    QCOMPARE(child<QLineEdit>(&dialog, "wartoscLineEdit")->text(), QStringLiteral("2.50"));
    QVERIFY(child<QGroupBox>(&dialog, "groupBox")->isChecked());
    QCOMPARE(child<QSpinBox>(&dialog, "HSpinBox")->value(), 1);
    QCOMPARE(child<QSpinBox>(&dialog, "MSpinBox")->value(), 2);
    QCOMPARE(child<QSpinBox>(&dialog, "SSpinBox")->value(), 5);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Edycja akcji"));
}

void SterowanieNowyDialogTest::editKeepsUseFlag()
{
    Configuration configuration;
    configuration.setDigitalAction(2, 1, InputAction(DigitalInput, 4, 0, 0, 5));
    SterowanieNowyDialog dialog(1, DigitalInput, &configuration, nullptr);
    dialog.editedSlot = 1;
    dialog.digitalInput = 2;
    dialog.loadAction();
    dialog.updateInputInfo();
    showDialog(dialog);
    QVERIFY(child<QRadioButton>(&dialog, "opadajaceRadioButton")->isChecked());

    click(&dialog, "narastajaceRadioButton");
    setTime(&dialog, 0, 1, 0);
    clickRow(&dialog, 1, 2);
    clickRow(&dialog, 2, 6);
    click(&dialog, "okPushButton");

    QCOMPARE(configuration.digitalAction(2, 1), InputAction(DigitalInput, 2, 0, 60, 22));
}

void SterowanieNowyDialogTest::editDecodesStatusCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("status");
    QTest::newRow("phone 3") << 68 << "Telefon 3 " << "Status 5";
    // The SMS codes run on past a group's 24 codes.
    QTest::newRow("phone 4") << 72 << "Telefon 4 " << "Status 1";
    QTest::newRow("phone 8, last code") << 111 << "Telefon 8 " << "Status 8";
}

void SterowanieNowyDialogTest::editDecodesStatusCode()
{
    QFETCH(int, code);
    QFETCH(QString, phone);
    QFETCH(QString, status);
    Configuration configuration;
    configuration.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 0, quint8(code)));
    SterowanieNowyDialog dialog(1, DigitalInput, &configuration, nullptr);
    dialog.editedSlot = 0;
    dialog.loadAction();
    dialog.updateInputInfo();

    QCOMPARE(list(&dialog, 0)->currentItem()->text(), QStringLiteral("Status (SMS)"));
    QCOMPARE(list(&dialog, 1)->currentItem()->text(), phone);
    QCOMPARE(list(&dialog, 2)->currentItem()->text(), status);
    QVERIFY(okEnabled(&dialog));
}

void SterowanieNowyDialogTest::editOfUndecodableCodeKeepsOkDisabled_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("local, no target") << 7;
    QTest::newRow("remote, no target") << 31;
    QTest::newRow("beyond the status SMS") << 112;
}

void SterowanieNowyDialogTest::editOfUndecodableCodeKeepsOkDisabled()
{
    QFETCH(int, code);

    Configuration configuration;
    configuration.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 90, quint8(code)));
    const Configuration before = configuration;
    SterowanieNowyDialog dialog(1, DigitalInput, &configuration, nullptr);
    dialog.editedSlot = 0;
    dialog.loadAction();
    dialog.updateInputInfo();
    showDialog(dialog);

    QVERIFY(list(&dialog, 0)->selectedItems().isEmpty());
    QCOMPARE(list(&dialog, 1)->count(), 0);
    QVERIFY(!okEnabled(&dialog));
    QVERIFY(!child<QRadioButton>(&dialog, "narastajaceRadioButton")->isChecked());
    QVERIFY(!child<QGroupBox>(&dialog, "groupBox")->isChecked());

    QTest::mouseClick(child<QPushButton>(&dialog, "cancelPushButton"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(configuration == before);
}

void SterowanieNowyDialogTest::valueShownInItsInputsOwnRange()
{
    Configuration configuration;
    configuration.analogRange = { 10, 105 };
    configuration.analogDecimals = { 0, 1 };
    configuration.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 476, 0, 0));
    configuration.setAnalogAction(1, 0, InputAction(AnalogInput, 3, 476, 0, 0));

    for (int input = 0; input < 2; ++input) {
        SterowanieNowyDialog dialog(1, AnalogInput, &configuration, nullptr);
        dialog.editedSlot = 0;
        dialog.analogInput = input;
        dialog.loadAction();
        QCOMPARE(child<QLineEdit>(&dialog, "wartoscLineEdit")->text(),
                 input == 0 ? QStringLiteral("5") : QStringLiteral("5.0"));
    }

    // A value typed for AI2 is converted with AI2's range.
    SterowanieNowyDialog dialog(1, AnalogInput, &configuration, nullptr);
    dialog.editedSlot = 0;
    dialog.analogInput = 1;
    dialog.loadAction();
    showDialog(dialog);
    typeValue(&dialog, QStringLiteral("2.5"));
    click(&dialog, "okPushButton");
    QCOMPARE(configuration.analogAction(1, 0).value, quint16(238));
    QCOMPARE(configuration.analogAction(0, 0).value, quint16(476));
}

void SterowanieNowyDialogTest::untouchedValueIsKeptExactly()
{
    // 476 thousandths of range 10 show as "5"; storing the shown text back
    // would silently move the threshold to 500.
    Configuration configuration;
    configuration.analogRange = { 10, 10 };
    configuration.analogDecimals = { 0, 0 };
    configuration.setAnalogAction(1, 2, InputAction(AnalogInput, 5, 476, 0, 3));
    SterowanieNowyDialog dialog(1, AnalogInput, &configuration, nullptr);
    dialog.editedSlot = 2;
    dialog.analogInput = 1;
    dialog.loadAction();
    dialog.updateInputInfo();
    showDialog(dialog);

    setTime(&dialog, 0, 0, 30);
    click(&dialog, "okPushButton");
    QCOMPARE(configuration.analogAction(1, 2), InputAction(AnalogInput, 5, 476, 30, 3));
}

void SterowanieNowyDialogTest::timeAboveLimitIsRefused()
{
    Configuration configuration;
    SterowanieNowyDialog dialog(0, DigitalInput, &configuration, nullptr);
    dialog.updateInputInfo();
    showDialog(dialog);
    choose(&dialog, 0, 0, 0);
    click(&dialog, "narastajaceRadioButton");
    setTime(&dialog, 18, 12, 16);

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "okPushButton");
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.at(0).title, QStringLiteral("Nowa akcja"));
    QCOMPARE(answerer.seen.at(0).text,
             QStringLiteral("Czas wykonania może wynosić najwyżej 18g 12m 15s."));
    QVERIFY(dialog.isVisible());
    QVERIFY(configuration.digitalAction(0, 0).isFree());

    setTime(&dialog, 18, 12, 15);
    click(&dialog, "okPushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.digitalAction(0, 0).time, quint16(65535));
    QVERIFY(answerer.unexpected.isEmpty());
}

void SterowanieNowyDialogTest::unstorableValueIsRefused_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<int>("stored");

    QTest::newRow("range 0") << 0 << 0 << "5"
                             << "Zakres wejścia wynosi 0, więc wartości nie można zapisać. "
                                "Najpierw ustaw zakres wejścia."
                             << QString() << 0;
    QTest::newRow("above 65.535 times range 10")
            << 10 << 0 << "655.36"
            << "Wartość 655.36 jest za duża: przy zakresie 10 można zapisać najwyżej 655."
            << "655.35" << 65535;
    QTest::newRow("above 65.535 times range 10.5")
            << 105 << 1 << "688.2"
            << "Wartość 688.2 jest za duża: przy zakresie 10.5 można zapisać najwyżej 688.1."
            << "688.1" << 65533;
    QTest::newRow("typed with a decimal comma")
            << 10 << 0 << "655,36"
            << "Wartość 655.36 jest za duża: przy zakresie 10 można zapisać najwyżej 655."
            << "655,35" << 65535;
}

void SterowanieNowyDialogTest::unstorableValueIsRefused()
{
    QFETCH(int, range);
    QFETCH(int, decimals);
    QFETCH(QString, refused);
    QFETCH(QString, message);
    QFETCH(QString, accepted);
    QFETCH(int, stored);

    Configuration configuration;
    configuration.analogRange[1] = quint16(range);
    configuration.analogDecimals[1] = quint8(decimals);
    SterowanieNowyDialog dialog(0, AnalogInput, &configuration, nullptr);
    dialog.analogInput = 1;
    dialog.updateInputInfo();
    showDialog(dialog);
    choose(&dialog, 0, 0, 0);
    click(&dialog, "mniejszeOdRadioButton");
    typeValue(&dialog, refused);
    QCOMPARE(child<QLineEdit>(&dialog, "wartoscLineEdit")->text(), QString(refused).replace(u',', u'.'));

    DialogAnswerer answerer;
    answerer.expectMessageBox();
    click(&dialog, "okPushButton");
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.at(0).text, message);
    QVERIFY(dialog.isVisible());
    QVERIFY(configuration.analogAction(1, 0).isFree());

    if (accepted.isEmpty())
        return;
    typeValue(&dialog, accepted);
    click(&dialog, "okPushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(configuration.analogAction(1, 0), InputAction(AnalogInput, 5, quint16(stored), 0, 0));
}

TELVORO_TEST_MAIN(SterowanieNowyDialogTest)
#include "tst_sterowanienowydialog.moc"
