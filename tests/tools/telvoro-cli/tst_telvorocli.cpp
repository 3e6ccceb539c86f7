#include "backup/backupstore.h"
#include "fields/configurationfields.h"
#include "files/configurationfile.h"
#include "files/configurationjson.h"
#include "link/module.h"
#include "settings/usernames.h"
#include "emulatorprocess.h"
#include "jsonedit.h"
#include "randomimage.h"
#include "sessionwords.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <optional>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The module's blocks as a .kvl file holds them, the SIM codes' header aside.
QByteArray blocksOf(const QString &path)
{
    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(path);
    return loaded.status == ConfigurationFile::Status::Loaded
            ? loaded.configuration.toImage(ImageSection::Full).mid(ImageHeaderSize)
            : QByteArray("none");
}

QString lineSettings(const QString &port)
{
    QProcess stty;
    stty.start(QStringLiteral("stty"), {"-F", port, "-a"});
    return stty.waitForFinished(10000) ? QString::fromLatin1(stty.readAllStandardOutput()) : QString();
}

// Entries of a link log (docs/link-log.md) such as "do modemu A", in order.
QStringList logEntries(const QString &path)
{
    QStringList entries;
    for (const QString &line : QString::fromUtf8(contents(path)).split('\n', Qt::SkipEmptyParts))
        entries << line.section('\t', 1, 2).replace('\t', ' ');
    return entries;
}

int mode(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

// The SIM codes the tests type; no output may ever show them.
const QStringList Codes{"4321", "87654321"};

// A configuration with a field of each kind the listing shows differently.
Configuration sampleConfiguration()
{
    Configuration configuration;
    configuration.setAnalogAction(0, 2, InputAction(AnalogInput, 3, 500, 90, 0));
    configuration.analogRange[1] = 250;
    configuration.analogDecimals[1] = 1;
    configuration.setSmsText(1, QStringLiteral("Awaria\npompy"));
    configuration.setPhoneNumber(0, QStringLiteral("600100200"));
    return configuration;
}

// Every action slot in use, every SMS text as long as its field takes, and
// the SIM's codes set, which a JSON file keeps.
Configuration fullConfiguration()
{
    Configuration configuration;
    for (int input = 0; input < AnalogInputCount; ++input) {
        for (int index = 0; index < AnalogActionSlots; ++index)
            configuration.setAnalogAction(input, index, InputAction(AnalogInput, 3, index * 50, index * 97, index));
    }
    for (int input = 0; input < DigitalInputCount; ++input) {
        for (int index = 0; index < DigitalActionSlots; ++index)
            configuration.setDigitalAction(input, index, InputAction(DigitalInput, 5, 0, index * 61, 48 + index));
    }
    for (int i = 0; i < SmsCount; ++i) {
        QString text = QStringLiteral("Awaria pompy w przepompowni nr %1: sprawdź zasilanie, zawór zwrotny "
                                      "i czujnik poziomu; zadzwoń do dyżurnego.").arg(i + 1);
        configuration.setSmsText(i, text.leftJustified(SmsWidth - (text.toUtf8().size() - text.size()), '.'));
    }
    for (int i = 0; i < PhoneCount; ++i)
        configuration.setPhoneNumber(i, QStringLiteral("60010020%1").arg(i));
    for (int i = 0; i < DigitalOutputCount; ++i)
        configuration.digitalOutputNames[i] = QStringLiteral("Pompa gł. %1").arg(i + 1);
    configuration.simPin = QStringLiteral("8642");
    configuration.simPuk = QStringLiteral("97531086");
    return configuration;
}

} // namespace

// Every case runs in a folder of its own files; the program, like the test,
// keeps its backups in the test's data folder, never in the user's.
#if defined(__SANITIZE_ADDRESS__)
#define UNDER_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define UNDER_ADDRESS_SANITIZER
#endif
#endif

class TelvoroCliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readThenWriteRoundTrip();
    void exitCodes_data();
    void exitCodes();
    void writeSaysWhatTheSessionSays_data();
    void writeSaysWhatTheSessionSays();
    void writeInterruptedBetweenTheBlocks();
    void signalsLeaveModuleAndPortAsTheMessageSays_data();
    void signalsLeaveModuleAndPortAsTheMessageSays();
    void readBackComparesTheSmsBlockItSkipped();
    void lostLineIsToldInPolishOnly_data();
    void lostLineIsToldInPolishOnly();
    void jsonRoundTripKeepsEveryByte();
    void watchShowsTheOnlineTabsValues_data();
    void watchShowsTheOnlineTabsValues();
    void reportHoldsTheWholeConfigurationButTheSimCodes();
    void pinTakesCodesFromStandardInput_data();
    void pinTakesCodesFromStandardInput();
    void outputThatFailsEndsWithCode3_data();
    void outputThatFailsEndsWithCode3();
    void watchEndsWhenItsReaderGoes();
    void portInUseGetsNoByteFromASecondProgram();
    void savedFilesKeepModeAndOwner_data();
    void savedFilesKeepModeAndOwner();
    void failedSaveAsAUserLeavesTheOldFile_data();
    void failedSaveAsAUserLeavesTheOldFile();
    void logAppendsAcrossRuns();
    void runsAtTheEdges_data();
    void runsAtTheEdges();
    void floodingLineStaysBounded();
    void seriesWritesEachModuleItsRow();
    void seriesGoesOnPastAModuleThatStoresDifferently();
    void seriesStoppedResumesAtTheFirstRowNotVerified();

private:
    // `input` goes to standard input; "PORT" makes the port itself the
    // program's standard input (its terminal). Standard output goes to
    // `outputFile` when one is named. A `wrapper` command (setpriv …) runs
    // the program.
    Run cli(const QStringList &arguments, const QString &port = QString(), const QString &input = QString(),
            const QString &outputFile = QString(), const QStringList &wrapper = QStringList());

    QTemporaryDir folder;
};

void TelvoroCliTest::initTestCase()
{
    QVERIFY(folder.isValid());
    QVERIFY(QDir::setCurrent(folder.path()));
    Configuration changed = sampleConfiguration();
    changed.digitalOutputNames[0] = QStringLiteral("Pompa");
    QVERIFY(ConfigurationFile::save(QStringLiteral("a.kvl"), sampleConfiguration()));
    QVERIFY(put(QStringLiteral("a.json"), configurationJsonText(sampleConfiguration())));
    QVERIFY(ConfigurationFile::save(QStringLiteral("b.kvl"), changed));
    QVERIFY(put(QStringLiteral("junk.kvl"), "not a configuration"));
    const QJsonObject range = editedJson(configurationToJson(Configuration()), "analogInputs[1].actions[3].time", 70000);
    QVERIFY(put("range.json", QJsonDocument(range).toJson()));
    QVERIFY(put("big.json", configurationJsonText(Configuration()) + QByteArray(4 * 1024 * 1024, ' ')));
    QVERIFY(put("codes.kvl", ConfigurationFile::encode(Configuration()).replace(4, 12, "432187654321")));
    QVERIFY(::mkfifo("fifo.kvl", 0600) == 0 && QDir().mkdir("folder.kvl"));
    const QByteArray header = "Modem;phones[1].number;relayHoldSeconds;digitalOutputs[0].name\r\n";
    const QList<QPair<const char *, QByteArray>> badTables{
        { "unknown-column.csv", "Modem;phones[8].number\r\nA;600100200\r\n" },
        { "pin-column.csv", "Modem;simPin\r\nA;1234\r\n" },
        { "out-of-range.csv", header + "A;;70000;\r\n" },
        { "long-text.csv", header + "A;;;Pompa główna 12\r\n" },
        { "duplicate-name.csv", header + "A;600100200;;\r\nA;600100201;;\r\n" },
        { "short-row.csv", header + "A;600100200;;\r\nB;600100201\r\n" }
    };
    for (const auto &[name, text] : badTables)
        QVERIFY(put(name, text));
    // As a spreadsheet in Polish saves it: a byte order mark, semicolons,
    // quotes around a text with a semicolon and around a quote, CR LF.
    QVERIFY(put("one.csv", "Modem,phones[1].number\nJeden,600100301\n"));
    QVERIFY(put("three.csv", "\xEF\xBB\xBFModem;phones[1].number;secondModulePhone;digitalOutputs[0].name;"
                             "statusSmsTexts[1];phones[1].errorReport\r\n"
                             "Stacja Łęczna;600100301;600999001;Pompa 1;\"Awaria; pompa 1\";PRAWDA\r\n"
                             "Stacja Puchaczów;600100302;;Pompa 2;;\r\n"
                             "Stacja Cyców;600100303;600999003;\"Pompa \"\"C\"\"\";Awaria C;false\r\n"));
    // Open to the unprivileged user of the failed saves.
    QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0755) == 0);
}

