#include "testmain.h"

#include <QProcess>

// The command line, answered by the real program before any window; Qt's
// own texts in its answers are Polish.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("display");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "[opcje] [plik.kvl]" << false;
    QTest::newRow("help among Qt options") << QStringList{"-style", "fusion", "-h"} << 0 << "Opcje:" << false;
    QTest::newRow("version") << QStringList{"-v"} << 0 << "Telvoro " TELVORO_VERSION "\n" << false;
    QTest::newRow("unknown option") << QStringList{"--kolor"} << 1 << "telvoro: Nieznana opcja \"kolor\".\n" << true;
    QTest::newRow("two files") << QStringList{"a.kvl", "b.kvl"} << 1 << "tylko jeden plik" << true;
    QTest::newRow("no display") << QStringList{} << 1 << "brak ekranu graficznego" << false;
    // Qt's English warning before the program's own words only when asked for.
    QTest::newRow("Qt's warning kept off") << QStringList{"-style", "none", "a.kvl", "b.kvl"} << 1
                                           << "tylko jeden plik" << true;
    QTest::newRow("Qt's warning with --verbose") << QStringList{"--verbose", "-style", "none", "a.kvl", "b.kvl"} << 1
                                                 << "invalid style override" << true;
}

// Answers must not need a display: none is given to them. Mistakes are
// found once the window's platform exists, here the off-screen one.
void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(bool, display);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TELVORO_PATH), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), exitCode);
    const QByteArray printed = exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
    QVERIFY2(QString::fromUtf8(printed).contains(output), printed.constData());
    if (exitCode != 0)
        QCOMPARE(printed.startsWith("telvoro: "), !arguments.contains(QStringLiteral("--verbose")));
}

TELVORO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
