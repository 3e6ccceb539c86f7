#ifndef EMULATEDLINE_H
#define EMULATEDLINE_H

#include <QByteArray>
#include <QIODevice>
#include <QPointer>

class ModuleEmulator;

// The tool's end of a line to a ModuleEmulator in the same process, for tests
// that drive the link without a pseudo-terminal or a second process. What the
// tool writes reaches the emulator from the event loop, as it would cross a
// serial line, and the answers wait here to be read. As on a real line,
// nothing reaches a closed end: answers sent meanwhile are lost, and closing
// drops what the tool left unread and the answers still pending. Closed by
// the test rather than by the tool, it is a line that went away.
class EmulatedLine : public QIODevice
{
    Q_OBJECT

public:
    explicit EmulatedLine(ModuleEmulator *emulator, QObject *parent = nullptr);

    bool isSequential() const override;
    qint64 bytesAvailable() const override;
    void close() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void take(const QByteArray &bytes);

    QPointer<ModuleEmulator> emulator;
    QByteArray unread;
};

#endif
