#include "link/receivedbytes.h"

#include <QIODevice>

void ReceivedBytes::setLimit(qsizetype newLimit)
{
    limit = newLimit;
}

void ReceivedBytes::readFrom(QIODevice *device)
{
    while (device->bytesAvailable() > 0) {
        qint64 taken = 0;
        if (bytes.size() < limit) {
            const QByteArray chunk = device->read(limit - bytes.size());
            bytes += chunk;
            taken = chunk.size();
        } else {
            taken = device->skip(device->bytesAvailable());
        }
        if (taken <= 0)
            return;
        total += taken;
    }
}

const QByteArray &ReceivedBytes::kept() const
{
    return bytes;
}

qint64 ReceivedBytes::count() const
{
    return total;
}

void ReceivedBytes::clear()
{
    bytes.clear();
    total = 0;
}
