#ifndef LINKLOG_H
#define LINKLOG_H

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

// Every message the link sent to the module and every answer, for support:
// when, which way, which command, the bytes, how long the answer took and
// what became of it. The SIM PIN and PUK never enter it: their bytes are
// masked before an entry is made, at their place in the messages and answers
// whose layout is known, and every digit of bytes whose layout is not. The
// newest entries are kept for the program's run.
//
// One entry a line, fields separated by tabs (docs/link-log.md):
// "2025-03-14 09:26:53.120	do modemu	A	1	0 ms	wysłano	41".
class LinkLog : public QObject
{
    Q_OBJECT

public:
    enum class Direction { Sent, Received };
    Q_ENUM(Direction)
    // Sent: a message went out; the other outcomes are the answers'. Late:
    // bytes found on the line once their command's wait was over, logged
    // when the next message was about to go. Wrong: not the answer the
    // command expects.
    enum class Outcome { Sent, Answered, Late, Wrong, Unanswered, LineLost };
    Q_ENUM(Outcome)

    struct Entry
    {
        QDateTime time;
        Direction direction = Direction::Sent;
        // "i", "A", "B", "C", "pa", "pb" or "pc".
        QString command;
        // Every byte that came, also those beyond what is kept.
        int length = 0;
        // Upper-case hex separated by spaces, the SIM codes as "**"; ends in
        // " …" (UTF-8) when fewer bytes were kept than came.
        QByteArray hex;
        // Sent: from the command being asked to the message going out (the
        // SMS block first waits for a quiet line); received: since the
        // message went.
        int waitMilliseconds = 0;
        Outcome outcome = Outcome::Sent;
    };

    // The fields of a line, in their order.
    enum class Field { Time, Direction, Command, Length, Wait, Outcome, Bytes };
    static constexpr int FieldCount = 7;

    static constexpr int Capacity = 5000;

    explicit LinkLog(QObject *parent = nullptr);

    void addSent(const QString &command, const QByteArray &message, int waitMilliseconds);
    // `receivedCount`, when more bytes came than `answer` keeps: how many.
    void addReceived(const QString &command, const QByteArray &answer, int waitMilliseconds, Outcome outcome,
                     qint64 receivedCount = -1);

    // Oldest first, at most Capacity.
    const QList<Entry> &entries() const;

    // The entry as one line of the log's text, without its line end.
    static QString line(const Entry &entry);
    static QString fieldText(const Entry &entry, Field field);

signals:
    // After the entry was added, and the oldest dropped beyond Capacity.
    void entryAdded(const LinkLog::Entry &entry);

private:
    // Completes the entry: its time, and the bytes' length and masked hex.
    void add(Entry entry, const QByteArray &bytes, qint64 count);

    QList<Entry> kept;
};

#endif