// The program as a script runs it; PORT in the arguments stands for the port.
Run TelvoroCliTest::cli(const QStringList &arguments, const QString &port, const QString &input,
                        const QString &outputFile, const QStringList &wrapper)
{
    QStringList withPort = arguments;
    withPort.replaceInStrings(QRegularExpression(QStringLiteral("^PORT$")), port);
    QProcess process;
    if (input == QLatin1String("PORT"))
        process.setStandardInputFile(port);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    if (wrapper.isEmpty())
        process.start(QStringLiteral(TELVORO_CLI_PATH), withPort);
    else
        process.start(wrapper.first(), wrapper.mid(1) + QStringList(QStringLiteral(TELVORO_CLI_PATH)) + withPort);
    if (input != QLatin1String("PORT")) {
        process.write(input.toUtf8());
        process.closeWriteChannel();
    }
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A backup of one module written twice to another: each write keeps a copy first,
// then sends the settings block, and the SMS texts only while they differ.
void TelvoroCliTest::readThenWriteRoundTrip()
{
    const Configuration sample = sampleConfiguration();
    EmulatorProcess source({ "--config", "a.kvl" });
    EmulatorProcess target;
    QVERIFY(source.isRunning() && target.isRunning());
    QCOMPARE(cli({ "read", "PORT", "-o", "factory.kvl" }, target.portPath()).exitCode, 0);
    QCOMPARE(cli({ "read", "PORT", "-o", "backup.kvl" }, source.portPath()).exitCode, 0);
    QCOMPARE(contents("backup.kvl"), contents("a.kvl"));

    const Run first = cli({ "write", "PORT", "backup.kvl" }, target.portPath());
    QCOMPARE(first.exitCode, 0);
    QVERIFY2(first.out.contains(QStringLiteral("Status 2: — → Awaria\\npompy\n")), qPrintable(first.out));
    const QString settings = "70 62 " + sample.toImage(ImageSection::SettingsBlock).toHex(' ').toUpper();
    const QString sms = "70 63 " + sample.toImage(ImageSection::SmsBlock).toHex(' ').toUpper();
    QCOMPARE(target.commands().mid(3), QStringList({ "69", "69", "41", settings, sms, "41" }));
    QVERIFY(first.out.endsWith(QStringLiteral("Zapisano i sprawdzono konfigurację w modemie.\n")));
    const QList<BackupStore::Backup> backups = BackupStore().list();
    QCOMPARE(backups.size(), 1);
    QVERIFY(first.out.contains("Kopia zapasowa: " + backups.first().path + '\n'));
    QCOMPARE(contents(backups.first().path), contents("factory.kvl"));
    QCOMPARE(mode(backups.first().path), 0600);
    QCOMPARE(mode(BackupStore::defaultFolder()), 0700);

    const Run again = cli({ "write", "PORT", "backup.kvl" }, target.portPath());
    QCOMPARE(again.out.section('\n', 0, 0), QStringLiteral("Brak zmian."));
    QCOMPARE(target.commands().mid(9), QStringList({ "69", "69", "41", settings, "41" }));
    QCOMPARE(BackupStore().list().size(), 2);

    QCOMPARE(cli({ "read", "PORT", "-o", "back.kvl" }, target.portPath()).exitCode, 0);
    QCOMPARE(contents("back.kvl"), contents("a.kvl"));
}

void TelvoroCliTest::writeSaysWhatTheSessionSays_data()
{
    QTest::addColumn<QStringList>("emulator");
    QTest::addColumn<int>("exitCode");
    // What the program adds to the session's words.
    QTest::addColumn<QString>("added");
    QTest::newRow("stored differently") << QStringList{ "--fail", "store-changed" } << 4
                                        << "Wysłano → w modemie:\nWejście / Wyjście\n  Histereza: 20 → 21\n";
    QTest::newRow("block unanswered") << QStringList{ "--fail", "no-settings-ack" } << 4 << QString();
    // Where no copy can be kept, nothing is sent.
    QTest::newRow("backup failed") << QStringList() << 3 << QString();
}

// The session's sentences, as the window shows them (tst_mainwindowmodule),
// with the program's exit code.
void TelvoroCliTest::writeSaysWhatTheSessionSays()
{
    QFETCH(QStringList, emulator);
    QFETCH(int, exitCode);
    QFETCH(QString, added);
    EmulatorProcess module(emulator);
    QVERIFY(module.isRunning());
    const QString folder = BackupStore::defaultFolder();
    const bool backupFails = exitCode == 3;
    if (backupFails) {
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(folder).path()) && put(folder, "a file where the folder goes"));
    }
    const Run run = cli({ "write", "PORT", "a.json" }, module.portPath());
    if (backupFails)
        QFile::remove(folder);
    const ModuleSession::WriteOutcome outcome = SessionWords::outcome(
            QString::fromLatin1(QTest::currentDataTag()), backupFails ? folder : BackupStore().list().value(0).path);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(outcome.summary() + '\n' + added), qPrintable(run.err));
    QVERIFY2(run.err.endsWith('\n' + outcome.leftBehind() + '\n'), qPrintable(run.err));
    if (backupFails)
        QCOMPARE(module.commands().last(), QStringLiteral("41"));
}

// Ctrl+C while the settings block waits for its answer: the block is taken,
// the SMS block is not sent, and the program says what the module may hold
// and where its backup is.
void TelvoroCliTest::writeInterruptedBetweenTheBlocks()
{
    EmulatorProcess module({ "--delay", "pb=1000" });
    QVERIFY(module.isRunning());
    QCOMPARE(cli({ "read", "PORT", "-o", "before.kvl" }, module.portPath()).exitCode, 0);
    QProcess write;
    write.start(QStringLiteral(TELVORO_CLI_PATH), { "write", module.portPath(), "a.kvl" });
    QTRY_VERIFY_WITH_TIMEOUT(module.commands().last().startsWith(QStringLiteral("70 62")), 10000);
    ::kill(pid_t(write.processId()), SIGINT);
    QVERIFY(write.waitForFinished(60000));
    QCOMPARE(write.exitStatus(), QProcess::NormalExit);
    QCOMPARE(write.exitCode(), 4);
    const QString backup = BackupStore().list().first().path;
    const QString err = QString::fromUtf8(write.readAllStandardError());
    QVERIFY2(err.endsWith(": Zapis do modemu przerwano.\nModem potwierdził blok ustawień; bloku tekstów SMS nie "
                          "wysłano.\nModem może zawierać część nowej konfiguracji.\nKopia zapasowa jego poprzedniej "
                          "konfiguracji: " + backup + '\n'), qPrintable(err));
    QVERIFY(module.commands().last().startsWith(QStringLiteral("70 62")));
    QCOMPARE(contents(backup), contents("before.kvl"));
}

