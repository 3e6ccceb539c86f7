#ifndef LINKLOGMODEL_H
#define LINKLOGMODEL_H

#include "link/linklog.h"

#include <QAbstractTableModel>
#include <QList>

// The entries of a link log as table rows, oldest first, following the log
// live: each new entry is a new row, and the oldest goes as the log drops it.
class LinkLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // One column a field of the log's lines, in their order.
    explicit LinkLogModel(const LinkLog *log, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const LinkLog::Entry &entry(int row) const;

private:
    void append(const LinkLog::Entry &entry);

    QList<LinkLog::Entry> rows;
};

#endif
