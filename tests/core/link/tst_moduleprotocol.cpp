#include "configuration/configuration.h"
#include "emulatedmodule.h"
#include "emulatorprocess.h"
#include "link/module.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

namespace {

// Exchanges that wait for an answer run at the module's own period: their
// wait ends with the answer, so the long bound costs nothing and leaves a
// slow or busy machine ample time to answer. Those that must run out their
// bound, where no answer can change the outcome, run at the short period.
constexpr int TestPeriod = 20;
constexpr int ModulePeriod = 500;
// The period against the emulator in the test's own process.
constexpr int InProcessPeriod = 50;
// Comes long after the bound of any exchange at the short period.
constexpr int LateAnswerDelay = 1000;

// The protocol is exercised on a port opened directly, so that emulator
// faults which also spoil the probe can be reached.
bool openPort(Module &module, const EmulatorProcess &emulator, int period)
{
    if (!emulator.isRunning())
        return false;
    module.setPeriodForTests(period);
    module.port->setPortName(emulator.portPath());
    return module.port->open(QIODevice::ReadWrite);
}

// An exchange without a complete answer waits its whole bound out. The
// bound is the module's own timer, so a busy machine only makes the time
// longer, never shorter: this cannot flake. How soon an answered exchange
// ends is measured by scripts/benchmark-link.sh.
void checkWaitedOutBound(qint64 elapsed, const Module &module, Module::Command command)
{
    const int limit = module.limitMilliseconds(command);
    QVERIFY2(elapsed >= limit, qPrintable(QStringLiteral("%1 of %2 ms").arg(elapsed).arg(limit)));
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
    void acknowledgementDecidesWrite_data();
    void acknowledgementDecidesWrite();
    void lingeringByteDoesNotSpoilNextAnswer();
    void lateAnswerDoesNotSpoilNextCommand();
    void secondCommandRefusedWhileBusy();
    void closedPortRefusesEveryCommand();
    void commandSplitAcrossWritesIsUnderstood();
    void logHasEveryExchangeInOrder();
    void logNeverShowsTheCodes_data();
    void logNeverShowsTheCodes();
};

void TestModuleProtocol::probeNeedsExactAnswer_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("period");
    // As the link log judges the answer.
    QTest::addColumn<LinkLog::Outcome>("outcome");
    QTest::newRow("module after 200 ms")
            << QStringList{"--delay", "i=200"} << true << ModulePeriod << LinkLog::Outcome::Answered;
    QTest::newRow("z and line end")
            << QStringList{"--fail", "wrong-answer"} << false << ModulePeriod << LinkLog::Outcome::Wrong;
    QTest::newRow("silent") << QStringList{"--fail", "silent"} << false << TestPeriod << LinkLog::Outcome::Unanswered;
    QTest::newRow("after the wait") << QStringList{"--delay", QStringLiteral("i=%1").arg(LateAnswerDelay)} << false
                                    << TestPeriod << LinkLog::Outcome::Unanswered;
}

void TestModuleProtocol::probeNeedsExactAnswer()
{
    QFETCH(QStringList, options);
    QFETCH(bool, answered);
    QFETCH(int, period);
    QFETCH(LinkLog::Outcome, outcome);
    EmulatorProcess emulator(options);
    Module module;
    QVERIFY(openPort(module, emulator, period));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(module.probe(), answered);
    if (period == TestPeriod)
        checkWaitedOutBound(clock.elapsed(), module, Module::Command::Probe);
    QTRY_COMPARE(emulator.commands(), QStringList{"69"});
    QCOMPARE(module.log()->entries().size(), 2);
    QCOMPARE(module.log()->entries().last().outcome, outcome);
}

