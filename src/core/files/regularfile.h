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

    // Whether both names lead to one file that is there (links included),
    // which a program must not write while it reads it.
    static bool isSameFile(const QString &path, const QString &otherPath);

    enum class Writing { Append, Truncate };
    // Opens a regular file to write to, made with `newFileMode` when it is
    // not there, and never waits: a FIFO, a terminal or another device is
    // refused (before it is truncated). The descriptor, blocking and closed
    // on exec, or -1 with *reason saying why ("to nie jest zwykły plik", or
    // the system's words).
    static int openForWriting(const QString &path, Writing writing, int newFileMode, QString *reason);
};

#endif
