#include "simcodeinput.h"

#include "console.h"

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Longer than any code: a longer line is cut there and refused as a code,
// and an input without line ends (/dev/zero) is not read on and on.
constexpr int LongestLine = 64;

termios typedTerminal {};

// Echo comes back before a signal ends the program at the prompt.
void restoreEchoAndStop(int signalNumber)
{
    ::tcsetattr(STDIN_FILENO, TCSANOW, &typedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// One line, without its line end (CR LF too).
QString readLine()
{
    QByteArray line;
    char character = 0;
    while (line.size() < LongestLine && ::read(STDIN_FILENO, &character, 1) == 1 && character != '\n')
        line.append(character);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLatin1(line);
}

// Asks on the terminal; what is typed is not shown, the line end is.
QString readHidden(const QString &prompt)
{
    Console::error(prompt);
    if (::tcgetattr(STDIN_FILENO, &typedTerminal) == -1)
        return readLine();
    termios hidden = typedTerminal;
    hidden.c_lflag &= ~tcflag_t(ECHO);
    hidden.c_lflag |= ECHONL;
    const int stopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    for (const int signalNumber : stopSignals)
        std::signal(signalNumber, restoreEchoAndStop);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    const QString line = readLine();
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &typedTerminal);
    for (const int signalNumber : stopSignals)
        std::signal(signalNumber, SIG_DFL);
    return line;
}

} // namespace

SimCodeInput::Codes SimCodeInput::read()
{
    // From here on the program's memory holds the codes: a core dump of it
    // must not keep them, nor another process of this user read them.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::prctl(PR_SET_DUMPABLE, 0);
    if (::isatty(STDIN_FILENO) != 1)
        return {readLine(), readLine()};
    Codes codes;
    codes.pin = readHidden(tr("Kod PIN: "));
    codes.puk = readHidden(tr("Kod PUK (Enter: bez kodu PUK): "));
    return codes;
}
