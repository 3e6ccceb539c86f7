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
    QByteArray operator()(qint64 time, TrendCsv::Dialect dialect)
    {
        if (time < validFrom || time >= validUntil)
            lookUp(time);
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(time, Qt::OffsetFromUTC, offset);
        return (dialect == TrendCsv::Dialect::Spreadsheet
                        ? local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                        : local.toString(Qt::ISODate))
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

QByteArray TrendCsv::header(Dialect dialect)
{
    const char separator = dialect == Dialect::Spreadsheet ? ';' : ',';
    QByteArray header = QByteArrayLiteral("Czas");
    for (int input = 1; input <= AnalogInputCount; ++input)
        header += separator + QByteArrayLiteral("AI") + QByteArray::number(input);
    for (int input = 1; input <= DigitalInputCount; ++input)
        header += separator + QByteArrayLiteral("DI") + QByteArray::number(input);
    return header;
}

QByteArray TrendCsv::encode(const TrendRecord &record, Dialect dialect)
{
    const char separator = dialect == Dialect::Spreadsheet ? ';' : ',';
    QByteArray csv = header(dialect) + LineEnd;
    // A line takes about 50 bytes; growing step by step would copy a long
    // record many times.
    csv.reserve(csv.size() + record.size() * 56);
    LocalTimeText timeText;
    for (qsizetype i = 0; i < record.size(); ++i) {
        const TrendSample &sample = record.at(i);
        csv += timeText(sample.time, dialect);
        for (int input = 0; input < AnalogInputCount; ++input) {
            csv += separator;
            if (!sample.answered)
                continue;
            QByteArray value = sample.analogText(input).toLatin1();
            if (dialect == Dialect::Spreadsheet)
                value.replace('.', ',');
            csv += value;
        }
        for (int input = 0; input < DigitalInputCount; ++input) {
            csv += separator;
            if (sample.answered)
                csv += sample.digitalInput(input) ? '1' : '0';
        }
        csv += LineEnd;
    }
    return csv;
}

bool TrendCsv::save(const QString &path, const TrendRecord &record, Dialect dialect, QString *reason)
{
    return saveFileAtomically(path, encode(record, dialect), reason);
}
