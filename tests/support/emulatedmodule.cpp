#include "emulatedmodule.h"

#include "link/module.h"
#include "link/modulesession.h"

const QString EmulatedModule::PortName = QStringLiteral("emulated");

EmulatedModule::EmulatedModule() : tail(&module)
{
    QObject::connect(&module, &ModuleEmulator::commandTaken, &module, [this](const QString &name) {
        names.append(name);
        const int occurrence = int(names.count(name));
        for (qsizetype i = 0; i < waiting.size(); ++i) {
            if (waiting.at(i).name == name && waiting.at(i).occurrence == occurrence) {
                const std::function<void()> action = waiting.takeAt(i).action;
                action();
                return;
            }
        }
    });
}

ModuleEmulator &EmulatedModule::emulator()
{
    return module;
}

bool EmulatedModule::connect(ModuleSession &session)
{
    return tail.open(QIODevice::ReadWrite) && session.connectDevice(&tail, PortName);
}

bool EmulatedModule::connect(Module &link)
{
    return tail.open(QIODevice::ReadWrite) && link.connectDevice(&tail);
}

void EmulatedModule::pullPlug()
{
    tail.close();
}

void EmulatedModule::onCommand(const QString &name, int occurrence, const std::function<void()> &action)
{
    waiting.append({name, occurrence, action});
}

QStringList EmulatedModule::commandNames() const
{
    return names;
}