void TestModuleProtocol::readConfigurationReturnsAnswerUnchanged_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("period");
    QTest::newRow("whole image at once") << 0 << QString() << ConfigurationImageSize << InProcessPeriod;
    // After a probe's bound, well inside the read's.
    QTest::newRow("whole image past a probe's bound")
            << 2 * InProcessPeriod << QString() << ConfigurationImageSize << InProcessPeriod;
    // Waits out its bound, but the 1967 bytes must be in by then.
    QTest::newRow("short image") << 0 << "short-image" << 1967 << InProcessPeriod;
    QTest::newRow("long image") << 0 << "long-image" << 1969 << InProcessPeriod;
    QTest::newRow("silent") << 0 << "silent" << 0 << TestPeriod;
    QTest::newRow("image after the wait") << 7 * TestPeriod << QString() << 0 << TestPeriod;
}

// Against the emulator in this process, as acknowledgementDecidesWrite().
void TestModuleProtocol::readConfigurationReturnsAnswerUnchanged()
{
    QFETCH(int, delay);
    QFETCH(QString, fault);
    QFETCH(int, size);
    QFETCH(int, period);
    EmulatedModule emulated;
    Module module;
    module.setPeriodForTests(period);
    QVERIFY(emulated.connect(module));
    ModuleEmulator::Fault moduleFault;
    if (ModuleEmulator::faultFromName(fault, &moduleFault))
        emulated.emulator().setFaults({moduleFault});
    emulated.emulator().setAnswerDelay(QStringLiteral("A"), delay);
    QSignalSpy progress(&module, &Module::exchangeProgress);
    const int limit = module.limitMilliseconds(Module::Command::ReadConfiguration);

    const bool waitsOutBound = size < ConfigurationImageSize;
    QElapsedTimer clock;
    clock.start();
    const QByteArray image = module.readConfiguration();
    if (waitsOutBound)
        checkWaitedOutBound(clock.elapsed(), module, Module::Command::ReadConfiguration);
    QCOMPARE(image.size(), size);
    if (size > 0)
        QCOMPARE(image.left(ImageHeaderSize), QByteArray("123412345678\0\0", ImageHeaderSize));
    QCOMPARE(emulated.emulator().commandLog(), QStringList({"69", "41"}));

    // From 0 to the bound, never falling.
    QCOMPARE(progress.constFirst(), QVariantList({0, limit}));
    QCOMPARE(progress.constLast(), QVariantList({limit, limit}));
    for (qsizetype i = 1; i < progress.count(); ++i)
        QVERIFY(progress.at(i - 1).at(0).toInt() <= progress.at(i).at(0).toInt());
    // A wait of the whole 3 s bound shows progress in between. The progress
    // timer is due long before the bound's, so it fires first however late
    // a busy machine runs them.
    if (waitsOutBound && period == InProcessPeriod)
        QVERIFY(progress.count() > 2);
}

void TestModuleProtocol::liveStateFollowsEmulatorSequence()
{
    EmulatorProcess emulator;
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));

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
    Module module;
    QVERIFY(openPort(module, emulator, TestPeriod));

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
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 01";
    QTest::newRow("long texts cut, request on")
            << QByteArray("123456") << QByteArray("123456789") << 2
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 02";
    QTest::newRow("short PIN filled, no choice")
            << QByteArray("12") << QByteArray("8765") << 0
            << "70 61 ** ** ** ** ** ** ** ** ** ** ** ** 00";
}

void TestModuleProtocol::pinPukBytes()
{
    QFETCH(QByteArray, pin);
    QFETCH(QByteArray, puk);
    QFETCH(int, pinRequest);
    QFETCH(QString, message);
    EmulatorProcess emulator;
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));

    QVERIFY(module.writePinPuk(pin, puk, quint8(pinRequest)));
    // The logs hide the codes; the module's header holds them.
    QTRY_COMPARE(emulator.commands(), QStringList{message});
    const QByteArray header = module.readConfiguration().left(12);
    QCOMPARE(header, Module::padded(pin, 4) + Module::padded(puk, 8));
    const QList<LinkLog::Entry> &log = module.log()->entries();
    QCOMPARE(QString::fromLatin1(log.at(0).hex), message);
    QCOMPARE(log.at(3).length, ConfigurationImageSize);
    QVERIFY(log.at(3).hex.startsWith(QByteArray("** ").repeated(12)));
}

