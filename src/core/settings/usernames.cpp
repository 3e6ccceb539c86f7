#include "settings/usernames.h"

#include <QSettings>

namespace {

QString phoneKey(int phone)
{
    return QStringLiteral("defNazwNazwyTel_%1").arg(phone);
}

QString inputsTableKey(int row)
{
    return QStringLiteral("defNazwWejscia_%1").arg(row);
}

QString statusKey(int status)
{
    return QStringLiteral("defNazwSmsListaTableWidget_%1").arg(status);
}

} // namespace

QString UserNames::inputsTableName(int row) const
{
    if (row >= 0 && row < DigitalInputCount)
        return digitalInputs[row];
    if (row >= DigitalInputCount && row < DigitalInputCount + AnalogInputCount)
        return analogInputs[row - DigitalInputCount];
    return QString();
}

UserNames UserNames::fromSettings()
{
    const QSettings settings;
    const auto name = [&settings](const QString &key) { return settings.value(key, QString()).toString(); };
    UserNames names;
    for (int i = 0; i < PhoneCount; ++i)
        names.phones[i] = name(phoneKey(i));
    for (int i = 0; i < DigitalInputCount; ++i)
        names.digitalInputs[i] = name(inputsTableKey(i));
    for (int i = 0; i < AnalogInputCount; ++i)
        names.analogInputs[i] = name(inputsTableKey(DigitalInputCount + i));
    for (int i = 0; i < SmsCount; ++i)
        names.statuses[i] = name(statusKey(i));
    return names;
}

void UserNames::storePhoneName(int phone, const QString &name)
{
    QSettings().setValue(phoneKey(phone), name);
}

void UserNames::storeInputsTableName(int row, const QString &name)
{
    QSettings().setValue(inputsTableKey(row), name);
}

void UserNames::storeStatusName(int status, const QString &name)
{
    QSettings().setValue(statusKey(status), name);
}

void UserNames::nameUnnamedStatuses()
{
    QSettings settings;
    for (int i = 0; i < SmsCount; ++i) {
        if (settings.value(statusKey(i), QString()).toString().isEmpty())
            settings.setValue(statusKey(i), QStringLiteral("status %1").arg(i + 1));
    }
}