void TelvoroCliTest::signalsLeaveModuleAndPortAsTheMessageSays_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("emulator");
    // The signal goes once the program's link log holds this entry so often.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // the end of standard error
    // What the module holds afterwards: "before", "written" or "settings"
    // (the written settings block with the SMS block it had).
    QTest::addColumn<QString>("holds");
    const QStringList write{ "write", "PORT", "a.kvl" };
    const QString nothingSent = "Przerwano. Do modemu nic nie wysłano.\n";
    const QString partly = "Zapis do modemu przerwano.\nModem potwierdził blok ustawień; bloku tekstów SMS nie "
                           "wysłano.\nModem może zawierać część nowej konfiguracji.\nKopia zapasowa jego poprzedniej "
                           "konfiguracji: ";
    const QList<QPair<const char *, int>> signalNames{ { "SIGINT", SIGINT }, { "SIGTERM", SIGTERM },
                                                       { "SIGHUP", SIGHUP } };
    for (const auto &[name, signal] : signalNames) {
        const auto row = [name = name](const char *phase) -> QTestData & {
            return QTest::addRow("write, %s, %s", phase, name);
        };
        row("connecting") << write << QStringList() << "do modemu i" << 1 << signal << 4 << nothingSent << "before";
        row("read before") << write << QStringList{ "--delay", "A=1500" } << "do modemu A" << 1 << signal << 4
                           << "Zapis do modemu przerwano.\nDo modemu nic nie wysłano.\n" << "before";
        row("settings block") << write << QStringList{ "--delay", "pb=1000" } << "do modemu pb" << 1 << signal << 4
                              << partly << "settings";
        row("pause before the SMS block") << write << QStringList() << "z modemu pb" << 1 << signal << 4 << partly
                                          << "settings";
        row("read-back") << write << QStringList{ "--delay", "A=1500" } << "do modemu A" << 2 << signal << 0
                         << "Przerwano: zapis zatrzyma się po bieżącej wymianie z modemem.\n" << "written";
    }
    const QString readStopped = ": Odczyt z modemu przerwano.\n";
    const QStringList slowRead{ "--delay", "A=1500" };
    QTest::newRow("read") << QStringList{ "read", "PORT", "-o", "out.kvl" } << slowRead << "do modemu A" << 1
                          << SIGINT << 4 << readStopped << "before";
    QTest::newRow("show") << QStringList{ "show", "PORT" } << slowRead << "do modemu A" << 1 << SIGHUP << 4
                          << readStopped << "before";
    QTest::newRow("diff") << QStringList{ "diff", "a.kvl", "PORT" } << slowRead << "do modemu A" << 1 << SIGTERM << 4
                          << readStopped << "before";
    QTest::newRow("report") << QStringList{ "report", "PORT", "-o", "out.html" } << slowRead << "do modemu A" << 1
                            << SIGINT << 4 << readStopped << "before";
    QTest::newRow("watch") << QStringList{ "watch", "PORT" } << QStringList() << "z modemu B" << 2 << SIGHUP << 0
                           << "Przerwano.\n" << "before";
    QTest::newRow("pin, connecting") << QStringList{ "pin", "PORT" } << QStringList() << "do modemu i" << 1 << SIGTERM
                                     << 4 << nothingSent << "before";
    // PORT auto: no further port is tried once stopped.
    QTest::newRow("write auto, finding") << QStringList{ "write", "auto", "a.kvl" } << QStringList() << "do modemu i"
                                         << 1 << SIGINT << 4 << nothingSent << "before";
    // Once the codes went, their answer is awaited and told.
    QTest::newRow("pin, codes sent") << QStringList{ "pin", "PORT" } << QStringList{ "--delay", "pa=1000" }
                                     << "do modemu pa" << 1 << SIGINT << 0 << QString() << "before";
}

// A stop signal at any phase of a port command: the message says what the
// module holds, with the documented code; the port is closed, its lock
// released and its line settings as before, so the next command opens it.
void TelvoroCliTest::signalsLeaveModuleAndPortAsTheMessageSays()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, emulator);
    QFETCH(QString, entry);
    QFETCH(int, occurrence);
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QString, holds);
    EmulatorProcess module(emulator);
    QVERIFY(module.isRunning());
    QCOMPARE(cli({ "read", "PORT", "-o", "before.kvl" }, module.portPath()).exitCode, 0);
    const QString settings = lineSettings(module.portPath());
    QVERIFY(!settings.isEmpty());
    QFile::remove("stopped.log");
    QStringList withPort = arguments;
    withPort.replaceInStrings(QRegularExpression(QStringLiteral("^PORT$")), module.portPath());
    if (arguments.contains(QLatin1String("auto")))
        qputenv("TX48_EXTRA_PORTS", QFile::encodeName(module.portPath()));
    QProcess command;
    command.start(QStringLiteral(TELVORO_CLI_PATH), withPort + QStringList{ "--log", "stopped.log" });
    qunsetenv("TX48_EXTRA_PORTS");
    command.write("4321\n87654321\n");
    command.closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(logEntries("stopped.log").count(entry) >= occurrence, 20000);
    ::kill(pid_t(command.processId()), signal);
    QVERIFY(command.waitForFinished(60000));
    QCOMPARE(command.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromUtf8(command.readAllStandardError());
    QCOMPARE(command.exitCode(), exitCode);
    QVERIFY2(err.contains(message) && (message.isEmpty() || err.section(message, -1).count('\n') <= 1),
             qPrintable(err));
    // Nothing begun after the signal but the read-back of blocks all sent.
    const QStringList sent = logEntries("stopped.log").filter(QStringLiteral("do modemu"));
    QCOMPARE(sent.count(QStringLiteral("do modemu pc")), holds == QLatin1String("written") ? 1 : 0);
    if (holds == QLatin1String("before") && arguments.first() == QLatin1String("write"))
        QCOMPARE(sent.count(QStringLiteral("do modemu pb")), 0);

    QCOMPARE(lineSettings(module.portPath()), settings);
    QCOMPARE(cli({ "read", "PORT", "-o", "after.kvl" }, module.portPath()).exitCode, 0);
    QByteArray expected = blocksOf(holds == QLatin1String("before") ? "before.kvl" : "a.kvl");
    if (holds == QLatin1String("settings"))
        expected.replace(SettingsBlockSize, SmsBlockSize, blocksOf("before.kvl").mid(SettingsBlockSize));
    QCOMPARE(blocksOf("after.kvl"), expected);
}

// The SMS block is not sent when the module holds it already; if the module
// then holds other texts (here: another module, the cable moved while the
// settings went), the read-back says so, naming the field.
void TelvoroCliTest::readBackComparesTheSmsBlockItSkipped()
{
    Configuration other = sampleConfiguration();
    other.setSmsText(1, QStringLiteral("Inny modem"));
    QVERIFY(ConfigurationFile::save("other.kvl", other));
    EmulatorProcess module({ "--config", "b.kvl", "--delay", "pb=1000", "--swap-file", "other.kvl" });
    QVERIFY(module.isRunning());
    QProcess write;
    write.start(QStringLiteral(TELVORO_CLI_PATH), { "write", module.portPath(), "a.kvl" });
    QTRY_VERIFY_WITH_TIMEOUT(!module.commands().filter(QRegularExpression("^70 62")).isEmpty(), 20000);
    QVERIFY(module.swapModule());
    QVERIFY(write.waitForFinished(60000));
    const QString err = QString::fromUtf8(write.readAllStandardError());
    QCOMPARE(write.exitCode(), 4);
    QVERIFY2(err.contains("Wysłano → w modemie:\nDefinicje nazw użytkownika → Sms-y\n  Status 2: Awaria\\npompy → "
                          "Inny modem\n"), qPrintable(err));
    QVERIFY(module.commands().filter(QRegularExpression("^70 63")).isEmpty());
}

void TelvoroCliTest::lostLineIsToldInPolishOnly_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("the program's words alone") << false;
    QTest::newRow("--verbose: Qt's and the developers' too") << true;
}

// The module's line hangs up during a watch: the user reads the program's
// Polish message, and the English lines of Qt and of its developers only
// when asking for them.
void TelvoroCliTest::lostLineIsToldInPolishOnly()
{
    QFETCH(bool, verbose);
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    QProcess watch;
    watch.start(QStringLiteral(TELVORO_CLI_PATH),
                QStringList{ "watch", module.portPath() } + (verbose ? QStringList{ "--verbose" } : QStringList()));
    QTRY_VERIFY_WITH_TIMEOUT(module.commands().contains(QStringLiteral("42")), 20000);
    module.stop();
    QVERIFY(watch.waitForFinished(60000));
    QCOMPARE(watch.exitCode(), 4);
    const QString err = QString::fromUtf8(watch.readAllStandardError());
    const QString told = "telvoro-cli: " + module.portPath() + ": Utracono połączenie z modemem.\n";
    if (verbose)
        QVERIFY2(err.endsWith(told) && err.contains(" is gone "), qPrintable(err));
    else
        QCOMPARE(err, told);
}

