#include "link/linklog.h"

#include "link/simcodes.h"

#include <QStringList>

#include <limits>

namespace {

// The bytes in hex with the SIM codes masked. Their place is known in the
// PIN/PUK command and in the image that answers the read; wherever else a
// code could be (stray bytes, noise before an answer, an answer cut short or
// running on, the image coming late) every digit is masked.
QByteArray maskedHex(const LinkLog::Entry &entry, const QByteArray &bytes)
{
    const bool read = entry.command == QLatin1String("A");
    if (entry.direction == LinkLog::Direction::Sent)
        return entry.command == QLatin1String("pa") ? SimCodes::maskedHex(bytes, SimCodes::CommandCodesOffset)
                                                    : bytes.toHex(' ').toUpper();
    if (entry.outcome != LinkLog::Outcome::Answered)
        return SimCodes::maskedDigitsHex(bytes, read ? SimCodes::ImageCodesOffset : -1);
    return read ? SimCodes::maskedHex(bytes, SimCodes::ImageCodesOffset) : bytes.toHex(' ').toUpper();
}

QString outcomeText(LinkLog::Outcome outcome)
{
    switch (outcome) {
    case LinkLog::Outcome::Sent: return LinkLog::tr("wysłano");
    case LinkLog::Outcome::Answered: return LinkLog::tr("poprawna");
    case LinkLog::Outcome::Late: return LinkLog::tr("spóźniona");
    case LinkLog::Outcome::Wrong: return LinkLog::tr("błędna");
    case LinkLog::Outcome::Unanswered: return LinkLog::tr("brak odpowiedzi");
    case LinkLog::Outcome::LineLost: return LinkLog::tr("utrata połączenia");
    }
    return QString();
}

} // namespace

LinkLog::LinkLog(QObject *parent) : QObject(parent)
{
}

void LinkLog::addSent(const QString &command, const QByteArray &message, int waitMilliseconds)
{
    add({ QDateTime(), Direction::Sent, command, 0, {}, waitMilliseconds, Outcome::Sent }, message, message.size());
}

void LinkLog::addReceived(const QString &command, const QByteArray &answer, int waitMilliseconds, Outcome outcome,
                          qint64 receivedCount)
{
    add({ QDateTime(), Direction::Received, command, 0, {}, waitMilliseconds, outcome }, answer,
        qMax<qint64>(receivedCount, answer.size()));
}

void LinkLog::add(Entry entry, const QByteArray &bytes, qint64 count)
{
    entry.time = QDateTime::currentDateTime();
    entry.length = int(qMin<qint64>(count, std::numeric_limits<int>::max()));
    entry.hex = maskedHex(entry, bytes);
    if (count > bytes.size())
        entry.hex += " \xE2\x80\xA6";
    kept.append(entry);
    if (kept.size() > Capacity)
        kept.removeFirst();
    emit entryAdded(kept.constLast());
}

const QList<LinkLog::Entry> &LinkLog::entries() const
{
    return kept;
}

QString LinkLog::line(const Entry &entry)
{
    QStringList fields;
    for (int field = 0; field < FieldCount; ++field)
        fields.append(fieldText(entry, Field(field)));
    return fields.join(QLatin1Char('\t'));
}

QString LinkLog::fieldText(const Entry &entry, Field field)
{
    switch (field) {
    case Field::Time: return entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case Field::Direction: return entry.direction == Direction::Sent ? tr("do modemu") : tr("z modemu");
    case Field::Command: return entry.command;
    case Field::Length: return QString::number(entry.length);
    case Field::Wait: return tr("%1 ms").arg(entry.waitMilliseconds);
    case Field::Outcome: return outcomeText(entry.outcome);
    case Field::Bytes: return QString::fromUtf8(entry.hex);
    }
    return QString();
}
