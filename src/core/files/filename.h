#ifndef FILENAME_H
#define FILENAME_H

#include <QByteArray>
#include <QString>

// A file name as the user gave it: bytes. Qt names files by text and turns
// bytes that are no UTF-8 into U+FFFD, which opens another file than the one
// named; such a name is refused, never changed into another.
namespace FileName {

// Whether the text of `bytes` gives exactly these bytes again.
bool isExact(const QByteArray &bytes);
// The bytes to show in a message: those that are no UTF-8 as \xFF.
QString shown(const QByteArray &bytes);
// The first of the program's arguments that is no exact name, as the user
// is told about it; empty when there is none.
QString refusal(int argc, const char *const *argv);

} // namespace FileName

#endif
