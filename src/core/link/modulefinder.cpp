#include "link/modulefinder.h"

#include "link/linklog.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "link/portlock.h"

#include <QSerialPortInfo>
#include <QSettings>

#include <algorithm>

namespace {

const QString LastPortKey = QStringLiteral("LastPortUsed");
// Of a foreign answer, the user is shown this many bytes.
constexpr int ShownAnswerBytes = 8;

// A USB serial adapter (or a modem's USB port), as the system tells it, or
// by the names its drivers give.
bool isUsbAdapter(const QString &name)
{
    static const QStringList usbNames = {QStringLiteral("ttyUSB"), QStringLiteral("ttyACM")};
    const QString device = Module::systemLocation(name).section(QLatin1Char('/'), -1);
    return QSerialPortInfo(name).hasVendorIdentifier()
            || std::any_of(usbNames.cbegin(), usbNames.cend(),
                           [&device](const QString &prefix) { return device.startsWith(prefix); });
}

} // namespace

// The words of a failed connection, in one place.
QString ModuleFinder::Attempt::reason() const
{
    if (failure == ConnectionFailure::NoAnswer || failure == ConnectionFailure::WrongAnswer) {
        return answer.isEmpty() ? tr("brak odpowiedzi.")
                                : tr("odpowiedziało inne urządzenie (%1).").arg(QString::fromLatin1(answer));
    }
    // The port opened for the test, but not for the connection.
    return problem.isEmpty() ? tr("nie można otworzyć portu.") : problem;
}

ModuleFinder::ModuleFinder(ModuleSession &session, QObject *parent) : QObject(parent), session(session)
{
}

QStringList ModuleFinder::candidates(const QList<QPair<QString, QString>> &ports, const QString &lastPort)
{
    QStringList first;
    QStringList adapters;
    QStringList named;
    QStringList rest;
    for (const auto &port : ports) {
        if (port.first == lastPort && first.isEmpty())
            first.append(port.first);
        else if (isUsbAdapter(port.first))
            adapters.append(port.first);
        // A path: named by the user in TX48_EXTRA_PORTS (an emulator, a
        // port redirector), more likely the module's than a built-in port.
        else if (port.first.contains(QLatin1Char('/')))
            named.append(port.first);
        else
            rest.append(port.first);
    }
    return first + adapters + named + rest;
}

QString ModuleFinder::lastPortUsed()
{
    return QSettings().value(LastPortKey).toString();
}

void ModuleFinder::rememberPort(const QString &name)
{
    QSettings().setValue(LastPortKey, name);
}

ModuleFinder::Outcome ModuleFinder::find(const QStringList &ports)
{
    cancelled = false;
    found.clear();
    tried.clear();
    for (qsizetype i = 0; i < ports.size() && !cancelled; ++i) {
        const QString &port = ports.at(i);
        emit trying(port, int(i), int(ports.size()));
        // A port that cannot be the module's is passed over at once; the
        // connection would try a missing one again for seconds.
        PortLock check;
        if (!check.take(Module::systemLocation(port))) {
            tried.append({port, check.failure(), check.problem(), {}});
            continue;
        }
        check.release();
        QByteArray answer;
        const QMetaObject::Connection watch =
                connect(session.log(), &LinkLog::entryAdded, this, [&answer](const LinkLog::Entry &entry) {
                    if (answer.isEmpty() && entry.direction == LinkLog::Direction::Received
                        && entry.outcome != LinkLog::Outcome::Answered && !entry.hex.isEmpty())
                        answer = entry.hex;
                });
        const bool connected = session.connectPort(port);
        disconnect(watch);
        if (connected) {
            found = port;
            return Outcome::Found;
        }
        if (cancelled)
            break;
        // Bytes as hex, "7A 0D 0A": three characters a byte.
        if (answer.size() > ShownAnswerBytes * 3)
            answer = answer.left(ShownAnswerBytes * 3 - 1) + " …";
        tried.append({port, session.connectionFailure(), session.connectionProblem(), answer});
    }
    return cancelled ? Outcome::Cancelled : Outcome::NotFound;
}

void ModuleFinder::cancel()
{
    cancelled = true;
    if (session.state() == ModuleSession::State::Connecting)
        session.requestInterruption();
}

QString ModuleFinder::foundPort() const
{
    return found;
}

const QList<ModuleFinder::Attempt> &ModuleFinder::attempts() const
{
    return tried;
}

QString ModuleFinder::report() const
{
    QStringList lines;
    for (const Attempt &attempt : tried)
        lines.append(QStringLiteral("%1: %2").arg(Module::systemLocation(attempt.port), attempt.reason()));
    return lines.join(QLatin1Char('\n'));
}
