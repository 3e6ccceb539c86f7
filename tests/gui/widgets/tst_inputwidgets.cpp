#include "testmain.h"
#include "widgets/doublelineedit.h"
#include "widgets/radiobutton.h"
#include "widgets/rangelineedit.h"

#include <QTest>

class InputWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void indicatorIgnoresMouseAndKeys();
    void indicatorFollowsProgram();
    void decimalFieldTakesCommaAsPointAndRefusesSpace_data();
    void decimalFieldTakesCommaAsPointAndRefusesSpace();
    void rangeFieldKeys_data();
    void rangeFieldKeys();
    void rangeFieldBackspaceAtLimit();
};

void InputWidgetsTest::indicatorIgnoresMouseAndKeys()
{
    QWidget window;
    RadioButton indicator(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(&indicator, Qt::LeftButton);
    QVERIFY(!indicator.isChecked());

    indicator.setFocus();
    QTest::keyClick(&indicator, Qt::Key_Space);
    QVERIFY(!indicator.isChecked());
}

void InputWidgetsTest::indicatorFollowsProgram()
{
    QWidget window;
    RadioButton indicator(&window);
    indicator.setAutoExclusive(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    indicator.setChecked(true);
    QTest::mouseClick(&indicator, Qt::LeftButton);
    QTest::keyClick(&indicator, Qt::Key_Space);
    QVERIFY(indicator.isChecked());

    indicator.setChecked(false);
    QVERIFY(!indicator.isChecked());
}

void InputWidgetsTest::decimalFieldTakesCommaAsPointAndRefusesSpace_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("period") << "2.5" << "2.5";
    QTest::newRow("comma") << "2,5" << "2.5";
    QTest::newRow("space") << "2 5" << "25";
}

void InputWidgetsTest::decimalFieldTakesCommaAsPointAndRefusesSpace()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    DoubleLineEdit field(nullptr);
    QTest::keyClicks(&field, typed);
    QCOMPARE(field.text(), expected);
}

void InputWidgetsTest::rangeFieldKeys_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("100 to 1000") << "100" << "0" << "1000";
    QTest::newRow("no digit after 1000") << "1000" << "0" << "1000";
    QTest::newRow("no decimals after 1000") << "1000" << "." << "1000";
    QTest::newRow("99 to 999") << "99" << "9" << "999";
    QTest::newRow("999.5") << "999" << ".5" << "999.5";
    QTest::newRow("above 1000") << "999" << "9" << "999";
    QTest::newRow("1000 by decimals") << "999.9" << "9" << "999.99";
    QTest::newRow("comma") << "12" << ",5" << "12.5";
    QTest::newRow("no decimal comma after 1000") << "1000" << "," << "1000";
    QTest::newRow("space") << "12" << " 5" << "125";
}

void InputWidgetsTest::rangeFieldKeys()
{
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    RangeLineEdit field(nullptr);
    field.setText(initial);
    QTest::keyClicks(&field, typed);
    QCOMPARE(field.text(), expected);
}

void InputWidgetsTest::rangeFieldBackspaceAtLimit()
{
    RangeLineEdit field(nullptr);
    field.setText(QStringLiteral("1000"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QCOMPARE(field.text(), QStringLiteral("100"));
}

TELVORO_TEST_MAIN(InputWidgetsTest)
#include "tst_inputwidgets.moc"