void TelvoroCliTest::exitCodes_data()
{
    QTest::addColumn<QStringList>("emulator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // part of standard output or error
    // The last command the module received; empty when it must receive none.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    // The blocks the module received ("70 62", "70 63"); -1 where any may go.
    QTest::addColumn<int>("blocks");
    // The user the program runs as: empty for this one's.
    QTest::addColumn<QString>("user");
    const auto row = [](const char *name, const QStringList &arguments, int exitCode, const QString &output,
                        const QString &command = QString(), const QStringList &emulator = QStringList(),
                        const QString &input = QString(), int blocks = -1, const QString &user = QString()) {
        QTest::newRow(name) << emulator << arguments << exitCode << output << command << input << blocks << user;
    };
    row("same configuration as .kvl and JSON", { "diff", "a.kvl", "a.json" }, 0, "Brak różnic.\n");
    row("a difference", { "diff", "a.kvl", "b.kvl" }, 1,
        "Definicje nazw użytkownika → Wyjścia\n  cyfrowe 1 (DO 1): — → Pompa\n");
    row("module against its file", { "diff", "PORT", "a.kvl" }, 0, "Brak różnic.", "41", { "--config", "a.kvl" });
    row("module's SIM codes left out", { "show", "PORT", "--json" }, 0,
        "\"simPin\": \"\",\n    \"simPuk\": \"\",\n", "41");
    row("codes in a .kvl's header never read", { "show", "codes.kvl", "--json" }, 0,
        "\"simPin\": \"\",\n    \"simPuk\": \"\",\n");
    row("missing file", { "diff", "a.kvl", "none.kvl" }, 3, "telvoro-cli: none.kvl: Nie można otworzyć pliku.\n");
    row("not a configuration", { "show", "junk.kvl" }, 3, "junk.kvl: Błąd podczas odczytywania pliku.");
    // Refused at once: opening a FIFO would wait for a writer, /dev/zero never ends.
    row("FIFO", { "diff", "fifo.kvl", "a.kvl" }, 3, "telvoro-cli: fifo.kvl: Nie można otworzyć pliku.\n");
    row("FIFO for the ranges", { "watch", "PORT", "--config", "fifo.kvl" }, 3, "fifo.kvl: Nie można otworzyć pliku.");
    row("device as JSON", { "import", "/dev/zero", "-o", "out.kvl" }, 3, "/dev/zero: Nie można otworzyć pliku.");
    row("folder", { "show", "folder.kvl" }, 3, "folder.kvl: Nie można otworzyć pliku.");
    row("JSON over 4 MiB", { "import", "big.json", "-o", "out.kvl" }, 3, "big.json: Nie można otworzyć pliku.");
    // The JSON reader's own test goes through every fault; this shows that
    // the place and the reason reach the user.
    row("JSON out of range", { "import", "range.json", "-o", "out.kvl" }, 3,
        "telvoro-cli: range.json: analogInputs[1].actions[3].time: wartość 70000 jest poza zakresem od 0 do 65535.");
    row("file in a missing folder", { "read", "PORT", "-o", "none/out.kvl" }, 3,
        "none/out.kvl: Nie można zapisać do pliku. Przyczyna: No such file or directory.\n", "41");
    row("over a device, never replacing it", { "export", "a.kvl", "-o", "/dev/null" }, 3,
        "/dev/null: Nie można zapisać do pliku. To nie jest zwykły plik.");
    // Why a connection failed, and the next step.
    row("missing port", { "read", "/dev/tx48-none", "-o", "out.kvl" }, 4,
        "/dev/tx48-none: Błąd połączenia z modemem: nie ma takiego portu. Podłącz modem i wybierz jego port z listy.\n");
    row("port of root only", { "read", "PORT", "-o", "out.kvl" }, 4,
        ": Błąd połączenia z modemem: brak uprawnień do portu (zwykle potrzebna jest grupa dialout). Dodaj "
        "użytkownika do tej grupy i zaloguj się ponownie.\n", QString(), {}, QString(), -1, "nobody");
    row("something else answers", { "read", "PORT", "-o", "out.kvl" }, 4,
        ": Błąd połączenia z modemem: na porcie odpowiada coś innego niż modem (7A 0D 0A). Sprawdź, czy wybrano "
        "port modemu i czy modem jest włączony.\n", "69", { "--fail", "wrong-answer" });
    row("not a serial port", { "read", "/dev/null", "-o", "out.kvl" }, 4,
        "/dev/null: Błąd połączenia z modemem: to nie jest port szeregowy.");
    row("the program's own terminal", { "read", "PORT", "-o", "out.kvl" }, 4,
        ": Błąd połączenia z modemem: to terminal, w którym działa ten program, a nie port modemu.", QString(), {},
        "PORT");
    row("silent module", { "read", "PORT", "-o", "out.kvl" }, 4,
        ": Błąd połączenia z modemem: port nie odpowiada. Sprawdź kabel i zasilanie modemu.\n", "69",
        { "--fail", "silent" });
    row("short image", { "show", "PORT" }, 4, ": Błąd podczas odczytywania z modemu.", "41",
        { "--fail", "short-image" });
    // Lists the changes and stops: the module is only read.
    row("write, dry run", { "write", "PORT", "a.kvl", "--dry-run" }, 0, "Status 2: — → Awaria\\npompy\n", "41", {},
        QString(), 0);
    row("only the SMS block stored changed", { "write", "PORT", "a.json" }, 4,
        "Wysłano → w modemie:\nDefinicje nazw użytkownika → Sms-y\n  Status 1: — → \\x01\n", "41",
        { "--fail", "sms-store-changed" }, QString(), 2);
    row("not read back with --no-verify", { "write", "PORT", "a.json", "--no-verify" }, 0,
        "Zapisano konfigurację w modemie.\n", "70 63", { "--fail", "store-changed" });
    // Arguments that could be SIM codes are never repeated.
    row("a code as a command", { "4321" }, 2, "telvoro-cli: nieznane polecenie „****”.\n");
    row("a code as an option", { "pin", "PORT", "--pin", "4321" }, 2, "Pomoc: telvoro-cli pin --help");
    row("a code as the port", { "pin", "87654321" }, 4,
        "telvoro-cli: ****: Błąd połączenia z modemem: nie ma takiego portu. Podłącz modem i wybierz jego port z "
        "listy.\n", QString(), {}, "1234\n");
    row("no output file", { "export", "a.kvl" }, 2, "brak opcji -o.");
    row("unknown command", { "restore" }, 2, "nieznane polecenie „restore”.");
    row("help of a command", { "diff", "--help" }, 0, "Kończy z kodem 1");
    row("report of an unknown form", { "report", "a.kvl", "-o", "out.kvl" }, 2,
        "-o: nazwa pliku musi kończyć się na .pdf albo .html.");
    row("report of a missing file", { "report", "none.kvl", "-o", "out.pdf" }, 3, "none.kvl: Nie można otworzyć");
    row("report into a missing folder", { "report", "PORT", "-o", "none/out.html" }, 3,
        "none/out.html: Nie można zapisać do pliku.", "41");
    // A table with a fault is refused whole before the port is opened.
    const QStringList series{ "series", "a.kvl", "TABLE", "PORT" };
    const auto seriesOf = [&series](const QString &table) { return QStringList(series).replaceInStrings("TABLE", table); };
    row("series, unknown column", seriesOf("unknown-column.csv"), 3,
        "unknown-column.csv: wiersz 1, kolumna „phones[8].number”: nieznany klucz.\n");
    row("series, a key no write sends", seriesOf("pin-column.csv"), 3,
        "wiersz 1, kolumna „simPin”: tego klucza seria nie zapisuje w modemie");
    row("series, value out of range", seriesOf("out-of-range.csv"), 3,
        "wiersz 2, kolumna „relayHoldSeconds”: wartość 70000 jest poza zakresem od 0 do 65535.\n");
    row("series, text too long", seriesOf("long-text.csv"), 3,
        "wiersz 2, kolumna „digitalOutputs[0].name”: tekst jest za długi: zajmuje 17 B, a pole mieści najwyżej 13 B");
    row("series, duplicate module", seriesOf("duplicate-name.csv"), 3,
        "wiersz 3, kolumna „Modem”: modem „A” jest już w wierszu 2.\n");
    row("series, short row", seriesOf("short-row.csv"), 3,
        "wiersz 3: liczba komórek wynosi 2, a powinna wynosić 4 (tyle, ile kolumn w nagłówku).\n");
    // Comma separated, LF; the module is awaited on the port instead of Enter.
    row("series waiting for the module", { "series", "a.kvl", "one.csv", "PORT", "--wait-for-module", "--report",
                                           "one-report.csv" }, 0, "Seria: zapisano i sprawdzono 1 z 1 modemu.\n", "41");
    row("series with a report in a missing folder",
        { "series", "a.kvl", "three.csv", "PORT", "--report", "none/report.csv" }, 3,
        "none/report.csv: Nie można zapisać do pliku.");
    row("series from an unknown module", { "series", "a.kvl", "three.csv", "PORT", "--from", "Z" }, 2,
        "--from: w tabeli nie ma modemu „Z”.");
    // A log that cannot be opened stops the command before the module is
    // asked; one that takes no more lets it end, then says so.
    row("log in a missing folder", { "read", "PORT", "-o", "out.kvl", "--log", "none/link.log" }, 3,
        "telvoro-cli: none/link.log: Nie można zapisać dziennika komunikacji (");
    // Refused without waiting for a reader, or writing to a device.
    row("log to a FIFO", { "show", "PORT", "--log", "fifo.kvl" }, 3,
        "telvoro-cli: fifo.kvl: Nie można zapisać dziennika komunikacji (to nie jest zwykły plik).\n");
    row("log to a device", { "show", "PORT", "--log", "/dev/full" }, 3,
        "telvoro-cli: /dev/full: Nie można zapisać dziennika komunikacji (to nie jest zwykły plik).\n");
    row("the same file in and out", { "export", "a.kvl", "-o", "./a.kvl" }, 2,
        "telvoro-cli: ./a.kvl: to ten sam plik, z którego czytana jest konfiguracja; nic nie zapisano.\n");
    row("a code typed into an option", { "pin", "PORT", "--pin4321" }, 2, "Pomoc: telvoro-cli pin --help");
    // PORT auto: the emulator's port is listed after a silent one; PORT in
    // the output stands for the emulator's port, SILENT for the other's.
    row("read auto", { "read", "auto", "-o", "found.kvl" }, 0,
        "telvoro-cli: auto: modem znaleziono na porcie PORT.\n", "41");
    row("auto without a module", { "show", "auto" }, 5,
        "telvoro-cli: auto: nie znaleziono modemu na żadnym porcie.\nSILENT: brak odpowiedzi.\n"
        "PORT: odpowiedziało inne urządzenie (7A 0D 0A).", "69", { "--fail", "wrong-answer" });
}

// Each outcome gives its documented exit code and message, and a failed
// read or import leaves the file it was to write as it was. A backup is
// kept exactly when the settings went out.
void TelvoroCliTest::exitCodes()
{
    QFETCH(QStringList, emulator);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(int, blocks);
    QFETCH(QString, user);
    if (!user.isEmpty() && ::geteuid() != 0)
        QSKIP("setpriv needs root to become another user");
    EmulatorProcess module(emulator);
    QVERIFY(module.isRunning());
    std::optional<EmulatorProcess> silent;
    if (arguments.contains(QLatin1String("auto"))) {
        silent.emplace(QStringList{ "--fail", "silent" });
        QVERIFY(silent->isRunning());
        qputenv("TX48_EXTRA_PORTS", QFile::encodeName(silent->portPath() + ':' + module.portPath()));
        output.replace("SILENT", silent->portPath()).replace("PORT", module.portPath());
    }
    const QString before = blocks == 0 ? cli({ "show", "PORT", "--json" }, module.portPath()).out : QString();
    QVERIFY(put("out.kvl", "old content"));
    const qsizetype backups = BackupStore().list().size();
    const QStringList asUser{ "setpriv", "--reuid=" + user, "--regid=nogroup", "--clear-groups" };
    const Run run = cli(arguments, module.portPath(), input, QString(), user.isEmpty() ? QStringList() : asUser);
    qunsetenv("TX48_EXTRA_PORTS");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(output), qPrintable(run.out + run.err));
    for (const QString &code : Codes)
        QVERIFY(!(run.out + run.err).contains(code));
    QCOMPARE(contents("out.kvl"), QByteArray("old content"));
    const QStringList received = module.commands();
    QVERIFY2(command.isEmpty() ? received.isEmpty() : received.last().startsWith(command),
             qPrintable(received.join('|')));
    // A backup for every write that sent its blocks.
    const qsizetype blocksReceived = received.filter(QRegularExpression(QStringLiteral("^70 6[23]"))).size();
    QCOMPARE(BackupStore().list().size(), backups + (blocksReceived > 0 ? 1 : 0));
    if (blocks != -1)
        QCOMPARE(blocksReceived, blocks);
    if (blocks == 0)
        QCOMPARE(cli({ "show", "PORT", "--json" }, module.portPath()).out, before);
}

