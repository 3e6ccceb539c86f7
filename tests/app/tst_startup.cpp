#include "app/qttranslations.h"
#include "testmain.h"

#include <QDialogButtonBox>
#include <QProcess>
#include <QPushButton>

// What the program does before its window: the command line, answered by the
// real program, and Qt's own texts in Polish.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void qtStandardTextsArePolish();
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withDisplay");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    // Help and version must not need a display: none is given to them.
    QTest::newRow("help") << QStringList{"--help"} << false << 0 << "[opcje] [plik.kvl]";
    QTest::newRow("help among Qt options")
        << QStringList{"-style", "fusion", "-h"} << false << 0 << "Opcje:";
    QTest::newRow("version") << QStringList{"--version"} << false << 0
                             << "Telvoro " TELVORO_VERSION "\n";
    QTest::newRow("short version") << QStringList{"-v"} << false << 0
                                   << "Telvoro " TELVORO_VERSION "\n";
    QTest::newRow("unknown option") << QStringList{"--kolor"} << true << 1
                                    << "telvoro: Nieznana opcja \"kolor\".\n";
    QTest::newRow("two files") << QStringList{"a.kvl", "b.kvl"} << true << 1
                               << "Można podać tylko jeden plik konfiguracji.";
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withDisplay);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (withDisplay)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TELVORO_PATH), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QString printed = QString::fromUtf8(
        exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError());
    QVERIFY2(printed.contains(output), qPrintable(printed));
}

void TestStartup::qtStandardTextsArePolish()
{
    installQtTranslations(*qApp);
    QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Anuluj"));
    QCOMPARE(buttons.button(QDialogButtonBox::Open)->text(), QStringLiteral("Otwórz"));
}

TELVORO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
