#include "emulatorprocess.h"
#include "link/module.h"
#include "link/modulefinder.h"
#include "testmain.h"

#include "configuration/configuration.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// For port tests and connections whose outcome no answer changes. Where the
// emulator has to take part, the module's own period leaves it ample time on
// a busy machine: it must notice the port opened, read and answer within the
// port test's and the probe's waits.
constexpr int TestPeriod = 20;
constexpr char ExtraPorts[] = "TX48_EXTRA_PORTS";
constexpr char LockFolders[] = "TX48_LOCK_FOLDERS";
const QString FixedWaitsKey = QStringLiteral("fixedModuleWaits");

QPair<QString, QString> virtualPort(const QString &path)
{
    return {path, path + " (port wirtualny)"};
}

// A UUCP lock file for the port in a folder of the test's, which the
// program is pointed at: the PID as ten ASCII digits and a line end, or as
// the int itself. The file's path.
QString lockFileOf(const QTemporaryDir &folder, const QString &port, qint64 pid, bool binary)
{
    const QString path = folder.filePath("LCK.." + port.mid(5).replace('/', '_'));
    const int value = int(pid);
    QFile lock(path);
    if (!lock.open(QIODevice::WriteOnly))
        return QString();
    lock.write(binary ? QByteArray(reinterpret_cast<const char *>(&value), sizeof value)
                      : QString::number(value).rightJustified(10).toLatin1() + '\n');
    qputenv(LockFolders, QFile::encodeName(folder.path()));
    return path;
}

} // namespace

class TestModuleLink : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void connectFindsModuleAndReads_data();
    void connectFindsModuleAndReads();
    void connectWithoutModuleClosesAndScansAgain();
    void connectToMissingPortRetriesThenFails();
    void testPortNeedsFreeExistingPort();
    void unusablePortIsGivenUpAtOnce_data();
    void unusablePortIsGivenUpAtOnce();
    void scanListsExtraPortsAndSignalsChanges();
    void portsAreTriedInOrder_data();
    void portsAreTriedInOrder();
    void scanRunsEveryThreeSeconds();
    void vanishedPortDisconnects_data();
    void vanishedPortDisconnects();
};

void TestModuleLink::cleanup()
{
    qunsetenv(ExtraPorts);
    qunsetenv(LockFolders);
    QSettings().remove(FixedWaitsKey);
}

void TestModuleLink::connectFindsModuleAndReads_data()
{
    QTest::addColumn<bool>("fixedWaits");
    QTest::newRow("ends with the answers") << false;
    QTest::newRow("fixed waits") << true;
}

void TestModuleLink::connectFindsModuleAndReads()
{
    QFETCH(bool, fixedWaits);
    QSettings().setValue(FixedWaitsKey, fixedWaits);
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QElapsedTimer clock;

    clock.start();
    QVERIFY(module.connectPort(emulator.portPath()));
    const qint64 connectTime = clock.elapsed();
    QVERIFY(module.isConnected());
    QCOMPARE(module.port->baudRate(), 115200);
    QVERIFY(!module.portsTimer.isActive());
    // The port test's probe byte, then the probe itself.
    QTRY_COMPARE(emulator.commands(), QStringList({"69", "69"}));

    clock.restart();
    const QByteArray image = module.readConfiguration();
    const qint64 readTime = clock.elapsed();
    QCOMPARE(image.size(), ConfigurationImageSize);
    // Port test 300 ms, wait after the open 500 ms, probe 500 ms; only the
    // wait after the open is kept when the module answers at once. These
    // are lower bounds the module's own timers enforce, so a busy machine
    // only makes the times longer; how much shorter than the fixed waits
    // an answered exchange is, scripts/benchmark-link.sh measures.
    const int readLimit = module.limitMilliseconds(Module::Command::ReadConfiguration);
    QCOMPARE(readLimit, 3000);
    const QString times = QStringLiteral("connect %1 ms, read %2 ms").arg(connectTime).arg(readTime);
    if (fixedWaits)
        QVERIFY2(connectTime >= 1300 && readTime >= readLimit, qPrintable(times));
    else
        QVERIFY2(connectTime >= 500, qPrintable(times));

    module.disconnectPort();
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
    QCOMPARE(module.portsTimer.interval(), 3000);
}

