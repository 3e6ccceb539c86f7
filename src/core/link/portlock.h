#ifndef PORTLOCK_H
#define PORTLOCK_H

#include "link/connectionfailure.h"

#include <QCoreApplication>
#include <QString>

#include <termios.h>

// One program's hold on a module's port, taken before the first byte is sent
// and kept while the port is in use: flock() on the device itself, which
// every program of this project takes, root included (the exclusive mode of
// a terminal, TIOCEXCL, does not keep root out). A port another program
// holds in exclusive mode counts as taken, and that mode is left alone.
//
// Taking the hold sends nothing and changes nothing; releasing it puts back
// the line settings the device had, so a device that turned out not to be a
// module is left as it was found. The terminal this program runs in is never
// taken.
class PortLock
{
    Q_DECLARE_TR_FUNCTIONS(PortLock)

public:
    PortLock() = default;
    ~PortLock();
    PortLock(const PortLock &) = delete;
    PortLock &operator=(const PortLock &) = delete;

    // False, with problem() saying why, when the device cannot be a free
    // module's port.
    bool take(const QString &path);
    void release();
    bool isHeld() const;
    // The device, open for reading and writing, while the hold lasts.
    int descriptor() const;

    // Why the last take() failed, as the user is told ("port jest zajęty
    // przez inny program."); empty after a success.
    QString problem() const;
    ConnectionFailure failure() const;
    // Whether trying again a moment later may help: a port that is missing
    // may yet appear (an adapter being plugged in), one that is busy, is no
    // serial port or may not be used stays so.
    bool retryCanHelp() const;

    static QString busyProblem();

private:
    // The problem of a failed stat() or open() with this errno.
    bool refuseAfter(int error);
    bool refuse(ConnectionFailure failure, const QString &problem, bool retryHelps = false);

    int device = -1;
    bool settingsSaved = false;
    termios savedSettings {};
    QString lastProblem;
    ConnectionFailure lastFailure = ConnectionFailure::None;
    bool lastRetryHelps = false;
};

#endif
