#include "configuration/configuration.h"
#include "emulatorprocess.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <QTest>

#include <cstdio>

namespace {

// The emulator paces its line like the module's serial line.
constexpr int Baud = 115200;
constexpr double ByteMilliseconds = 10 * 1000.0 / Baud;
constexpr int PortTestLimit = 300;
constexpr int WaitAfterOpening = 500;
constexpr int QuietBeforeSmsBlock = 1500;
constexpr int OverheadTarget = 60;

} // namespace

// Times connecting, reading, writing and the PIN/PUK command against the
// emulator at the module's own 500 ms period, and splits each time into the
// line time of the bytes exchanged (10 bits a byte), the emulator's delay,
// the waits the module is owed and, what is left, our overhead. The
// verified write is the whole write as the window and telvoro-cli run it:
// the read before, the backup, both blocks and the read-back; its owed time
// includes the two reads, each as long as the read measured before it. Then
// times the exchanges that must end without waiting for an answer at all.
// Run by scripts/benchmark-link.sh, not by CTest: the fixed waits take most
// of a minute.
class TestLinkTiming : public QObject
{
    Q_OBJECT

private slots:
    void exchangesAtModuleTiming_data();
    void exchangesAtModuleTiming();
    void exchangesEndingWithoutAnswer();

private:
    bool report(const char *name, qint64 measured, int bytes, int delay, int owed);
};

bool TestLinkTiming::report(const char *name, qint64 measured, int bytes, int delay, int owed)
{
    const double lineTime = bytes * ByteMilliseconds;
    const double overhead = double(measured) - lineTime - delay - owed;
    std::printf("  %-16s %7lld %8.1f %7d %6d %9.1f\n", name, static_cast<long long>(measured),
                lineTime, delay, owed, overhead);
    std::fflush(stdout);
    return overhead <= OverheadTarget;
}

void TestLinkTiming::exchangesAtModuleTiming_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<bool>("fixedWaits");
    QTest::newRow("emulator answers at once") << 0 << false;
    QTest::newRow("emulator answers after 300 ms") << 300 << false;
    QTest::newRow("fixed waits (fixedModuleWaits=true), emulator answers at once") << 0 << true;
}

void TestLinkTiming::exchangesAtModuleTiming()
{
    QFETCH(int, delay);
    QFETCH(bool, fixedWaits);
    QSettings().setValue(QStringLiteral("fixedModuleWaits"), fixedWaits);
    EmulatorProcess emulator({"--baud", QString::number(Baud), "--delay-ms", QString::number(delay)});
    QVERIFY(emulator.isRunning());
    Module module;
    Configuration configuration;
    configuration.setSmsText(0, "Alarm");
    const int settingsBytes = 2 + 834 + 1;
    const int smsBytes = 2 + 1120 + 1;
    QElapsedTimer clock;

    std::printf("\n%s:\n  %-16s %7s %8s %7s %6s %9s   (ms)\n", QTest::currentDataTag(), "operation",
                "time", "line", "delay", "owed", "overhead");
    bool onTarget = true;
    clock.start();
    QVERIFY(module.connectPort(emulator.portPath()));
    // The port test's probe and the probe proper; the test waits for its
    // answer no longer than its limit.
    onTarget &= report("connect", clock.elapsed(), 4, qMin(delay, PortTestLimit) + delay, WaitAfterOpening);

    clock.restart();
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
    const qint64 readTime = clock.elapsed();
    onTarget &= report("read", readTime, 1 + ConfigurationImageSize, delay, 0);

    clock.restart();
    QVERIFY(module.writeSettingsBlock(configuration));
    onTarget &= report("settings block", clock.elapsed(), settingsBytes, delay, 0);

    clock.restart();
    QVERIFY(module.writeSettingsBlock(configuration));
    QVERIFY(module.writeSmsBlock(configuration));
    onTarget &= report("full write", clock.elapsed(), settingsBytes + smsBytes, 2 * delay,
                       QuietBeforeSmsBlock);

    ModuleSession session(&module);
    Configuration changed = configuration;
    changed.setSmsText(0, "Alarm 2");
    clock.restart();
    const ModuleSession::WriteOutcome outcome =
            session.write(changed, true,
                          [](const ModuleSession::WritePlan &) { return ModuleSession::WriteAnswer::Send; });
    const qint64 verifiedWrite = clock.elapsed();
    QCOMPARE(outcome.status, ModuleSession::WriteStatus::Verified);
    QVERIFY(outcome.plan.withSmsBlock);
    // The two reads, as long as the read above took, count as owed.
    onTarget &= report("verified write", verifiedWrite, settingsBytes + smsBytes, 2 * delay,
                       QuietBeforeSmsBlock + 2 * int(readTime));

    clock.restart();
    QVERIFY(module.writePinPuk("1234", "12345678", 2));
    onTarget &= report("PIN/PUK", clock.elapsed(), 15 + 1, delay, 0);

    std::printf("  overhead target %d ms: %s\n", OverheadTarget,
                onTarget ? "met" : fixedWaits ? "not meant to be met" : "MISSED");
}

// A read whose line goes away, commands asked while another exchange waits,
// and commands on a closed port: each should end at once, far inside the
// bound it would otherwise wait.
void TestLinkTiming::exchangesEndingWithoutAnswer()
{
    constexpr int LineGoneAfter = 100;
    QSettings().setValue(QStringLiteral("fixedModuleWaits"), false);
    // Answers long after the read's bound: only the line's end can end it.
    EmulatorProcess emulator({"--delay", "A=10000"});
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(module.connectPort(emulator.portPath()));
    const int readLimit = module.limitMilliseconds(Module::Command::ReadConfiguration);
    std::printf("\nexchanges that end without an answer:\n  %-36s %8s %8s   (ms)\n", "operation", "time",
                "bound");

    double refusedMs = -1;
    connect(&module, &Module::exchangeProgress, &module, [&](int elapsed) {
        if (elapsed == 0 || refusedMs >= 0)
            return;
        QElapsedTimer clock;
        clock.start();
        module.probe();
        module.readOnlineState();
        refusedMs = clock.nsecsElapsed() / 1e6;
    });
    QTimer::singleShot(LineGoneAfter, &module, [&emulator] { emulator.stop(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(module.readConfiguration().isEmpty());
    const double readMs = clock.nsecsElapsed() / 1e6;
    QVERIFY(!module.isConnected());
    std::printf("  %-36s %8.2f %8d\n", "probe and live state during a read", refusedMs,
                module.limitMilliseconds(Module::Command::Probe)
                        + module.limitMilliseconds(Module::Command::ReadOnlineState));
    std::printf("  %-36s %8.2f %8d\n", "read, from the line's end", readMs - LineGoneAfter, readLimit);

    int allBounds = 0;
    for (const Module::Command command :
         {Module::Command::Probe, Module::Command::ReadConfiguration, Module::Command::ReadOnlineState,
          Module::Command::ManualOutputs, Module::Command::SettingsBlock, Module::Command::SmsBlock,
          Module::Command::PinPuk})
        allBounds += module.limitMilliseconds(command);
    clock.restart();
    module.probe();
    module.readConfiguration();
    module.readOnlineState();
    module.sendManualOutputs(1000, 0, 0x21);
    module.writeSettingsBlock(Configuration());
    module.writeSmsBlock(Configuration());
    module.writePinPuk("1234", "", 1);
    std::printf("  %-36s %8.2f %8d\n", "all seven commands on a closed port", clock.nsecsElapsed() / 1e6,
                allBounds);
    std::fflush(stdout);
}

TELVORO_TEST_MAIN(TestLinkTiming)

#include "tst_linktiming.moc"
