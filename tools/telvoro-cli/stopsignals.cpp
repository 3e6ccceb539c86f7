#include "stopsignals.h"

#include "exitcode.h"

#include <QList>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only write to a pipe, or say its line and end; the event
// loop reads the other end.
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t reported = 0;
// The objects that hear the signals, and the one watch on the pipe for them.
QList<StopSignals *> listeners;
std::unique_ptr<QSocketNotifier> notifier;

// The words of Console::message(), ready before any signal can come.
constexpr char NothingSent[] = "telvoro-cli: Przerwano. Do modemu nic nie wysłano.\n";

void noteSignal(int)
{
    if (reported != 0) {
        const char note = 1;
        [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &note, 1);
        return;
    }
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, NothingSent, std::strlen(NothingSent));
    ::_exit(ExitModuleFault);
}

} // namespace

void StopSignals::catchFromStart()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == -1)
        return;
    struct sigaction action {};
    action.sa_handler = noteSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

StopSignals::StopSignals()
{
    if (signalPipe[0] == -1)
        return;
    if (listeners.isEmpty()) {
        notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        connect(notifier.get(), &QSocketNotifier::activated, &StopSignals::takeSignal);
    }
    listeners.append(this);
    reported = 1;
}

StopSignals::~StopSignals()
{
    listeners.removeOne(this);
    if (listeners.isEmpty()) {
        notifier.reset();
        reported = 0;
    }
}

void StopSignals::takeSignal()
{
    char notes[16];
    while (::read(signalPipe[0], notes, sizeof notes) > 0) {
    }
    // After a hang-up the terminal's pipe may have no reader: a message
    // written there must fail, not end the program before the port is
    // put back.
    ::signal(SIGPIPE, SIG_IGN);
    for (StopSignals *listener : QList<StopSignals *>(listeners))
        emit listener->received();
}
