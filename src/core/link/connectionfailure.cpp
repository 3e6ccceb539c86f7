#include "link/connectionfailure.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ConnectionFailure", text);
}

QString nextStep(ConnectionFailure failure, const QString &details)
{
    switch (failure) {
    case ConnectionFailure::None:
        break;
    case ConnectionFailure::NoAnswer:
        return tr("port nie odpowiada. Sprawdź kabel i zasilanie modemu.");
    case ConnectionFailure::WrongAnswer:
        return tr("na porcie odpowiada coś innego niż modem (%1). Sprawdź, czy wybrano port modemu "
                  "i czy modem jest włączony.").arg(details);
    case ConnectionFailure::PortMissing:
        return details + QLatin1Char(' ') + tr("Podłącz modem i wybierz jego port z listy.");
    case ConnectionFailure::PortBusy:
        return details + QLatin1Char(' ') + tr("Zamknij ten program albo wybierz inny port.");
    case ConnectionFailure::NotSerialPort:
    case ConnectionFailure::OwnTerminal:
        return details + QLatin1Char(' ') + tr("Wybierz port modemu.");
    case ConnectionFailure::NotPermitted:
        return details + QLatin1Char(' ') + tr("Dodaj użytkownika do tej grupy i zaloguj się ponownie.");
    case ConnectionFailure::CannotOpen:
        return details + QLatin1Char(' ') + tr("Sprawdź kabel i spróbuj ponownie.");
    }
    return QString();
}

} // namespace

QString connectionFailureText(ConnectionFailure failure, const QString &details)
{
    if (failure == ConnectionFailure::None)
        return QString();
    return tr("Błąd połączenia z modemem: %1").arg(nextStep(failure, details));
}
