#ifndef CONNECTIONFAILURE_H
#define CONNECTIONFAILURE_H

// Why a connection to a module failed; the words for the user come with it
// (PortLock::problem(), ModuleSession::connectionProblem()).
enum class ConnectionFailure {
    None,
    // The port was there and free, but no module answered the probe.
    NoAnswer,
    PortMissing,
    PortBusy,
    NotSerialPort,
    // The terminal this program runs in.
    OwnTerminal,
    NotPermitted,
    // Any other reason the system gave for not opening the port.
    CannotOpen
};

#endif
