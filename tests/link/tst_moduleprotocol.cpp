#include "config/configuration.h"
#include "emulatorprocess.h"
#include "link/module.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

namespace {

// Short enough to keep the suite quick, long enough for a pseudo-terminal.
constexpr int TestPeriod = 20;

// The protocol is exercised on a port opened directly, so that emulator
// faults which also spoil the probe can be reached.
bool openPort(Module &module, const EmulatorProcess &emulator)
{
    module.setPeriodForTests(TestPeriod);
    module.port->setPortName(emulator.portPath());
    return module.port->open(QIODevice::ReadWrite);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray liveState(int n)
{
    const int ai1 = 50 * (n % 21);
    const int ai2 = 1000 - ai1;
    const char state[] = {char(ai1 >> 8), char(ai1 & 0xFF), char(ai2 >> 8), char(ai2 & 0xFF),
                          char(n % 64)};
    return QByteArray(state, sizeof state);
}

} // namespace

class TestModuleProtocol : public QObject
{
    Q_OBJECT

private slots:
    void probeNeedsExactAnswer_data();
    void probeNeedsExactAnswer();
    void readConfigurationReturnsAnswerUnchanged_data();
    void readConfigurationReturnsAnswerUnchanged();
    void liveStateFollowsEmulatorSequence();
    void manualOutputsBytes_data();
    void manualOutputsBytes();
    void pinPukBytes_data();
    void pinPukBytes();
    void writtenBlocksReadBack();
    void missingAcknowledgementFails_data();
    void missingAcknowledgementFails();
    void lingeringByteDoesNotSpoilNextAnswer();
    void lateAnswerDoesNotSpoilNextCommand();
    void secondCommandRefusedWhileBusy();
    void closedPortAnswersAtOnce();
    void commandSplitAcrossWritesIsUnderstood();
};

void TestModuleProtocol::probeNeedsExactAnswer_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("answered");
    QTest::newRow("module") << QStringList{} << true;
    QTest::newRow("z and line end") << QStringList{"--fail", "wrong-answer"} << false;
    QTest::newRow("silent") << QStringList{"--fail", "silent"} << false;
}

void TestModuleProtocol::probeNeedsExactAnswer()
{
    QFETCH(QStringList, options);
    QFETCH(bool, answered);
    EmulatorProcess emulator(options);
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    QCOMPARE(module.probe(), answered);
    QTRY_COMPARE(emulator.commands(), QStringList{"69"});
}

void TestModuleProtocol::readConfigurationReturnsAnswerUnchanged_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("size");
    QTest::newRow("whole image") << QStringList{} << ConfigurationImageSize;
    QTest::newRow("short image") << QStringList{"--fail", "short-image"} << 1967;
    QTest::newRow("long image") << QStringList{"--fail", "long-image"} << 1969;
    QTest::newRow("silent") << QStringList{"--fail", "silent"} << 0;
}

void TestModuleProtocol::readConfigurationReturnsAnswerUnchanged()
{
    QFETCH(QStringList, options);
    QFETCH(int, size);
    EmulatorProcess emulator(options);
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    const QByteArray image = module.readConfiguration();
    QCOMPARE(image.size(), size);
    if (size > 0)
        QCOMPARE(image.left(ImageHeaderSize), QByteArray("123412345678\0\0", ImageHeaderSize));
    QTRY_COMPARE(emulator.commands(), QStringList{"41"});
}

void TestModuleProtocol::liveStateFollowsEmulatorSequence()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    for (int n = 0; n < 3; ++n)
        QCOMPARE(hex(module.readOnlineState()), hex(liveState(n)));
    QTRY_COMPARE(emulator.commands(), QStringList({"42", "42", "42"}));
}

void TestModuleProtocol::manualOutputsBytes_data()
{
    QTest::addColumn<int>("ao1");
    QTest::addColumn<int>("ao2");
    QTest::addColumn<int>("doMask");
    QTest::addColumn<QString>("message");
    QTest::newRow("AO1 10, DO1 and DO6") << 1000 << 0 << 0x21 << "43 03 E8 00 00 21";
    QTest::newRow("AO1 5.5, AO2 10, all on") << 550 << 1000 << 0x3F << "43 02 26 03 E8 3F";
    QTest::newRow("all off") << 0 << 0 << 0 << "43 00 00 00 00 00";
}

void TestModuleProtocol::manualOutputsBytes()
{
    QFETCH(int, ao1);
    QFETCH(int, ao2);
    QFETCH(int, doMask);
    QFETCH(QString, message);
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    module.sendManualOutputs(quint16(ao1), quint16(ao2), quint8(doMask));
    QTRY_COMPARE(emulator.commands(), QStringList{message});
}

void TestModuleProtocol::pinPukBytes_data()
{
    QTest::addColumn<QByteArray>("pin");
    QTest::addColumn<QByteArray>("puk");
    QTest::addColumn<int>("pinRequest");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty PUK, request off")
            << QByteArray("1234") << QByteArray() << 1
            << "70 61 31 32 33 34 00 00 00 00 00 00 00 00 01";
    QTest::newRow("long texts cut, request on")
            << QByteArray("123456") << QByteArray("123456789") << 2
            << "70 61 31 32 33 34 31 32 33 34 35 36 37 38 02";
    QTest::newRow("short PIN filled, no choice")
            << QByteArray("12") << QByteArray("8765") << 0
            << "70 61 31 32 00 00 38 37 36 35 00 00 00 00 00";
}