void TestModuleProtocol::writtenBlocksReadBack()
{
    EmulatorProcess emulator;
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));
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

void TestModuleProtocol::acknowledgementDecidesWrite_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("period");
    // Each late acknowledgement comes after the bound of the commands with a
    // shorter one (6 periods for a read or the PIN, 1 for a probe), well
    // inside its own: it is missed if the command's bound is cut to theirs.
    struct Write
    {
        QString command;
        QString noAcknowledgement;
        int lateDelay;
    };
    const QList<Write> writes = {{"pb", "no-settings-ack", 7 * InProcessPeriod},
                                 {"pc", "no-sms-ack", 7 * InProcessPeriod},
                                 {"pa", "no-pin-ack", 2 * InProcessPeriod}};
    for (const auto &[command, noAcknowledgement, lateDelay] : writes) {
        const QByteArray name = command.toLatin1();
        QTest::addRow("%s acknowledged after %d ms", name.data(), InProcessPeriod / 2)
                << command << InProcessPeriod / 2 << QString() << true << InProcessPeriod;
        QTest::addRow("%s acknowledged after %d ms, past shorter bounds", name.data(), lateDelay)
                << command << lateDelay << QString() << true << InProcessPeriod;
        QTest::addRow("%s, acknowledgement with line end", name.data())
                << command << 0 << "wrong-answer" << false << InProcessPeriod;
        QTest::addRow("%s not acknowledged", name.data()) << command << 0 << noAcknowledgement << false << TestPeriod;
    }
}

// Against the emulator in this process, where its delays and the module's
// bounds are timers of one thread, which fire in the order they fall due
// however busy the machine: the bounds can be short. The fault comes after
// the probe, which it would spoil too.
void TestModuleProtocol::acknowledgementDecidesWrite()
{
    QFETCH(QString, command);
    QFETCH(int, delay);
    QFETCH(QString, fault);
    QFETCH(bool, written);
    QFETCH(int, period);
    EmulatedModule emulated;
    Module module;
    module.setPeriodForTests(period);
    QVERIFY(emulated.connect(module));
    ModuleEmulator::Fault moduleFault;
    if (ModuleEmulator::faultFromName(fault, &moduleFault))
        emulated.emulator().setFaults({moduleFault});
    emulated.emulator().setAnswerDelay(command, delay);
    const Configuration configuration;

    const Module::Command sent = command == "pb" ? Module::Command::SettingsBlock
            : command == "pc"                  ? Module::Command::SmsBlock
                                               : Module::Command::PinPuk;
    QElapsedTimer clock;
    clock.start();
    const bool result = command == "pb" ? module.writeSettingsBlock(configuration)
            : command == "pc"           ? module.writeSmsBlock(configuration)
                                        : module.writePinPuk("1234", "12345678", 2);
    // The quiet before the SMS block counts from the probe, just before.
    const int quietServed = sent == Module::Command::SmsBlock ? 3 * period : 0;
    if (period == TestPeriod)
        checkWaitedOutBound(clock.elapsed() + quietServed, module, sent);
    QCOMPARE(result, written);
    QCOMPARE(emulated.emulator().commandLog().size(), 2);
    QVERIFY(emulated.emulator().commandLog().constLast().startsWith(hex(command.toLatin1())));
}

void TestModuleProtocol::lingeringByteDoesNotSpoilNextAnswer()
{
    EmulatorProcess emulator({"--fail", "linger"});
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));

    module.sendManualOutputs(1000, 0, 0x21);
    QTRY_COMPARE(module.port->bytesAvailable(), 1);
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
    QVERIFY(module.probe());
}

