#include "pseudoterminal.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(QObject *parent) : QObject(parent)
{
    // Often enough that the tool's first byte after opening is answered about
    // as promptly as by a module.
    peerWatch.setInterval(2);
    connect(&peerWatch, &QTimer::timeout, this, &PseudoTerminal::checkPeer);
}

PseudoTerminal::~PseudoTerminal()
{
    if (masterFd >= 0)
        ::close(masterFd);
}

bool PseudoTerminal::open()
{
    // Raw from the start: the image carries every byte value, and a line
    // discipline must neither echo nor translate any of them.
    termios raw {};
    ::cfmakeraw(&raw);
    ::cfsetispeed(&raw, B115200);
    ::cfsetospeed(&raw, B115200);
    raw.c_cflag |= CLOCAL | CREAD;

    int slaveFd = -1;
    char name[256] = {};
    if (::openpty(&masterFd, &slaveFd, name, &raw, nullptr) == -1) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    path = QFile::decodeName(name);
    // Only the tool holds the slave open, so its closing shows on the master.
    ::close(slaveFd);
    ::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK);

    notifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    notifier->setEnabled(false);
    floodNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    connect(floodNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::writeFlood);
    floodNotifier->setEnabled(false);
    peerWatch.start();
    return true;
}

QString PseudoTerminal::errorString() const
{
    return error;
}

QString PseudoTerminal::slavePath() const
{
    return path;
}

bool PseudoTerminal::isPeerOpen() const
{
    return peerOpen;
}

void PseudoTerminal::write(const QByteArray &bytes)
{
    if (!peerOpen)
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written > 0) {
            done += written;
        } else if (written == -1 && errno == EAGAIN) {
            pollfd writable { masterFd, POLLOUT, 0 };
            ::poll(&writable, 1, 100);
        } else if (written == -1 && errno != EINTR) {
            return;
        }
    }
}

void PseudoTerminal::flood(const QByteArray &pattern)
{
    floodBytes = pattern.repeated(qMax<qsizetype>(1, 65536 / qMax<qsizetype>(1, pattern.size())));
    floodNotifier->setEnabled(peerOpen);
}

// Whatever the line takes now; the rest of the pattern is dropped.
void PseudoTerminal::writeFlood()
{
    const bool written = peerOpen && ::write(masterFd, floodBytes.constData(), size_t(floodBytes.size())) != -1;
    if (!written && (!peerOpen || (errno != EAGAIN && errno != EINTR)))
        floodNotifier->setEnabled(false);
}

void PseudoTerminal::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
        if (count > 0) {
            emit received(QByteArray(buffer, int(count)));
        } else if (count == -1 && errno == EINTR) {
            continue;
        } else {
            // EIO: the tool has closed its end (and everything it sent is read).
            if (count == -1 && errno == EIO)
                enterPeerClosed();
            return;
        }
    }
}

void PseudoTerminal::checkPeer()
{
    pollfd state { masterFd, POLLIN, 0 };
    if (::poll(&state, 1, 0) == -1)
        return;
    if (state.revents & POLLHUP) {
        // Sent and closed again before it was noticed: an answer could not be
        // read any more, so the bytes are dropped.
        char buffer[4096];
        while (::read(masterFd, buffer, sizeof buffer) > 0) {
        }
        return;
    }
    peerOpen = true;
    peerWatch.stop();
    notifier->setEnabled(true);
    readMaster();
}

void PseudoTerminal::enterPeerClosed()
{
    notifier->setEnabled(false);
    floodNotifier->setEnabled(false);
    peerOpen = false;
    dropUnreadInputOfPeer();
    peerWatch.start();
    emit peerClosed();
}

void PseudoTerminal::dropUnreadInputOfPeer()
{
    const int slaveFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveFd == -1)
        return;
    ::tcflush(slaveFd, TCIFLUSH);
    ::close(slaveFd);
}
