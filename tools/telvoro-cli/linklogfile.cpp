#include "linklogfile.h"

#include "console.h"
#include "exitcode.h"
#include "link/linklog.h"

#include <QCoreApplication>
#include <QFile>
#include <QObject>

namespace {

QFile file;
bool writeFailed = false;

void tell(const QString &reason)
{
    Console::message(QCoreApplication::translate("LinkLogFile", "%1: Nie można zapisać dziennika komunikacji (%2).")
                             .arg(file.fileName(), reason));
}

void append(const LinkLog::Entry &entry)
{
    if (!file.isOpen() || writeFailed)
        return;
    const QByteArray line = LinkLog::line(entry).toUtf8() + '\n';
    if (file.write(line) == line.size() && file.flush())
        return;
    writeFailed = true;
    tell(file.errorString());
}

} // namespace

bool LinkLogFile::open(const QString &path)
{
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        tell(file.errorString());
        return false;
    }
    return true;
}

void LinkLogFile::follow(const LinkLog *log)
{
    QObject::connect(log, &LinkLog::entryAdded, &append);
}

// Closing is where a file system that writes late reports its failure.
int LinkLogFile::finish(int exitCode)
{
    if (file.isOpen()) {
        file.close();
        if (!writeFailed && file.error() != QFileDevice::NoError) {
            writeFailed = true;
            tell(file.errorString());
        }
    }
    return writeFailed ? ExitFileFault : exitCode;
}
