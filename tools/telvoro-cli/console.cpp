#include "console.h"

#include <cstdio>
#include <unistd.h>

namespace {

void write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    // A reader at the end of a pipe (a watch into a log) sees each line as
    // it comes.
    std::fflush(stream);
}

} // namespace

void Console::out(const QString &text)
{
    write(stdout, text);
}

void Console::message(const QString &text)
{
    write(stderr, QStringLiteral("telvoro-cli: %1\n").arg(text));
}

void Console::error(const QString &text)
{
    write(stderr, text);
}

bool Console::errorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}
