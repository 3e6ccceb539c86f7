#ifndef MODULEEMULATOR_H
#define MODULEEMULATOR_H

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QSet>
#include <QString>

class PseudoTerminal;

// A TX48 module behind a pseudo-terminal: it takes the tool's commands from
// the byte stream, keeps a configuration image and answers like the module,
// or with one of the faults a real line or module shows.
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
        ShortLive
    };

    ModuleEmulator(PseudoTerminal *line, QObject *parent = nullptr);

    static bool faultFromName(const QString &name, Fault *fault);
    static QByteArray defaultImage();

    void setImage(const QByteArray &image);
    void setFaults(const QSet<Fault> &faults);
    void setLateMilliseconds(int milliseconds);
    bool setLogFile(const QString &fileName);

private:
    void receive(const QByteArray &bytes);
    void cancelPendingAnswers();
    // Length of the command at the start of the input, 0 while it is incomplete.
    qsizetype nextCommandLength() const;
    void execute(const QByteArray &command);
    void answer(const QByteArray &command, const QByteArray &bytes);
    QByteArray liveState();

    PseudoTerminal *line;
    QByteArray input;
    QByteArray image;
    QSet<Fault> faults;
    int lateMilliseconds = 4000;
    QFile log;
    quint32 pollCount = 0;
    // Raised whenever the tool closes its end, so late answers meant for an
    // earlier session are not sent into a new one.
    quint32 session = 0;
};

#endif
