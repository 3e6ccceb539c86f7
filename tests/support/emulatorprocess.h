#ifndef EMULATORPROCESS_H
#define EMULATORPROCESS_H

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A running tx48-emulator for one test: started with the given options
// (see tx48-emulator --help) and a command log of its own, stopped when the
// object goes out of scope.
class EmulatorProcess
{
public:
    explicit EmulatorProcess(const QStringList &options = {});
    ~EmulatorProcess();

    // Ends the emulator, and with it its end of the line, as when a module's
    // adapter is pulled out.
    void stop();
    // Started with --swap-file: the emulator becomes the module of that file,
    // as when the cable is moved to another module; true once it has.
    bool swapModule();

    // False when the emulator did not start or printed no port path.
    bool isRunning() const;
    // The pseudo-terminal to open as the module's port.
    QString portPath() const;
    // The commands the emulator received so far, one entry per command: its
    // bytes in upper-case hex separated by spaces, e.g. "43 03 E8 00 00 21".
    QStringList commands() const;
    QString logPath() const;

private:
    QTemporaryDir logFolder;
    QProcess process;
    QString path;
};

#endif
