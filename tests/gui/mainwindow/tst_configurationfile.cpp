#include "mainwindow/mainwindow.h"
#include "configuration/configuration.h"
#include "files/configurationfile.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "windowdriver.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QProcess>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using WindowDriver::action;

namespace {
// Set for a copy of this test that saves into the folder it names.
constexpr char SaveFolderVariable[] = "TELVORO_SAVE_FOLDER";
constexpr int CannotMount = 77;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray lengthField(quint32 length)
{
    return QByteArray::fromHex(QByteArray::number(length, 16).rightJustified(8, '0'));
}

int currentPage(MainWindow &window)
{
    return window.findChild<QStackedWidget *>("mainStackedWidget")->currentIndex();
}
}

class TestConfigurationFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void savedFileOpensAgainAsSaved();
    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void unreadableFile();
    void comparisonShowsLongValuesWhole();
    void namesOfNoFileAreRefusedAtOnce_data();
    void namesOfNoFileAreRefusedAtOnce();
    void everyBoundWidgetCountsAsAChange_data();
    void everyBoundWidgetCountsAsAChange();
    void answersToTheChangesBox_data();
    void answersToTheChangesBox();
    void saveIsWholeOrNothing_data();
    void saveIsWholeOrNothing();
    void newAndOpenWithChangesAskFirst();
    void recentFilesAndTheirFolder();
    void pdfOfTheFormNamesTheFileAndItsChanges();

private:
    QString path(const QString &name) const { return folder.filePath(name); }
    QString savedDefaultFile();

    QTemporaryDir folder;
};

void TestConfigurationFile::init()
{
    QSettings().clear();
}

QString TestConfigurationFile::savedDefaultFile()
{
    const QString file = path(QStringLiteral("default.kvl"));
    return ConfigurationFile::save(file, Configuration()) ? file : QString();
}

// Saved under a name typed without the extension, as users do, then opened
// again with bytes after its image. The SIM's PIN and PUK never reach the file.
void TestConfigurationFile::savedFileOpensAgainAsSaved()
{
    MainWindow window;
    WindowDriver::newConfiguration(window);
    WindowDriver::retype(window.findChild<QLineEdit *>("weWyHisterezaLineEdit"), QStringLiteral("42"));
    window.configuration->simPin = QStringLiteral("1234");
    window.configuration->simPuk = QStringLiteral("87654321");
    DialogAnswerer answerer;
    answerer.expectFile(path(QStringLiteral("plain")));
    action(window, "actionZapis_do_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.constFirst().title, QStringLiteral("Zapisz plik"));
    const QString file = path(QStringLiteral("plain.kvl"));
    Configuration saved;
    saved.hysteresis = 42;
    QCOMPARE(fileBytes(file), lengthField(1968) + saved.toImage(ImageSection::Full));
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro[*]"));
    QVERIFY(!window.isWindowModified());
    action(window, "actionZamknij_konfiguracj")->trigger();
    QCOMPARE(currentPage(window), 0);
    QVERIFY(!window.configuration);

    writeFile(file, fileBytes(file) + "trailing");
    answerer.expectFile(file);
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(*window.configuration, saved);
    QCOMPARE(window.configurationSource, 1);
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro (%1)[*]").arg(file));
    QVERIFY(!window.isWindowModified());
    QCOMPARE(currentPage(window), 1);

    action(window, "actionZamknij_konfiguracj")->trigger();
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro"));
    QVERIFY(answerer.unexpected.isEmpty());
}

void TestConfigurationFile::badFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray image = Configuration().toImage(ImageSection::Full);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("length field only") << lengthField(1968);
    QTest::newRow("one byte short") << lengthField(1968) + image.left(1967);
    QTest::newRow("length 1967") << lengthField(1967) + image;
    QTest::newRow("length 1969") << lengthField(1969) + image + QByteArray(1, '\0');
    QTest::newRow("huge length") << lengthField(0xFFFFFFF0u) + image;
}

