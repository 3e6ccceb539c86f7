#include "config/configuration.h"
#include "emulatorprocess.h"
#include "link/module.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdio>

// Times each exchange with the emulator at the module's own 500 ms period and
// prints it as the wait the exchange is built on plus the time above it.
// Run by scripts/benchmark-link.sh, not by CTest: it takes about half a minute.
class TestLinkTiming : public QObject
{
    Q_OBJECT

private slots:
    void exchangesAtModuleTiming();

private:
    void report(const char *name, int specifiedWait, qint64 measured);
};

void TestLinkTiming::report(const char *name, int specifiedWait, qint64 measured)
{
    std::printf("%-16s wait %6d ms   measured %6lld ms   overhead %4lld ms\n", name,
                specifiedWait, static_cast<long long>(measured),
                static_cast<long long>(measured - specifiedWait));
    std::fflush(stdout);
    QVERIFY(measured >= specifiedWait);
}

void TestLinkTiming::exchangesAtModuleTiming()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    Configuration configuration;
    configuration.setSmsText(0, "Alarm");
    QElapsedTimer clock;

    clock.start();
    QVERIFY(module.connectPort(emulator.portPath()));
    report("connect", 300 + 500 + 500, clock.elapsed());

    clock.restart();
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
    report("read", 6 * 500, clock.elapsed());

    clock.restart();
    QVERIFY(module.writeSettingsBlock(configuration));
    report("settings block", 23 * 500, clock.elapsed());

    clock.restart();
    QVERIFY(module.writeSmsBlock(configuration));
    report("SMS block", (3 + 25) * 500, clock.elapsed());
}

TELVORO_TEST_MAIN(TestLinkTiming)

#include "tst_linktiming.moc"
