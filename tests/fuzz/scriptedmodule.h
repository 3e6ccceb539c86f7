#ifndef SCRIPTEDMODULE_H
#define SCRIPTEDMODULE_H

#include <QByteArray>
#include <QIODevice>

#include <functional>

// An in-memory module line for the module-answer fuzz target: each command
// the tool writes is answered with the next scripted answer, handed out in
// pieces at the times the script gives. It keeps what a test needs to check
// an exchange's result: the bytes that came after the last command.
class ScriptedModule : public QIODevice
{
public:
    enum class Timing {
        AtOnce,  // every piece as soon as the command is written
        Spread,  // piece n after (n + 1) gaps
        Late,    // as Spread, but starting once the exchange's limit is over
        Early    // all of it before the command, like a lingering answer
    };
    struct Answer
    {
        QByteArray bytes;
        int pieces = 1;
        Timing timing = Timing::AtOnce;
        int gapMilliseconds = 0;
        // The line goes away after the last piece.
        bool lineDrops = false;
    };

    // How the next command is answered; a Late answer starts after
    // `limitMilliseconds`. An Early answer is handed out at once.
    void answerNextCommandWith(const Answer &answer, int limitMilliseconds);

    int commandCount() const { return commands; }
    // The bytes handed out since the last command, and whether the line has
    // gone away since.
    QByteArray receivedSinceCommand() const { return sinceCommand; }
    bool droppedSinceCommand() const { return dropped; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    void close() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void deliver(const QByteArray &piece);
    void later(int milliseconds, const std::function<void()> &action);

    Answer next;
    int lateStart = 0;
    QByteArray unread;
    QByteArray sinceCommand;
    bool dropped = false;
    int commands = 0;
    // Raised when the line closes, so pieces still on their way are dropped.
    quint32 session = 0;
};

#endif
