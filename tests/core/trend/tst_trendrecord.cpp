#include "testmain.h"
#include "trend/trendcsv.h"
#include "trend/trendrecord.h"

#include <QTest>
#include <ctime>

class TrendRecordTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ringKeepsTheNewest_data();
    void ringKeepsTheNewest();
    void csvLines_data();
    void csvLines();
};

void TrendRecordTest::initTestCase()
{
    // A zone with summer time, whatever the machine's own.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
}

void TrendRecordTest::ringKeepsTheNewest_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("appended");
    QTest::addColumn<QList<qint64>>("kept");
    QTest::newRow("not full") << 4 << 3 << QList<qint64>{0, 1, 2};
    QTest::newRow("oldest dropped") << 4 << 5 << QList<qint64>{1, 2, 3, 4};
    QTest::newRow("around twice") << 3 << 8 << QList<qint64>{5, 6, 7};
}

void TrendRecordTest::ringKeepsTheNewest()
{
    QFETCH(int, capacity);
    QFETCH(int, appended);
    QFETCH(QList<qint64>, kept);
    TrendRecord record(capacity);
    for (qint64 time = 0; time < appended; ++time)
        record.append(TrendSample::unanswered(time));
    QList<qint64> times;
    for (qsizetype i = 0; i < record.size(); ++i)
        times.append(record.at(i).time);
    QCOMPARE(times, kept);
    record.clear();
    QVERIFY(record.isEmpty());
}

void TrendRecordTest::csvLines_data()
{
    QTest::addColumn<TrendCsv::Dialect>("dialect");
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("line");
    const QDateTime winter(QDate(2024, 1, 15), QTime(8, 30, 5), Qt::UTC);
    // AI1 500 of 10.00, AI2 1000 of 25.0, DI1, DI3 and DI6 on.
    const QByteArray state = QByteArray::fromHex("01F403E825");
    const auto standard = TrendCsv::Dialect::Standard;
    const auto spreadsheet = TrendCsv::Dialect::Spreadsheet;
    QTest::newRow("winter") << standard << state << winter << QByteArray("2024-01-15T09:30:05+01:00,5.00,25.0,1,0,1,0,0,1");
    QTest::newRow("summer") << standard << state << winter.addMonths(6) << QByteArray("2024-07-15T10:30:05+02:00,5.00,25.0,1,0,1,0,0,1");
    QTest::newRow("short answer") << standard << state.left(4) << winter << QByteArray("2024-01-15T09:30:05+01:00,,,,,,,,");
    QTest::newRow("long answer") << standard << state + '\0' << winter << QByteArray("2024-01-15T09:30:05+01:00,,,,,,,,");
    QTest::newRow("spreadsheet, summer") << spreadsheet << state << winter.addMonths(6) << QByteArray("2024-07-15 10:30:05;5,00;25,0;1;0;1;0;0;1");
    QTest::newRow("spreadsheet, no answer") << spreadsheet << state.left(4) << winter << QByteArray("2024-01-15 09:30:05;;;;;;;;");
}

void TrendRecordTest::csvLines()
{
    QFETCH(TrendCsv::Dialect, dialect);
    QFETCH(QByteArray, state);
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, line);
    const qint64 ms = time.toMSecsSinceEpoch();
    TrendRecord record;
    record.append(TrendSample::fromOnlineState(ms, state, {1000, 2}, {250, 1})
                          .value_or(TrendSample::unanswered(ms)));
    QByteArray header("Czas,AI1,AI2,DI1,DI2,DI3,DI4,DI5,DI6");
    if (dialect == TrendCsv::Dialect::Spreadsheet)
        header.replace(',', ';');
    QCOMPARE(TrendCsv::encode(record, dialect), header + "\r\n" + line + "\r\n");
}

TELVORO_TEST_MAIN(TrendRecordTest)
#include "tst_trendrecord.moc"
