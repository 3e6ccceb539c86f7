#ifndef EMULATEDMODULE_H
#define EMULATEDMODULE_H

#include "emulatedline.h"
#include "moduleemulator.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class Module;
class ModuleSession;

// A TX48 module in the test's own process: the project's emulator behind an
// EmulatedLine, so a Module or ModuleSession is driven without a
// pseudo-terminal or a second process. The emulator's fault modes, image and
// delays are set on emulator() directly.
class EmulatedModule
{
public:
    EmulatedModule();

    ModuleEmulator &emulator();
    // Opens the line and connects `session` through it as through the port
    // `PortName`.
    bool connect(ModuleSession &session);
    // The same for a module driven without a session.
    bool connect(Module &module);
    // The line goes away under the tool, as when the adapter is pulled out.
    void pullPlug();

    // Runs `action` once, when the emulator takes the command `name` (i, A,
    // B, C, pa, pb or pc) the `occurrence`-th time (from 1), before it
    // answers: a line pulled then loses the answer, a fault set then shapes it.
    void onCommand(const QString &name, int occurrence, const std::function<void()> &action);

    // The names of the commands taken so far ("i", "pb"); the emulator's
    // commandLog() has their bytes.
    QStringList commandNames() const;

    static const QString PortName;

private:
    ModuleEmulator module;
    EmulatedLine tail;
    QStringList names;
    struct Waiting
    {
        QString name;
        int occurrence;
        std::function<void()> action;
    };
    QList<Waiting> waiting;
};

#endif