void TestModuleProtocol::lateAnswerDoesNotSpoilNextCommand()
{
    EmulatorProcess emulator({"--fail", "late", "--late-ms", QString::number(LateAnswerDelay)});
    Module module;
    QVERIFY(openPort(module, emulator, TestPeriod));

    QVERIFY(module.readConfiguration().isEmpty());
    QTRY_COMPARE(module.port->bytesAvailable(), ConfigurationImageSize);
    // The probe is answered at once, even in the late mode.
    module.setPeriodForTests(ModulePeriod);
    QVERIFY(module.probe());
    // The image goes to the log before the probe, as the read's, with the
    // SIM codes hidden.
    const QList<LinkLog::Entry> &log = module.log()->entries();
    QCOMPARE(log.size(), 5);
    QCOMPARE(log.at(2).command, QStringLiteral("A"));
    QCOMPARE(log.at(2).outcome, LinkLog::Outcome::Late);
    QCOMPARE(log.at(2).length, ConfigurationImageSize);
    QVERIFY(log.at(2).waitMilliseconds >= LateAnswerDelay);
    QVERIFY(log.at(2).hex.startsWith(QByteArray("** ").repeated(12) + "00"));
    QCOMPARE(log.at(3).command, QStringLiteral("i"));
}

void TestModuleProtocol::secondCommandRefusedWhileBusy()
{
    EmulatorProcess emulator({"--delay", "A=1000"});
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));

    bool asked = false;
    bool busyMeanwhile = false;
    bool probeMeanwhile = true;
    QByteArray stateMeanwhile("not asked");
    bool busyAfterRefusals = false;
    // Asked from the read's wait, as a timer of the window would, once the
    // read has been waiting a while.
    connect(&module, &Module::exchangeProgress, &module, [&](int elapsed) {
        if (elapsed == 0 || asked)
            return;
        asked = true;
        busyMeanwhile = module.isBusy();
        probeMeanwhile = module.probe();
        stateMeanwhile = module.readOnlineState();
        busyAfterRefusals = module.isBusy();
    });
    const QByteArray image = module.readConfiguration();

    QVERIFY(busyMeanwhile);
    QVERIFY(!probeMeanwhile);
    QVERIFY(stateMeanwhile.isEmpty());
    // Refused while the read still waits, and nothing of them went out.
    QVERIFY(busyAfterRefusals);
    QCOMPARE(image.size(), ConfigurationImageSize);
    QVERIFY(!module.isBusy());
    QTRY_COMPARE(emulator.commands(), QStringList{"41"});
}

void TestModuleProtocol::closedPortRefusesEveryCommand()
{
    Module module;

    QVERIFY(!module.probe());
    QVERIFY(module.readConfiguration().isEmpty());
    QVERIFY(module.readOnlineState().isEmpty());
    module.sendManualOutputs(1000, 0, 0x21);
    QVERIFY(!module.writeSettingsBlock(Configuration()));
    QVERIFY(!module.writeSmsBlock(Configuration()));
    QVERIFY(!module.writePinPuk("1234", "", 1));
    QVERIFY(!module.isBusy());
}

void TestModuleProtocol::commandSplitAcrossWritesIsUnderstood()
{
    EmulatorProcess emulator;
    Module module;
    QVERIFY(openPort(module, emulator, TestPeriod));

    const QByteArray message = "pa" + QByteArray("4321") + QByteArray(8, '\0') + char(2);
    for (const QByteArray &piece : {message.left(1), message.mid(1, 5), message.mid(6)}) {
        module.port->write(piece);
        module.waitHalfSecond();
    }
    QTRY_COMPARE(module.port->bytesAvailable(), 1);
    QCOMPARE(module.port->readAll(), QByteArray("x"));
    // One command, its codes hidden in the log.
    QTRY_COMPARE(emulator.commands(), QStringList{"70 61 ** ** ** ** ** ** ** ** ** ** ** ** 02"});
}

TELVORO_TEST_MAIN(TestModuleProtocol)

