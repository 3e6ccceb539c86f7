#include "settings/usernames.h"

#include <QSettings>

UserNames UserNames::fromSettings()
{
    const QSettings settings;
    const auto name = [&settings](const QString &key, int row) {
        return settings.value(key.arg(row), QString()).toString();
    };
    UserNames names;
    for (int i = 0; i < PhoneCount; ++i)
        names.phones[i] = name(QStringLiteral("defNazwNazwyTel_%1"), i);
    // The inputs table lists DI1 to DI6 first, then AI1 and AI2.
    for (int i = 0; i < DigitalInputCount; ++i)
        names.digitalInputs[i] = name(QStringLiteral("defNazwWejscia_%1"), i);
    for (int i = 0; i < AnalogInputCount; ++i)
        names.analogInputs[i] = name(QStringLiteral("defNazwWejscia_%1"), DigitalInputCount + i);
    for (int i = 0; i < SmsCount; ++i)
        names.statuses[i] = name(QStringLiteral("defNazwSmsListaTableWidget_%1"), i);
    return names;
}
