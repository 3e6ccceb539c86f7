#include "backup/backupstore.h"
#include "emulatedmodule.h"
#include "link/linklog.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

using Status = ModuleSession::WriteStatus;
using Block = ModuleSession::BlockResult;
using Step = ModuleSession::Step;

// The module's period in these tests: the emulator answers within the same
// event loop, so only the waits for answers that never come take time.
constexpr int TestPeriod = 10;

// What the configuration that goes differs in from the module's.
enum class Edit { Settings, SmsText };

Configuration decoded(const QByteArray &image)
{
    Configuration configuration;
    configuration.fromImage(image);
    return configuration;
}

QSet<ModuleEmulator::Fault> faultsNamed(const QStringList &names)
{
    QSet<ModuleEmulator::Fault> faults;
    for (const QString &name : names) {
        ModuleEmulator::Fault fault;
        if (!ModuleEmulator::faultFromName(name, &fault))
            qFatal("no fault %s", qPrintable(name));
        faults.insert(fault);
    }
    return faults;
}

Configuration edited(Edit edit)
{
    Configuration configuration = decoded(ModuleEmulator::defaultImage());
    configuration.hysteresis = 42;
    if (edit == Edit::SmsText)
        configuration.setSmsText(0, QStringLiteral("Awaria pompy"));
    return configuration;
}

// Another module on the same line: its own settings, and the SMS block of
// `sms` (the one that goes, or one of its own); the header, with the SIM
// codes, stays the emulator's.
QByteArray otherModule(const QByteArray &header, std::optional<Edit> sms)
{
    Configuration other = sms ? edited(*sms) : decoded(ModuleEmulator::defaultImage());
    other.hysteresis = 7;
    if (!sms)
        other.setSmsText(0, QStringLiteral("Inny modem"));
    return header + other.toImage(ImageSection::Full).mid(ImageHeaderSize);
}

// A step's reports: 0 first, its limit last, and between them values that
// never go back and stay inside. Empty when they are well formed.
QString malformedProgress(const QList<QList<QVariant>> &reports)
{
    std::optional<Step> running;
    int last = 0;
    for (const QList<QVariant> &report : reports) {
        const auto step = report.at(0).value<Step>();
        const int elapsed = report.at(1).toInt();
        const int limit = report.at(2).toInt();
        if (!running) {
            if (elapsed != 0)
                return QStringLiteral("step %1 starts at %2").arg(int(step)).arg(elapsed);
            running = step;
        } else if (step != *running || elapsed < last || elapsed > limit) {
            return QStringLiteral("step %1 reports %2 of %3 after %4").arg(int(step)).arg(elapsed).arg(limit).arg(last);
        } else if (elapsed == limit) {
            running.reset();
        }
        last = elapsed;
    }
    return running ? QStringLiteral("step %1 never ends").arg(int(*running)) : QString();
}

// How a write is set up: the module's faults, what goes, whether it is read
// back, the user's answer (sent as a script's, without a question, unless
// asked()), a backup folder that cannot be made, and what happens when the
// emulator takes the command `at` ("A#2": the second "A"): "pull plug",
// "interrupt", "stop waiting", "interrupt in the pause" (once its answer is in, in the quiet
// before the next block), "swap" (another module, see swapTo()) or the name
// of a fault that the module then has instead of its own. With swapTo() and
// no `at`, the module is swapped while the first question is open, and the
// second question is answered as `confirmedAgain`.
struct WriteSetup
{
    WriteSetup(Edit edit = Edit::Settings, const QStringList &faults = {}) : faults(faults), edit(edit) {}
    WriteSetup unverified() const { return with(&WriteSetup::verify, false); }
    WriteSetup declined() const { return with(&WriteSetup::confirmed, false); }
    WriteSetup asked() const { return with(&WriteSetup::question, true); }
    // The module swapped for one with the SMS block of `sms` or its own.
    WriteSetup swapTo(std::optional<Edit> sms, bool confirmed = false) const
    {
        WriteSetup setup = *this;
        setup.swap = true;
        setup.swapSms = sms;
        setup.confirmedAgain = confirmed;
        return setup;
    }
    WriteSetup withoutBackupFolder() const { return with(&WriteSetup::backupBlocked, true); }
    WriteSetup when(const QString &command, const QString &event) const
    {
        WriteSetup setup = *this;
        setup.at = command;
        setup.then = event;
        return setup;
    }

