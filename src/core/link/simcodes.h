#ifndef SIMCODES_H
#define SIMCODES_H

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

// The SIM card's codes as the module takes them with its PIN/PUK command.
class SimCodes
{
    Q_DECLARE_TR_FUNCTIONS(SimCodes)

public:
    // Whether the module shall ask for the PIN after power-up; NotChosen
    // leaves its setting as it is.
    enum class PinRequest : quint8 { NotChosen = 0, Off = 1, On = 2 };

    // Why the module would not take the codes, as the user is told
    // ("Błędny kod PIN.", "Błędny kod PUK."); empty when they are fine: a PIN
    // of 4 digits, and no PUK or one of 8 digits.
    static QString fault(const QString &pin, const QString &puk);
};

#endif