// A read, a write, a PIN/PUK command the module leaves unanswered and a
// block whose line goes meanwhile: every message and answer in order, as the
// log's lines show them, and never the SIM codes.
void TestModuleProtocol::logHasEveryExchangeInOrder()
{
    EmulatorProcess emulator({"--fail", "no-pin-ack", "--delay", "pc=60000"});
    Module module;
    QVERIFY(openPort(module, emulator, ModulePeriod));
    connect(module.log(), &LinkLog::entryAdded, &module, [&emulator](const LinkLog::Entry &entry) {
        if (entry.command == QLatin1String("pc"))
            emulator.stop();
    });
    QCOMPARE(module.readConfiguration().size(), ConfigurationImageSize);
    QVERIFY(module.writeSettingsBlock(Configuration()));
    QVERIFY(!module.writePinPuk("4321", "87654321", 2));
    QVERIFY(!module.writeSmsBlock(Configuration()));

    const QRegularExpression localTime("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$");
    QStringList lines;
    for (const LinkLog::Entry &entry : module.log()->entries()) {
        const QStringList fields = LinkLog::line(entry).split('\t');
        QCOMPARE(fields.size(), LinkLog::FieldCount);
        QVERIFY2(localTime.match(fields.at(0)).hasMatch(), qPrintable(fields.at(0)));
        lines << QStringList{fields.at(1), fields.at(2), fields.at(3), fields.at(5)}.join(' ');
        for (const char *code : {"34 33 32 31", "38 37 36 35", "31 32 33 34"})
            QVERIFY(!fields.at(6).contains(code));
    }
    QCOMPARE(lines, QStringList({"do modemu A 1 wysłano", "z modemu A 1968 poprawna", "do modemu pb 836 wysłano",
                                 "z modemu pb 1 poprawna", "do modemu pa 15 wysłano", "z modemu pa 0 brak odpowiedzi",
                                 "do modemu pc 1122 wysłano", "z modemu pc 0 utrata połączenia"}));
    const QList<LinkLog::Entry> &log = module.log()->entries();
    QCOMPARE(log.at(4).hex, "70 61 " + QByteArray("** ").repeated(12) + "02");
    QVERIFY(log.at(5).waitMilliseconds >= module.limitMilliseconds(Module::Command::PinPuk));
}

void TestModuleProtocol::logNeverShowsTheCodes_data()
{
    QTest::addColumn<QStringList>("faults");
    // An entry that must be there: direction, command, length and outcome.
    // The port test reads what has come by then, at most 99 bytes.
    QTest::addColumn<QString>("entry");
    QTest::newRow("stale image at connection") << QStringList{"--fail", "stale-image"} << "z modemu i \\d+ błędna";
    QTest::newRow("the rest of it, late") << QStringList{"--fail", "stale-image"} << "z modemu i \\d+ spóźniona";
    QTest::newRow("noise before the image") << QStringList{"--fail", "noise"} << "z modemu A 1974 błędna";
    QTest::newRow("image running on") << QStringList{"--fail", "long-image"} << "z modemu A 1969 błędna";
    QTest::newRow("image cut short") << QStringList{"--fail", "short-image"} << "z modemu A 1967 błędna";
}

// Wherever the module's image lands in what is read, no two digits of it
// show: the SIM codes are its only runs of digits.
void TestModuleProtocol::logNeverShowsTheCodes()
{
    QFETCH(QStringList, faults);
    QFETCH(QString, entry);
    EmulatorProcess emulator(faults);
    QVERIFY(emulator.isRunning());
    Module module;
    QVERIFY(module.connectPort(emulator.portPath()));
    module.readConfiguration();

    const QRegularExpression twoDigits("3[0-9] 3[0-9]");
    QStringList entries;
    for (const LinkLog::Entry &logged : module.log()->entries()) {
        const QStringList fields = LinkLog::line(logged).split('\t');
        entries << QStringList{fields.at(1), fields.at(2), fields.at(3), fields.at(5)}.join(' ');
        QVERIFY2(!twoDigits.match(fields.at(6)).hasMatch(), qPrintable(fields.at(6)));
    }
    QVERIFY2(entries.indexOf(QRegularExpression('^' + entry + '$')) >= 0, qPrintable(entries.join('|')));
}

#include "tst_moduleprotocol.moc"
