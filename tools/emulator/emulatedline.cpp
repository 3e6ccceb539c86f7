#include "emulatedline.h"

#include "moduleemulator.h"

#include <algorithm>

EmulatedLine::EmulatedLine(ModuleEmulator *emulator, QObject *parent) : QIODevice(parent), emulator(emulator)
{
    connect(emulator, &ModuleEmulator::transmitted, this, &EmulatedLine::take);
}

bool EmulatedLine::isSequential() const
{
    return true;
}

qint64 EmulatedLine::bytesAvailable() const
{
    return unread.size() + QIODevice::bytesAvailable();
}

void EmulatedLine::close()
{
    if (!isOpen())
        return;
    unread.clear();
    QIODevice::close();
    if (emulator)
        emulator->cancelPendingAnswers();
}

qint64 EmulatedLine::readData(char *data, qint64 maxSize)
{
    const qint64 count = qMin<qint64>(maxSize, unread.size());
    std::copy_n(unread.constData(), count, data);
    unread.remove(0, count);
    return count;
}

// Delivered once the writer is back in the event loop, never inside its write.
qint64 EmulatedLine::writeData(const char *data, qint64 size)
{
    if (emulator) {
        const QByteArray bytes(data, size);
        QMetaObject::invokeMethod(emulator, [target = emulator, bytes] { target->receive(bytes); },
                                  Qt::QueuedConnection);
    }
    return size;
}

void EmulatedLine::take(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    unread += bytes;
    emit readyRead();
}
