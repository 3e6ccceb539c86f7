#ifndef PSEUDOTERMINAL_H
#define PSEUDOTERMINAL_H

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The emulator's end (the master) of a pseudo-terminal. The tool opens the
// other end, the slave, exactly like a serial adapter.
//
// A pseudo-terminal keeps bytes the tool did not read when it closes its end,
// and hands them over at the next open; a real serial line loses them. So
// this end behaves like a line: while the tool's end is closed nothing is
// written, and whatever the tool left unread is thrown away when it closes.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(QObject *parent = nullptr);
    ~PseudoTerminal() override;

    bool open();
    QString errorString() const;
    QString slavePath() const;
    bool isPeerOpen() const;
    // Bytes written while the tool's end is closed are dropped.
    void write(const QByteArray &bytes);
    // Writes `pattern` over and over, as fast as the tool reads, until the
    // tool closes its end: a line that floods.
    void flood(const QByteArray &pattern);

signals:
    void received(const QByteArray &bytes);
    void peerClosed();

private:
    void readMaster();
    void writeFlood();
    void checkPeer();
    void enterPeerClosed();
    void dropUnreadInputOfPeer();

    int masterFd = -1;
    QString path;
    QString error;
    QSocketNotifier *notifier = nullptr;
    QSocketNotifier *floodNotifier = nullptr;
    QByteArray floodBytes;
    // The master cannot be told when the slave is opened again; while it is
    // closed, its hang-up state is polled instead.
    QTimer peerWatch;
    bool peerOpen = false;
};

#endif