// The device is left with the line settings it had.
void TestModuleLink::connectWithoutModuleClosesAndScansAgain()
{
    EmulatorProcess emulator({"--fail", "silent"});
    QVERIFY(emulator.isRunning());
    const int device = ::open(QFile::encodeName(emulator.portPath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios before {};
    QVERIFY(device != -1 && ::tcgetattr(device, &before) == 0);
    ::cfsetspeed(&before, B9600);
    before.c_lflag |= ICANON | ECHO;
    QVERIFY(::tcsetattr(device, TCSANOW, &before) == 0);
    Module module;
    module.portsTimer.stop();

    QVERIFY(!module.connectPort(emulator.portPath()));
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
    QTRY_COMPARE(emulator.commands(), QStringList({"69", "69"}));
    QVERIFY(module.connectionProblem().isEmpty());
    termios after {};
    QVERIFY(::tcgetattr(device, &after) == 0);
    ::close(device);
    QCOMPARE(::cfgetospeed(&after), speed_t(B9600));
    QCOMPARE(after.c_lflag, before.c_lflag);
}

void TestModuleLink::connectToMissingPortRetriesThenFails()
{
    Module module;
    module.setPeriodForTests(TestPeriod);
    QElapsedTimer clock;
    clock.start();

    QVERIFY(!module.connectPort("/dev/pts/no-such-port"));
    // Fifteen failed tests, each followed by a retry wait of two periods,
    // then the open (which fails) and its wait of one period. A lower bound
    // of the module's own timers: a busy machine only makes it longer.
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

    // The lock file of a program that has ended neither keeps the port nor
    // is removed.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForStarted());
    const qint64 pid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QTemporaryDir lockFolder;
    const QString lock = lockFileOf(lockFolder, emulator.portPath(), pid, false);
    QVERIFY(module.testPort(emulator.portPath()));
    QVERIFY(QFile::exists(lock));
}

void TestModuleLink::unusablePortIsGivenUpAtOnce_data()
{
    // How another program holds the emulator's port, or another device.
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QString>("problem");
    QTest::newRow("locked by another program") << "flock" << "port jest zajęty przez inny program.";
    // Root opens it all the same, but must leave it alone.
    QTest::newRow("exclusive to another program") << "exclusive" << "port jest zajęty przez inny program.";
    QTest::newRow("no serial port") << "/dev/null" << "to nie jest port szeregowy.";
    // %1: the PID of the program named in the lock file.
    QTest::newRow("lock file of a running program") << "lock file" << "port jest zajęty przez inny program: sleep (PID %1).";
    QTest::newRow("lock file in binary form") << "binary lock file" << "port jest zajęty przez inny program: sleep (PID %1).";
}

// Without a byte sent and without the retries, which would run the event
// loop; the other program's exclusive mode stays.
void TestModuleLink::unusablePortIsGivenUpAtOnce()
{
    QFETCH(QString, holder);
    QFETCH(QString, problem);
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    QFile other(emulator.portPath());
    QVERIFY(other.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    QProcess running;
    QTemporaryDir lockFolder;
    QString lock;
    if (holder.endsWith(QLatin1String("lock file"))) {
        running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(running.waitForStarted());
        lock = lockFileOf(lockFolder, emulator.portPath(), running.processId(), holder.startsWith('b'));
        problem = problem.arg(running.processId());
    }
    if (holder == QLatin1String("flock"))
        QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
    else if (holder == QLatin1String("exclusive"))
        QCOMPARE(::ioctl(other.handle(), TIOCEXCL), 0);
    Module module;
    bool waited = false;
    QTimer::singleShot(0, &module, [&waited] { waited = true; });

    QVERIFY(!module.connectPort(holder.startsWith('/') ? holder : emulator.portPath()));
    QVERIFY(!waited);
    QCOMPARE(module.connectionProblem(), problem);
    QVERIFY(emulator.commands().isEmpty());
    int exclusive = 0;
    QCOMPARE(::ioctl(other.handle(), TIOCGEXCL, &exclusive), 0);
    QCOMPARE(exclusive, holder == QLatin1String("exclusive") ? 1 : 0);
    QVERIFY(lock.isEmpty() || QFile::exists(lock));
    running.kill();
    running.waitForFinished();
}

void TestModuleLink::scanListsExtraPortsAndSignalsChanges()
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

    // Same number of ports, one replaced: the list follows, and says so.
    qputenv(ExtraPorts, QFile::encodeName(first.portPath() + ':' + third.portPath()));
    module.readAvaiblePorts();
    QCOMPARE(changed.count(), signalsSoFar + 2);
    QCOMPARE(module.availablePorts.constLast(), virtualPort(third.portPath()));
}

void TestModuleLink::portsAreTriedInOrder_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("lastPort");
    QTest::addColumn<QStringList>("tried");
    const QStringList listed{"ttyS0", "/dev/pts/3", "ttyUSB0", "ttyS1", "ttyACM1"};
    QTest::newRow("adapters, named paths, the rest")
            << listed << "" << QStringList{"ttyUSB0", "ttyACM1", "/dev/pts/3", "ttyS0", "ttyS1"};
    QTest::newRow("last port used first")
            << listed << "ttyS1" << QStringList{"ttyS1", "ttyUSB0", "ttyACM1", "/dev/pts/3", "ttyS0"};
    QTest::newRow("last port used gone")
            << listed << "ttyUSB7" << QStringList{"ttyUSB0", "ttyACM1", "/dev/pts/3", "ttyS0", "ttyS1"};
}

void TestModuleLink::portsAreTriedInOrder()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, lastPort);
    QFETCH(QStringList, tried);
    QList<QPair<QString, QString>> ports;
    for (const QString &name : listed)
        ports.append({name, name});
    QCOMPARE(ModuleFinder::candidates(ports, lastPort), tried);
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

    QTRY_VERIFY_WITH_TIMEOUT(module.availablePorts.contains(virtualPort(emulator.portPath())), 10000);
    // Not before the scan's timer (a coarse timer may fire up to 5% early);
    // a busy machine only makes it later.
    QVERIFY(clock.elapsed() >= 2850);
    QCOMPARE(changed.count(), 1);
}