    QStringList faults;
    Edit edit;
    bool verify = true;
    bool confirmed = true;
    bool question = false;
    bool swap = false;
    std::optional<Edit> swapSms;
    bool confirmedAgain = false;
    bool backupBlocked = false;
    QString at;
    QString then;

private:
    WriteSetup with(bool WriteSetup::*flag, bool value) const
    {
        WriteSetup setup = *this;
        setup.*flag = value;
        return setup;
    }
};

} // namespace

Q_DECLARE_METATYPE(WriteSetup)
Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Block)
Q_DECLARE_METATYPE(ConnectionFailure)

// The session against the project's emulator in this process: every outcome
// of a write, what the module holds afterwards and what the session knows of
// it, the backup, the connection and the SIM codes.
class TestModuleSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writeOutcomes_data();
    void writeOutcomes();
    void reads_data();
    void reads();
    void writeReadsTheModuleOnTheLineNow();
    void connectionFailures_data();
    void connectionFailures();
    void lostLineEndsTheConnection();
    void simCodes_data();
    void simCodes();

private:
    // A fresh module with these faults and a session, connected.
    bool setUp(const QStringList &faults = {});
    // Asks the session to stop once the running exchange has ended, from the
    // event loop of whatever wait comes next.
    void interruptAfterThisExchange();

    std::unique_ptr<EmulatedModule> emulated;
    std::unique_ptr<Module> module;
    std::unique_ptr<ModuleSession> session;
};

void TestModuleSession::init()
{
    QSettings().clear();
    QDir(BackupStore::defaultFolder()).removeRecursively();
    QFile::remove(BackupStore::defaultFolder());
    session.reset();
    module.reset();
    emulated = std::make_unique<EmulatedModule>();
}

bool TestModuleSession::setUp(const QStringList &faults)
{
    emulated->emulator().setFaults(faultsNamed(faults));
    session.reset();
    module = std::make_unique<Module>();
    module->setPeriodForTests(TestPeriod);
    session = std::make_unique<ModuleSession>(module.get());
    return emulated->connect(*session);
}

void TestModuleSession::interruptAfterThisExchange()
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(module.get(), &Module::exchangeProgress, this, [this, connection](int elapsed, int limit) {
        if (elapsed < limit)
            return;
        disconnect(*connection);
        QTimer::singleShot(0, session.get(), &ModuleSession::requestInterruption);
    });
}

