#ifndef REGULARFILE_H
#define REGULARFILE_H

#include <QByteArray>
#include <QString>
#include <optional>

// Reading a file that a user named or the program keeps. Whatever the name
// turns out to be, the program neither waits nor runs out of memory: a FIFO,
// a device or a folder is refused at once, before it is opened (opening a
// FIFO waits for a writer, /dev/zero never ends, opening a serial port acts
// on its lines), and no more is read than the caller can use.
class RegularFile
{
public:
    // The whole file; nothing when it is no regular file, cannot be read, or
    // holds more than maximumSize bytes.
    static std::optional<QByteArray> read(const QString &path, qint64 maximumSize);
    // The first `size` bytes of the file (fewer when it is shorter); nothing
    // when it is no regular file or cannot be read.
    static std::optional<QByteArray> readStart(const QString &path, qint64 size);
};

#endif