// kvl → JSON → kvl gives the same bytes, texts of any bytes included, an
// erased module's too; what read -o writes as JSON, write takes.
void TelvoroCliTest::jsonRoundTripKeepsEveryByte()
{
    QRandomGenerator random(20241207);
    for (const QByteArray &image : { RandomImage::randomImage(random), QByteArray(ConfigurationImageSize, char(0xFF)) }) {
        Configuration configuration;
        configuration.fromImage(image);
        QVERIFY(ConfigurationFile::save("random.kvl", configuration));
        QCOMPARE(cli({ "export", "random.kvl", "-o", "random.json" }).exitCode, 0);
        QCOMPARE(cli({ "import", "random.json", "-o", "back.kvl" }).exitCode, 0);
        QCOMPARE(contents("back.kvl"), contents("random.kvl"));
    }
    EmulatorProcess module({ "--config", "random.kvl" });
    QVERIFY(module.isRunning());
    QCOMPARE(cli({ "read", "PORT", "-o", "erased.json" }, module.portPath()).exitCode, 0);
    const Run write = cli({ "write", "PORT", "erased.json" }, module.portPath());
    QCOMPARE(write.exitCode, 0);
    QVERIFY(write.out.startsWith(QStringLiteral("Brak zmian.\n")));
}

void TelvoroCliTest::watchShowsTheOnlineTabsValues_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("lines");
    // The emulator's first two answers: AI1 0 and 50, AI2 1000 and 950
    // thousandths; DI1 off, then on.
    const QString time = QStringLiteral("\\d\\d:\\d\\d:\\d\\d");
    QTest::newRow("raw") << QStringList{ "--count", "2" }
                         << QStringList{ time + "  AI 1: 0  AI 2: 1000  DI 1–6: 0 0 0 0 0 0",
                                         time + "  AI 1: 50  AI 2: 950  DI 1–6: 1 0 0 0 0 0" };
    const QString isoTime = QStringLiteral("\\d{4}-\\d\\d-\\d\\dT") + time + QStringLiteral("(Z|[+-]\\d\\d:\\d\\d)");
    QTest::newRow("CSV in the ranges of a file")
            << QStringList{ "--csv", "--count", "2", "--config", "a.json" }
            << QStringList{ "Czas,AI1,AI2,DI1,DI2,DI3,DI4,DI5,DI6", isoTime + ",0.00,25.0,0,0,0,0,0,0",
                            isoTime + ",0.50,23.8,1,0,0,0,0,0" };
}

void TelvoroCliTest::watchShowsTheOnlineTabsValues()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, lines);
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    const Run run = cli(QStringList{ "watch", "PORT" } + options, module.portPath());
    QCOMPARE(run.exitCode, 0);
    const QStringList shown = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(shown.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(QRegularExpression('^' + lines.at(i) + '$').match(shown.at(i)).hasMatch(), qPrintable(shown.at(i)));
}

// A full configuration fills a known number of A4 pages, each numbered, and
// holds what an installer hands over, but never the SIM's PIN and PUK.
void TelvoroCliTest::reportHoldsTheWholeConfigurationButTheSimCodes()
{
    const Configuration full = fullConfiguration();
    QVERIFY(configurationJsonText(full).contains("\"simPin\": \"8642\""));
    QVERIFY(put("full.json", configurationJsonText(full)));
    const Run pdf = cli({ "report", "full.json", "-o", "full.pdf" });
    QCOMPARE(pdf.exitCode, 0);
    QCOMPARE(cli({ "report", "full.json", "-o", "full.html" }).exitCode, 0);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { "full.pdf", "-" });
    QVERIFY2(pdftotext.waitForFinished() && pdftotext.exitCode() == 0, "pdftotext (poppler-utils) is needed");
    // Ligatures ("ﬁ") and line breaks as plain text.
    const QString pdfText = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                    .normalized(QString::NormalizationForm_KC).simplified();
    const QString html = QString::fromUtf8(contents("full.html"));
    for (const QString &text : { pdfText, html }) {
        QVERIFY(text.contains("Konfiguracja modemu TX48 – plik full.json"));
        for (const char *tab : { "Wejście / Wyjście", "Definicje nazw użytkownika", "Akumulator" })
            QVERIFY2(text.contains(QString::fromUtf8(tab)), tab);
        QVERIFY(text.contains(full.digitalOutputNames[5]));
        QVERIFY(text.contains(full.smsText(7).simplified()));
        QVERIFY(text.contains(full.phoneNumber(7)));
        QVERIFY(!text.contains(full.simPin) && !text.contains(full.simPuk));
    }
    QCOMPARE(pdfText.count("Strona "), 6);
    QVERIFY(pdfText.contains("Strona 6 z 6"));

    QXmlStreamReader reader(html);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}