void TestModuleSession::writeOutcomes_data()
{
    QTest::addColumn<WriteSetup>("setup");
    QTest::addColumn<Status>("status");
    QTest::addColumn<Block>("settingsBlock");
    QTest::addColumn<Block>("smsBlock");
    // The commands after the probe, by name.
    QTest::addColumn<QStringList>("commands");
    // Whether the module holds the settings block, and the SMS block, as sent.
    QTest::addColumn<bool>("settingsStored");
    QTest::addColumn<bool>("smsStored");

    const auto row = [](const char *name, const WriteSetup &setup, Status status, Block settings, Block sms,
                        const QStringList &commands, bool settingsStored, bool smsStored) {
        QTest::newRow(name) << setup << status << settings << sms << commands << settingsStored << smsStored;
    };
    // The SMS block goes only when the module's differs, or is unknown.
    row("verified, settings only", WriteSetup(Edit::Settings), Status::Verified, Block::Acknowledged, Block::NotSent,
        {"A", "pb", "A"}, true, true);
    row("verified, with the SMS texts", WriteSetup(Edit::SmsText), Status::Verified, Block::Acknowledged,
        Block::Acknowledged, {"A", "pb", "pc", "A"}, true, true);
    row("unverified", WriteSetup(Edit::SmsText, {"store-changed"}).unverified(), Status::WrittenUnverified, Block::Acknowledged,
        Block::Acknowledged, {"A", "pb", "pc"}, false, false);
    row("cancelled", WriteSetup(Edit::SmsText).declined(), Status::Cancelled, Block::NotSent, Block::NotSent, {"A"},
        false, false);
    row("backup failed", WriteSetup(Edit::SmsText).withoutBackupFolder(), Status::BackupFailed, Block::NotSent,
        Block::NotSent, {"A"}, false, false);
    row("read before failed", WriteSetup(Edit::SmsText).when("A", "pull plug"), Status::ReadBeforeFailed,
        Block::NotSent, Block::NotSent, {"A"}, false, false);
    row("settings block unanswered", WriteSetup(Edit::SmsText, {"no-settings-ack"}), Status::BlockUnanswered,
        Block::Unanswered, Block::NotSent, {"A", "pb"}, false, false);
    row("SMS block unanswered", WriteSetup(Edit::SmsText, {"no-sms-ack"}), Status::BlockUnanswered, Block::Acknowledged,
        Block::Unanswered, {"A", "pb", "pc"}, true, false);
    // The module took the block; its answer is lost with the line.
    row("line lost at the settings block", WriteSetup(Edit::SmsText).when("pb", "pull plug"),
        Status::LineLost, Block::Unanswered, Block::NotSent, {"A", "pb"}, true, false);
    row("line lost in the read-back", WriteSetup().when("A#2", "pull plug"),
        Status::LineLost, Block::Acknowledged, Block::NotSent, {"A", "pb", "A"}, true, true);
    row("interrupted while reading", WriteSetup(Edit::SmsText).when("A", "interrupt"), Status::Interrupted,
        Block::NotSent, Block::NotSent, {"A"}, false, false);
    row("interrupted between the blocks", WriteSetup(Edit::SmsText).when("pb", "interrupt"),
        Status::Interrupted, Block::Acknowledged, Block::NotSent, {"A", "pb"}, true, false);
    // "Przerwij" while the module keeps the SMS block unanswered.
    row("wait stopped at the SMS block", WriteSetup(Edit::SmsText, {"no-sms-ack"}).when("pc", "stop waiting"),
        Status::Interrupted, Block::Acknowledged, Block::Unanswered, {"A", "pb", "pc"}, true, false);
    row("read back failed", WriteSetup().when("pb", "short-image"), Status::ReadBackFailed,
        Block::Acknowledged, Block::NotSent, {"A", "pb", "A"}, true, true);
    // Unread, the module gets both blocks, and no backup is taken.
    row("module unread, read back short", WriteSetup(Edit::Settings, {"short-image"}), Status::ReadBackFailed,
        Block::Acknowledged, Block::Acknowledged, {"A", "pb", "pc", "A"}, true, true);
    row("stored differently", WriteSetup(Edit::Settings, {"store-changed"}), Status::StoredDifferently, Block::Acknowledged,
        Block::NotSent, {"A", "pb", "A"}, false, true);
    row("only the SMS block stored differently", WriteSetup(Edit::SmsText, {"sms-store-changed"}),
        Status::StoredDifferently, Block::Acknowledged, Block::Acknowledged, {"A", "pb", "pc", "A"}, true, false);
    // A stop is honoured in the quiet owed before the SMS block, which then
    // never goes; once every block went, the read-back still runs.
    row("interrupted in the pause before the SMS block", WriteSetup(Edit::SmsText).when("pb", "interrupt in the pause"),
        Status::Interrupted, Block::Acknowledged, Block::NotSent, {"A", "pb"}, true, false);
    row("interrupted in the read-back", WriteSetup(Edit::SmsText).when("A#2", "interrupt"), Status::Verified,
        Block::Acknowledged, Block::Acknowledged, {"A", "pb", "pc", "A"}, true, true);
    // The user answered: the module is read again, and one that changed
    // meanwhile gets nothing until the user was asked about it.
    row("asked, the same module", WriteSetup(Edit::SmsText).asked(), Status::Verified, Block::Acknowledged,
        Block::Acknowledged, {"A", "A", "pb", "pc", "A"}, true, true);
    for (const Edit edit : {Edit::Settings, Edit::SmsText}) {
        const bool sms = edit == Edit::SmsText;
        const auto swapRow = [sms](const char *what) -> QTestData & {
            return QTest::addRow("%s, %s", what, sms ? "with the SMS texts" : "settings only");
        };
        for (const std::optional<Edit> theirs : {std::optional<Edit>(), std::optional<Edit>(edit)}) {
            const char *texts = theirs ? "their SMS block as sent" : "their own SMS block";
            swapRow(qPrintable(QStringLiteral("swapped during the question, declined, %1").arg(texts)))
                    << WriteSetup(edit).asked().swapTo(theirs) << Status::ModuleChanged << Block::NotSent
                    << Block::NotSent << QStringList{"A", "A"} << false << bool(theirs);
            const bool smsGoes = !theirs;
            swapRow(qPrintable(QStringLiteral("swapped during the question, written, %1").arg(texts)))
                    << WriteSetup(edit).asked().swapTo(theirs, true) << Status::Verified << Block::Acknowledged
                    << (smsGoes ? Block::Acknowledged : Block::NotSent)
                    << (smsGoes ? QStringList{"A", "A", "A", "pb", "pc", "A"} : QStringList{"A", "A", "A", "pb", "A"})
                    << true << true;
        }
        // Nobody asked, nothing read again: the read-back finds the SMS
        // block that was not sent because the module read before held it.
        if (!sms)
            swapRow("swapped right after the read before, unasked")
                    << WriteSetup(edit).swapTo({}).when("pb", "swap") << Status::StoredDifferently
                    << Block::Acknowledged << Block::NotSent << QStringList{"A", "pb", "A"} << true << false;
    }
}