void TestConfigurationFile::badFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    const QString file = path(QStringLiteral("bad.kvl"));
    writeFile(file, bytes);
    MainWindow window;
    DialogAnswerer answerer;
    answerer.expectFile(file);
    answerer.expectMessageBox();
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(1).title, QStringLiteral("Odczyt pliku"));
    QCOMPARE(answerer.seen.at(1).text, QStringLiteral("Błąd podczas odczytywania pliku."));
    QCOMPARE(answerer.seen.at(1).details, "Plik: " + file);
    QVERIFY(!window.configuration);
    QCOMPARE(currentPage(window), 0);

    // A configuration with edits stays open, edits and all, though the user
    // chose to lose them for the file.
    WindowDriver::newChangedConfiguration(window, QStringLiteral("akuPrzekZalCheckBox"));
    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    answerer.expectFile(file);
    answerer.expectMessageBox();
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(4).text, QStringLiteral("Błąd podczas odczytywania pliku."));
    QVERIFY(window.configuration->relaysOn());
    QVERIFY(window.isWindowModified());
    QCOMPARE(currentPage(window), 1);

    // Compared with the open configuration, the file is refused alike.
    answerer.expectFile(file);
    answerer.expectMessageBox();
    action(window, "actionPorownaj_z_plikiem")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(6).text, QStringLiteral("Błąd podczas odczytywania pliku."));
    QCOMPARE(answerer.seen.at(6).details, "Plik: " + file);
}

void TestConfigurationFile::unreadableFile()
{
    const QString file = savedDefaultFile();
    MainWindow window;
    DialogAnswerer answerer;
    // The file disappears between the choice and the reading.
    answerer.expect([file](QWidget *dialog) {
        auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
        fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
        QMetaObject::invokeMethod(fileDialog, "accept");
        QFile::remove(file);
    });
    answerer.expectMessageBox();
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(1).title, QStringLiteral("Otwórz plik"));
    QCOMPARE(answerer.seen.at(1).text, QStringLiteral("Nie można otworzyć pliku."));
    QCOMPARE(answerer.seen.at(1).details, "Plik: " + file);
    QVERIFY(!window.configuration);
}

// A column of short values leaves the width to the other; a long value
// ends in "…" and its tool tip holds it whole. The list opens again at the
// size it was left.
void TestConfigurationFile::comparisonShowsLongValuesWhole()
{
    Configuration other;
    const QString longText = QStringLiteral("Awaria pompy w przepompowni numer 3, ") + QString(100, u'x');
    other.setSmsText(0, longText);
    const QString file = path(QStringLiteral("other.kvl"));
    QVERIFY(ConfigurationFile::save(file, other));
    MainWindow window;
    WindowDriver::newConfiguration(window);
    DialogAnswerer answerer;
    QStringList shown;
    for (const QSize &newSize : {QSize(600, 380), QSize(640, 400)}) {
        answerer.expectFile(file);
        answerer.expect([&shown, newSize](QWidget *dialog) {
            auto *tree = dialog->findChild<QTreeWidget *>(QStringLiteral("zmianyTreeWidget"));
            const int before = tree->columnWidth(1);
            const int after = tree->viewport()->width() - tree->columnWidth(0) - tree->columnWidth(2) - before;
            shown << QStringLiteral("%1x%2 %3 %4 %5").arg(dialog->width()).arg(dialog->height())
                             .arg(before < after / 2 && after == tree->columnWidth(3))
                             .arg(tree->textElideMode() == Qt::ElideRight)
                             .arg(tree->topLevelItem(0)->child(0)->toolTip(3));
            dialog->resize(newSize);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        action(window, "actionPorownaj_z_plikiem")->trigger();
        QVERIFY(answerer.waitAllAnswered());
    }
    QCOMPARE(shown.value(0).section(' ', 1), "1 1 " + longText);
    QCOMPARE(shown.value(1).section(' ', 0, 0), QStringLiteral("600x380"));
}

void TestConfigurationFile::namesOfNoFileAreRefusedAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("FIFO") << QStringLiteral("fifo.kvl");
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
}

// As named at start-up: a FIFO would freeze the window before it shows,
// waiting for a writer.
void TestConfigurationFile::namesOfNoFileAreRefusedAtOnce()
{
    QFETCH(QString, name);
    const QString file = name.startsWith('/') ? name : path(name);
    if (name == QLatin1String("fifo.kvl") && !QFileInfo::exists(file))
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    MainWindow window;
    DialogAnswerer answerer;
    answerer.expectMessageBox();
    window.openConfigurationFile(file);
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(0).title, QStringLiteral("Otwórz plik"));
    QCOMPARE(answerer.seen.at(0).text, QStringLiteral("Nie można otworzyć pliku."));
    QVERIFY(!window.configuration);
}

