#ifndef ANALOGSCALE_H
#define ANALOGSCALE_H

#include <QString>
#include <QtGlobal>
#include <optional>

// An analogue input's range: range / 10^decimals in the user's units.
struct AnalogRange
{
    quint16 range = 0;
    quint8 decimals = 0;
    bool operator==(const AnalogRange &other) const
    {
        return range == other.range && decimals == other.decimals;
    }
};

// A stored number in thousandths of the range in the user's units, and as
// the user sees it (fixed notation with the range's decimals).
double analogDisplayValue(quint16 thousandths, AnalogRange range);
QString analogDisplayText(quint16 thousandths, AnalogRange range);

// The stored form of an entered value (truncated toward zero), or nothing when
// it cannot be stored: a range of 0, a negative result or one above 65535.
std::optional<quint16> analogStoredValue(double entered, AnalogRange range);

// The range as the range fields show it ("10.00" for 1000 with 2 decimals).
QString analogRangeText(AnalogRange range);

// Parses a range field's text: "10.5" gives 105 with 1 decimal. A text whose
// digits do not fit in 16 bits keeps its value with fewer decimals where
// trailing zeros allow it ("1000.00" gives 10000 with 1 decimal); otherwise
// the result is empty and the caller keeps the previous range.
std::optional<AnalogRange> analogRangeFromText(const QString &text);

#endif
