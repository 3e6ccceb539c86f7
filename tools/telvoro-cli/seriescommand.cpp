#include "seriescommand.h"

#include "configurationlocation.h"
#include "console.h"
#include "exitcode.h"
#include "moduleconnection.h"
#include "stopsignals.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

namespace {

const QCommandLineOption &reportOption()
{
    static const QCommandLineOption option(
            QStringLiteral("report"),
            SeriesCommand::tr("Raport serii (CSV), do którego dopisywany jest wiersz po każdym modemie; "
                              "bez tej opcji TABELA-raport.csv obok tabeli."),
            SeriesCommand::tr("plik"));
    return option;
}

const QCommandLineOption &fromOption()
{
    static const QCommandLineOption option(QStringLiteral("from"),
                                           SeriesCommand::tr("Zaczyna od modemu o tej nazwie (pierwsza kolumna tabeli)."),
                                           SeriesCommand::tr("nazwa"));
    return option;
}

const QCommandLineOption &waitOption()
{
    static const QCommandLineOption option(
            QStringLiteral("wait-for-module"),
            SeriesCommand::tr("Zamiast czekać na Enter, czeka, aż poprzedni modem przestanie odpowiadać, "
                              "a na porcie odpowie następny."));
    return option;
}

QString stoppedBeforeModule()
{
    return SeriesCommand::tr("Seria przerwana przed tym modemem. Do modemu nic nie wysłano.");
}

// How often a port is tried while the series waits for a module.
constexpr int AnswerPollMilliseconds = 500;

} // namespace

QList<const QCommandLineOption *> SeriesCommand::options()
{
    return { &reportOption(), &fromOption(), &waitOption() };
}

QString SeriesCommand::syntax()
{
    return tr("BAZA TABELA.csv PORT [--report RAPORT.csv] [--from NAZWA] [--no-verify] [--wait-for-module]");
}

QString SeriesCommand::summary()
{
    return tr("seria modemów: konfiguracja bazowa i tabela wartości dla każdego modemu");
}

QString SeriesCommand::description()
{
    return tr("Zapisuje modem po modemie konfigurację BAZA (.kvl albo .json) z wartościami\n"
              "z wiersza tabeli (docs/series.md): pierwsza kolumna to nazwa modemu, pozostałe\n"
              "to pola formy JSON (np. phones[2].number, digitalOutputs[0].name); pusta komórka\n"
              "zostawia wartość z bazy. Cała tabela jest sprawdzana, zanim cokolwiek zostanie\n"
              "wysłane; błędy są wypisywane z wierszem, kolumną i przyczyną.\n"
              "Przed każdym modemem program pisze „Podłącz modem: NAZWA (3 z 20), potem Enter”\n"
              "i czeka na Enter. Każdy zapis przebiega jak w poleceniu write (odczyt, kopia\n"
              "zapasowa z nazwą modemu, bloki, odczyt kontrolny), bez pytania o zmiany. Po\n"
              "każdym modemie do raportu dopisywany jest wiersz: modem, czas, wynik, kopia\n"
              "zapasowa, liczba zmienionych pól, opis. Nieudany modem nie zatrzymuje serii;\n"
              "na końcu program wypisuje nieudane wiersze. Ponowne uruchomienie pomija modemy,\n"
              "które raport zapisuje jako sprawdzone.\n"
              "Ctrl+C (albo SIGTERM) zatrzymuje serię między modemami albo zapis po bieżącej\n"
              "wymianie z modemem, jak w poleceniu write; raport mówi, gdzie.\n"
              "Kończy z kodem 0 tylko wtedy, gdy każdy modem tabeli zapisano i sprawdzono.");
}

SeriesCommand::SeriesCommand(const QString &port, bool verify, bool waitForModule)
    : port(port), verify(verify), waitsForModule(waitForModule)
{
}

