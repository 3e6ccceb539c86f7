#ifndef CONSOLE_H
#define CONSOLE_H

#include <QString>
#include <QStringList>

// The program's two output streams, in UTF-8. Results go to standard output,
// messages and progress to standard error, so that a result can be piped on.
namespace Console {

// False once standard output cannot take what is written (a full disk, a
// reader that went away, even with SIGPIPE ignored); the first failure is
// told on standard error, and nothing is written after it.
bool out(const QString &text);
// One message line, after the program's name. An argument of the command
// line that could be a SIM code (four digits or more) shows as "****".
void message(const QString &text);
// Text as it is, for progress shown in place.
void error(const QString &text);
bool errorIsTerminal();
// The arguments that message() must not repeat.
void hideCodesOf(const QStringList &arguments);
// The exit code once the program is done: ExitFileFault when standard output
// failed, also while it is closed at the end, otherwise exitCode.
int finish(int exitCode);

} // namespace Console

#endif
