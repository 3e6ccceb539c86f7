#include "series/seriesreport.h"

#include "fields/visibletext.h"
#include "files/regularfile.h"
#include "series/csvtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QChar Separator = QLatin1Char(';');
constexpr int ModuleColumn = 0;
constexpr int OutcomeColumn = 2;
constexpr qint64 MaximumSize = 16 * 1024 * 1024;

} // namespace

SeriesReport::Outcome SeriesReport::outcomeOf(ModuleSession::WriteStatus status)
{
    using Status = ModuleSession::WriteStatus;
    switch (status) {
    case Status::Verified:
        return Outcome::Verified;
    case Status::WrittenUnverified:
        return Outcome::WrittenUnverified;
    case Status::StoredDifferently:
        return Outcome::StoredDifferently;
    case Status::ReadBeforeFailed:
    case Status::BlockUnanswered:
        return Outcome::Unanswered;
    case Status::LineLost:
        return Outcome::LineLost;
    case Status::Interrupted:
        return Outcome::Interrupted;
    case Status::BackupFailed:
        return Outcome::BackupFailed;
    case Status::ReadBackFailed:
        return Outcome::ReadBackFailed;
    case Status::ModuleChanged:
        return Outcome::ModuleChanged;
    case Status::Cancelled:
        break;
    }
    return Outcome::Cancelled;
}

QString SeriesReport::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Verified:
        return tr("zapisano i sprawdzono");
    case Outcome::WrittenUnverified:
        return tr("zapisano bez sprawdzenia");
    case Outcome::StoredDifferently:
        return tr("modem przechowuje co innego");
    case Outcome::Unanswered:
        return tr("brak odpowiedzi");
    case Outcome::NotConnected:
        return tr("brak połączenia");
    case Outcome::LineLost:
        return tr("utracono połączenie");
    case Outcome::Interrupted:
        return tr("przerwano");
    case Outcome::BackupFailed:
        return tr("brak kopii zapasowej");
    case Outcome::ReadBackFailed:
        return tr("nie odczytano po zapisie");
    case Outcome::ModuleChanged:
        return tr("modem zmienił się przed zapisem");
    case Outcome::Cancelled:
        break;
    }
    return tr("anulowano");
}

SeriesReport::Entry SeriesReport::entryOf(const QString &module, const ModuleSession::WriteOutcome &outcome)
{
    QString details = outcome.summary();
    // The summary of a module that stores differently points at the fields,
    // which a line of the report names itself.
    QStringList fields;
    for (const ConfigurationDifference &field : outcome.storedDifferently)
        fields.append(QStringLiteral("%1 → %2: %3 → %4")
                              .arg(field.section, field.label, visibleValue(field.before), visibleValue(field.after)));
    if (!fields.isEmpty())
        details += QLatin1Char(' ') + tr("Wysłano → w modemie:") + QLatin1Char(' ') + fields.join(QStringLiteral("; "))
                + QLatin1Char('.');
    if (!outcome.succeeded())
        details = (details + QLatin1Char(' ') + outcome.leftBehind()).trimmed();
    details.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // A module that could not be read is never written by a series.
    const bool unread = outcome.status == ModuleSession::WriteStatus::Cancelled && !outcome.plan.moduleRead;
    return { module,
             QDateTime::currentDateTime(),
             unread ? Outcome::Unanswered : outcomeOf(outcome.status),
             outcome.backupPath(),
             int(outcome.plan.changes.size()),
             details };
}

QString SeriesReport::defaultPath(const QString &table)
{
    const QFileInfo info(table);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-raport.csv"));
}

SeriesReport::SeriesReport(const QString &path) : file(path) {}

QString SeriesReport::path() const
{
    return file;
}

std::optional<QSet<QString>> SeriesReport::verifiedModules() const
{
    QSet<QString> verified;
    if (!QFileInfo::exists(file))
        return verified;
    const std::optional<QByteArray> bytes = RegularFile::read(file, MaximumSize);
    if (!bytes)
        return std::nullopt;
    const QString text = QString::fromUtf8(bytes->startsWith("\xEF\xBB\xBF") ? bytes->mid(3) : *bytes);
    const QList<QStringList> lines = CsvText::records(text, CsvText::separatorOf(text));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines.at(i).size() <= OutcomeColumn)
            continue;
        const QString module = lines.at(i).at(ModuleColumn);
        if (lines.at(i).at(OutcomeColumn) == outcomeText(Outcome::Verified))
            verified.insert(module);
        else
            verified.remove(module);
    }
    return verified;
}

bool SeriesReport::prepare() const
{
    return appendLines(QByteArray());
}

bool SeriesReport::append(const Entry &entry) const
{
    return appendLines(CsvText::line({ entry.module, entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                             outcomeText(entry.outcome), QDir::toNativeSeparators(entry.backupPath),
                             QString::number(entry.changedFields), entry.details },
                           Separator));
}

bool SeriesReport::appendLines(const QByteArray &lines) const
{
    QFile report(file);
    const bool isNew = !report.exists() || report.size() == 0;
    if (!report.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray header = isNew ? "\xEF\xBB\xBF"
                    + CsvText::line({ tr("modem"), tr("czas"), tr("wynik"), tr("kopia zapasowa"),
                                      tr("zmienione pola"), tr("opis") },
                                    Separator)
                                    : QByteArray();
    return report.write(header + lines) == header.size() + lines.size() && report.flush();
}
