#ifndef SIMCODES_H
#define SIMCODES_H

#include <QByteArray>
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

    // Where the 12 bytes of the PIN and PUK sit: in the PIN/PUK command after
    // its two letters, and at the start of the module's configuration image.
    static constexpr int CommandCodesOffset = 2;
    static constexpr int ImageCodesOffset = 0;

    // `bytes` in upper-case hex separated by spaces ("70 61 …"), with the
    // PIN's and PUK's bytes from `codesOffset` on shown as "**" each, so that
    // no log keeps them.
    static QByteArray maskedHex(const QByteArray &bytes, int codesOffset);
    // `bytes` whose layout is not known (stray bytes, noise before an
    // answer, an answer cut short or run on) in hex as above, with every
    // digit shown as "**": a code may sit anywhere in them, even split
    // between two reads. `codesOffset` (-1: none) masks the codes' 12 bytes
    // there too, whatever they hold.
    static QByteArray maskedDigitsHex(const QByteArray &bytes, int codesOffset);
};

#endif
