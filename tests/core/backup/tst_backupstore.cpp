#include "backup/backupstore.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include <sys/stat.h>

namespace {

Configuration withHysteresis(int hysteresis)
{
    Configuration configuration;
    configuration.hysteresis = quint8(hysteresis);
    return configuration;
}

const QDateTime Start(QDate(2024, 5, 17), QTime(14, 3, 22, 417));

} // namespace

class TestBackupStore : public QObject
{
    Q_OBJECT

private slots:
    void copiesListNewestFirst();
    void onlyTheNewestAreKept();
    void prunedByWhenWrittenNotByName_data();
    void prunedByWhenWrittenNotByName();
    void copiesArePrivate();
};

void TestBackupStore::copiesListNewestFirst()
{
    QTemporaryDir folder;
    const BackupStore store(folder.filePath(QStringLiteral("kopie")));
    const BackupStore::SaveResult first = store.save(withHysteresis(1), QStringLiteral("ttyUSB0"), Start);
    QCOMPARE(first.status, BackupStore::SaveStatus::Saved);
    QCOMPARE(QFileInfo(first.path).fileName(), QStringLiteral("2024-05-17_14-03-22-417_ttyUSB0.kvl"));
    // A port by its path is named by its short form, as in /dev.
    store.save(withHysteresis(2), QStringLiteral("/dev/pts/3"), Start.addSecs(3600));
    // The same moment again must not replace the copy before.
    store.save(withHysteresis(3), QStringLiteral("pts/3"), Start.addSecs(3600));
    QFile damaged(store.folder() + QStringLiteral("/2024-05-18_08-00-00-000_ttyUSB1.kvl"));
    QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("cut short") > 0);
    damaged.close();

    QStringList listed;
    for (const BackupStore::Backup &backup : store.list())
        listed << QStringLiteral("%1 %2 %3").arg(backup.time.toString(Qt::ISODateWithMs), backup.port,
                                                  backup.configuration ? QString::number(backup.configuration->hysteresis)
                                                                       : QStringLiteral("unreadable"));
    QCOMPARE(listed, QStringList({"2024-05-18T08:00:00.000 ttyUSB1 unreadable", "2024-05-17T15:03:22.418 pts-3 3",
                                  "2024-05-17T15:03:22.417 pts-3 2", "2024-05-17T14:03:22.417 ttyUSB0 1"}));
}

void TestBackupStore::onlyTheNewestAreKept()
{
    QTemporaryDir folder;
    const BackupStore store(folder.path());
    const QStringList foreign{QStringLiteral("notatki.kvl"), QStringLiteral("2024-05-17.txt")};
    for (const QString &name : foreign)
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    for (int i = 0; i <= BackupStore::Kept; ++i)
        store.save(withHysteresis(i), QStringLiteral("ttyS0"), Start.addSecs(i));

    const QList<BackupStore::Backup> backups = store.list();
    QCOMPARE(backups.size(), BackupStore::Kept);
    QCOMPARE(backups.first().time, Start.addSecs(BackupStore::Kept));
    QCOMPARE(backups.last().time, Start.addSecs(1));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), BackupStore::Kept + foreign.size());
}

void TestBackupStore::prunedByWhenWrittenNotByName_data()
{
    // When the copies from the future look written, from now.
    QTest::addColumn<int>("writtenDays");
    QTest::newRow("named in the future") << -1;
    QTest::newRow("named and written in the future") << 400;
}

// Copies named as if from the future (a clock put back since) must not
// push out those written after them, nor the one just made.
void TestBackupStore::prunedByWhenWrittenNotByName()
{
    QFETCH(int, writtenDays);
    QTemporaryDir folder;
    const BackupStore store(folder.path());
    const auto writtenAt = [](const QString &path, const QDateTime &time) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
    };
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < BackupStore::Kept; ++i)
        QVERIFY(writtenAt(store.save(withHysteresis(1), QStringLiteral("ttyS0"), now.addYears(1).addSecs(i)).path,
                          now.addDays(writtenDays).addSecs(i)));
    for (int i = 0; i < 8; ++i)
        store.save(withHysteresis(2), QStringLiteral("ttyS0"), now.addSecs(i));
    const QList<BackupStore::Backup> backups = store.list();
    QCOMPARE(backups.size(), BackupStore::Kept);
    QCOMPARE(std::count_if(backups.cbegin(), backups.cend(),
                           [](const BackupStore::Backup &backup) { return backup.configuration->hysteresis == 2; }),
             8);

    // Every other copy looks written later than the next one will be.
    for (const BackupStore::Backup &backup : backups)
        QVERIFY(writtenAt(backup.path, now.addYears(1)));
    const QString justMade = store.save(withHysteresis(3), QStringLiteral("ttyS0"), now.addYears(-1)).path;
    QVERIFY(QFile::exists(justMade));
    QCOMPARE(store.list().size(), BackupStore::Kept);
}

// A folder an earlier version left open to others is closed; a new one is
// made closed (see the CLI's test).
void TestBackupStore::copiesArePrivate()
{
    QTemporaryDir folder;
    QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0755) == 0);
    const BackupStore::SaveResult saved = BackupStore(folder.path()).save(Configuration(), QStringLiteral("ttyS0"), Start);
    QCOMPARE(saved.status, BackupStore::SaveStatus::Saved);
    const auto mode = [](const QString &path) {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
    };
    QCOMPARE(mode(folder.path()), 0700u);
    QCOMPARE(mode(saved.path), 0600u);
}

TELVORO_TEST_MAIN(TestBackupStore)
#include "tst_backupstore.moc"
