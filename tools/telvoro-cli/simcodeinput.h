#ifndef SIMCODEINPUT_H
#define SIMCODEINPUT_H

#include <QCoreApplication>
#include <QString>

// The SIM PIN and PUK for the pin command, from standard input: the PIN on
// the first line, the PUK on the second (an empty or missing line: no PUK).
// Never from the command line, where every user of the machine can read
// them in the list of processes. On a terminal each is asked for on standard
// error and typed without echo. Reading them turns core dumps of the
// program off.
class SimCodeInput
{
    Q_DECLARE_TR_FUNCTIONS(SimCodeInput)

public:
    struct Codes
    {
        QString pin;
        QString puk;
    };

    static Codes read();
};

#endif
