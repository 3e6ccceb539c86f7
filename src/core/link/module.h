#ifndef MODULE_H
#define MODULE_H

#include "link/connectionfailure.h"
#include "link/linklog.h"
#include "link/portlock.h"
#include "link/receivedbytes.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <optional>

class Configuration;
class ModuleSession;
class QEventLoop;
class QIODevice;

// The serial link to one TX48 module: the port scan, the connection and every
// command of the module's protocol. Each wait is a nested event loop, so the
// window keeps working while a command is outstanding.
//
// A command that expects an answer ends once the whole answer has arrived and
// the line has stayed quiet for a moment; its fixed wait is only the upper
// bound. The settings key "fixedModuleWaits" (true) makes every command wait
// its full time again, for a module that turns out to need it.
class Module : public QObject
{
    Q_OBJECT

public:
    enum class Command {
        Probe,
        ReadConfiguration,
        ReadOnlineState,
        ManualOutputs,
        SettingsBlock,
        SmsBlock,
        PinPuk
    };

    Module();

    bool connectPort(QString name);
    // Why the last connectPort() failed, as the user is told ("port jest
    // zajęty przez inny program."); empty when it succeeded or the port was
    // there and free but no module answered.
    QString connectionProblem() const;
    // Why the last connection failed; None after a success.
    ConnectionFailure connectionFailure() const;
    // Connects through an open device instead of the serial port, such as an
    // in-memory module of a test or fuzzing program: the wait after opening,
    // then the probe. The device is not taken over; disconnectPort() closes
    // it and the serial port is used again. Closed by anyone else, the
    // device is a line that went away (connectionLost()).
    bool connectDevice(QIODevice *device);
    void disconnectPort();
    // A connection being made gives up at its next wait, as unanswered, and
    // the port is closed again; nothing else is sent.
    void abandonConnection();
    bool testPort(QString name);
    // The device file of a port name: a name without a folder lives in /dev.
    static QString systemLocation(const QString &name);
    bool isConnected() const;
    // True while a command waits for its answer; a second command is refused
    // meanwhile, so two exchanges never mix their answers.
    bool isBusy() const;

    // The longest the command's exchange can take, in milliseconds: the quiet
    // before the message (SMS block only) and the wait for the answer.
    int limitMilliseconds(Command command) const;
    // The longest a write of the blocks can take: the settings block's limit,
    // plus the SMS block's when it goes too.
    int writeLimitMilliseconds(bool withSmsBlock) const;

    void waitHalfSecond();
    // Waits the quiet the module is owed before `command` (the SMS block's
    // three periods), so that the caller may still decide not to send it;
    // the exchange then waits no more. endPause() ends it early; false then,
    // or when the link closed meanwhile.
    bool waitOwedPause(Command command);
    // Ends an owed pause running now; never an exchange's wait for its answer.
    void endPause();
    static QByteArray padded(QByteArray text, int length);
    bool probe();
    QByteArray readConfiguration();
    QByteArray readOnlineState();
    void sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask);
    bool writeSettingsBlock(const Configuration &configuration);
    bool writeSmsBlock(const Configuration &configuration);
    bool writePinPuk(QByteArray pin, QByteArray puk, quint8 pinRequest);
    // Ends the running exchange at once as unanswered, whatever comes later.
    // The module may still be taking the message, so nothing is sent again
    // until the wait the command allows the module is over.
    void abandonExchange();
    // The command whose exchange runs now, if any.
    std::optional<Command> runningCommand() const;
    // The first bytes of the answer to the last connection's probe when it
    // was not the module's.
    QByteArray wrongProbeAnswer() const;

    // Every message sent and answer received on this link, the port test's
    // included.
    LinkLog *log();

    // The module's period is 500 ms; tests may shorten it. The waits of the
    // port test (300 ms) and of its retry (1000 ms) shrink in proportion.
    void setPeriodForTests(int milliseconds);

    QSerialPort *port;
    QList<QPair<QString, QString>> availablePorts;
    QTimer portsTimer;

signals:
    void newAvailablePorts();
    // How far the running exchange is against its upper bound: emitted with
    // 0 when it starts, a few times a second, and once more when it ends,
    // then with elapsedMs equal to limitMs, whatever the outcome.
    void exchangeProgress(int elapsedMs, int limitMs);
    // The connected device went away (adapter pulled, module's line gone).
    // The port is closed and the scan runs again; an exchange that was
    // waiting returns as unanswered right after this signal.
    void connectionLost();
    void exchangeAbandoned();

public slots:
    void readAvaiblePorts();

private:
    bool connectLink();
    bool testLine(int fd);
    void waitMilliseconds(int milliseconds);
    // Runs a nested event loop for at most `milliseconds`; it ends sooner when
    // `answerSize` bytes or more are in and the line then stays quiet, or
    // when the link closes. An answer size of 0 waits the whole time.
    void waitOnLink(int milliseconds, int answerSize = 0, bool pause = false);
    // What is left of the quiet the module is owed before `command`.
    int owedQuiet(Command command) const;
    QByteArray exchange(Command command, const QByteArray &message);
    // The exchange, and whether the module gave the answer the command expects.
    bool exchangeAcknowledged(Command command, const QByteArray &message);
    // Bytes left on the line since the last exchange ended go to the log as
    // its late answer.
    void logLateBytes();
    void checkPortError(QSerialPort::SerialPortError error);
    // The link closes under the tool: the port is given up and the scan runs again.
    void lineGone();
    bool portHungUp() const;

    friend class ModuleSession;
    // The session driving this link, through which the front ends reach it.
    QPointer<QObject> driver;
    QIODevice *link;
    PortLock lock;
    QString problem;
    ConnectionFailure failure = ConnectionFailure::None;
    int period = 500;
    bool busy = false;
    bool connecting = false;
    bool abandoning = false;
    bool fixedWaits = false;
    // Since the last byte the tool sent or received in an exchange; the quiet
    // before the SMS block counts from there (in full while nothing was sent).
    QElapsedTimer lineActivity;
    // The owed quiet was waited out by waitOwedPause() just now.
    bool quietServed = false;
    bool pauseEnded = false;
    QEventLoop *pauseLoop = nullptr;
    LinkLog linkLog;
    // What came since the last answer was taken, bounded.
    ReceivedBytes incoming;
    // The last message sent, for bytes that come after its wait.
    QString lastCommand;
    QElapsedTimer lastMessage;
    std::optional<Command> running;
    bool abandoned = false;
    // Until then the module may still be busy with an abandoned message.
    QDeadlineTimer owedSilence;
    QByteArray probeAnswer;
};

#endif
