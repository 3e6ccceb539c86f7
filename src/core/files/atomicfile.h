#ifndef ATOMICFILE_H
#define ATOMICFILE_H

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <optional>

// Writes the whole file or reports a failure. The old file is replaced only
// once the new one is complete on the disk; after any failure (a full disk,
// a file-size limit, a folder where no new file can be made, lost
// permissions) it is left byte for byte as it was. A name that is there but
// is no regular file (a device, a FIFO) is refused, never replaced.
//
// A file that replaces another keeps its permissions, and its owner and
// group where the system lets the program keep them; a new file gets
// `newFilePermissions`, or without them what the umask leaves of 0666, as
// editors do.
//
// When given, *reason is set after a failure to what the user can do about
// it, in Polish, where more can be said than that the file was not written
// (for instance a folder where no new file can be made), and otherwise to the
// system's reason ("Przyczyna: File too large."); after a success it is
// cleared.
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr,
                        std::optional<QFileDevice::Permissions> newFilePermissions = std::nullopt);

#endif