void TelvoroCliTest::pinTakesCodesFromStandardInput_data()
{
    QTest::addColumn<QStringList>("emulator");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    // The module's PIN, PUK and PIN request afterwards (the emulator starts
    // with 1234, 12345678 and 0); "pa" is sent exactly when they change.
    QTest::addColumn<QByteArray>("header");
    const QByteArray factory("123412345678\0", 13);
    const QStringList noAcknowledgement{ "--fail", "no-pin-ack" };
    QTest::newRow("PIN, PUK and request on") << QStringList() << QByteArray("4321\n87654321\n")
                                             << QStringList{ "--request", "on" } << 0 << "Kod PIN, PUK zapisano.\n"
                                             << QByteArray("432187654321\2");
    QTest::newRow("PIN alone, request off") << QStringList() << QByteArray("4321\n") << QStringList{ "--request", "off" }
                                            << 0 << "Kod PIN, PUK zapisano.\n" << QByteArray("4321\0\0\0\0\0\0\0\0\1", 13);
    QTest::newRow("CR LF, empty PUK line") << QStringList() << QByteArray("4321\r\n\r\n") << QStringList() << 0
                                           << "Kod PIN, PUK zapisano.\n" << QByteArray("4321\0\0\0\0\0\0\0\0\0", 13);
    QTest::newRow("PIN not acknowledged") << noAcknowledgement << QByteArray("4321\n") << QStringList() << 4
                                          << ": Błąd podczas zapisu kodu PIN, PUK." << factory;
    QTest::newRow("PIN of 3 digits") << QStringList() << QByteArray("432\n87654321\n") << QStringList() << 2
                                     << "telvoro-cli: Błędny kod PIN.\n" << factory;
    QTest::newRow("PUK with a letter") << QStringList() << QByteArray("4321\n8765432x\n") << QStringList() << 2
                                       << "telvoro-cli: Błędny kod PUK.\n" << factory;
    QTest::newRow("nothing on the input") << QStringList() << QByteArray() << QStringList() << 2
                                          << "telvoro-cli: Błędny kod PIN.\n" << factory;
    QTest::newRow("no line end in sight") << QStringList() << QByteArray(1 << 20, '4') << QStringList() << 2
                                          << "telvoro-cli: Błędny kod PIN.\n" << factory;
}

// The codes come only from standard input, reach the module, and never
// show in the program's output or in the emulator's log.
void TelvoroCliTest::pinTakesCodesFromStandardInput()
{
    QFETCH(QStringList, emulator);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QByteArray, header);
    EmulatorProcess module(emulator);
    QVERIFY(module.isRunning());
    const Run run = cli(QStringList{ "pin", "PORT" } + options, module.portPath(), QString::fromLatin1(input));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(output), qPrintable(run.out + run.err));
    for (const QString &code : Codes)
        QVERIFY(!(run.out + run.err).contains(code));
    const QStringList received = module.commands();
    const bool sent = exitCode != 2;
    QCOMPARE(received.filter(QRegularExpression("^70 61 (\\*\\* ){12}0[0-2]$")).size(), sent ? 1 : 0);
    QCOMPARE(received.filter("70 61").size(), sent ? 1 : 0);
    // Without a "pa" the module's codes are as they were.
    if (!sent)
        return;
    Module reader;
    QVERIFY(reader.connectPort(module.portPath()));
    QCOMPARE(reader.readConfiguration().left(header.size()), header);
}

void TelvoroCliTest::outputThatFailsEndsWithCode3_data()
{
    QTest::addColumn<QStringList>("arguments");
    // The last command the module received; empty when it must receive none.
    QTest::addColumn<QString>("command");
    QTest::newRow("show") << QStringList{ "show", "a.kvl" } << QString();
    QTest::newRow("show --json") << QStringList{ "show", "a.kvl", "--json" } << QString();
    QTest::newRow("ports") << QStringList{ "ports" } << QString();
    QTest::newRow("help") << QStringList{ "--help" } << QString();
    QTest::newRow("watch") << QStringList{ "watch", "PORT", "--count", "3" } << "42";
    // What the write changes is not seen, so nothing is written.
    QTest::newRow("write") << QStringList{ "write", "PORT", "b.kvl" } << "41";
}

void TelvoroCliTest::outputThatFailsEndsWithCode3()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, command);
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    qputenv("TX48_EXTRA_PORTS", QFile::encodeName(module.portPath()));
    const Run run = cli(arguments, module.portPath(), QString(), QStringLiteral("/dev/full"));
    qunsetenv("TX48_EXTRA_PORTS");
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.err, QStringLiteral("telvoro-cli: Nie można zapisać na standardowe wyjście (No space left on device).\n"));
    const QStringList received = module.commands();
    QVERIFY2(command.isEmpty() ? received.isEmpty() : received.last() == command, qPrintable(received.join('|')));
}

// As under systemd, where SIGPIPE is ignored: "watch | head -n 1" ends once
// head has its line, and the port is free again.
void TelvoroCliTest::watchEndsWhenItsReaderGoes()
{
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    const Run run = cli({ "watch", "PORT" }, module.portPath(), QString(), QString(),
                        { "bash", "-c", "trap '' PIPE; \"$0\" \"$@\" | head -n 1; exit ${PIPESTATUS[0]}" });
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.out.count('\n'), 1);
    QCOMPARE(run.err, QStringLiteral("telvoro-cli: Nie można zapisać na standardowe wyjście (Broken pipe).\n"));
    QCOMPARE(cli({ "read", "PORT", "-o", "after.kvl" }, module.portPath()).exitCode, 0);
}

