#include "emulatorprocess.h"
#include "link/module.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <sys/file.h>

namespace {

constexpr int TestPeriod = 20;
constexpr char ExtraPorts[] = "TX48_EXTRA_PORTS";

QPair<QString, QString> virtualPort(const QString &path)
{
    return {path, path + " (port wirtualny)"};
}

} // namespace

class TestModuleLink : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void connectFindsModule();
    void connectWithoutModuleClosesAndScansAgain();
    void connectToMissingPortRetriesThenFails();
    void testPortNeedsFreeExistingPort();
    void scanListsExtraPortsAndSignalsCountChanges();
    void scanRunsEveryThreeSeconds();
    void connectAndReadAtModuleTiming();
};

void TestModuleLink::cleanup()
{
    qunsetenv(ExtraPorts);
}

void TestModuleLink::connectFindsModule()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    module.setPeriodForTests(TestPeriod);

    QVERIFY(module.connectPort(emulator.portPath()));
    QVERIFY(module.isConnected());
    QCOMPARE(module.port->baudRate(), 115200);
    QVERIFY(!module.portsTimer.isActive());
    // The port test's probe byte, then the probe itself.
    QTRY_COMPARE(emulator.commands(), QStringList({"69", "69"}));

    module.disconnectPort();
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
    QCOMPARE(module.portsTimer.interval(), 3000);
}

void TestModuleLink::connectWithoutModuleClosesAndScansAgain()
{
    EmulatorProcess emulator({"--fail", "silent"});
    QVERIFY(emulator.isRunning());
    Module module;
    module.setPeriodForTests(TestPeriod);
    module.portsTimer.stop();

    QVERIFY(!module.connectPort(emulator.portPath()));
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
    QTRY_COMPARE(emulator.commands(), QStringList({"69", "69"}));
}

void TestModuleLink::connectToMissingPortRetriesThenFails()
{
    Module module;
    module.setPeriodForTests(TestPeriod);
    QElapsedTimer clock;
    clock.start();

    QVERIFY(!module.connectPort("/dev/pts/no-such-port"));
    // Fifteen failed tests, each followed by a retry wait of two periods,
    // then the open (which fails) and its wait of one period.
    QVERIFY(clock.elapsed() >= (15 * 2 + 1) * TestPeriod);
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
}

void TestModuleLink::testPortNeedsFreeExistingPort()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    module.setPeriodForTests(TestPeriod);

    QVERIFY(module.testPort(emulator.portPath()));
    QVERIFY(!module.testPort("/dev/pts/no-such-port"));

    QFile holder(emulator.portPath());
    QVERIFY(holder.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    QCOMPARE(::flock(holder.handle(), LOCK_EX | LOCK_NB), 0);
    QVERIFY(!module.testPort(emulator.portPath()));
    holder.close();
    QVERIFY(module.testPort(emulator.portPath()));
}

void TestModuleLink::scanListsExtraPortsAndSignalsCountChanges()
{
    EmulatorProcess first;
    EmulatorProcess second;
    EmulatorProcess third;
    QVERIFY(first.isRunning() && second.isRunning() && third.isRunning());
    Module module;
    module.portsTimer.stop();
    QSignalSpy changed(&module, &Module::newAvailablePorts);

    module.readAvaiblePorts();
    const qsizetype systemPorts = module.availablePorts.size();
    QVERIFY(!module.availablePorts.contains(virtualPort(first.portPath())));

    qputenv(ExtraPorts, QFile::encodeName(first.portPath() + ":/dev/pts/no-such-port"));
    module.readAvaiblePorts();
    QCOMPARE(module.availablePorts.size(), systemPorts + 1);
    QCOMPARE(module.availablePorts.constLast(), virtualPort(first.portPath()));
    QCOMPARE(changed.count(), systemPorts == 0 ? 1 : 2);
    const int signalsSoFar = changed.count();

    module.readAvaiblePorts();
    QCOMPARE(changed.count(), signalsSoFar);

    qputenv(ExtraPorts, QFile::encodeName(first.portPath() + ':' + second.portPath()));
    module.readAvaiblePorts();
    QCOMPARE(changed.count(), signalsSoFar + 1);
    QCOMPARE(module.availablePorts.constLast(), virtualPort(second.portPath()));

    // Same number of ports, one replaced: the list follows, the signal stays quiet.
    qputenv(ExtraPorts, QFile::encodeName(first.portPath() + ':' + third.portPath()));
    module.readAvaiblePorts();
    QCOMPARE(changed.count(), signalsSoFar + 1);
    QCOMPARE(module.availablePorts.constLast(), virtualPort(third.portPath()));
}

void TestModuleLink::scanRunsEveryThreeSeconds()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    qputenv(ExtraPorts, QFile::encodeName(emulator.portPath()));
    QElapsedTimer clock;
    clock.start();
    Module module;
    QVERIFY(module.portsTimer.isActive());
    QSignalSpy changed(&module, &Module::newAvailablePorts);

    QTRY_VERIFY_WITH_TIMEOUT(module.availablePorts.contains(virtualPort(emulator.portPath())), 5000);
    // A coarse timer may fire up to 5% early.
    QVERIFY(clock.elapsed() >= 2850);
    QCOMPARE(changed.count(), 1);
}

void TestModuleLink::connectAndReadAtModuleTiming()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QElapsedTimer clock;

    clock.start();
    QVERIFY(module.connectPort(emulator.portPath()));
    const qint64 connectTime = clock.elapsed();
    // Port test 300 ms, wait after the open 500 ms, probe 500 ms.
    QVERIFY2(connectTime >= 1300 && connectTime < 1800, qPrintable(QString::number(connectTime)));

    clock.restart();
    const QByteArray image = module.readConfiguration();
    const qint64 readTime = clock.elapsed();
    QCOMPARE(image.size(), 1968);
    QVERIFY2(readTime >= 3000 && readTime < 3500, qPrintable(QString::number(readTime)));
}

TELVORO_TEST_MAIN(TestModuleLink)

#include "tst_modulelink.moc"
