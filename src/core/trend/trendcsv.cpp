#include "trend/trendcsv.h"

#include "files/atomicfile.h"
#include "trend/trendrecord.h"

#include <QDateTime>
#include <QTimeZone>
#include <limits>

namespace {

// Every line ends the same way, whatever the platform.
constexpr char LineEnd[] = "\r\n";

// Local times with their offset from UTC. Each line carries its own offset,
// so a record across a change to or from summer time stays unambiguous.
// Looking up the zone for every line would take most of the time of a long
// record, so the offset is looked up again only past a change of it.
class LocalTimeText
{
public:
    QByteArray operator()(qint64 time)
    {
        if (time < validFrom || time >= validUntil)
            lookUp(time);
        return QDateTime::fromMSecsSinceEpoch(time, Qt::OffsetFromUTC, offset)
                .toString(Qt::ISODate)
                .toLatin1();
    }

private:
    void lookUp(qint64 time)
    {
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(time, Qt::UTC);
        offset = zone.offsetFromUtc(moment);
        const QTimeZone::OffsetData previous = zone.previousTransition(moment.addMSecs(1));
        const QTimeZone::OffsetData next = zone.nextTransition(moment);
        validFrom = previous.atUtc.isValid() ? previous.atUtc.toMSecsSinceEpoch()
                                             : std::numeric_limits<qint64>::min();
        validUntil = next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch()
                                          : std::numeric_limits<qint64>::max();
    }

    const QTimeZone zone = QTimeZone::systemTimeZone();
    int offset = 0;
    qint64 validFrom = 0;
    qint64 validUntil = 0;
};

} // namespace

QByteArray TrendCsv::header()
{
    QByteArray header = QByteArrayLiteral("Czas,AI1,AI2");
    for (int input = 1; input <= DigitalInputCount; ++input)
        header += ",DI" + QByteArray::number(input);
    return header;
}

QByteArray TrendCsv::encode(const TrendRecord &record)
{
    QByteArray csv = header() + LineEnd;
    // A line takes about 50 bytes; growing step by step would copy a long
    // record many times.
    csv.reserve(csv.size() + record.size() * 56);
    LocalTimeText timeText;
    for (qsizetype i = 0; i < record.size(); ++i) {
        const TrendSample &sample = record.at(i);
        csv += timeText(sample.time);
        for (int input = 0; input < AnalogInputCount; ++input)
            csv += ',' + (sample.answered ? sample.analogText(input).toLatin1() : QByteArray());
        for (int input = 0; input < DigitalInputCount; ++input)
            csv += sample.answered ? (sample.digitalInput(input) ? ",1" : ",0") : ",";
        csv += LineEnd;
    }
    return csv;
}

bool TrendCsv::save(const QString &path, const TrendRecord &record, QString *reason)
{
    return saveFileAtomically(path, encode(record), reason);
}
