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

// Writes the name only when it changes it: the window stores every name
// shown again, and each write of the store goes to the disk.
void storeName(const QString &key, const QString &name)
{
    QSettings settings;
    if (settings.value(key, QString()).toString() != name)
        settings.setValue(key, name);
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

bool UserNames::operator==(const UserNames &other) const
{
    return phones == other.phones && analogInputs == other.analogInputs
            && digitalInputs == other.digitalInputs && statuses == other.statuses;
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
    storeName(phoneKey(phone), name);
}

void UserNames::storeInputsTableName(int row, const QString &name)
{
    storeName(inputsTableKey(row), name);
}

void UserNames::storeStatusName(int status, const QString &name)
{
    storeName(statusKey(status), name);
}

void UserNames::store() const
{
    for (int i = 0; i < PhoneCount; ++i)
        storePhoneName(i, phones[i]);
    for (int row = 0; row < DigitalInputCount + AnalogInputCount; ++row)
        storeInputsTableName(row, inputsTableName(row));
    for (int i = 0; i < SmsCount; ++i)
        storeStatusName(i, statuses[i]);
}

void UserNames::nameUnnamedStatuses()
{
    QSettings settings;
    for (int i = 0; i < SmsCount; ++i) {
        if (settings.value(statusKey(i), QString()).toString().isEmpty())
            settings.setValue(statusKey(i), QStringLiteral("status %1").arg(i + 1));
    }
}
