#include "backup/backupstore.h"
#include "config/configurationfile.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/resource.h>

namespace {

// As a file gives it back.
Configuration withHysteresis(int hysteresis)
{
    Configuration configuration;
    configuration.hysteresis = quint8(hysteresis);
    return *ConfigurationFile::decode(ConfigurationFile::encode(configuration));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QDateTime Start(QDate(2024, 5, 17), QTime(14, 3, 22, 417));

} // namespace

class TestBackupStore : public QObject
{
    Q_OBJECT

private slots:
    void copiesListNewestFirst();
    void onlyTheNewestAreKept();
    void unreadableCopyIsListed();
    void saveFailures_data();
    void saveFailures();
    void defaultFolderIsInTheUsersDataFolder();
};

void TestBackupStore::copiesListNewestFirst()
{
    QTemporaryDir folder;
    const BackupStore store(folder.filePath(QStringLiteral("kopie")));
    const BackupStore::SaveResult first = store.save(withHysteresis(1), QStringLiteral("ttyUSB0"), Start);
    QCOMPARE(first.status, BackupStore::SaveStatus::Saved);
    QCOMPARE(QFileInfo(first.path).fileName(), QStringLiteral("2024-05-17_14-03-22-417_ttyUSB0.kvl"));
    const QDateTime later = Start.addSecs(3600);
    store.save(withHysteresis(2), QStringLiteral("pts/3"), later);
    // The same moment again must not replace the copy before.
    store.save(withHysteresis(3), QStringLiteral("pts/3"), later);

    const QList<BackupStore::Backup> backups = store.list();
    QCOMPARE(backups.size(), 3);
    const QList<int> hysteresis{3, 2, 1};
    const QStringList ports{QStringLiteral("pts-3"), QStringLiteral("pts-3"), QStringLiteral("ttyUSB0")};
    const QList<QDateTime> times{later.addMSecs(1), later, Start};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(backups[i].configuration);
        QCOMPARE(*backups[i].configuration, withHysteresis(hysteresis[i]));
        QCOMPARE(backups[i].port, ports[i]);
        QCOMPARE(backups[i].time, times[i]);
        QCOMPARE(ConfigurationFile::load(backups[i].path).configuration, withHysteresis(hysteresis[i]));
    }
}

void TestBackupStore::onlyTheNewestAreKept()
{
    QTemporaryDir folder;
    const BackupStore store(folder.path());
    const QStringList foreign{QStringLiteral("notatki.kvl"), QStringLiteral("2024-05-17.txt")};
    for (const QString &name : foreign)
        writeFile(folder.filePath(name), "x");
    for (int i = 0; i <= BackupStore::Kept; ++i)
        store.save(withHysteresis(i), QStringLiteral("ttyS0"), Start.addSecs(i));

    const QList<BackupStore::Backup> backups = store.list();
    QCOMPARE(backups.size(), BackupStore::Kept);
    QCOMPARE(backups.first().time, Start.addSecs(BackupStore::Kept));
    QCOMPARE(backups.last().time, Start.addSecs(1));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), BackupStore::Kept + foreign.size());
}

void TestBackupStore::unreadableCopyIsListed()
{
    QTemporaryDir folder;
    const BackupStore store(folder.path());
    store.save(withHysteresis(5), QStringLiteral("ttyUSB0"), Start);
    writeFile(folder.filePath(QStringLiteral("2024-05-18_08-00-00-000_ttyUSB1.kvl")), "cut short");

    const QList<BackupStore::Backup> backups = store.list();
    QCOMPARE(backups.size(), 2);
    QVERIFY(!backups[0].configuration);
    QCOMPARE(backups[0].port, QStringLiteral("ttyUSB1"));
    QCOMPARE(backups[0].time, QDateTime(QDate(2024, 5, 18), QTime(8, 0)));
    QVERIFY(backups[1].configuration);
}

void TestBackupStore::saveFailures_data()
{
    QTest::addColumn<QString>("folderInTemporary");
    QTest::addColumn<bool>("fileSizeLimit");
    QTest::addColumn<BackupStore::SaveStatus>("status");
    QTest::newRow("folder cannot be made") << "file/kopie" << false << BackupStore::SaveStatus::CannotCreateFolder;
    QTest::newRow("no data folder") << "" << false << BackupStore::SaveStatus::CannotCreateFolder;
    // As on a full disk: the file cannot be written in full.
    QTest::newRow("file size limit") << "kopie" << true << BackupStore::SaveStatus::CannotWrite;
}

void TestBackupStore::saveFailures()
{
    QFETCH(QString, folderInTemporary);
    QFETCH(bool, fileSizeLimit);
    QFETCH(BackupStore::SaveStatus, status);
    QTemporaryDir temporary;
    writeFile(temporary.filePath(QStringLiteral("file")), "not a folder");
    const QString folder = folderInTemporary.isEmpty() ? QString() : temporary.filePath(folderInTemporary);
    const BackupStore store(folder);

    rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    if (fileSizeLimit) {
        const rlimit limit{1000, old.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    const BackupStore::SaveResult result = store.save(Configuration(), QStringLiteral("ttyUSB0"), Start);
    setrlimit(RLIMIT_FSIZE, &old);

    QCOMPARE(result.status, status);
    QVERIFY(result.path.startsWith(folder));
    QVERIFY(store.list().isEmpty());
    if (!folder.isEmpty())
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

void TestBackupStore::defaultFolderIsInTheUsersDataFolder()
{
    QCOMPARE(BackupStore::defaultFolder(),
             qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Korvel/TX48/backups"));
}

TELVORO_TEST_MAIN(TestBackupStore)
#include "tst_backupstore.moc"