int SeriesCommand::run(const QCommandLineParser &parser, const QStringList &arguments, bool verify)
{
    Failure failure;
    const std::optional<Configuration> base = ConfigurationLocation::file(arguments.at(0)).read(&failure);
    if (!base) {
        Console::message(failure.message);
        return failure.code;
    }
    QStringList faults;
    const std::optional<SeriesTable> table = SeriesTable::read(arguments.at(1), *base, &faults);
    if (!table) {
        for (const QString &fault : std::as_const(faults))
            Console::message(QStringLiteral("%1: %2").arg(arguments.at(1), fault));
        return ExitFileFault;
    }
    int first = 0;
    if (parser.isSet(fromOption())) {
        first = table->indexOf(parser.value(fromOption()).trimmed());
        if (first < 0) {
            Console::message(tr("--from: w tabeli nie ma modemu „%1”.").arg(parser.value(fromOption())));
            return ExitWrongUsage;
        }
    }
    const SeriesReport report(parser.isSet(reportOption()) ? parser.value(reportOption())
                                                            : SeriesReport::defaultPath(arguments.at(1)));
    const std::optional<QSet<QString>> verified = report.verifiedModules();
    if (!verified) {
        Console::message(tr("%1: Nie można otworzyć pliku.").arg(report.path()));
        return ExitFileFault;
    }
    if (!report.prepare()) {
        Console::message(tr("%1: Nie można zapisać do pliku.").arg(report.path()));
        return ExitFileFault;
    }
    SeriesCommand command(arguments.at(2), verify, parser.isSet(waitOption()));
    return command.writeAll(*table, first, report, *verified);
}

int SeriesCommand::writeAll(const SeriesTable &table, int first, const SeriesReport &report,
                            const QSet<QString> &verified)
{
    // From here on Ctrl+C (or SIGTERM) stops the series between two modules,
    // or a write at its next step, never in the middle of a block.
    StopSignals stops;
    stopSignals = &stops;
    QObject::connect(&stops, &StopSignals::received, &stops, [this] {
        stopRequested = true;
        Console::message(tr("Przerwano: seria zatrzyma się po bieżącej wymianie z modemem."));
        if (writing)
            writing->requestInterruption();
    });
    const QList<SeriesTable::Row> &rows = table.rows();
    QStringList failed;
    int verifiedCount = 0;
    for (int index = 0; index < rows.size(); ++index) {
        const SeriesTable::Row &row = rows.at(index);
        if (verified.contains(row.name)) {
            ++verifiedCount;
            Console::message(tr("Pominięto: %1 (raport zapisuje go jako sprawdzony).").arg(row.name));
            continue;
        }
        if (index < first || stopRequested) {
            failed.append(tr("%1 (wiersz %2, nie zapisano)").arg(row.name).arg(row.number));
            continue;
        }
        const Wait wait = waitForModule(row, index + 1, int(rows.size()));
        if (wait != Wait::Ready) {
            stopRequested = true;
            const QString why = wait == Wait::InputEnded
                    ? tr("Seria zatrzymana przed tym modemem: standardowe wejście się skończyło. Do modemu nic "
                         "nie wysłano.")
                    : stoppedBeforeModule();
            if (!report.append({ row.name, QDateTime::currentDateTime(), SeriesReport::Outcome::Interrupted,
                                 QString(), 0, why })) {
                Console::message(tr("%1: Nie można zapisać do pliku.").arg(report.path()));
                return ExitFileFault;
            }
            failed.append(tr("%1 (wiersz %2, nie zapisano)").arg(row.name).arg(row.number));
            continue;
        }
        bool moduleVerified = false;
        if (!writeModule(row, report, &moduleVerified)) {
            Console::message(tr("%1: Nie można zapisać do pliku.").arg(report.path()));
            return ExitFileFault;
        }
        if (moduleVerified)
            ++verifiedCount;
        else
            failed.append(tr("%1 (wiersz %2)").arg(row.name).arg(row.number));
    }
    QString summary = (rows.size() == 1 ? tr("Seria: zapisano i sprawdzono %1 z %2 modemu.")
                                        : tr("Seria: zapisano i sprawdzono %1 z %2 modemów."))
                              .arg(verifiedCount)
                              .arg(rows.size());
    if (!failed.isEmpty())
        summary += QLatin1Char('\n') + tr("Nieudane:") + QStringLiteral("\n  ") + failed.join(QStringLiteral("\n  "));
    if (!Console::out(summary + QLatin1Char('\n')))
        return ExitFileFault;
    return failed.isEmpty() ? ExitSuccess : ExitModuleFault;
}

