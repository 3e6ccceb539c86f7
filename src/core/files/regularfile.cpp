#include "files/regularfile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Up to `limit` bytes of a regular file, judged by its name and then by what
// was opened, in case the name was replaced in between.
std::optional<QByteArray> readUpTo(const QString &path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == -1 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor == -1)
        return std::nullopt;
    QFile file;
    if (::fstat(descriptor, &status) == -1 || !S_ISREG(status.st_mode)
        || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<QByteArray> RegularFile::read(const QString &path, qint64 maximumSize)
{
    // One byte more than allowed tells a file that is too long.
    const std::optional<QByteArray> bytes = readUpTo(path, maximumSize + 1);
    if (!bytes || bytes->size() > maximumSize)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> RegularFile::readStart(const QString &path, qint64 size)
{
    return readUpTo(path, size);
}

int RegularFile::openForWriting(const QString &path, Writing writing, int newFileMode, QString *reason)
{
    const QString notRegular = QCoreApplication::translate("RegularFile", "to nie jest zwykły plik");
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        *reason = notRegular;
        return -1;
    }
    // Non-blocking: a FIFO put in its place meanwhile is refused at once
    // (or opened without waiting, then refused below); it cannot be truncated.
    const int flags = O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC
            | (writing == Writing::Append ? O_APPEND : O_TRUNC);
    const int descriptor = ::open(name.constData(), flags, mode_t(newFileMode));
    if (descriptor == -1) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    if (::fstat(descriptor, &status) == -1 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        *reason = notRegular;
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

bool RegularFile::isSameFile(const QString &path, const QString &otherPath)
{
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(path).constData(), &first) == 0
            && ::stat(QFile::encodeName(otherPath).constData(), &second) == 0 && first.st_dev == second.st_dev
            && first.st_ino == second.st_ino;
}
