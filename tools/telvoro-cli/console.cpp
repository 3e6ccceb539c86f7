#include "console.h"

#include "exitcode.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

bool outputFailed = false;
QStringList hiddenArguments;

bool write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // A reader at the end of a pipe (a watch into a log) sees each line as
    // it comes, and a failure shows at once.
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
            && std::fflush(stream) == 0;
}

bool outputFailure(int error)
{
    outputFailed = true;
    Console::message(QCoreApplication::translate("Console", "Nie można zapisać na standardowe wyjście (%1).")
                             .arg(QString::fromLocal8Bit(std::strerror(error))));
    return false;
}

} // namespace

bool Console::out(const QString &text)
{
    if (outputFailed)
        return false;
    return write(stdout, text) || outputFailure(errno);
}

void Console::message(const QString &text)
{
    QString shown = text;
    for (const QString &argument : std::as_const(hiddenArguments))
        shown.replace(QRegularExpression(QStringLiteral("(?<!\\d)%1(?!\\d)").arg(argument)), QStringLiteral("****"));
    write(stderr, QStringLiteral("telvoro-cli: %1\n").arg(shown));
}

void Console::error(const QString &text)
{
    write(stderr, text);
}

bool Console::errorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void Console::hideCodesOf(const QStringList &arguments)
{
    // A PIN has 4 digits, a PUK 8; shorter numbers (a --count) stay. An
    // option is no file or port name: a code typed into it ("--pin4321")
    // is hidden wherever it stands.
    static const QRegularExpression digits(QStringLiteral("^\\d{4,}$"));
    static const QRegularExpression digitsInOption(QStringLiteral("\\d{4,}"));
    hiddenArguments = arguments.filter(digits);
    for (const QString &argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-')))
            continue;
        QRegularExpressionMatchIterator runs = digitsInOption.globalMatch(argument);
        while (runs.hasNext())
            hiddenArguments.append(runs.next().captured());
    }
}

// Closing is where a file system that writes late reports its failure. A
// standard output that was never open fails only if something was written.
int Console::finish(int exitCode)
{
    if (!outputFailed && std::fclose(stdout) != 0 && errno != EBADF)
        outputFailure(errno);
    return outputFailed ? ExitFileFault : exitCode;
}