// Root passes a port's exclusive mode, so only the lock keeps a second
// program from writing into the first one's exchanges, or from clearing
// that mode.
void TelvoroCliTest::portInUseGetsNoByteFromASecondProgram()
{
    if (::geteuid() != 0)
        QSKIP("the exclusive mode keeps everyone but root out anyway");
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    QProcess first;
    first.start(QStringLiteral(TELVORO_CLI_PATH), { "watch", module.portPath() });
    QVERIFY(first.waitForReadyRead(10000));
    first.readAllStandardOutput();
    const qsizetype before = module.commands().size();

    const Run second = cli({ "read", "PORT", "-o", "second.kvl" }, module.portPath());
    QCOMPARE(second.exitCode, 4);
    // Named where the first one's serial port left its lock file.
    QVERIFY2(QRegularExpression(": Błąd połączenia z modemem: port jest zajęty przez inny program"
                                "(: telvoro-cli \\(PID \\d+\\))?\\. Zamknij ten program albo wybierz inny port\\.\n$")
                     .match(second.err).hasMatch(),
             qPrintable(second.err));
    QCOMPARE(module.commands().mid(before).filter(QRegularExpression("^(?!42$)")), QStringList());
    const int port = ::open(QFile::encodeName(module.portPath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 0;
    QVERIFY(port != -1 && ::ioctl(port, TIOCGEXCL, &exclusive) == 0);
    ::close(port);
    QCOMPARE(exclusive, 1);
    QVERIFY(first.waitForReadyRead(10000));
    QVERIFY(QString::fromUtf8(first.readAllStandardOutput()).contains("AI 1: "));
    first.kill();
    first.waitForFinished();
}

void TelvoroCliTest::savedFilesKeepModeAndOwner_data()
{
    QTest::addColumn<int>("oldMode"); // -1: no file yet
    QTest::addColumn<uint>("oldOwner");
    QTest::addColumn<int>("newMode");
    const mode_t umask = ::umask(0);
    ::umask(umask);
    QTest::newRow("new file: the umask's") << -1 << uint(::geteuid()) << int(0666 & ~umask);
    QTest::newRow("replaces a file of 0640") << 0640 << uint(::geteuid()) << 0640;
    if (::geteuid() == 0)
        QTest::newRow("replaces another user's file") << 0664 << 65534u << 0664;
}

void TelvoroCliTest::savedFilesKeepModeAndOwner()
{
    QFETCH(int, oldMode);
    QFETCH(uint, oldOwner);
    QFETCH(int, newMode);
    const QByteArray file("modes.json");
    QFile::remove(file);
    if (oldMode >= 0) {
        QVERIFY(put(file, "old") && ::chmod(file.constData(), mode_t(oldMode)) == 0);
        QVERIFY(::chown(file.constData(), uid_t(oldOwner), gid_t(-1)) == 0);
    }
    QCOMPARE(cli({ "export", "a.kvl", "-o", file }).exitCode, 0);
    struct stat status {};
    QVERIFY(::stat(file.constData(), &status) == 0);
    QCOMPARE(mode(file), newMode);
    QCOMPARE(uint(status.st_uid), oldOwner);
}

void TelvoroCliTest::failedSaveAsAUserLeavesTheOldFile_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QStringList>("limits");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder that takes no new file")
            << 0755 << QStringList()
            << "telvoro-cli: locked/cfg.json: Nie można zapisać do pliku. W tym folderze nie można tworzyć plików, a "
               "tylko przez nowy plik stary może być zastąpiony bez ryzyka. Należy zapisać plik w innym folderze.\n";
    QTest::newRow("file size limit") << 0777 << QStringList{ "prlimit", "--fsize=1000" }
                                     << "telvoro-cli: locked/cfg.json: Nie można zapisać do pliku. Przyczyna: File too "
                                        "large.\n";
}

// As a user without root's powers, with the old file writable to that user.
void TelvoroCliTest::failedSaveAsAUserLeavesTheOldFile()
{
    QFETCH(int, folderMode);
    QFETCH(QStringList, limits);
    QFETCH(QString, message);
    if (::geteuid() != 0)
        QSKIP("setpriv needs root to become another user");
    QDir("locked").removeRecursively();
    QVERIFY(QDir().mkdir("locked") && ::chmod("locked", mode_t(folderMode)) == 0);
    const QByteArray old = configurationJsonText(Configuration());
    QVERIFY(put("locked/cfg.json", old) && ::chmod("locked/cfg.json", 0666) == 0);
    const QStringList nobody{ "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups" };
    // The limit is set before the user changes: `setpriv` still reaches the
    // program where that user could not, as under root's own home folder.
    const Run run = cli({ "export", "b.kvl", "-o", "locked/cfg.json" }, QString(), QString(), QString(), limits + nobody);
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.err, message);
    QCOMPARE(contents("locked/cfg.json"), old);
    QCOMPARE(QDir("locked").entryList(QDir::Files), QStringList("cfg.json"));
}

// Two runs into one log: the second's lines follow the first's, the file is
// its owner's alone, and neither the codes typed nor those the module
// reports show in it.
void TelvoroCliTest::logAppendsAcrossRuns()
{
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    QCOMPARE(cli({ "read", "PORT", "-o", "logged.kvl", "--log", "link.log" }, module.portPath()).exitCode, 0);
    const QByteArray first = contents("link.log");
    QCOMPARE(mode("link.log"), 0600);
    QCOMPARE(cli({ "pin", "PORT", "--log", "link.log" }, module.portPath(), "4321\n87654321\n").exitCode, 0);
    const QByteArray both = contents("link.log");
    QVERIFY(both.startsWith(first) && both.endsWith('\n'));

    QStringList exchanges;
    for (const QString &line : QString::fromUtf8(both).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        QCOMPARE(fields.size(), 7);
        // The port test and the probe of each connection aside.
        if (fields.at(2) != QLatin1String("i"))
            exchanges << fields.at(1) + ' ' + fields.at(2) + ' ' + fields.at(5);
        for (const char *code : { "34 33 32 31", "38 37 36 35", "31 32 33 34" })
            QVERIFY(!fields.at(6).contains(code));
    }
    QCOMPARE(exchanges, QStringList({ "do modemu A wysłano", "z modemu A poprawna", "do modemu pa wysłano",
                                      "z modemu pa poprawna" }));
}

void TelvoroCliTest::runsAtTheEdges_data()
{
    QTest::addColumn<QString>("script"); // "$0" is telvoro-cli, "$1" the port
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // standard error, whole
    // Descriptors 0 to 2 closed: the port must not take one of their numbers.
    QTest::newRow("write with closed standard streams")
            << "exec \"$0\" write \"$1\" a.kvl <&- >&- 2>&-" << 0 << QString();
    QTest::newRow("watch with closed standard streams")
            << "exec \"$0\" watch \"$1\" --count 2 <&- >&- 2>&-" << 0 << QString();
    // Names are bytes: Qt would make U+FFFD of 0xFF and open another file.
    QTest::newRow("output name that is no UTF-8")
            << "\"$0\" export a.kvl -o $'\\xff.json'" << 2
            << "telvoro-cli: \\xFF.json: nazwy, która nie jest tekstem UTF-8, nie można użyć.\n";
    QTest::newRow("input name that is no UTF-8")
            << "\"$0\" show $'\\xff.kvl'" << 2
            << "telvoro-cli: \\xFF.kvl: nazwy, która nie jest tekstem UTF-8, nie można użyć.\n";
    QTest::newRow("emulator's log to a FIFO")
            << QStringLiteral("exec '%1' --log fifo.kvl").arg(TX48_EMULATOR_PATH) << 2
            << "tx48-emulator: cannot write the log fifo.kvl (to nie jest zwykły plik)\n";
    QTest::newRow("log past a file-size limit")
            << "prlimit --fsize=400 \"$0\" show \"$1\" --log limited.log >/dev/null" << 3
            << "telvoro-cli: limited.log: Nie można zapisać dziennika komunikacji (File too large).\n";
}

// Whatever the program prints goes nowhere near the module, which receives
// only the program's own commands and keeps its codes; no file but the one
// named is touched.
void TelvoroCliTest::runsAtTheEdges()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    const QString replacementName = QString::fromUtf8("\xEF\xBF\xBD.json");
    QVERIFY(put(replacementName, "keep"));
    // Qt cannot name this file; the system can.
    const QByteArray input = contents("a.kvl");
    const int raw = ::open("\xFF.kvl", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(raw != -1 && ::write(raw, input.constData(), size_t(input.size())) == input.size() && ::close(raw) == 0);
    QFile::remove("limited.log");
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    const Run run = cli({ "PORT" }, module.portPath(), QString(), QString(), { "bash", "-c", script });
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err, error);
    QCOMPARE(contents(replacementName), QByteArray("keep"));
    QVERIFY(::access("\xFF.json", F_OK) == -1);
    const QRegularExpression ownCommand("^(69|41|42|70 6[23]( [0-9A-F]{2})+)$");
    for (const QString &command : module.commands())
        QVERIFY2(ownCommand.match(command).hasMatch(), qPrintable(command));
    Module reader;
    QVERIFY(reader.connectPort(module.portPath()));
    QCOMPARE(reader.readConfiguration().left(12), QByteArray("123412345678"));
}

// A line that sends without end for the time of a few polls, as fast as the
// program reads: the program's memory and its log stay small, and the log
// shows how much came, never the digits.
void TelvoroCliTest::floodingLineStaysBounded()
{
    EmulatorProcess module({ "--fail", "flood" });
    QVERIFY(module.isRunning());
    QFile::remove("flood.log");
    const Run run = cli({ "watch", "PORT", "--count", "4", "--log", "flood.log" }, module.portPath());
    QCOMPARE(run.exitCode, 0);
    rusage children {};
    QVERIFY(::getrusage(RUSAGE_CHILDREN, &children) == 0);
    // The largest of the programs this test has run, in KiB. Under
    // AddressSanitizer every program takes some hundred MiB for itself, so
    // the bound is the plain build's.
#ifdef UNDER_ADDRESS_SANITIZER
    const long memoryBound = 1024 * 1024;
#else
    const long memoryBound = 100 * 1024;
#endif
    QVERIFY2(children.ru_maxrss < memoryBound, qPrintable(QString::number(children.ru_maxrss)));
    const QByteArray log = contents("flood.log");
    QVERIFY2(log.size() < 1024 * 1024, qPrintable(QString::number(log.size())));
    qint64 flooded = 0;
    for (const QByteArray &line : log.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 7 && fields.at(6).endsWith("\xE2\x80\xA6"))
            flooded = qMax(flooded, fields.at(3).toLongLong());
        QVERIFY(!QRegularExpression("3[0-9] 3[0-9]").match(QString::fromUtf8(line)).hasMatch());
    }
    QVERIFY2(flooded > 64 * 1024, qPrintable(QString::number(flooded)));
}

