#ifndef RECEIVEDBYTES_H
#define RECEIVEDBYTES_H

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// What came from the line for one exchange, or between two: the first
// bytes up to a limit are kept, the rest only counted, so that a line that
// floods costs neither memory nor log without end.
class ReceivedBytes
{
public:
    // Applies from the next byte on; bytes kept stay.
    void setLimit(qsizetype limit);
    // Takes everything the device holds now.
    void readFrom(QIODevice *device);
    const QByteArray &kept() const;
    // Every byte taken, the kept ones included.
    qint64 count() const;
    void clear();

private:
    QByteArray bytes;
    qint64 total = 0;
    qsizetype limit = 0;
};

#endif
