#ifndef ATOMICFILE_H
#define ATOMICFILE_H

#include <QByteArray>
#include <QString>

// Writes the whole file or reports a failure. The old file is replaced only
// once the new one is complete on the disk, except in a folder where no new
// file can be made, where the old file is written over.
bool saveFileAtomically(const QString &path, const QByteArray &bytes);

#endif