namespace {

// The modules of three.csv: the base a.kvl with each row's values.
QList<Configuration> threeModules()
{
    QList<Configuration> modules(3, sampleConfiguration());
    const QStringList names{ "Pompa 1", "Pompa 2", "Pompa \"C\"" };
    for (int i = 0; i < 3; ++i) {
        modules[i].setPhoneNumber(1, QStringLiteral("60010030%1").arg(i + 1));
        modules[i].digitalOutputNames[0] = names.at(i);
    }
    modules[0].secondModulePhone = QStringLiteral("600999001");
    modules[0].setSmsText(1, QStringLiteral("Awaria; pompa 1"));
    modules[0].errorReportPhones |= 0x02;
    modules[2].secondModulePhone = QStringLiteral("600999003");
    modules[2].setSmsText(1, QStringLiteral("Awaria C"));
    return modules;
}

// The lines of a series report after its header.
QList<QStringList> reportLines(const QString &path)
{
    QList<QStringList> lines;
    const QStringList text = QString::fromUtf8(contents(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < text.size(); ++i)
        lines.append(text.at(i).split(';'));
    return lines;
}

// A running series: its standard error as far as it came.
struct SeriesProcess
{
    QProcess process;
    QString err;

    bool prompted(const QString &module, int position)
    {
        err += QString::fromUtf8(process.readAllStandardError());
        return err.contains(QStringLiteral("Podłącz modem: %1 (%2 z 3), potem Enter\n").arg(module).arg(position));
    }
};

} // namespace

// Three modules on one port, the cable moved between them: each gets the
// base with its row, checked by reading it back, each has a backup in its
// name and a line in the report.
void TelvoroCliTest::seriesWritesEachModuleItsRow()
{
    const QList<Configuration> expected = threeModules();
    const QStringList names{ "Stacja Łęczna", "Stacja Puchaczów", "Stacja Cyców" };
    QVERIFY(ConfigurationFile::save("other.kvl", Configuration()));
    EmulatorProcess module({ "--swap-file", "other.kvl" });
    QVERIFY(module.isRunning());
    QFile::remove("three-report.csv");
    SeriesProcess series;
    series.process.start(QStringLiteral(TELVORO_CLI_PATH),
                         { "series", "a.kvl", "three.csv", module.portPath(), "--report", "three-report.csv" });
    for (int i = 0; i < 3; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(series.prompted(names.at(i), i + 1), 30000);
        if (i > 0) {
            QCOMPARE(cli({ "read", "PORT", "-o", "module.kvl" }, module.portPath()).exitCode, 0);
            QCOMPARE(contents("module.kvl"), ConfigurationFile::encode(expected.at(i - 1)));
            QVERIFY(module.swapModule());
        }
        series.process.write("\n");
    }
    QVERIFY(series.process.waitForFinished(60000));
    QCOMPARE(series.process.exitCode(), 0);
    QCOMPARE(cli({ "read", "PORT", "-o", "module.kvl" }, module.portPath()).exitCode, 0);
    QCOMPARE(contents("module.kvl"), ConfigurationFile::encode(expected.at(2)));
    QCOMPARE(QString::fromUtf8(series.process.readAllStandardOutput()).section('\n', -2, -2),
             QStringLiteral("Seria: zapisano i sprawdzono 3 z 3 modemów."));

    const QList<QStringList> lines = reportLines("three-report.csv");
    QCOMPARE(lines.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(lines[i].value(0), names.at(i));
        QVERIFY(QDateTime::fromString(lines[i].value(1), "yyyy-MM-dd HH:mm:ss").isValid());
        QCOMPARE(lines[i].value(2), QStringLiteral("zapisano i sprawdzono"));
        QVERIFY2(QFileInfo(lines[i].value(3)).fileName().endsWith("_" + QString(names.at(i)).replace(' ', '-') + ".kvl"),
                 qPrintable(lines[i].value(3)));
        // The fields the write changed: from the module before (its backup) to its row.
        const Configuration before = ConfigurationFile::load(lines[i].value(3)).configuration;
        QCOMPARE(lines[i].value(4).toInt(), configurationDifferences(before, expected.at(i), UserNames()).size());
    }
    // The first module held the factory configuration, the others the swapped-in one.
    QCOMPARE(ConfigurationFile::load(lines[1].value(3)).configuration.toImage(ImageSection::SettingsBlock),
             Configuration().toImage(ImageSection::SettingsBlock));
}

// A module that keeps other bytes than it was sent is reported, and the
// next module is still written.
void TelvoroCliTest::seriesGoesOnPastAModuleThatStoresDifferently()
{
    EmulatorProcess module({ "--fail", "store-changed" });
    QVERIFY(module.isRunning());
    QFile::remove("changed-report.csv");
    const Run run = cli({ "series", "a.kvl", "three.csv", "PORT", "--report", "changed-report.csv" },
                        module.portPath(), "\n\n\n");
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(module.commands().filter(QRegularExpression("^70 62")).size(), 3);
    const QList<QStringList> lines = reportLines("changed-report.csv");
    QCOMPARE(lines.size(), 3);
    for (const QStringList &line : lines)
        QCOMPARE(line.value(2), QStringLiteral("modem przechowuje co innego"));
    QVERIFY2(run.out.endsWith("Seria: zapisano i sprawdzono 0 z 3 modemów.\nNieudane:\n  Stacja Łęczna (wiersz 2)\n"
                              "  Stacja Puchaczów (wiersz 3)\n  Stacja Cyców (wiersz 4)\n"),
             qPrintable(run.out));
}

// Ctrl+C while the second module is awaited stops the series there, and the
// report says so; started again, the series skips the verified module.
void TelvoroCliTest::seriesStoppedResumesAtTheFirstRowNotVerified()
{
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    QFile::remove("resumed-report.csv");
    const QStringList arguments{ "series", "a.kvl", "three.csv", module.portPath(), "--report", "resumed-report.csv" };
    SeriesProcess series;
    series.process.start(QStringLiteral(TELVORO_CLI_PATH), arguments);
    QTRY_VERIFY_WITH_TIMEOUT(series.prompted("Stacja Łęczna", 1), 30000);
    series.process.write("\n");
    QTRY_VERIFY_WITH_TIMEOUT(series.prompted("Stacja Puchaczów", 2), 30000);
    const int blocksBefore = int(module.commands().filter(QRegularExpression("^70 62")).size());
    ::kill(pid_t(series.process.processId()), SIGINT);
    QVERIFY(series.process.waitForFinished(60000));
    QCOMPARE(series.process.exitCode(), 4);
    QCOMPARE(module.commands().filter(QRegularExpression("^70 62")).size(), blocksBefore);
    QList<QStringList> lines = reportLines("resumed-report.csv");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].mid(0, 1) + lines[1].mid(2, 1), QStringList({ "Stacja Puchaczów", "przerwano" }));
    QVERIFY(lines[1].value(5).contains("Do modemu nic nie wysłano."));

    const Run resumed = cli(arguments, module.portPath(), "\n\n");
    QCOMPARE(resumed.exitCode, 0);
    QVERIFY(resumed.err.contains("Pominięto: Stacja Łęczna"));
    QVERIFY(!resumed.err.contains("Podłącz modem: Stacja Łęczna"));
    QCOMPARE(module.commands().filter(QRegularExpression("^70 62")).size(), blocksBefore + 2);
    lines = reportLines("resumed-report.csv");
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[3].value(0), QStringLiteral("Stacja Cyców"));

    // --from starts at the row named; the rows before it are not written.
    const Run from = cli({ "series", "a.kvl", "three.csv", "PORT", "--report", "from-report.csv", "--from",
                           "Stacja Cyców" }, module.portPath(), "\n");
    QCOMPARE(from.exitCode, 4);
    QCOMPARE(reportLines("from-report.csv").size(), 1);
    QVERIFY(from.out.contains("Stacja Łęczna (wiersz 2, nie zapisano)"));
}

TELVORO_TEST_MAIN(TelvoroCliTest)
#include "tst_telvorocli.moc"
