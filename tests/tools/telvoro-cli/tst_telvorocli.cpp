#include "backup/backupstore.h"
#include "files/configurationfile.h"
#include "files/configurationjson.h"
#include "emulatorprocess.h"
#include "jsonedit.h"
#include "randomimage.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

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

} // namespace

// Every case runs in a folder of its own files; the program, like the test,
// keeps its backups in the test's data folder, never in the user's.
class TelvoroCliTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readThenWriteRoundTrip();
    void exitCodes_data();
    void exitCodes();
    void writeStopsWithoutABackup();
    void jsonRoundTripKeepsEveryByte();
    void watchShowsTheOnlineTabsValues_data();
    void watchShowsTheOnlineTabsValues();

private:
    Run cli(const QStringList &arguments, const QString &port = QString());

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
}

// The program as a script runs it; PORT in the arguments stands for the port.
Run TelvoroCliTest::cli(const QStringList &arguments, const QString &port)
{
    QStringList withPort = arguments;
    withPort.replaceInStrings(QRegularExpression(QStringLiteral("^PORT$")), port);
    QProcess process;
    process.start(QStringLiteral(TELVORO_CLI_PATH), withPort);
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
    QCOMPARE(target.commands().mid(3), QStringList({ "69", "69", "41", settings, sms }));
    const QList<BackupStore::Backup> backups = BackupStore().list();
    QCOMPARE(backups.size(), 1);
    QVERIFY(first.out.contains("Kopia zapasowa: " + backups.first().path + '\n'));
    QCOMPARE(contents(backups.first().path), contents("factory.kvl"));

    const Run again = cli({ "write", "PORT", "backup.kvl" }, target.portPath());
    QCOMPARE(again.out.section('\n', 0, 0), QStringLiteral("Brak zmian."));
    QCOMPARE(target.commands().mid(8), QStringList({ "69", "69", "41", settings }));
    QCOMPARE(BackupStore().list().size(), 2);

    QCOMPARE(cli({ "read", "PORT", "-o", "back.kvl" }, target.portPath()).exitCode, 0);
    QCOMPARE(contents("back.kvl"), contents("a.kvl"));
}

// Where no copy can be kept, nothing is sent.
void TelvoroCliTest::writeStopsWithoutABackup()
{
    EmulatorProcess module;
    QVERIFY(module.isRunning());
    const QString backups = BackupStore::defaultFolder();
    QDir(backups).removeRecursively();
    QVERIFY(QDir().mkpath(QFileInfo(backups).path()) && put(backups, "a file where the folder goes"));
    const Run run = cli({ "write", "PORT", "a.kvl" }, module.portPath());
    QFile::remove(backups);
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.contains("Nie można utworzyć folderu kopii zapasowych. Nic nie wysłano"), qPrintable(run.err));
    QCOMPARE(module.commands().last(), QStringLiteral("41"));
}

