#ifndef USERNAMES_H
#define USERNAMES_H

#include "configuration/configuration.h"

#include <QString>
#include <array>

// The user's own names for phones, inputs and statuses. They live in the
// settings store of this computer, not in a configuration, so they are
// passed in where texts use them and tests can give fixed ones.
struct UserNames
{
    std::array<QString, PhoneCount> phones;
    std::array<QString, AnalogInputCount> analogInputs;
    std::array<QString, DigitalInputCount> digitalInputs;
    std::array<QString, SmsCount> statuses;

    // The names as the window keeps them; a missing key is an empty name.
    static UserNames fromSettings();
};

#endif
