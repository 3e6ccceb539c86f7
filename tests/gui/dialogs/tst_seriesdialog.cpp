#include "dialogs/seriesdialog.h"
#include "files/configurationfile.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "backup/backupstore.h"
#include "dialoganswerer.h"
#include "emulatedmodule.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The base: a module with a phone and an SMS text; each row adds its own.
Configuration baseConfiguration()
{
    Configuration configuration;
    configuration.setPhoneNumber(0, QStringLiteral("600100200"));
    configuration.setSmsText(0, QStringLiteral("Awaria zasilania"));
    return configuration;
}

Configuration moduleOf(const QString &phone, const QString &output)
{
    Configuration configuration = baseConfiguration();
    configuration.setPhoneNumber(1, phone);
    configuration.digitalOutputNames[0] = output;
    return configuration;
}

// The blocks a write sends, as a configuration holds them.
QByteArray blocksOf(const Configuration &configuration)
{
    return configuration.toImage(ImageSection::SettingsBlock) + configuration.toImage(ImageSection::SmsBlock);
}

QByteArray blocksHeldBy(EmulatedModule &emulated)
{
    Configuration held;
    held.fromImage(emulated.emulator().currentImage());
    return blocksOf(held);
}

} // namespace

class SeriesDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void writesTheHighlightedModuleThenTheNext();
};

// Two modules through the window's session, the module swapped between them:
// the first write shows the list of changes, the second skips it once the
// box is cleared; a third module that keeps other bytes is marked failed and
// stays the one to connect; the report has a line for each.
void SeriesDialogTest::writesTheHighlightedModuleThenTheNext()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QSettings().clear();
    const QString table = folder.filePath("stacje.csv");
    QFile file(table);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Modem;phones[1].number;digitalOutputs[0].name\r\n"
               "Stacja Łęczna;600100301;Pompa 1\r\n"
               "Stacja Puchaczów;600100302;Pompa 2\r\n"
               "Stacja Cyców;600100303;Pompa 3\r\n");
    file.close();

    EmulatedModule emulated;
    Module module;
    module.setPeriodForTests(10);
    ModuleSession session(&module);
    QVERIFY(emulated.connect(session));

    SeriesDialog dialog(session, baseConfiguration(), true);
    dialog.show();
    dialog.findChild<QLineEdit *>("tableFileLineEdit")->setText(table);
    dialog.findChild<QPushButton *>("loadButton")->click();
    auto *rows = dialog.findChild<QTableWidget *>("modulesTableWidget");
    auto *next = dialog.findChild<QLabel *>("nextModuleLabel");
    auto *review = dialog.findChild<QCheckBox *>("reviewCheckBox");
    auto *write = dialog.findChild<QPushButton *>("writeButton");
    QCOMPARE(rows->rowCount(), 3);
    QCOMPARE(dialog.findChild<QLineEdit *>("reportFileLineEdit")->text(), folder.filePath("stacje-raport.csv"));
    QCOMPARE(next->text(), QStringLiteral("Podłącz modem: Stacja Łęczna (1 z 3), potem „Zapisz do modemu”."));
    QVERIFY(rows->item(0, 0)->font().bold() && !rows->item(1, 0)->font().bold());
    QVERIFY(!review->isEnabled() && review->isChecked());

    DialogAnswerer answerer;
    QStringList reviewed;
    answerer.expect([&reviewed](QWidget *shown) {
        reviewed.append(shown->metaObject()->className());
        for (QPushButton *button : shown->findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("Zapisz do modemu"))
                button->click();
        }
    });
    write->click();
    QVERIFY(answerer.waitAllAnswered());
    QCOMPARE(reviewed, QStringList("DifferencesDialog"));
    QCOMPARE(blocksHeldBy(emulated), blocksOf(moduleOf("600100301", "Pompa 1")));
    QCOMPARE(rows->item(0, 1)->text(), QStringLiteral("zapisano i sprawdzono"));
    QCOMPARE(next->text(), QStringLiteral("Podłącz modem: Stacja Puchaczów (2 z 3), potem „Zapisz do modemu”."));
    QVERIFY(rows->item(1, 0)->font().bold());

    // The next module, written without the list once the box is cleared.
    emulated.emulator().setImage(Configuration().toImage(ImageSection::Full));
    QVERIFY(review->isEnabled());
    review->setChecked(false);
    write->click();
    QCOMPARE(blocksHeldBy(emulated), blocksOf(moduleOf("600100302", "Pompa 2")));
    QCOMPARE(rows->item(1, 1)->text(), QStringLiteral("zapisano i sprawdzono"));
    const QList<BackupStore::Backup> backups = BackupStore().list();
    QCOMPARE(backups.first().moduleName, QStringLiteral("Stacja-Puchaczów"));
    QCOMPARE(blocksOf(ConfigurationFile::load(backups.first().path).configuration), blocksOf(Configuration()));

    // A module that keeps other bytes: failed, and still the one to connect.
    emulated.emulator().setFaults({ ModuleEmulator::Fault::StoreChanged });
    write->click();
    QCOMPARE(rows->item(2, 1)->text(), QStringLiteral("modem przechowuje co innego"));
    QCOMPARE(next->text(), QStringLiteral("Podłącz modem: Stacja Cyców (3 z 3), potem „Zapisz do modemu”."));
    QVERIFY(answerer.unexpected.isEmpty());

    QFile report(folder.filePath("stacje-raport.csv"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(report.readAll()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines.at(1).startsWith("Stacja Łęczna;") && lines.at(1).contains(";zapisano i sprawdzono;"));
    QVERIFY(lines.at(3).startsWith("Stacja Cyców;") && lines.at(3).contains(";modem przechowuje co innego;"));
}

TELVORO_TEST_MAIN(SeriesDialogTest)
#include "tst_seriesdialog.moc"
