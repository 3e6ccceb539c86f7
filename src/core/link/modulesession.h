#ifndef MODULESESSION_H
#define MODULESESSION_H

#include "backup/backupstore.h"
#include "configuration/configuration.h"
#include "fields/configurationfields.h"
#include "link/connectionfailure.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class LinkLog;
class Module;
class QIODevice;

// One connection to a module as the front ends use it: what runs on the link
// (one state, with the requests waiting for it), what the module is known to
// hold, and the whole write, from the read before it to the read-back after.
// The window and telvoro-cli both go through it; only the questions and the
// words are theirs.
class ModuleSession : public QObject
{
    Q_OBJECT

public:
    // What runs on the link. An operation keeps its state until it returns,
    // even when the line goes meanwhile; it then ends as Disconnected.
    enum class State {
        Disconnected,
        Connecting,
        Idle,
        Reading,
        Writing,
        Polling,
        SendingOutputs,
        WritingPinPuk
    };
    Q_ENUM(State)

    // The parts of an operation a front end shows progress for.
    enum class Step { Connecting, Reading, Writing, WritingPinPuk };
    Q_ENUM(Step)

    // What the write is about to do, for the front end's question.
    struct WritePlan
    {
        // False when the module could not be read: nothing to compare with
        // and nothing to back up; both blocks go.
        bool moduleRead = false;
        // The fields the write changes, the module's value before.
        QList<ConfigurationDifference> changes;
        bool withSmsBlock = true;
        // The module read again after the question is not the one asked
        // about: these are its differences, and nothing was sent to it.
        bool moduleChanged = false;
        // The module read can be the one the configuration that goes came
        // from, as a backup does: block by block, it holds that
        // configuration or what this session last sent (a write that broke
        // between the blocks leaves one of each). Otherwise restoring a
        // backup would overwrite another module.
        bool mayBeOrigin = true;

        // The sentence that opens a question asked again about a module
        // changed meanwhile, with a space after it; empty otherwise.
        QString changedNote() const;
    };

    enum class BlockResult { NotSent, Unanswered, Acknowledged };

    enum class WriteStatus {
        // The module holds every byte sent, read back and compared.
        Verified,
        // Acknowledged; the read-back was turned off.
        WrittenUnverified,
        Cancelled,
        // The module could not be read and the line is gone.
        ReadBeforeFailed,
        BackupFailed,
        BlockUnanswered,
        LineLost,
        Interrupted,
        // Every block was acknowledged, but the module could not be read back.
        ReadBackFailed,
        // Read back, the module holds other bytes than were sent, or than
        // it held of a block that was not sent.
        StoredDifferently,
        // The module on the line changed while the user was asked, and the
        // question about the new one was declined; nothing was sent.
        ModuleChanged
    };

    struct WriteOutcome
    {
        WriteStatus status = WriteStatus::Cancelled;
        WritePlan plan;
        // Set once the backup was tried: the file written, or the folder or
        // file that could not be.
        std::optional<BackupStore::SaveResult> backup;
        BlockResult settingsBlock = BlockResult::NotSent;
        BlockResult smsBlock = BlockResult::NotSent;
        // StoredDifferently: the fields as sent (before) and as the module
        // holds them (after).
        QList<ConfigurationDifference> storedDifferently;

        bool succeeded() const;
        // Whether the module may hold part of the new configuration now.
        bool leftPartly() const;
        // The backup written before the blocks went; empty without one.
        QString backupPath() const;
        // How the write ended, in one sentence for the user (for a backup
        // that could not be written, with the folder or file and why); empty
        // when it was cancelled after the module was read. The window and telvoro-cli both say it, and
        // leftBehind() after it when the write failed.
        QString summary() const;
        // What a broken write leaves behind, in sentences for the user:
        // which blocks the module acknowledged, that it may hold part of the
        // new configuration, and where the backup of its previous one is.
        QString leftBehind() const;
    };

    // The front end's answer to a write plan.
    enum class WriteAnswer {
        Cancel,
        // Go on; nobody was asked (a script, a series after its first module).
        Send,
        // Go on, as the user answered: the module is read again first, since
        // the cable may have moved while the question was open.
        SendAfterQuestion
    };

    // Asked between the differences and the backup; again, with the new
    // module's differences, when the module changed during the question.
    using WriteConfirmation = std::function<WriteAnswer(const WritePlan &plan)>;

    // The session drives `module`, which it does not own and which may be
    // connected already.
    explicit ModuleSession(Module *module, QObject *parent = nullptr);
    ~ModuleSession() override;

    // The session that drives `module`, for code that is handed the module
    // alone; null when none does.
    static ModuleSession *of(const Module *module);

    // The ports a window lists: (name, label) pairs.
    static QList<QPair<QString, QString>> availablePorts();
    // The same list as the link's scan found it last; portsChanged() tells
    // when it changes. The scan runs every three seconds while no module is
    // connected, and at once with scanPorts().
    QList<QPair<QString, QString>> scannedPorts() const;
    void scanPorts();

    Module *module() const;
    State state() const;
    bool isConnected() const;
    // Something runs on the link; a new exchange would be refused.
    bool isBusy() const;