void TelvoroCliTest::exitCodes_data()
{
    QTest::addColumn<QStringList>("emulator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // part of standard output or error
    // The last command the module received; empty when it must receive none.
    QTest::addColumn<QString>("command");
    const auto row = [](const char *name, const QStringList &arguments, int exitCode, const QString &output,
                        const QString &command = QString(), const QStringList &emulator = QStringList()) {
        QTest::newRow(name) << emulator << arguments << exitCode << output << command;
    };
    row("same configuration as .kvl and JSON", { "diff", "a.kvl", "a.json" }, 0, "Brak różnic.\n");
    row("a difference", { "diff", "a.kvl", "b.kvl" }, 1,
        "Definicje nazw użytkownika → Wyjścia\n  cyfrowe 1 (DO 1): — → Pompa\n");
    row("module against its file", { "diff", "PORT", "a.kvl" }, 0, "Brak różnic.", "41", { "--config", "a.kvl" });
    row("module's SIM codes left out", { "show", "PORT", "--json" }, 0,
        "\"simPin\": \"\",\n    \"simPuk\": \"\",\n", "41");
    row("missing file", { "diff", "a.kvl", "none.kvl" }, 3, "telvoro-cli: none.kvl: Nie można otworzyć pliku.\n");
    row("not a configuration", { "show", "junk.kvl" }, 3, "junk.kvl: Błąd podczas odczytywania pliku.");
    // The JSON reader's own test goes through every fault; this shows that
    // the place and the reason reach the user.
    row("JSON out of range", { "import", "range.json", "-o", "out.kvl" }, 3,
        "telvoro-cli: range.json: analogInputs[1].actions[3].time: wartość 70000 jest poza zakresem od 0 do 65535.");
    row("file in a missing folder", { "read", "PORT", "-o", "none/out.kvl" }, 3,
        "none/out.kvl: Nie można zapisać do pliku.", "41");
    row("missing port", { "read", "/dev/tx48-none", "-o", "out.kvl" }, 4,
        "/dev/tx48-none: Błąd połączenia z modemem: nie ma takiego portu.");
    row("silent module", { "read", "PORT", "-o", "out.kvl" }, 4, ": Błąd połączenia z modemem.\n", "69",
        { "--fail", "silent" });
    row("short image", { "show", "PORT" }, 4, ": Błąd podczas odczytywania z modemu.", "41",
        { "--fail", "short-image" });
    row("settings not acknowledged", { "write", "PORT", "a.json" }, 4, ": Błąd podczas zapisu do modemu.", "70 62",
        { "--fail", "no-settings-ack" });
    row("PIN not acknowledged", { "pin", "PORT", "--pin", "1234" }, 4, ": Błąd podczas zapisu kodu PIN, PUK.", "70 61",
        { "--fail", "no-pin-ack" });
    row("PIN, PUK and request on", { "pin", "PORT", "--pin", "4321", "--puk", "87654321", "--request", "on" }, 0,
        "Kod PIN, PUK zapisano.\n", "70 61 34 33 32 31 38 37 36 35 34 33 32 31 02");
    row("PIN alone, request off", { "pin", "PORT", "--pin", "4321", "--request", "off" }, 0,
        "Kod PIN, PUK zapisano.\n", "70 61 34 33 32 31 00 00 00 00 00 00 00 00 01");
    row("PIN of 3 digits", { "pin", "PORT", "--pin", "123" }, 2, "telvoro-cli: Błędny kod PIN.\n");
    row("PUK with a letter", { "pin", "PORT", "--pin", "1234", "--puk", "1234567x" }, 2,
        "telvoro-cli: Błędny kod PUK.\n");
    row("no output file", { "export", "a.kvl" }, 2, "brak opcji -o.");
    row("unknown command", { "restore" }, 2, "nieznane polecenie „restore”.");
    row("help of a command", { "diff", "--help" }, 0, "Kończy z kodem 1");
}

// Each outcome gives its documented exit code and message, and a failed
// read or import leaves the file it was to write as it was.
void TelvoroCliTest::exitCodes()
{
    QFETCH(QStringList, emulator);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, command);
    EmulatorProcess module(emulator);
    QVERIFY(module.isRunning());
    QVERIFY(put("out.kvl", "old content"));
    const Run run = cli(arguments, module.portPath());
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(output), qPrintable(run.out + run.err));
    QCOMPARE(contents("out.kvl"), QByteArray("old content"));
    const QStringList received = module.commands();
    QVERIFY2(command.isEmpty() ? received.isEmpty() : received.last().startsWith(command),
             qPrintable(received.join('|')));
}

// kvl → JSON → kvl gives the same bytes, texts of any bytes included.
void TelvoroCliTest::jsonRoundTripKeepsEveryByte()
{
    QRandomGenerator random(20241207);
    Configuration configuration;
    configuration.fromImage(RandomImage::randomImage(random));
    // As the window and the module keep it; other bytes are refused.
    configuration.serverPort = QStringLiteral("8080");
    QVERIFY(ConfigurationFile::save("random.kvl", configuration));
    QCOMPARE(cli({ "export", "random.kvl", "-o", "random.json" }).exitCode, 0);
    QCOMPARE(cli({ "import", "random.json", "-o", "back.kvl" }).exitCode, 0);
    QCOMPARE(contents("back.kvl"), contents("random.kvl"));
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

TELVORO_TEST_MAIN(TelvoroCliTest)
#include "tst_telvorocli.moc"
