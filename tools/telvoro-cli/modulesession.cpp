#include "modulesession.h"

#include "configuration/configuration.h"
#include "link/portlock.h"

ModuleSession::ModuleSession() : progress(&module)
{
}

ModuleSession::~ModuleSession()
{
    if (module.isConnected())
        module.disconnectPort();
}

QList<QPair<QString, QString>> ModuleSession::availablePorts()
{
    Module scan;
    scan.readAvaiblePorts();
    return scan.availablePorts;
}

bool ModuleSession::connect(const QString &name, Failure *failure)
{
    port = name;
    // A script is told at once even of a missing port, which the link would
    // try again for fifteen seconds, as the window does.
    PortLock check;
    if (!check.take(Module::systemLocation(name))) {
        *failure = fault(tr("Błąd połączenia z modemem: %1").arg(check.problem()));
        return false;
    }
    check.release();
    // Half a second after opening, then the probe.
    progress.begin(tr("Łączenie z modemem. Proszę czekać..."),
                   2 * module.limitMilliseconds(Module::Command::Probe));
    const bool connected = module.connectPort(name);
    progress.end();
    if (!connected) {
        const QString problem = module.connectionProblem();
        *failure = fault(problem.isEmpty() ? tr("Błąd połączenia z modemem.")
                                           : tr("Błąd połączenia z modemem: %1").arg(problem));
        return false;
    }
    return true;
}

std::optional<Configuration> ModuleSession::readConfiguration(Failure *failure)
{
    progress.begin(tr("Odczyt danych z modemu. Proszę czekać..."),
                   module.limitMilliseconds(Module::Command::ReadConfiguration));
    const QByteArray image = module.readConfiguration();
    progress.end();
    if (image.size() != ConfigurationImageSize) {
        *failure = fault(tr("Błąd podczas odczytywania z modemu."));
        return std::nullopt;
    }
    Configuration configuration;
    configuration.fromImage(image);
    // The SIM PIN and PUK the module reports stay out of every listing and
    // file, JSON ones too: the window shows them only after a password, and
    // configurations end up in shared folders and version control.
    configuration.simPin.clear();
    configuration.simPuk.clear();
    return configuration;
}

bool ModuleSession::writeConfiguration(const Configuration &configuration, bool withSmsBlock,
                                       Failure *failure)
{
    progress.begin(tr("Zapis danych do modemu. Proszę czekać..."),
                   module.writeLimitMilliseconds(withSmsBlock));
    const bool written = module.writeConfiguration(configuration, withSmsBlock);
    progress.end();
    if (!written)
        *failure = fault(tr("Błąd podczas zapisu do modemu."));
    return written;
}

bool ModuleSession::writePinPuk(const QString &pin, const QString &puk, SimCodes::PinRequest request,
                                Failure *failure)
{
    progress.begin(tr("Zapis kodu PIN, PUK do modemu. Proszę czekać..."),
                   module.limitMilliseconds(Module::Command::PinPuk));
    const bool written = module.writePinPuk(pin.toLatin1(), puk.toLatin1(), quint8(request));
    progress.end();
    if (!written)
        *failure = fault(tr("Błąd podczas zapisu kodu PIN, PUK."));
    return written;
}

QByteArray ModuleSession::readOnlineState()
{
    return module.readOnlineState();
}

bool ModuleSession::isConnected() const
{
    return module.isConnected();
}

QString ModuleSession::portName() const
{
    return port;
}

QString ModuleSession::portListName() const
{
    const QString devices = QStringLiteral("/dev/");
    const QString name = port.mid(devices.size());
    return port.startsWith(devices) && !name.contains(QLatin1Char('/')) ? name : port;
}

Module *ModuleSession::link()
{
    return &module;
}

Failure ModuleSession::fault(const QString &text) const
{
    return { ExitModuleFault, QStringLiteral("%1: %2").arg(port, text) };
}