    bool connectPort(const QString &name);
    // Connects through an open device as through the port `name` (see
    // Module::connectDevice()), such as an emulated module in a test.
    bool connectDevice(QIODevice *device, const QString &name);
    void disconnectPort();
    // The port of the last connection, as it was given; kept after the
    // connection ends.
    QString portName() const;
    // Why the last connection failed (None after a success), and the reason
    // in words for the user ("port jest zajęty przez inny program."), empty
    // when the port was there and free but no module answered.
    ConnectionFailure connectionFailure() const;
    QString connectionProblem() const;
    // Why the last connection failed and what to do next, as the user is
    // told it (see connectionFailureText()); empty after a success.
    QString connectionFailureText() const;
    // Every message sent and answer received on the link.
    LinkLog *log() const;

    // What the module holds: the last configuration read from it or verified
    // after a write during this connection (SIM PIN and PUK as it reported
    // them); empty when unknown, as after a failed write.
    const std::optional<Configuration> &moduleConfiguration() const;

    // The module's configuration, or nothing when it did not come whole.
    // `beforeReading`, when given, runs first, already in the Reading state,
    // and may cancel the read by returning false.
    std::optional<Configuration> read(const std::function<bool()> &beforeReading = {});

    // Writes `configuration`, a copy the front end took when the write
    // started: read the module, list the changes, ask (and after a question,
    // read again: a different module is asked about anew), back up what was
    // read (nothing is sent without it), send the settings block and, when
    // the module's differs or is unknown, the SMS block, then read back and
    // compare the whole image the module should hold when `verify` is set.
    WriteOutcome write(const Configuration &configuration, bool verify, const WriteConfirmation &confirm);

    // The module's name the backups of later writes carry beside the port,
    // as a series of modules names each one; empty for none.
    void setBackupModuleName(const QString &name);

    QByteArray readOnlineState();
    // The module does not answer; true when the link is still open after it.
    bool sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask);
    bool writePinPuk(const QByteArray &pin, const QByteArray &puk, quint8 pinRequest);

    // While something runs on the link, remembers `operation` to run once the
    // link is free again, and returns true; a request already waiting is not
    // added twice, and one whose `request` object is gone is dropped.
    bool deferWhileBusy(QObject *request, const std::function<void()> &operation);

    // A write stops at its next step between two exchanges, an owed pause
    // before a block included: no exchange is ever cut short, and a block not
    // yet sent is not sent. Once every block went, the read-back still runs.
    // A connection being made gives up at its next wait.
    void requestInterruption();
    bool interruptionWasRequested() const;
    // "Przerwij" during a wait: the exchange waited for ends at once as
    // unanswered (its block then counts as not acknowledged) and the
    // operation stops as after requestInterruption(). Nothing new goes to the
    // module until the time it was allowed for that message is over.
    void stopWaiting();
    // What the link waits for now and the seconds left at most ("Czekam na
    // potwierdzenie bloku tekstów SMS… 8 s"); empty while nothing is waited for.
    QString waitText() const;

signals:
    void stateChanged(ModuleSession::State state);
    // The connected line went away; see Module::connectionLost().
    void connectionLost();
    void portsChanged();
    // How far a step has come, against the longest its exchanges may take
    // one after the other: emitted with 0 when the step starts, above 0 and
    // below the limit as its exchanges go, and once more when it ends,
    // whatever the outcome, with elapsedMilliseconds equal to
    // limitMilliseconds. Polling and the manual outputs are no steps.
    void progress(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds);

private:
    struct WaitingOperation
    {
        QPointer<QObject> request;
        std::function<void()> run;
    };

    void setState(State newState);
    void beginStep(Step step, int limitMilliseconds);
    void endStep();
    // Module::exchangeProgress() within the running step.
    void showExchangeProgress(int elapsedMilliseconds, int limitMilliseconds);
    bool connectWith(const QString &name, const std::function<bool()> &connectLink);
    // Back to Idle, or to Disconnected when the line went meanwhile.
    void finishOperation();
    void lineLost();
    void runWaitingOperations();
    std::optional<QByteArray> readImage();
    void runWrite(const Configuration &configuration, bool verify, const WriteConfirmation &confirm,
                  WriteOutcome *outcome);
    // The plan of writing `configuration` over `image`, the module's.
    WritePlan planOver(const QByteArray &image, const Configuration &configuration) const;
    // Asks until the module read after the answer is the one asked about;
    // nothing when the write goes on, else how it ended.
    std::optional<WriteStatus> confirmOnTheSameModule(const Configuration &configuration, const WriteConfirmation &confirm,
                                       std::optional<QByteArray> *before, WriteOutcome *outcome);
    WriteStatus sendBlocks(const Configuration &configuration, bool verify, WriteOutcome *outcome);
    WriteStatus compareReadBack(const Configuration &sent, const QByteArray &readBack, WriteOutcome *outcome);

    Module *link;
    State current;
    QString port;
    std::optional<Step> step;
    int stepLimit = 0;
    // The limits of the step's exchanges that have ended.
    int stepExchangesDone = 0;
    int exchangeRemaining = 0;
    std::optional<Configuration> known;
    QList<WaitingOperation> waiting;
    bool interruptionRequested = false;
    // The configuration of the last write that sent a block, whatever module
    // was on the line.
    std::optional<Configuration> lastSent;
    QString backupModuleName;
};

#endif
