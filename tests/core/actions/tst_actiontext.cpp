#include "actions/actiontext.h"
#include "actions/inputaction.h"
#include "testmain.h"

#include <QTest>

class ActionTextTest : public QObject
{
    Q_OBJECT

private slots:
    void conditionText_data();
    void conditionText();
    void timeText_data();
    void timeText();
    void actionTextOfCode_data();
    void actionTextOfCode();
    void useFlagKeepsCondition();
    void equalityComparesEveryField();
};

void ActionTextTest::conditionText_data()
{
    QTest::addColumn<int>("inputKind");
    QTest::addColumn<int>("condition");
    QTest::addColumn<QString>("expected");

    // Every condition number 0..127 for both kinds: only five give a word.
    for (int kind : { int(AnalogInput), int(DigitalInput) }) {
        for (int condition = 0; condition < 128; ++condition) {
            QString expected;
            if (kind == AnalogInput && condition == 1)
                expected = QStringLiteral("większe od");
            else if (kind == AnalogInput && condition == 2)
                expected = QStringLiteral("mniejsze od");
            else if (kind == AnalogInput && condition == 3)
                expected = QStringLiteral("zmiana o");
            else if (kind == DigitalInput && condition == 1)
                expected = QStringLiteral("narastające");
            else if (kind == DigitalInput && condition == 2)
                expected = QStringLiteral("opadające");
            QTest::addRow("kind %d condition %d", kind, condition) << kind << condition << expected;
        }
    }
}

void ActionTextTest::conditionText()
{
    QFETCH(int, inputKind);
    QFETCH(int, condition);
    QFETCH(QString, expected);

    // The use bit must not change the word.
    const InputAction unused(inputKind, quint8(condition << 1), 0, 0, 0);
    const InputAction used(inputKind, quint8(condition << 1 | 1), 0, 0, 0);
    QCOMPARE(actionConditionText(unused), expected);
    QCOMPARE(actionConditionText(used), expected);
}

void ActionTextTest::timeText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0 << "0s";
    QTest::newRow("45") << 45 << "45s";
    QTest::newRow("59") << 59 << "59s";
    QTest::newRow("60") << 60 << "1m 0s";
    QTest::newRow("125") << 125 << "2m 5s";
    QTest::newRow("3599") << 3599 << "59m 59s";
    QTest::newRow("3600") << 3600 << "1g 0m 0s";
    QTest::newRow("3725") << 3725 << "1g 2m 5s";
    QTest::newRow("65535") << 65535 << "18g 12m 15s";
}

void ActionTextTest::timeText()
{
    QFETCH(int, seconds);
    QFETCH(QString, expected);

    QCOMPARE(actionTimeText(InputAction(AnalogInput, 3, 0, quint16(seconds), 0)), expected);
    QCOMPARE(actionTimeText(InputAction(DigitalInput, 3, 0, quint16(seconds), 0)), expected);
}

void ActionTextTest::actionTextOfCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");

    const QStringList operations = { "zał.", "wył.", "neg." };
    const QStringList targets = { "DO 1", "DO 2", "DO 3", "DO 4", "DO 5", "DO 6", "Wszyst.", "" };
    const QStringList groups = { "lok.", "zd." };
    for (int code = 0; code < 256; ++code) {
        QString expected;
        if (code < 48) {
            const int rest = code % 24;
            expected = groups.at(code / 24) + ' ' + operations.at(rest / 8) + ' ' + targets.at(rest % 8);
        } else if (code < 112) {
            expected = QStringLiteral("tel %1. st %2").arg((code - 48) / 8 + 1).arg((code - 48) % 8 + 1);
        } else {
            expected = QStringLiteral(" ");
        }
        QTest::addRow("code %d", code) << code << expected;
    }
}

void ActionTextTest::actionTextOfCode()
{
    QFETCH(int, code);
    QFETCH(QString, expected);

    static const QMap<int, QString> examples = {
        { 0, "lok. zał. DO 1" },  { 14, "lok. wył. Wszyst." }, { 21, "lok. neg. DO 6" },
        { 24, "zd. zał. DO 1" },  { 38, "zd. wył. Wszyst." },  { 48, "tel 1. st 1" },
        { 66, "tel 3. st 3" },    { 111, "tel 8. st 8" },      { 7, "lok. zał. " },
        { 31, "zd. zał. " },      { 112, " " },               { 255, " " },
    };
    if (examples.contains(code))
        QCOMPARE(expected, examples.value(code));

    // The text depends on the code alone, not on the kind of input.
    QCOMPARE(actionText(InputAction(AnalogInput, 3, 500, 10, quint8(code))), expected);
    QCOMPARE(actionText(InputAction(DigitalInput, 3, 0, 10, quint8(code))), expected);
}

void ActionTextTest::useFlagKeepsCondition()
{
    InputAction action(AnalogInput, 5, 0, 0, 0);
    action.setUse(false);
    QCOMPARE(action.flags, quint8(4));
    QVERIFY(!action.isFree());
    QCOMPARE(action.condition(), 2);
    action.setUse(true);
    QCOMPARE(action.flags, quint8(5));
    QVERIFY(action.use());

    InputAction onlyUse(DigitalInput, 1, 0, 0, 0);
    onlyUse.setUse(false);
    QVERIFY(onlyUse.isFree());
}

void ActionTextTest::equalityComparesEveryField()
{
    const InputAction action(AnalogInput, 3, 500, 90, 7);
    QCOMPARE(action, InputAction(AnalogInput, 3, 500, 90, 7));
    QVERIFY(action != InputAction(AnalogInput, 5, 500, 90, 7));
    QVERIFY(action != InputAction(AnalogInput, 3, 501, 90, 7));
    QVERIFY(action != InputAction(AnalogInput, 3, 500, 91, 7));
    QVERIFY(action != InputAction(AnalogInput, 3, 500, 90, 8));
    QVERIFY(action != InputAction(DigitalInput, 3, 500, 90, 7));
}

TELVORO_TEST_MAIN(ActionTextTest)
#include "tst_actiontext.moc"
