#ifndef USERNAMES_H
#define USERNAMES_H

#include "configuration/configuration.h"

#include <QString>
#include <array>

// The user's own names for phones, inputs and statuses. They live in the
// settings store of this computer, not in a configuration, so they are
// passed in where texts use them and tests can give fixed ones. This is the
// only code that reads or writes their keys.
struct UserNames
{
    std::array<QString, PhoneCount> phones;
    std::array<QString, AnalogInputCount> analogInputs;
    std::array<QString, DigitalInputCount> digitalInputs;
    std::array<QString, SmsCount> statuses;

    // The name of a row of the window's inputs table, which lists DI1 to DI6
    // first, then AI1 and AI2.
    QString inputsTableName(int row) const;

    bool operator==(const UserNames &other) const;
    bool operator!=(const UserNames &other) const { return !(*this == other); }

    // The names as the window keeps them; a missing key is an empty name.
    static UserNames fromSettings();
    static void storePhoneName(int phone, const QString &name);
    static void storeInputsTableName(int row, const QString &name);
    static void storeStatusName(int status, const QString &name);
    // Stores every name, as they are here.
    void store() const;
    // A status without a name is called "status n", as the names tab
    // offers it before the user names it.
    static void nameUnnamedStatuses();
};

#endif
