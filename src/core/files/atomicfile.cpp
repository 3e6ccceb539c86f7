#include "files/atomicfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the file could not be opened, where the user can act on it.
QString openFault(const QFileInfo &target)
{
    if (target.exists() && !target.isFile())
        return QCoreApplication::translate("AtomicFile", "To nie jest zwykły plik.");
    // The new file is written beside the old one and takes its place only
    // once it is whole; writing over the old file instead would leave it cut
    // short when the disk fills up.
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    if (::access(folder.constData(), F_OK) == 0 && ::access(folder.constData(), W_OK | X_OK) != 0)
        return QCoreApplication::translate("AtomicFile",
                                           "W tym folderze nie można tworzyć plików, a tylko przez nowy "
                                           "plik stary może być zastąpiony bez ryzyka. Należy zapisać plik "
                                           "w innym folderze.");
    return QString();
}

// Only root may give a file away; anyone may keep a group of theirs. A file
// that keeps neither belongs to whoever saved it, as a new file does.
void keepOwner(int descriptor, const struct stat &old)
{
    [[maybe_unused]] const bool kept = ::fchown(descriptor, old.st_uid, old.st_gid) == 0
            || ::fchown(descriptor, uid_t(-1), old.st_gid) == 0;
}

// The system's words for a failure the user cannot be told more about, as
// the program's other messages give them; Qt's own words where the system
// set none (Qt words a failed flush only as an unknown error).
QString systemReason(int error, const QFileDevice &file)
{
    return QCoreApplication::translate("AtomicFile", "Przyczyna: %1.")
            .arg(error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString());
}

} // namespace

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *reason,
                        std::optional<QFileDevice::Permissions> newFilePermissions)
{
    if (reason)
        reason->clear();
    const QFileInfo target(path);
    QSaveFile file(path);
    errno = 0;
    if ((target.exists() && !target.isFile()) || !file.open(QIODevice::WriteOnly)) {
        const int error = errno;
        if (reason) {
            *reason = openFault(target);
            if (reason->isEmpty())
                *reason = systemReason(error, file);
        }
        return false;
    }
    struct stat old {};
    if (::stat(QFile::encodeName(path).constData(), &old) == 0) {
        keepOwner(file.handle(), old);
    } else if (newFilePermissions) {
        // Before a byte of it is written.
        file.setPermissions(*newFilePermissions);
    }
    // QSaveFile buffers what is written: on a full disk or past a file-size
    // limit only the flush fails, and commit() would still put the cut file
    // in place of the old one. So the flush is checked before committing.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        const int error = errno;
        if (reason)
            *reason = systemReason(error, file);
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        if (reason)
            *reason = systemReason(error, file);
        return false;
    }
    return true;
}
