#include "link/linklog.h"

#include "link/simcodes.h"

#include <QStringList>

namespace {

// Where a message or answer carries the SIM codes: the PIN/PUK command, and
// the image that answers the read (also when it comes late).
int codesOffset(LinkLog::Direction direction, const QString &command)
{
    if (direction == LinkLog::Direction::Sent && command == QLatin1String("pa"))
        return SimCodes::CommandCodesOffset;
    if (direction == LinkLog::Direction::Received && command == QLatin1String("A"))
        return SimCodes::ImageCodesOffset;
    return -1;
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
    add({ QDateTime(), Direction::Sent, command, 0, {}, waitMilliseconds, Outcome::Sent }, message);
}

void LinkLog::addReceived(const QString &command, const QByteArray &answer, int waitMilliseconds, Outcome outcome)
{
    add({ QDateTime(), Direction::Received, command, 0, {}, waitMilliseconds, outcome }, answer);
}

void LinkLog::add(Entry entry, const QByteArray &bytes)
{
    entry.time = QDateTime::currentDateTime();
    entry.length = int(bytes.size());
    const int offset = codesOffset(entry.direction, entry.command);
    entry.hex = offset < 0 ? bytes.toHex(' ').toUpper() : SimCodes::maskedHex(bytes, offset);
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
    case Field::Bytes: return QString::fromLatin1(entry.hex);
    }
    return QString();
}
