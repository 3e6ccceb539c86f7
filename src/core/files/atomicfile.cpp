#include "files/atomicfile.h"

#include <QSaveFile>

bool saveFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // QSaveFile buffers what is written: on a full disk or past a file-size
    // limit only the flush fails, and commit() would still put the cut file
    // in place of the old one. So the flush is checked before committing.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
