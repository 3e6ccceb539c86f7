#include "link/simcodes.h"

namespace {

constexpr int PinLength = 4;
constexpr int PukLength = 8;
constexpr int HexWidth = 3;

bool isDigits(const QString &text)
{
    for (const QChar character : text) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QString SimCodes::fault(const QString &pin, const QString &puk)
{
    if (pin.length() != PinLength || !isDigits(pin))
        return tr("Błędny kod PIN.");
    if (!puk.isEmpty() && (puk.length() != PukLength || !isDigits(puk)))
        return tr("Błędny kod PUK.");
    return QString();
}

QByteArray SimCodes::maskedHex(const QByteArray &bytes, int codesOffset)
{
    QByteArray hex = bytes.toHex(' ').toUpper();
    const qsizetype end = qMin<qsizetype>(codesOffset + PinLength + PukLength, bytes.size());
    for (qsizetype i = codesOffset; i < end; ++i)
        hex.replace(HexWidth * i, 2, "**");
    return hex;
}

QByteArray SimCodes::maskedDigitsHex(const QByteArray &bytes, int codesOffset)
{
    QByteArray hex = codesOffset < 0 ? bytes.toHex(' ').toUpper() : maskedHex(bytes, codesOffset);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) >= '0' && bytes.at(i) <= '9')
            hex.replace(HexWidth * i, 2, "**");
    }
    return hex;
}
