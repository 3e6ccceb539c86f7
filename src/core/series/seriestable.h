#ifndef SERIESTABLE_H
#define SERIESTABLE_H

#include "configuration/configuration.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The table of a series of modules: what differs from module to module
// beside one base configuration. A CSV file (see CsvText), UTF-8 with or
// without a byte order mark, with a header row; the first column names the
// module, every other column is a key of the JSON form (phones[2].number,
// statusSmsTexts[1]) and each cell holds its value as that form does. An
// empty cell keeps the base's value.
class SeriesTable
{
    Q_DECLARE_TR_FUNCTIONS(SeriesTable)

public:
    struct Row
    {
        // The row as a spreadsheet numbers it: the header is row 1.
        int number = 0;
        QString name;
        // The columns with a value in this row, and the values.
        QList<QPair<QString, QString>> cells;
        // The base with the row's values.
        Configuration configuration;
    };

    // The largest table read: far more than any series of modules fills.
    static constexpr qint64 MaximumSize = 4 * 1024 * 1024;

    // The whole table is checked before anything is returned: a table with
    // a fault gives nothing and lists every fault in *faults, each as
    // "wiersz 3, kolumna „phones[2].number”: " and the JSON form's reason.
    static std::optional<SeriesTable> read(const QString &path, const Configuration &base, QStringList *faults);
    static std::optional<SeriesTable> parse(const QByteArray &text, const Configuration &base,
                                            QStringList *faults);

    // The header's first cell, then the fields' columns.
    QStringList header() const;
    const QList<Row> &rows() const;
    // The position of the module of that name, -1 when none has it.
    int indexOf(const QString &name) const;

private:
    static QString fault(int row, const QString &column, const QString &reason);

    QStringList columns;
    QList<Row> modules;
};

#endif
