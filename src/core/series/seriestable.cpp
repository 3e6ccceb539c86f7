#include "series/seriestable.h"

#include "files/configurationjson.h"
#include "files/regularfile.h"
#include "series/csvtext.h"

#include <QHash>
#include <QJsonObject>
#include <QStringDecoder>

namespace {

// Keys of the JSON form that a write never sends: a column of them would
// promise what no module gets.
const QStringList NotWritten{ QStringLiteral("format"), QStringLiteral("version"), QStringLiteral("simPin"),
                              QStringLiteral("simPuk") };

} // namespace

std::optional<SeriesTable> SeriesTable::read(const QString &path, const Configuration &base, QStringList *faults)
{
    const std::optional<QByteArray> text = RegularFile::read(path, MaximumSize);
    if (!text) {
        *faults = QStringList{ tr("Nie można otworzyć pliku.") };
        return std::nullopt;
    }
    return parse(*text, base, faults);
}

std::optional<SeriesTable> SeriesTable::parse(const QByteArray &bytes, const Configuration &base,
                                              QStringList *faults)
{
    faults->clear();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    if (decoder.hasError()) {
        *faults = QStringList{ tr("tabela nie jest zapisana w UTF-8 (w arkuszu: Zapisz jako → CSV, kodowanie "
                                  "UTF-8).") };
        return std::nullopt;
    }
    const QList<QStringList> records = CsvText::records(text, CsvText::separatorOf(text));
    if (records.size() < 2) {
        *faults = QStringList{ tr("tabela nie ma wiersza nagłówka i choć jednego wiersza modemu.") };
        return std::nullopt;
    }

    SeriesTable table;
    table.columns = records.first();
    const QJsonObject baseJson = configurationToJson(base);
    for (int column = 1; column < table.columns.size(); ++column) {
        const QString key = table.columns.at(column).trimmed();
        table.columns[column] = key;
        QJsonObject probe = baseJson;
        if (key.isEmpty())
            faults->append(fault(1, QString::number(column + 1), tr("brak nazwy pola.")));
        else if (table.columns.indexOf(key, 1) < column)
            faults->append(fault(1, key, tr("kolumna powtarza się.")));
        else if (NotWritten.contains(key))
            faults->append(fault(1, key, tr("tego klucza seria nie zapisuje w modemie (kod PIN i PUK zapisuje "
                                            "okno Ustawienia albo polecenie pin).")));
        else if (const QString reason = setConfigurationJsonField(probe, key, QString()); !reason.isEmpty())
            faults->append(fault(1, key, reason));
    }
    if (!faults->isEmpty())
        return std::nullopt;

    QHash<QString, int> rowOfName;
    for (int index = 1; index < records.size(); ++index) {
        const QStringList &cells = records.at(index);
        const int number = index + 1;
        // A spreadsheet saves rows left empty below the table as separators alone.
        if (cells.join(QString()).trimmed().isEmpty())
            continue;
        if (cells.size() != table.columns.size()) {
            faults->append(tr("wiersz %1: liczba komórek wynosi %2, a powinna wynosić %3 (tyle, ile kolumn "
                              "w nagłówku).")
                                   .arg(number)
                                   .arg(cells.size())
                                   .arg(table.columns.size()));
            continue;
        }
        Row row{ number, cells.first().trimmed(), {}, base };
        if (row.name.isEmpty())
            faults->append(fault(number, table.columns.first(), tr("brak nazwy modemu.")));
        else if (rowOfName.contains(row.name))
            faults->append(fault(number, table.columns.first(),
                                 tr("modem „%1” jest już w wierszu %2.").arg(row.name).arg(rowOfName.value(row.name))));
        rowOfName.insert(row.name, number);

        // Each cell is tried alone on the base, so that its fault is told
        // with its own column.
        QJsonObject json = baseJson;
        bool rowFailed = false;
        for (int column = 1; column < cells.size(); ++column) {
            if (cells.at(column).isEmpty())
                continue;
            const QString &key = table.columns.at(column);
            QJsonObject single = baseJson;
            setConfigurationJsonField(single, key, cells.at(column));
            QString reason;
            if (!configurationFromJson(single, &reason)) {
                const QString place = key + QStringLiteral(": ");
                faults->append(fault(number, key, reason.startsWith(place) ? reason.mid(place.size()) : reason));
                rowFailed = true;
                continue;
            }
            setConfigurationJsonField(json, key, cells.at(column));
            row.cells.append({ key, cells.at(column) });
        }
        if (rowFailed)
            continue;
        QString reason;
        const std::optional<Configuration> configuration = configurationFromJson(json, &reason);
        if (configuration)
            row.configuration = *configuration;
        else
            faults->append(tr("wiersz %1: %2").arg(number).arg(reason));
        table.modules.append(row);
    }
    if (table.modules.isEmpty() && faults->isEmpty())
        faults->append(tr("tabela nie ma wiersza nagłówka i choć jednego wiersza modemu."));
    if (!faults->isEmpty())
        return std::nullopt;
    return table;
}

QString SeriesTable::fault(int row, const QString &column, const QString &reason)
{
    return tr("wiersz %1, kolumna „%2”: %3").arg(row).arg(column, reason);
}

QStringList SeriesTable::header() const
{
    return columns;
}

const QList<SeriesTable::Row> &SeriesTable::rows() const
{
    return modules;
}

int SeriesTable::indexOf(const QString &name) const
{
    for (int index = 0; index < modules.size(); ++index) {
        if (modules.at(index).name == name)
            return index;
    }
    return -1;
}
