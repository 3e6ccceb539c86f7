#ifndef CONNECTIONFAILURE_H
#define CONNECTIONFAILURE_H

#include <QString>

// Why a connection to a module failed; the words for the user come with it
// (PortLock::problem(), ModuleSession::connectionProblem()).
enum class ConnectionFailure {
    None,
    // The port was there and free, but no module answered the probe.
    NoAnswer,
    // Something answered the probe, but not as a module does.
    WrongAnswer,
    PortMissing,
    PortBusy,
    NotSerialPort,
    // The terminal this program runs in.
    OwnTerminal,
    NotPermitted,
    // Any other reason the system gave for not opening the port.
    CannotOpen
};

// The message for the user and the step to take next, in one place for the
// window, telvoro-cli and the port list: "Błąd połączenia z modemem: port nie
// odpowiada. Sprawdź…". `details` is the reason the lock gave (its words), or
// for WrongAnswer the first bytes that came, in hex; empty for None.
QString connectionFailureText(ConnectionFailure failure, const QString &details);

#endif