// Whatever the outcome: the backup holds the module as read before exactly
// when a block went after a successful read; the session knows the module's
// configuration only when it was verified, or nothing was sent; it is
// connected as long as the line is; and every step reports its progress
// from 0 to its limit.
void TestModuleSession::writeOutcomes()
{
    QFETCH(WriteSetup, setup);
    QFETCH(Status, status);
    QFETCH(Block, settingsBlock);
    QFETCH(Block, smsBlock);
    QFETCH(QStringList, commands);
    QFETCH(bool, settingsStored);
    QFETCH(bool, smsStored);

    QVERIFY(setUp(setup.faults));
    if (setup.backupBlocked) {
        QVERIFY(QDir().mkpath(QFileInfo(BackupStore::defaultFolder()).path()));
        QFile blocker(BackupStore::defaultFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    const bool plugPulled = setup.then == QLatin1String("pull plug");
    const QByteArray before = emulated->emulator().currentImage();
    const QByteArray swapped = otherModule(before.left(ImageHeaderSize), setup.swapSms);
    if (!setup.at.isEmpty()) {
        const QString then = setup.then;
        emulated->onCommand(setup.at.section('#', 0, 0), qMax(1, setup.at.section('#', 1).toInt()), [this, then, swapped] {
            ModuleEmulator::Fault fault;
            if (then == QLatin1String("pull plug"))
                emulated->pullPlug();
            else if (then == QLatin1String("interrupt"))
                session->requestInterruption();
            else if (then == QLatin1String("swap"))
                emulated->emulator().setImage(swapped);
            else if (then == QLatin1String("interrupt in the pause"))
                interruptAfterThisExchange();
            else if (then == QLatin1String("stop waiting"))
                session->stopWaiting();
            else if (ModuleEmulator::faultFromName(then, &fault))
                emulated->emulator().setFaults({fault});
        });
    }
    const Configuration sent = edited(setup.edit);
    QSignalSpy progress(session.get(), &ModuleSession::progress);

    using Answer = ModuleSession::WriteAnswer;
    const bool swapInQuestion = setup.swap && setup.at.isEmpty();
    QList<ModuleSession::WritePlan> asked;
    const ModuleSession::WriteOutcome outcome =
            session->write(sent, setup.verify, [&](const ModuleSession::WritePlan &plan) {
                asked.append(plan);
                if (swapInQuestion && asked.size() == 1)
                    emulated->emulator().setImage(swapped);
                const bool confirmed = asked.size() == 1 ? setup.confirmed : setup.confirmedAgain;
                return !confirmed ? Answer::Cancel : setup.question ? Answer::SendAfterQuestion : Answer::Send;
            });

    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.settingsBlock, settingsBlock);
    QCOMPARE(outcome.smsBlock, smsBlock);
    QCOMPARE(emulated->commandNames().mid(1), commands);
    // Asked once the module was read, with the fields that change.
    const bool reachedTheQuestion = status != Status::ReadBeforeFailed && !(status == Status::Interrupted && settingsBlock == Block::NotSent);
    // Asked again, about the module on the line, when it changed meanwhile.
    QCOMPARE(asked.size(), reachedTheQuestion ? (swapInQuestion ? 2 : 1) : 0);
    if (reachedTheQuestion && asked.first().moduleRead)
        QCOMPARE(asked.first().changes.size(), setup.edit == Edit::Settings ? 1 : 2);
    if (swapInQuestion) {
        QVERIFY(!asked.first().moduleChanged && asked.last().moduleChanged);
        QCOMPARE(asked.last().withSmsBlock, !setup.swapSms);
        QCOMPARE(asked.last().changes.size(), setup.swapSms ? 1 : 2);
    }
    const QByteArray after = emulated->emulator().currentImage();
    const QByteArray sentImage = sent.toImage(ImageSection::Full);
    const int smsOffset = ImageHeaderSize + SettingsBlockSize;
    QCOMPARE(after.mid(ImageHeaderSize, SettingsBlockSize) == sentImage.mid(ImageHeaderSize, SettingsBlockSize),
             settingsStored);
    QCOMPARE(after.mid(smsOffset) == sentImage.mid(smsOffset), smsStored);
    QCOMPARE(after.left(ImageHeaderSize), before.left(ImageHeaderSize));

    const bool backedUp = outcome.plan.moduleRead && settingsBlock != Block::NotSent;
    const QList<BackupStore::Backup> backups = BackupStore().list();
    QCOMPARE(backups.size(), backedUp ? 1 : 0);
    QCOMPARE(outcome.backupPath(), backedUp ? backups.first().path : QString());
    if (backedUp) {
        // A file never keeps the SIM codes of the header; the module asked
        // about again is the one backed up.
        QCOMPARE(backups.first().configuration->toImage(ImageSection::Full).mid(ImageHeaderSize),
                 (swapInQuestion ? swapped : before).mid(ImageHeaderSize));
        QCOMPARE(backups.first().port, EmulatedModule::PortName);
    }
    const bool known = status == Status::Verified || (settingsBlock == Block::NotSent && outcome.plan.moduleRead);
    QCOMPARE(session->moduleConfiguration().has_value(), known);
    if (status == Status::Verified)
        QVERIFY(*session->moduleConfiguration() == decoded(after));
    QCOMPARE(session->isConnected(), !plugPulled);
    QCOMPARE(session->state(), plugPulled ? ModuleSession::State::Disconnected : ModuleSession::State::Idle);
    QCOMPARE(outcome.storedDifferently.isEmpty(), status != Status::StoredDifferently);
    const QString shown = outcome.summary() + outcome.leftBehind();
    QVERIFY(outcome.succeeded() ? !outcome.summary().isEmpty() : !shown.isEmpty() || status == Status::Cancelled);
    QVERIFY2(malformedProgress(progress).isEmpty(), qPrintable(malformedProgress(progress)));
}

void TestModuleSession::reads_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("proceed");
    QTest::addColumn<bool>("read");
    QTest::newRow("whole image") << QStringList() << true << true;
    QTest::newRow("one byte short") << QStringList{"short-image"} << true << false;
    QTest::newRow("one byte long") << QStringList{"long-image"} << true << false;
    // The answer comes long after the read has given up.
    QTest::newRow("silent") << QStringList{"late"} << true << false;
    QTest::newRow("cancelled before reading") << QStringList() << false << false;
}

