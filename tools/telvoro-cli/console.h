#ifndef CONSOLE_H
#define CONSOLE_H

#include <QString>

// The program's two output streams, in UTF-8. Results go to standard output,
// messages and progress to standard error, so that a result can be piped on.
namespace Console {

void out(const QString &text);
// One message line, after the program's name.
void message(const QString &text);
// Text as it is, for progress shown in place.
void error(const QString &text);
bool errorIsTerminal();

} // namespace Console

#endif