void TestModuleLink::vanishedPortDisconnects_data()
{
    QTest::addColumn<bool>("duringRead");
    QTest::newRow("idle") << false;
    QTest::newRow("during a read") << true;
}

// The emulator ends as if the adapter were pulled out: the port closes, the
// scan resumes, a running read fails at once, and nothing keeps spinning on
// the hung-up line.
void TestModuleLink::vanishedPortDisconnects()
{
    QFETCH(bool, duringRead);
    // Answered only after the read's bound: the read fails because the line
    // went away (how soon, scripts/benchmark-link.sh measures).
    EmulatorProcess emulator({"--delay", "A=10000"});
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(module.connectPort(emulator.portPath()));
    QSignalSpy lost(&module, &Module::connectionLost);

    if (duringRead) {
        QTimer::singleShot(100, &module, [&emulator] { emulator.stop(); });
        QVERIFY(module.readConfiguration().isEmpty());
        QCOMPARE(lost.count(), 1);
    } else {
        emulator.stop();
        QVERIFY(lost.wait());
    }
    QVERIFY(!module.isConnected());
    QVERIFY(module.portsTimer.isActive());
    // The processor time this process spends, not the clock: a busy machine
    // gives it less, never more. A notifier firing on the hung-up line
    // would take all of the 300 ms.
    const std::clock_t cpuBefore = std::clock();
    QTest::qWait(300);
    QVERIFY(std::clock() - cpuBefore < CLOCKS_PER_SEC / 10);

    EmulatorProcess replacement;
    QVERIFY(replacement.isRunning());
    QVERIFY(module.connectPort(replacement.portPath()));
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
}

TELVORO_TEST_MAIN(TestModuleLink)

#include "tst_modulelink.moc"
