#include "trend/trendrecord.h"

#include <QtEndian>
#include <algorithm>

std::optional<TrendSample> TrendSample::fromOnlineState(qint64 time, const QByteArray &state,
                                                        AnalogRange ai1, AnalogRange ai2)
{
    if (state.size() != OnlineStateSize)
        return std::nullopt;
    TrendSample sample;
    sample.time = time;
    sample.analog = {qFromBigEndian<quint16>(state.constData()),
                     qFromBigEndian<quint16>(state.constData() + 2)};
    sample.ranges = {ai1, ai2};
    sample.digitalInputs = quint8(state.at(4));
    sample.answered = true;
    return sample;
}

TrendSample TrendSample::unanswered(qint64 time)
{
    TrendSample sample;
    sample.time = time;
    return sample;
}

double TrendSample::analogValue(int input) const
{
    return analogDisplayValue(analog[input], ranges[input]);
}

QString TrendSample::analogText(int input) const
{
    return analogDisplayText(analog[input], ranges[input]);
}

bool TrendSample::digitalInput(int input) const
{
    return digitalInputs & (1 << input);
}

TrendRecord::TrendRecord(qsizetype capacity) : maximumSize(std::max<qsizetype>(capacity, 1))
{
}

void TrendRecord::markBreak()
{
    breakPending = true;
}

void TrendRecord::append(const TrendSample &polled)
{
    TrendSample sample = polled;
    sample.afterBreak = breakPending && !samples.isEmpty();
    breakPending = false;
    if (samples.size() < maximumSize) {
        // Grown by hand so that a full ring holds exactly its capacity.
        if (samples.size() == samples.capacity())
            samples.reserve(std::min(maximumSize, std::max<qsizetype>(64, samples.size() * 2)));
        samples.append(sample);
        return;
    }
    samples[oldest] = sample;
    oldest = (oldest + 1) % maximumSize;
}

void TrendRecord::clear()
{
    samples = QList<TrendSample>();
    oldest = 0;
    breakPending = false;
}

const TrendSample &TrendRecord::at(qsizetype index) const
{
    return samples.at((oldest + index) % samples.size());
}