// A read gives the module's configuration, SIM codes included, and the
// session knows it; a read that failed leaves it unknown.
void TestModuleSession::reads()
{
    QFETCH(QStringList, faults);
    QFETCH(bool, proceed);
    QFETCH(bool, read);
    QVERIFY(setUp());
    QVERIFY(session->read().has_value());
    emulated->emulator().setFaults(faultsNamed(faults));
    QSignalSpy progress(session.get(), &ModuleSession::progress);
    ModuleSession::State whileAsked = ModuleSession::State::Idle;

    const std::optional<Configuration> configuration = session->read([&] {
        whileAsked = session->state();
        return proceed;
    });

    QCOMPARE(whileAsked, ModuleSession::State::Reading);
    QCOMPARE(configuration.has_value(), read);
    // A read that never ran leaves what was known.
    QCOMPARE(session->moduleConfiguration().has_value(), read || !proceed);
    QCOMPARE(emulated->commandNames().mid(1), proceed ? QStringList({"A", "A"}) : QStringList{"A"});
    if (read) {
        QVERIFY(*configuration == decoded(emulated->emulator().currentImage()));
        QCOMPARE(configuration->simPin, QStringLiteral("1234"));
    }
    QVERIFY2(malformedProgress(progress).isEmpty(), qPrintable(malformedProgress(progress)));
    QCOMPARE(progress.isEmpty(), !proceed);
}

