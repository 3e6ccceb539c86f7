#include "linklogfile.h"

#include "console.h"
#include "exitcode.h"
#include "files/regularfile.h"
#include "link/linklog.h"

#include <QCoreApplication>
#include <QObject>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString fileName;
int descriptor = -1;
bool writeFailed = false;

void tell(const QString &reason)
{
    Console::message(QCoreApplication::translate("LinkLogFile", "%1: Nie można zapisać dziennika komunikacji (%2).")
                             .arg(fileName, reason));
}

void failed(int error)
{
    writeFailed = true;
    tell(QString::fromLocal8Bit(std::strerror(error)));
}

// Straight to the file, so that a full disk or a file-size limit is told
// in the system's words as soon as it happens.
void append(const LinkLog::Entry &entry)
{
    if (descriptor == -1 || writeFailed)
        return;
    const QByteArray line = LinkLog::line(entry).toUtf8() + '\n';
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(descriptor, line.constData() + done, size_t(line.size() - done));
        if (written > 0)
            done += written;
        else if (written == 0 || errno != EINTR) {
            failed(written == 0 ? ENOSPC : errno);
            return;
        }
    }
}

} // namespace

bool LinkLogFile::open(const QString &path)
{
    fileName = path;
    QString reason;
    descriptor = RegularFile::openForWriting(path, RegularFile::Writing::Append, 0600, &reason);
    if (descriptor == -1) {
        tell(reason);
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
    if (descriptor != -1) {
        if (::close(descriptor) != 0 && !writeFailed)
            failed(errno);
        descriptor = -1;
    }
    return writeFailed ? ExitFileFault : exitCode;
}
