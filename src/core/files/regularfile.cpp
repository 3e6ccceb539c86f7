#include "files/regularfile.h"

#include <QFile>

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