void TestConfigurationFile::everyBoundWidgetCountsAsAChange_data()
{
    QTest::addColumn<QString>("widget");
    for (const char *name :
         {"weWyFiltrCyAnLineEdit", "weWyFiltrCyAnLineEdit_2", "weWyFiltrCyDiLineEdit",
          "weWyFiltrCyDiLineEdit_2", "weWyFiltrCyDiLineEdit_3", "weWyFiltrCyDiLineEdit_4",
          "weWyFiltrCyDiLineEdit_5", "weWyFiltrCyDiLineEdit_6", "weWyPoUrDO1ZalRadioButton",
          "weWyPoUrDO6ZalRadioButton", "weWyPoUrCzMinSpinBox", "weWyPoUrCzSekSpinBox",
          "weWyPoUrCzMinSpinBox_6", "weWyPoUrCzSekSpinBox_6", "weWyWeAn1ZakresLineEdit",
          "weWyWeAn2ZakresLineEdit", "weWyWeAn1Set2RadioButton", "weWyWeAn1Set4RadioButton",
          "weWyWeAn2Set3RadioButton", "weWyHisterezaLineEdit", "akuAkuLoadComboBox",
          "akuTelCheckBox_1", "akuTelCheckBox_8", "akuMinSpinBox", "akuSekSpinBox",
          "akuPrzekZalCheckBox", "akuAktWejCheckBox"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestConfigurationFile::everyBoundWidgetCountsAsAChange()
{
    QFETCH(QString, widget);
    MainWindow window;
    WindowDriver::newChangedConfiguration(window, widget);
    QTRY_VERIFY(window.isWindowModified());
    DialogAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    action(window, "actionZamknij_konfiguracj")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QVERIFY(!window.isWindowModified());
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro"));
    QCOMPARE(answerer.seen.constFirst().title, QStringLiteral("Zmiany"));
    QCOMPARE(answerer.seen.constFirst().text, QStringLiteral("W programie zostały wprowadzone zmiany."));
    QVERIFY(!window.configuration);
}

void TestConfigurationFile::answersToTheChangesBox_data()
{
    QTest::addColumn<QString>("answer");
    // After "Zapisz", the file chosen; none when the file dialog is cancelled.
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("closed");
    QTest::newRow("discard") << QStringLiteral("Porzuć zmiany") << QString() << true;
    QTest::newRow("save, file chosen") << QStringLiteral("Zapisz") << "answered.kvl" << true;
    QTest::newRow("save, file dialog cancelled") << QStringLiteral("Zapisz") << QString() << false;
    QTest::newRow("save, folder missing") << QStringLiteral("Zapisz") << "missing-folder/x.kvl" << false;
    QTest::newRow("cancel") << QStringLiteral("Anuluj") << QString() << false;
    QTest::newRow("escape") << QString() << QString() << false;
}

void TestConfigurationFile::answersToTheChangesBox()
{
    QFETCH(QString, answer);
    QFETCH(QString, file);
    QFETCH(bool, closed);
    MainWindow window;
    window.show();
    WindowDriver::newConfiguration(window);
    auto *outputs = window.findChild<QTableWidget *>("weWyWyjsciaTableWidget");
    WindowDriver::editCell(outputs, 0, 2, QStringLiteral("Pompa"));

    DialogAnswerer answerer;
    if (answer.isEmpty())
        answerer.expectEscape();
    else
        answerer.expectMessageBox(answer);
    if (answer == QLatin1String("Zapisz"))
        file.isEmpty() ? answerer.expectFileCancel() : answerer.expectFile(path(file));
    const bool saveFails = !file.isEmpty() && !closed;
    if (saveFails)
        answerer.expectMessageBox();
    const bool saved = !file.isEmpty() && closed;
    if (saved)
        QFile::remove(path(file));
    action(window, "actionZamknij_konfiguracj")->trigger();
    QVERIFY(answerer.waitAllAnswered());

    QCOMPARE(!window.configuration, closed);
    QCOMPARE(currentPage(window), closed ? 0 : 1);
    if (!closed) {
        QCOMPARE(outputs->item(0, 2)->text(), QStringLiteral("Pompa"));
        QVERIFY(window.isWindowModified());
    }
    if (saveFails) {
        QCOMPARE(answerer.seen.at(2).title, QStringLiteral("Zapisz plik"));
        QCOMPARE(answerer.seen.at(2).text, QStringLiteral("Nie można zapisać do pliku."));
        QCOMPARE(answerer.seen.at(2).details, "Plik: " + path(file) + "\n\nPrzyczyna: No such file or directory.");
    }
    QCOMPARE(!file.isEmpty() && QFile::exists(path(file)), saved);
    if (saved) {
        Configuration reopened;
        reopened.fromImage(fileBytes(path(file)).mid(4));
        QCOMPARE(reopened.digitalOutputNames.value(0), QStringLiteral("Pompa"));
    }
}

void TestConfigurationFile::saveIsWholeOrNothing_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("full file system") << false;
    QTest::newRow("file size limit") << false;
    // Written over, the old file would be cut short on a full disk.
    QTest::newRow("folder without write permission") << false;
}

// Each case runs in a copy of this test started in changed surroundings: a
// private 16 KiB tmpfs, a file-size limit, or a folder where no file can be
// created (root loses its power to override that).
void TestConfigurationFile::saveIsWholeOrNothing()
{
    QFETCH(bool, saved);
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QByteArray old = ConfigurationFile::encode(Configuration());
    if (qEnvironmentVariableIsSet(SaveFolderVariable)) {
        const QDir folder(qEnvironmentVariable(SaveFolderVariable));
        const QString file = folder.filePath(QStringLiteral("config.kvl"));
        if (!QFile::exists(file))
            writeFile(file, old);
        if (tag == QLatin1String("full file system")) {
            QFile filler(folder.filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush()) {
            }
        } else if (tag == QLatin1String("file size limit")) {
            // Not ignored here: prepareApplication() must keep the signal the
            // limit raises from ending the program.
            const rlimit limit{1000, 1000};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        Configuration changed;
        changed.hysteresis = 99;
        QCOMPARE(ConfigurationFile::save(file, changed), saved);
        QCOMPARE(fileBytes(file), saved ? ConfigurationFile::encode(changed) : old);
        return;
    }

    QTemporaryDir folder;
    QProcess copy;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(SaveFolderVariable), folder.path());
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    const QByteArray mountPoint = folder.path().toLocal8Bit();
    if (tag == QLatin1String("full file system")) {
        if (geteuid() != 0)
            QSKIP("mounting a private tmpfs needs root");
        copy.setChildProcessModifier([mountPoint] {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") != 0)
                _exit(CannotMount);
        });
    } else if (tag == QLatin1String("folder without write permission")) {
        writeFile(folder.filePath(QStringLiteral("config.kvl")), old);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        copy.setChildProcessModifier([] { prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0); });
    }
    copy.start(QCoreApplication::applicationFilePath(), {QStringLiteral("saveIsWholeOrNothing:") + tag});
    const bool finished = copy.waitForFinished(60000);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(finished);
    if (copy.exitCode() == CannotMount)
        QSKIP("no private tmpfs could be mounted here");
    QVERIFY2(copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0, copy.readAll().constData());
}

void TestConfigurationFile::newAndOpenWithChangesAskFirst()
{
    MainWindow window;
    WindowDriver::newChangedConfiguration(window, QStringLiteral("akuPrzekZalCheckBox"));
    DialogAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Anuluj"));
    WindowDriver::newConfiguration(window);
    QVERIFY(answerer.waitAllAnswered());
    QVERIFY(window.configuration->relaysOn());

    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    WindowDriver::newConfiguration(window);
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(*window.configuration, Configuration());
    QCOMPARE(window.configurationSource, 0);

    // Until a file has been read, the open configuration stays.
    WindowDriver::change(window, QStringLiteral("akuPrzekZalCheckBox"));
    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    answerer.expectFileCancel();
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.at(2).title, QStringLiteral("Zmiany"));
    QCOMPARE(answerer.seen.at(3).title, QStringLiteral("Wybierz plik"));
    QVERIFY(window.configuration->relaysOn());
    QCOMPARE(currentPage(window), 1);
}