// The cable goes to another module after a read: the write reads the module
// on the line now, lists what it changes there and keeps that module's
// configuration in the backup.
void TestModuleSession::writeReadsTheModuleOnTheLineNow()
{
    QVERIFY(setUp());
    const std::optional<Configuration> first = session->read();
    QVERIFY(first.has_value());
    Configuration second = *first;
    second.hysteresis = 33;
    second.setPhoneNumber(0, QStringLiteral("600100200"));
    const QByteArray secondImage = ModuleEmulator::defaultImage().left(ImageHeaderSize)
            + second.toImage(ImageSection::Full).mid(ImageHeaderSize);
    emulated->emulator().setImage(secondImage);

    QList<ConfigurationDifference> listed;
    const ModuleSession::WriteOutcome outcome =
            session->write(*first, true, [&listed](const ModuleSession::WritePlan &plan) {
                listed = plan.changes;
                return ModuleSession::WriteAnswer::SendAfterQuestion;
            });
    QCOMPARE(outcome.status, Status::Verified);
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.first().before, QStringLiteral("33"));
    QCOMPARE(listed.last().before, QStringLiteral("600100200"));
    QCOMPARE(BackupStore().list().first().configuration->toImage(ImageSection::Full).mid(ImageHeaderSize),
             secondImage.mid(ImageHeaderSize));
    QCOMPARE(emulated->emulator().currentImage(), ModuleEmulator::defaultImage());
}

void TestModuleSession::connectionFailures_data()
{
    QTest::addColumn<QString>("port"); // empty: the emulated module
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<ConnectionFailure>("failure");
    QTest::addColumn<QString>("problem");
    // What the user is told, with the next step.
    QTest::addColumn<QString>("told");
    QTest::newRow("connected") << QString() << QStringList() << ConnectionFailure::None << QString() << QString();
    QTest::newRow("no module answers") << QString() << QStringList{"silent"} << ConnectionFailure::NoAnswer
                                       << QString()
                                       << "Błąd połączenia z modemem: port nie odpowiada. Sprawdź kabel i zasilanie modemu.";
    QTest::newRow("something else answers") << QString() << QStringList{"wrong-answer"}
                                            << ConnectionFailure::WrongAnswer << QString()
                                            << "Błąd połączenia z modemem: na porcie odpowiada coś innego niż modem "
                                               "(7A 0D 0A). Sprawdź, czy wybrano port modemu i czy modem jest włączony.";
    QTest::newRow("missing port") << "/dev/tx48-none" << QStringList() << ConnectionFailure::PortMissing
                                  << "nie ma takiego portu."
                                  << "Błąd połączenia z modemem: nie ma takiego portu. Podłącz modem i wybierz jego "
                                     "port z listy.";
    QTest::newRow("not a serial port") << "/dev/null" << QStringList() << ConnectionFailure::NotSerialPort
                                       << "to nie jest port szeregowy."
                                       << "Błąd połączenia z modemem: to nie jest port szeregowy. Wybierz port modemu.";
}