void TestModuleProtocol::pinPukBytes()
{
    QFETCH(QByteArray, pin);
    QFETCH(QByteArray, puk);
    QFETCH(int, pinRequest);
    QFETCH(QString, message);
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    QVERIFY(module.writePinPuk(pin, puk, quint8(pinRequest)));
    QTRY_COMPARE(emulator.commands(), QStringList{message});
    const QByteArray header = module.readConfiguration().left(12);
    QCOMPARE(header, Module::padded(pin, 4) + Module::padded(puk, 8));
}

void TestModuleProtocol::writtenBlocksReadBack()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));
    Configuration configuration;
    configuration.setPhoneNumber(0, "600100200");
    configuration.secondModulePhone = "501502503";
    configuration.hysteresis = 35;
    configuration.setAnalogAction(0, 0, InputAction(AnalogInput, 0x03, 500, 90, 7));
    configuration.setSmsText(0, "Alarm: zalanie piwnicy");
    configuration.setSmsText(7, QString(140, 'x'));

    QVERIFY(module.writeSettingsBlock(configuration));
    QVERIFY(module.writeSmsBlock(configuration));
    const QByteArray image = module.readConfiguration();

    QCOMPARE(image.size(), ConfigurationImageSize);
    QCOMPARE(image.mid(ImageHeaderSize), configuration.toImage(ImageSection::Full).mid(ImageHeaderSize));
    QTRY_COMPARE(emulator.commands(),
             QStringList({hex("pb" + configuration.toImage(ImageSection::SettingsBlock)),
                          hex("pc" + configuration.toImage(ImageSection::SmsBlock)), "41"}));
}

void TestModuleProtocol::missingAcknowledgementFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("command");
    QTest::newRow("settings block") << "no-settings-ack" << "pb";
    QTest::newRow("SMS block") << "no-sms-ack" << "pc";
    QTest::newRow("PIN and PUK") << "no-pin-ack" << "pa";
    QTest::newRow("settings block, ack with line end") << "wrong-answer" << "pb";
    QTest::newRow("SMS block, ack with line end") << "wrong-answer" << "pc";
    QTest::newRow("PIN and PUK, ack with line end") << "wrong-answer" << "pa";
}

void TestModuleProtocol::missingAcknowledgementFails()
{
    QFETCH(QString, fault);
    QFETCH(QString, command);
    EmulatorProcess emulator({"--fail", fault});
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));
    const Configuration configuration;

    bool written = true;
    if (command == "pb")
        written = module.writeSettingsBlock(configuration);
    else if (command == "pc")
        written = module.writeSmsBlock(configuration);
    else
        written = module.writePinPuk("1234", "12345678", 2);
    QVERIFY(!written);
    QTRY_COMPARE(emulator.commands().size(), 1);
    QVERIFY(emulator.commands().constFirst().startsWith(hex(command.toLatin1())));
}

void TestModuleProtocol::lingeringByteDoesNotSpoilNextAnswer()
{
    EmulatorProcess emulator({"--fail", "linger"});
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    module.sendManualOutputs(1000, 0, 0x21);
    QTRY_COMPARE(module.port->bytesAvailable(), 1);
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
    QVERIFY(module.probe());
}

void TestModuleProtocol::lateAnswerDoesNotSpoilNextCommand()
{
    EmulatorProcess emulator({"--fail", "late", "--late-ms", QString::number(15 * TestPeriod)});
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    QVERIFY(module.readConfiguration().isEmpty());
    QTRY_COMPARE(module.port->bytesAvailable(), ConfigurationImageSize);
    QVERIFY(module.probe());
}

void TestModuleProtocol::secondCommandRefusedWhileBusy()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    bool busyMeanwhile = false;
    bool probeMeanwhile = true;
    QByteArray stateMeanwhile("not asked");
    qint64 refusalTime = -1;
    QTimer::singleShot(2 * TestPeriod, &module, [&] {
        busyMeanwhile = module.isBusy();
        QElapsedTimer clock;
        clock.start();
        probeMeanwhile = module.probe();
        stateMeanwhile = module.readOnlineState();
        refusalTime = clock.elapsed();
    });
    const QByteArray image = module.readConfiguration();

    QVERIFY(busyMeanwhile);
    QVERIFY(!probeMeanwhile);
    QVERIFY(stateMeanwhile.isEmpty());
    QVERIFY(refusalTime >= 0 && refusalTime < TestPeriod);
    QCOMPARE(image.size(), ConfigurationImageSize);
    QVERIFY(!module.isBusy());
    QTRY_COMPARE(emulator.commands(), QStringList{"41"});
}

void TestModuleProtocol::closedPortAnswersAtOnce()
{
    Module module;
    QElapsedTimer clock;
    clock.start();

    QVERIFY(!module.probe());
    QVERIFY(module.readConfiguration().isEmpty());
    QVERIFY(module.readOnlineState().isEmpty());
    module.sendManualOutputs(1000, 0, 0x21);
    QVERIFY(!module.writeSettingsBlock(Configuration()));
    QVERIFY(!module.writeSmsBlock(Configuration()));
    QVERIFY(!module.writePinPuk("1234", "", 1));
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(!module.isBusy());
}

void TestModuleProtocol::commandSplitAcrossWritesIsUnderstood()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(openPort(module, emulator));

    const QByteArray message = "pa" + QByteArray("4321") + QByteArray(8, '\0') + char(2);
    for (const QByteArray &piece : {message.left(1), message.mid(1, 5), message.mid(6)}) {
        module.port->write(piece);
        module.waitHalfSecond();
    }
    QTRY_COMPARE(module.port->bytesAvailable(), 1);
    QCOMPARE(module.port->readAll(), QByteArray("x"));
    QTRY_COMPARE(emulator.commands(), QStringList{hex(message)});
}

TELVORO_TEST_MAIN(TestModuleProtocol)

#include "tst_moduleprotocol.moc"
