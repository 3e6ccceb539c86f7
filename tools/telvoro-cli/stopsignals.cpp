#include "stopsignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only write to a pipe; the event loop reads the other end.
int signalPipe[2] = {-1, -1};

void noteSignal(int)
{
    const char note = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &note, 1);
}

void handleStopSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace

StopSignals::StopSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == -1)
        return;
    notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &StopSignals::takeSignal);
    handleStopSignals(noteSignal);
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    handleStopSignals(SIG_DFL);
    notifier.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void StopSignals::takeSignal()
{
    char notes[16];
    while (::read(signalPipe[0], notes, sizeof notes) > 0) {
    }
    emit received();
}
