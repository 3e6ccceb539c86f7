#include "actions/analogscale.h"
#include "testmain.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<quint16>)
Q_DECLARE_METATYPE(std::optional<AnalogRange>)

class AnalogScaleTest : public QObject
{
    Q_OBJECT

private slots:
    void displayText_data();
    void displayText();
    void storedValue_data();
    void storedValue();
    void enteredValueShowsAgain();
    void rangeText_data();
    void rangeText();
    void rangeFromText_data();
    void rangeFromText();
};

void AnalogScaleTest::displayText_data()
{
    QTest::addColumn<int>("thousandths");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("half of 10.00") << 500 << 1000 << 2 << "5.00";
    QTest::newRow("476 of 10.5") << 476 << 105 << 1 << "5.0";
    QTest::newRow("full 25.0") << 1000 << 250 << 1 << "25.0";
    QTest::newRow("change 100 of 10") << 100 << 10 << 0 << "1";
    QTest::newRow("change 100 of 10.0") << 100 << 100 << 1 << "1.0";
    QTest::newRow("range 0") << 700 << 0 << 2 << "0.00";
    QTest::newRow("largest") << 65535 << 65535 << 0 << "4294836";
}

void AnalogScaleTest::displayText()
{
    QFETCH(int, thousandths);
    QFETCH(int, range);
    QFETCH(int, decimals);
    QFETCH(QString, expected);

    QCOMPARE(analogDisplayText(quint16(thousandths), AnalogRange{ quint16(range), quint8(decimals) }),
             expected);
}

void AnalogScaleTest::storedValue_data()
{
    QTest::addColumn<double>("entered");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<std::optional<quint16>>("expected");

    QTest::newRow("5 of 10.5") << 5.0 << 105 << 1 << std::optional<quint16>(476);
    // 666.67 is stored as 666: truncated, never rounded up.
    QTest::newRow("7 of 10.5") << 7.0 << 105 << 1 << std::optional<quint16>(666);
    QTest::newRow("5 of 10.00") << 5.0 << 1000 << 2 << std::optional<quint16>(500);
    QTest::newRow("zero") << 0.0 << 1000 << 2 << std::optional<quint16>(0);
    QTest::newRow("65.535 times 1") << 65.535 << 1 << 0 << std::optional<quint16>(65535);
    QTest::newRow("655.35 of 10.00") << 655.35 << 1000 << 2 << std::optional<quint16>(65535);
    QTest::newRow("656 of 10.00 overflows") << 656.0 << 1000 << 2 << std::optional<quint16>();
    QTest::newRow("1000 of 1 overflows") << 1000.0 << 1 << 0 << std::optional<quint16>();
    QTest::newRow("range 0") << 5.0 << 0 << 2 << std::optional<quint16>();
    QTest::newRow("range 0, entered 0") << 0.0 << 0 << 0 << std::optional<quint16>();
    QTest::newRow("negative") << -1.0 << 1000 << 2 << std::optional<quint16>();
}

void AnalogScaleTest::storedValue()
{
    QFETCH(double, entered);
    QFETCH(int, range);
    QFETCH(int, decimals);
    QFETCH(std::optional<quint16>, expected);

    QCOMPARE(analogStoredValue(entered, AnalogRange{ quint16(range), quint8(decimals) }), expected);
}

void AnalogScaleTest::enteredValueShowsAgain()
{
    const AnalogRange range{ 105, 1 };
    const std::optional<quint16> stored = analogStoredValue(5.0, range);
    QVERIFY(stored);
    QCOMPARE(analogDisplayText(*stored, range), QStringLiteral("5.0"));
}

void AnalogScaleTest::rangeText_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default") << 1000 << 2 << "10.00";
    QTest::newRow("10.5") << 105 << 1 << "10.5";
    QTest::newRow("10") << 10 << 0 << "10";
    QTest::newRow("0.5") << 5 << 1 << "0.5";
    QTest::newRow("0.25") << 25 << 2 << "0.25";
    QTest::newRow("empty") << 0 << 0 << "0";
    QTest::newRow("1000.0") << 10000 << 1 << "1000.0";
}

void AnalogScaleTest::rangeText()
{
    QFETCH(int, range);
    QFETCH(int, decimals);
    QFETCH(QString, expected);

    QCOMPARE(analogRangeText(AnalogRange{ quint16(range), quint8(decimals) }), expected);
}

void AnalogScaleTest::rangeFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<AnalogRange>>("expected");

    const auto range = [](int value, int decimals) {
        return std::optional<AnalogRange>(AnalogRange{ quint16(value), quint8(decimals) });
    };
    QTest::newRow("10.5") << "10.5" << range(105, 1);
    QTest::newRow("12") << "12" << range(12, 0);
    QTest::newRow("0.25") << "0.25" << range(25, 2);
    QTest::newRow("5.") << "5." << range(5, 0);
    QTest::newRow(".5") << ".5" << range(5, 1);
    QTest::newRow("10.00") << "10.00" << range(1000, 2);
    QTest::newRow("empty") << "" << range(0, 0);
    QTest::newRow("point only") << "." << range(0, 0);
    QTest::newRow("three parts") << "1.2.3" << range(0, 0);
    QTest::newRow("not a number") << "abc" << range(0, 0);
    QTest::newRow("655.35 fits") << "655.35" << range(65535, 2);
    QTest::newRow("1000.00 keeps one decimal") << "1000.00" << range(10000, 1);
    QTest::newRow("1000.0") << "1000.0" << range(10000, 1);
    QTest::newRow("700.00") << "700.00" << range(7000, 1);
    QTest::newRow("700.50 keeps one decimal") << "700.50" << range(7005, 1);
    QTest::newRow("700.55 does not fit") << "700.55" << std::optional<AnalogRange>();
    QTest::newRow("65536 does not fit") << "65536" << std::optional<AnalogRange>();
    QTest::newRow("65536.0 does not fit") << "65536.0" << std::optional<AnalogRange>();
    QTest::newRow("too many digits") << "123456789012345678901234567890" << std::optional<AnalogRange>();
    QTest::newRow("negative") << "-5" << std::optional<AnalogRange>();
}

void AnalogScaleTest::rangeFromText()
{
    QFETCH(QString, text);
    QFETCH(std::optional<AnalogRange>, expected);

    const std::optional<AnalogRange> parsed = analogRangeFromText(text);
    QCOMPARE(parsed.has_value(), expected.has_value());
    if (expected) {
        QCOMPARE(parsed->range, expected->range);
        QCOMPARE(parsed->decimals, expected->decimals);
    }
}

TELVORO_TEST_MAIN(AnalogScaleTest)
#include "tst_analogscale.moc"
