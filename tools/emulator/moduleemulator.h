#ifndef MODULEEMULATOR_H
#define MODULEEMULATOR_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// A TX48 module: it takes the tool's commands from the byte stream, keeps a
// configuration image and answers like the module, or with one of the faults
// a real line or module shows. The line is the caller's: a pseudo-terminal
// for the program, an EmulatedLine for a test in its own process.
class ModuleEmulator : public QObject
{
    Q_OBJECT

public:
    enum class Fault {
        Silent,
        WrongAnswer,
        Late,
        ShortImage,
        LongImage,
        NoSettingsAck,
        NoSmsAck,
        NoPinAck,
        Linger,
        ShortLive,
        StoreChanged,
        StaleImage,
        Noise,
        Flood,
        SmsStoreChanged
    };

    explicit ModuleEmulator(QObject *parent = nullptr);

    static bool faultFromName(const QString &name, Fault *fault);
    // The commands whose answers can be delayed: i, A, B, C, pa, pb, pc.
    static bool isCommandName(const QString &name);
    static QByteArray defaultImage();

    void setImage(const QByteArray &image);
    // The image as it is now, SIM PIN and PUK included.
    QByteArray currentImage() const;
    void setFaults(const QSet<Fault> &faults);
    void setLateMilliseconds(int milliseconds);
    // Every answer leaves this long after its command was taken, unless its
    // command has a delay of its own.
    void setAnswerDelay(int milliseconds);
    void setAnswerDelay(const QString &commandName, int milliseconds);
    // Paces the line like a serial line at `baud` (10 bits a byte) instead of
    // passing bytes at once; 0 turns pacing off.
    void setBaudRate(int baud);
    // A regular file only, so that a FIFO without a reader cannot hold the
    // emulator up; false with *reason otherwise.
    bool setLogFile(const QString &fileName, QString *reason);
    // Every command taken so far, as the log writes it.
    QStringList commandLog() const;

    // Bytes from the tool.
    void receive(const QByteArray &bytes);
    // The tool closed its end: what it sent unfinished and the answers still
    // pending are dropped, so none of them reaches its next connection.
    void cancelPendingAnswers();

signals:
    // Answer bytes onto the line.
    void transmitted(const QByteArray &bytes);
    // Fault "flood": the line is to send `pattern` over and over, as fast as
    // it can, until the tool closes its end.
    void floodRequested(const QByteArray &pattern);
    // A whole command, taken before it is answered; its name as isCommandName() knows it.
    void commandTaken(const QString &name);

private:
    // Length of the command at the start of the input, 0 while it is incomplete.
    qsizetype nextCommandLength() const;
    void execute(const QByteArray &command);
    // Puts a written block into the image at `offset`; the store-changed
    // fault then raises the image's byte `changedByte` by one.
    void store(int offset, const QByteArray &block, int changedByte);
    void answer(const QByteArray &command, const QByteArray &bytes);
    void send(const QByteArray &bytes);
    void sendDueBytes();
    // Runs `action` after `milliseconds`, unless the tool closes its end first.
    void later(int milliseconds, const std::function<void()> &action);
    QByteArray liveState();

    QByteArray input;
    QByteArray image;
    QSet<Fault> faults;
    int lateMilliseconds = 4000;
    int answerDelay = 0;
    QHash<QString, int> commandDelays;
    // Pacing: the time one byte takes on the line (0: no pacing), when the
    // tool's bytes received so far have crossed it, and the answer bytes
    // still on their way with the time the next of them is through.
    qint64 byteNanoseconds = 0;
    QElapsedTimer lineClock;
    qint64 inboundDoneAt = 0;
    QByteArray outgoing;
    qint64 nextOutgoingDoneAt = 0;
    QTimer paceTimer;
    QFile log;
    QStringList commands;
    quint32 pollCount = 0;
    // Raised whenever the tool closes its end, so late answers meant for an
    // earlier session are not sent into a new one.
    quint32 session = 0;
    // The session whose first command was answered, for the stale-image fault.
    quint32 staleImageSession = quint32(-1);
};

#endif