// Files opened (here as named on the command line) or saved enter "Plik",
// newest first; one chosen there opens as "Odczytaj z pliku" opens it.
void TestConfigurationFile::recentFilesAndTheirFolder()
{
    MainWindow window;
    window.show();
    QStringList files;
    for (int i = 0; i < 6; ++i) {
        files << path(QStringLiteral("recent & %1.kvl").arg(i));
        QFile::remove(files.last());
        QVERIFY(QFile::copy(savedDefaultFile(), files.last()));
        window.openConfigurationFile(files.last());
    }
    const auto recent = [&window](int n) {
        return action(window, qPrintable(QStringLiteral("actionOstatni_plik_%1").arg(n)));
    };
    QCOMPARE(recent(1)->text(), QStringLiteral("&1 recent && 5.kvl"));
    QCOMPARE(recent(5)->statusTip(), files[1]);

    WindowDriver::change(window, QStringLiteral("akuPrzekZalCheckBox"));
    DialogAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Porzuć zmiany"));
    recent(3)->trigger();
    QFile::remove(files[5]);
    answerer.expectMessageBox();
    recent(2)->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(answerer.seen.last().text,
             QStringLiteral("Plik %1 nie istnieje. Usunięto go z listy ostatnio używanych plików.").arg(files[5]));
    QCOMPARE(window.windowTitle(), QStringLiteral("Telvoro (%1)[*]").arg(files[3]));
    QCOMPARE(recent(2)->statusTip(), files[4]);
    QVERIFY(!recent(5)->isVisible());

    answerer.expect([this](QWidget *dialog) {
        QCOMPARE(qobject_cast<QFileDialog *>(dialog)->directory().absolutePath(), folder.path());
        qobject_cast<QFileDialog *>(dialog)->reject();
    });
    action(window, "actionOdczyt_z_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
    QVERIFY(answerer.unexpected.isEmpty());
}

// The PDF shows the form as it is, unsaved edits included, and says so; it
// is made under the file's name in the file's folder.
void TestConfigurationFile::pdfOfTheFormNamesTheFileAndItsChanges()
{
    const QString file = savedDefaultFile();
    MainWindow window;
    window.openConfigurationFile(file);
    WindowDriver::retype(window.findChild<QLineEdit *>("weWyHisterezaLineEdit"), QStringLiteral("42"));
    DialogAnswerer answerer;
    answerer.expect([this](QWidget *dialog) {
        auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
        QCOMPARE(fileDialog->selectedFiles().value(0), path(QStringLiteral("default.pdf")));
        QMetaObject::invokeMethod(fileDialog, "accept");
    });
    action(window, "actionEksportuj_do_PDF")->trigger();
    QVERIFY(answerer.waitAllAnswered());

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { path(QStringLiteral("default.pdf")), "-" });
    QVERIFY(pdftotext.waitForFinished() && pdftotext.exitCode() == 0);
    // Compatibility forms undo the ligatures pdftotext reads ("ﬁ" in a
    // temporary folder's random name).
    const QString text =
            QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC).simplified();
    QVERIFY2(text.contains(QStringLiteral("plik %1, ze zmianami, których nie zapisano").arg(file)), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Histereza 42")));
}

TELVORO_TEST_MAIN(TestConfigurationFile)
#include "tst_configurationfile.moc"
