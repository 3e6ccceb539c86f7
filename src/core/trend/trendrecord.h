#ifndef TRENDRECORD_H
#define TRENDRECORD_H

#include "actions/analogscale.h"
#include "configuration/configuration.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <array>
#include <optional>

// One live-state poll: what the module answered, and the ranges its analogue
// readings were shown with at that moment. A poll without a usable answer
// is kept too, so the record shows the gap instead of a value.
struct TrendSample
{
    // Milliseconds since the epoch, UTC.
    qint64 time = 0;
    // Thousandths of each analogue input's range, as the module sends them.
    std::array<quint16, AnalogInputCount> analog{};
    std::array<AnalogRange, AnalogInputCount> ranges{};
    // Bit n-1 is DI n.
    quint8 digitalInputs = 0;
    bool answered = false;
    // The first poll after time without polls (another tab shown, the link
    // closed, polling paused for a command): nothing is known between it and
    // the poll before, which is not a fault of the module.
    bool afterBreak = false;

    // The 5-byte live-state answer (AI1 and AI2 big-endian, then the inputs);
    // nothing for any other length.
    static std::optional<TrendSample> fromOnlineState(qint64 time, const QByteArray &state,
                                                      AnalogRange ai1, AnalogRange ai2);
    static TrendSample unanswered(qint64 time);

    double analogValue(int input) const;
    QString analogText(int input) const;
    bool digitalInput(int input) const;
};

// The polls of one connection, oldest first, in a ring of fixed capacity:
// when it is full, each new poll drops the oldest one. Storage grows with
// the record up to the capacity and never beyond it.
class TrendRecord
{
public:
    // A day at one poll a second.
    static constexpr qsizetype DayCapacity = 24 * 60 * 60;

    explicit TrendRecord(qsizetype capacity = DayCapacity);

    // The next poll appended is marked as the first after a break.
    void markBreak();
    void append(const TrendSample &sample);
    void clear();

    qsizetype size() const { return samples.size(); }
    bool isEmpty() const { return samples.isEmpty(); }
    qsizetype capacity() const { return maximumSize; }
    // 0 is the oldest poll kept, size() - 1 the newest.
    const TrendSample &at(qsizetype index) const;
    // The memory a full record takes for its samples.
    qsizetype fullSizeInBytes() const { return maximumSize * qsizetype(sizeof(TrendSample)); }

private:
    qsizetype maximumSize;
    QList<TrendSample> samples;
    // Where the oldest sample lies once the ring has wrapped.
    qsizetype oldest = 0;
    bool breakPending = false;
};

#endif
