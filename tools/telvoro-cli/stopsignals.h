#ifndef STOPSIGNALS_H
#define STOPSIGNALS_H

#include <QObject>

// SIGINT (Ctrl+C), SIGTERM and SIGHUP (a closed terminal or SSH session) for
// a command that may talk to a module, from the program's start to its end.
// While no port is open, one of them ends the program at once, saying that
// nothing was sent to the module (exit code 4). While an object of this
// class lives, each one is reported by received() from the event loop, a
// nested one too, so that the command can stop between two exchanges with
// the module, never in the middle of one, and close the port as usual.
// Objects may live side by side (a series and the connection of its module
// at hand): each one hears every signal.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    // Called first in main(), before anything can take long.
    static void catchFromStart();

    StopSignals();
    ~StopSignals() override;

signals:
    void received();

private:
    static void takeSignal();
};

#endif