SeriesCommand::Wait SeriesCommand::waitForModule(const SeriesTable::Row &row, int position, int count)
{
    if (!waitsForModule) {
        Console::error(tr("Podłącz modem: %1 (%2 z %3), potem Enter").arg(row.name).arg(position).arg(count)
                       + QLatin1Char('\n'));
        return waitForEnter();
    }
    Console::error(tr("Podłącz modem: %1 (%2 z %3)").arg(row.name).arg(position).arg(count) + QLatin1Char('\n'));
    // The module written last must go first, so that it is not written twice.
    if (position > 1) {
        const Wait gone = waitForAnswer(false);
        if (gone != Wait::Ready)
            return gone;
    }
    return waitForAnswer(true);
}

SeriesCommand::Wait SeriesCommand::waitForEnter()
{
    QEventLoop loop;
    Wait result = Wait::Stopped;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&] {
        char character = 0;
        const ssize_t count = ::read(STDIN_FILENO, &character, 1);
        if (count == 1 && character != '\n')
            return;
        result = count == 1 ? Wait::Ready : Wait::InputEnded;
        loop.quit();
    });
    QObject::connect(stopSignals, &StopSignals::received, &loop, &QEventLoop::quit);
    if (!stopRequested)
        loop.exec();
    return stopRequested ? Wait::Stopped : result;
}

SeriesCommand::Wait SeriesCommand::waitForAnswer(bool answering)
{
    while (!stopRequested && answers() != answering) {
        QEventLoop loop;
        QTimer::singleShot(AnswerPollMilliseconds, &loop, &QEventLoop::quit);
        QObject::connect(stopSignals, &StopSignals::received, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return stopRequested ? Wait::Stopped : Wait::Ready;
}

bool SeriesCommand::answers()
{
    ModuleConnection connection(port);
    Failure failure;
    return connection.open(&failure);
}

bool SeriesCommand::writeModule(const SeriesTable::Row &row, const SeriesReport &report, bool *verified)
{
    ModuleConnection connection(port);
    Failure failure;
    SeriesReport::Entry entry{ row.name, QDateTime::currentDateTime(), SeriesReport::Outcome::NotConnected,
                               QString(), 0, QString() };
    if (!connection.open(&failure)) {
        entry.details = failure.message;
        Console::message(tr("%1: %2").arg(row.name, failure.message));
        return report.append(entry);
    }
    // Ctrl+C while the port was being opened: the module gets nothing.
    if (stopRequested) {
        entry.outcome = SeriesReport::Outcome::Interrupted;
        entry.details = stoppedBeforeModule();
        return report.append(entry);
    }
    ModuleSession *session = connection.session();
    session->setBackupModuleName(row.name);
    writing = session;
    // The table was checked whole and the user saw it: no question per
    // module, but nothing goes to a module that could not be read first.
    const ModuleSession::WriteOutcome outcome =
            session->write(row.configuration, verify, [](const ModuleSession::WritePlan &plan) {
                return plan.moduleRead ? ModuleSession::WriteAnswer::Send : ModuleSession::WriteAnswer::Cancel;
            });
    writing = nullptr;
    entry = SeriesReport::entryOf(row.name, outcome);
    *verified = entry.outcome == SeriesReport::Outcome::Verified;
    const QString said = QStringLiteral("%1: %2").arg(row.name, entry.details);
    if (*verified)
        Console::out(said + QLatin1Char('\n'));
    else
        Console::message(said);
    return report.append(entry);
}
