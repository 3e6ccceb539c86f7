#include "scriptedmodule.h"

#include <QTimer>

#include <cstring>
#include <utility>

void ScriptedModule::answerNextCommandWith(const Answer &answer, int limitMilliseconds)
{
    next = answer;
    lateStart = limitMilliseconds + 1;
    if (answer.timing == Timing::Early)
        deliver(answer.bytes);
}

qint64 ScriptedModule::bytesAvailable() const
{
    return unread.size() + QIODevice::bytesAvailable();
}

// A closed line loses what it held and what was still on its way.
void ScriptedModule::close()
{
    ++session;
    unread.clear();
    QIODevice::close();
}

qint64 ScriptedModule::readData(char *data, qint64 maxSize)
{
    const qint64 size = qMin<qint64>(maxSize, unread.size());
    std::memcpy(data, unread.constData(), size_t(size));
    unread.remove(0, size);
    return size;
}

qint64 ScriptedModule::writeData(const char *, qint64 size)
{
    ++commands;
    sinceCommand.clear();
    dropped = false;
    const Answer answer = std::exchange(next, Answer());
    const qsizetype total = answer.bytes.size();
    const int pieces = int(qMax<qsizetype>(1, qMin<qsizetype>(answer.pieces, total)));
    int at = answer.timing == Timing::Late ? lateStart : 0;
    for (int n = 0; n < pieces; ++n) {
        const QByteArray piece = answer.bytes.mid(total * n / pieces, total * (n + 1) / pieces - total * n / pieces);
        at += answer.gapMilliseconds;
        if (answer.timing == Timing::AtOnce)
            deliver(piece);
        else if (answer.timing != Timing::Early)
            later(at, [this, piece] { deliver(piece); });
    }
    if (answer.lineDrops) {
        later(answer.timing == Timing::AtOnce ? 0 : at, [this] {
            dropped = true;
            close();
        });
    }
    return size;
}

void ScriptedModule::deliver(const QByteArray &piece)
{
    if (!isOpen() || piece.isEmpty())
        return;
    unread += piece;
    sinceCommand += piece;
    emit readyRead();
}

void ScriptedModule::later(int milliseconds, const std::function<void()> &action)
{
    const quint32 pieceSession = session;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, this, [this, pieceSession, action] {
        if (pieceSession == session)
            action();
    });
}
