#include "widgets/linklogmodel.h"

#include <QBrush>
#include <QColor>
#include <QFontDatabase>

namespace {

bool isFault(LinkLog::Outcome outcome)
{
    return outcome != LinkLog::Outcome::Sent && outcome != LinkLog::Outcome::Answered;
}

} // namespace

LinkLogModel::LinkLogModel(const LinkLog *log, QObject *parent)
    : QAbstractTableModel(parent), rows(log->entries())
{
    connect(log, &LinkLog::entryAdded, this, &LinkLogModel::append);
}

int LinkLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int LinkLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : LinkLog::FieldCount;
}

QVariant LinkLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const LinkLog::Entry &shown = rows.at(index.row());
    const auto field = LinkLog::Field(index.column());
    if (role == Qt::DisplayRole)
        return LinkLog::fieldText(shown, field);
    if (role == Qt::FontRole && field == LinkLog::Field::Bytes)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (role == Qt::ForegroundRole && field == LinkLog::Field::Outcome && isFault(shown.outcome))
        return QBrush(QColor(220, 0, 0));
    if (role == Qt::TextAlignmentRole && (field == LinkLog::Field::Length || field == LinkLog::Field::Wait))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant LinkLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (LinkLog::Field(section)) {
    case LinkLog::Field::Time: return tr("Czas");
    case LinkLog::Field::Direction: return tr("Kierunek");
    case LinkLog::Field::Command: return tr("Polecenie");
    case LinkLog::Field::Length: return tr("Bajtów");
    case LinkLog::Field::Wait: return tr("Czekanie");
    case LinkLog::Field::Outcome: return tr("Wynik");
    case LinkLog::Field::Bytes: return tr("Bajty (hex)");
    }
    return QVariant();
}

const LinkLog::Entry &LinkLogModel::entry(int row) const
{
    return rows.at(row);
}

void LinkLogModel::append(const LinkLog::Entry &entry)
{
    if (rows.size() == LinkLog::Capacity) {
        beginRemoveRows(QModelIndex(), 0, 0);
        rows.removeFirst();
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size()));
    rows.append(entry);
    endInsertRows();
}