void TestModuleSession::connectionFailures()
{
    QFETCH(QString, port);
    QFETCH(QStringList, faults);
    QFETCH(ConnectionFailure, failure);
    QFETCH(QString, problem);
    QFETCH(QString, told);
    // The reason is that of the last connection, not of one before it.
    bool connected = setUp(faults);
    if (!port.isEmpty()) {
        session->disconnectPort();
        connected = session->connectPort(port);
    }
    QCOMPARE(session->connectionFailure(), failure);
    QCOMPARE(session->connectionProblem(), problem);
    QCOMPARE(session->connectionFailureText(), told);
    QCOMPARE(session->portName(), port.isEmpty() ? EmulatedModule::PortName : port);
    QCOMPARE(connected, failure == ConnectionFailure::None);
    QCOMPARE(session->isConnected(), failure == ConnectionFailure::None);
    QCOMPARE(session->state(), failure == ConnectionFailure::None ? ModuleSession::State::Idle
                                                                  : ModuleSession::State::Disconnected);
}

// The line that goes away while nothing runs ends the connection at once,
// as the log shows; the next connection finds the module again.
void TestModuleSession::lostLineEndsTheConnection()
{
    QVERIFY(setUp());
    QSignalSpy lost(session.get(), &ModuleSession::connectionLost);
    emulated->pullPlug();
    QCOMPARE(lost.size(), 1);
    QCOMPARE(session->state(), ModuleSession::State::Disconnected);
    QVERIFY(session->readOnlineState().isEmpty());
    QVERIFY(!session->writePinPuk("1111", "", 0));
    QCOMPARE(emulated->commandNames(), QStringList{"i"});

    QVERIFY(emulated->connect(*session));
    QCOMPARE(session->readOnlineState().size(), OnlineStateSize);
    const QList<LinkLog::Entry> &log = session->log()->entries();
    QCOMPARE(log.size(), 6);
    QCOMPARE(log.last().command, QStringLiteral("B"));
    QCOMPARE(log.last().outcome, LinkLog::Outcome::Answered);
}

void TestModuleSession::simCodes_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<bool>("written");
    QTest::newRow("acknowledged") << QStringList() << true;
    QTest::newRow("not acknowledged") << QStringList{"no-pin-ack"} << false;
}

// The SIM codes go as one step of the session, which is busy meanwhile.
void TestModuleSession::simCodes()
{
    QFETCH(QStringList, faults);
    QFETCH(bool, written);
    QVERIFY(setUp(faults));
    QSignalSpy states(session.get(), &ModuleSession::stateChanged);
    QSignalSpy progress(session.get(), &ModuleSession::progress);
    QCOMPARE(session->writePinPuk("4321", "8765", 2), written);
    QCOMPARE(states.value(0).value(0).value<ModuleSession::State>(), ModuleSession::State::WritingPinPuk);
    QCOMPARE(progress.value(0).value(0).value<Step>(), Step::WritingPinPuk);
    QVERIFY2(malformedProgress(progress).isEmpty(), qPrintable(malformedProgress(progress)));
    QCOMPARE(emulated->emulator().commandLog().last(), QStringLiteral("70 61 ** ** ** ** ** ** ** ** ** ** ** ** 02"));
    QCOMPARE(emulated->emulator().currentImage().left(13),
             written ? QByteArray("4321" "8765\0\0\0\0" "\x02", 13) : ModuleEmulator::defaultImage().left(13));
}

TELVORO_TEST_MAIN(TestModuleSession)

#include "tst_modulesession.moc"
