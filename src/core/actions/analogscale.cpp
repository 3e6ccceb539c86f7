#include "actions/analogscale.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double powerOfTen(int exponent)
{
    return std::pow(10.0, exponent);
}

// A range field's digits as a number; nothing when they are digits but too
// many for 16 bits (or negative), 0 when they are not a number at all.
std::optional<quint16> rangeDigitsValue(const QString &digits)
{
    bool ok = false;
    const qlonglong number = digits.toLongLong(&ok, 10);
    if (ok)
        return number >= 0 && number <= std::numeric_limits<quint16>::max()
                ? std::optional<quint16>(quint16(number))
                : std::nullopt;
    const QString trimmed = digits.trimmed();
    const bool tooManyDigits = !trimmed.isEmpty()
            && std::all_of(trimmed.cbegin(), trimmed.cend(),
                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    return tooManyDigits ? std::nullopt : std::optional<quint16>(0);
}

} // namespace

double analogDisplayValue(quint16 thousandths, AnalogRange range)
{
    return double(range.range) * thousandths / (1000.0 * powerOfTen(range.decimals));
}

QString analogDisplayText(quint16 thousandths, AnalogRange range)
{
    return QStringLiteral("%1").arg(analogDisplayValue(thousandths, range), 0, 'f', range.decimals);
}

std::optional<quint16> analogStoredValue(double entered, AnalogRange range)
{
    if (range.range == 0 || !std::isfinite(entered))
        return std::nullopt;
    const double stored = std::trunc(entered * 1000.0 * powerOfTen(range.decimals) / range.range);
    if (stored < 0 || stored > std::numeric_limits<quint16>::max())
        return std::nullopt;
    return quint16(stored);
}

QString analogRangeText(AnalogRange range)
{
    const double shown = range.range / powerOfTen(range.decimals);
    return QStringLiteral("%1").arg(shown, 0, 'f', range.decimals);
}

std::optional<AnalogRange> analogRangeFromText(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() == 1) {
        const std::optional<quint16> value = rangeDigitsValue(parts.at(0));
        if (!value)
            return std::nullopt;
        return AnalogRange{ *value, 0 };
    }
    if (parts.size() > 2)
        return AnalogRange{};

    QString digits = parts.at(0) + parts.at(1);
    int decimals = parts.at(1).size();
    std::optional<quint16> value = rangeDigitsValue(digits);
    // Trailing zeros of the decimals do not change the range, so dropping
    // them lets "1000.00" be kept as 1000.0.
    while (!value && decimals > 0 && digits.endsWith(u'0')) {
        digits.chop(1);
        --decimals;
        value = rangeDigitsValue(digits);
    }
    if (!value || decimals > std::numeric_limits<quint8>::max())
        return std::nullopt;
    return AnalogRange{ *value, quint8(decimals) };
}
