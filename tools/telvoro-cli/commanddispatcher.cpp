#include "commanddispatcher.h"

#include "commands.h"
#include "console.h"
#include "linklogfile.h"
#include "seriescommand.h"

namespace {

const QString ReportCommand = QStringLiteral("report");

QString portRule()
{
    return CommandDispatcher::tr(
            "PORT to ścieżka w /dev (np. /dev/ttyUSB0) albo nazwa, którą wypisuje polecenie\n"
            "ports (np. ttyUSB0 albo port wirtualny ze zmiennej TX48_EXTRA_PORTS).\n"
            "PORT auto to pierwszy port, na którym odpowiada modem: najpierw port użyty\n"
            "ostatnio w oknie programu, potem przejściówki USB, potem pozostałe; znaleziony\n"
            "port program wypisuje na standardowe wyjście błędów.\n"
            "Gdzie można podać port albo plik: nazwa w /dev to port, nazwa *.json to plik\n"
            "JSON (docs/configuration-json.md), *.kvl to plik .kvl; inna nazwa to port, gdy\n"
            "wypisuje ją polecenie ports, a w przeciwnym razie plik .kvl.");
}

QString exitCodes()
{
    return CommandDispatcher::tr(
            "Kody wyjścia:\n"
            "  0  powodzenie\n"
            "  1  znaleziono różnice (diff)\n"
            "  2  błędne wywołanie (także błędny kod PIN lub PUK)\n"
            "  3  pliku nie można odczytać ani zapisać albo jego treść jest błędna; także\n"
            "     standardowe wyjście, które nie przyjmuje wyniku (pełny dysk, zamknięty potok)\n"
            "  4  modem nie odpowiedział albo odmówił; port nie istnieje lub jest zajęty;\n"
            "     zapis przerwany albo modem po zapisie przechowuje coś innego, niż wysłano;\n"
            "     polecenie, które łączy się z modemem, przerwane sygnałem (Ctrl+C, SIGTERM,\n"
            "     SIGHUP); watch kończy się nim z kodem 0\n"
            "  5  PORT auto: modem nie odpowiedział na żadnym porcie (powód dla każdego portu\n"
            "     na standardowym wyjściu błędów)");
}

} // namespace

CommandDispatcher::CommandDispatcher()
    : helpOption({ QStringLiteral("h"), QStringLiteral("help") }, tr("Wyświetla tę pomoc.")),
      verboseOption(QStringLiteral("verbose"),
                    tr("Wypisuje na standardowe wyjście błędów także ostrzeżenia biblioteki Qt (po angielsku).")),
      versionOption(QStringLiteral("version"), tr("Wyświetla numer wersji.")),
      outputOption({ QStringLiteral("o"), QStringLiteral("output") }, tr("Plik, który ma powstać."),
                   tr("plik")),
      dryRunOption(QStringLiteral("dry-run"), tr("Tylko wypisuje różnice; nic nie wysyła.")),
      noVerifyOption(QStringLiteral("no-verify"),
                     tr("Nie odczytuje modemu po zapisie, by porównać go z wysłaną konfiguracją.")),
      jsonOption(QStringLiteral("json"), tr("Wypisuje konfigurację w formie JSON.")),
      requestOption(QStringLiteral("request"),
                    tr("Żądanie PIN: on (Włącz) albo off (Wyłącz); bez tej opcji modem zostawia "
                       "swoje ustawienie."),
                    QStringLiteral("on|off")),
      csvOption(QStringLiteral("csv"), tr("Wypisuje wiersze CSV z wierszem nagłówka.")),
      countOption(QStringLiteral("count"), tr("Kończy po N odczytach (bez tej opcji: Ctrl+C)."),
                  QStringLiteral("N")),
      configOption(QStringLiteral("config"),
                   tr("Plik konfiguracji (.kvl albo .json), według którego zakresów wejścia analogowe "
                      "są pokazane w jednostkach, jak na karcie „Online”; bez niej wartości surowe "
                      "(tysięczne części zakresu)."),
                   tr("plik")),
      logOption(QStringLiteral("log"),
                tr("Dopisuje do pliku dziennik komunikacji: każdą wiadomość wysłaną do modemu i każdą jego "
                   "odpowiedź, wpis w wierszu (docs/link-log.md). Nowy plik jest dostępny tylko dla "
                   "właściciela."),
                tr("plik"))
{
    subcommands = {
        { QStringLiteral("ports"), QString(), tr("porty, przez które można połączyć się z modemem"),
          tr("Wypisuje porty tak, jak lista portów okna programu: porty szeregowe komputera\n"
             "i ścieżki ze zmiennej TX48_EXTRA_PORTS (oddzielone dwukropkiem), np. port\n"
             "programu tx48-emulator. Pierwsze słowo wiersza to nazwa, którą przyjmuje PORT."),
          {}, &CommandDispatcher::ports, 0 },
        { QStringLiteral("read"), QStringLiteral("PORT -o PLIK"), tr("odczyt konfiguracji z modemu do pliku"),
          tr("Odczytuje konfigurację z modemu i zapisuje ją w pliku .kvl (w formie JSON, gdy\n"
             "nazwa kończy się na .json). Plik powstaje w całości albo wcale: po błędzie\n"
             "poprzedni plik o tej nazwie zostaje nietknięty."),
          { &outputOption, &logOption }, &CommandDispatcher::read, 1 },
        { QStringLiteral("write"), QStringLiteral("PORT PLIK [--dry-run] [--no-verify]"),
          tr("zapis konfiguracji z pliku do modemu"),
          tr("Odczytuje konfigurację modemu i wypisuje, co zapis zmieni (słowami formularza).\n"
             "Potem zapisuje kopię zapasową tego, co modem zawierał, w folderze kopii okna\n"
             "programu (~/.local/share/Korvel/TX48/backups), i wysyła ustawienia, a teksty\n"
             "SMS tylko wtedy, gdy się różnią. Bez kopii na dysku nic nie jest wysyłane.\n"
             "Na koniec odczytuje modem ponownie i porównuje każdy wysłany bajt; gdy modem\n"
             "przechowuje coś innego, wypisuje różniące się pola i kończy z kodem 4.\n"
             "Ctrl+C (albo SIGTERM, SIGHUP) zatrzymuje zapis po bieżącej wymianie z modemem\n"
             "albo w przerwie przed blokiem tekstów SMS, nigdy w połowie bloku; blok jeszcze\n"
             "nie wysłany nie zostaje wysłany. Wtedy, jak po każdym nieudanym zapisie, program\n"
             "podaje, które bloki modem potwierdził i gdzie jest kopia zapasowa, i kończy\n"
             "z kodem 4. Gdy wszystkie bloki już poszły, modem jest jeszcze odczytany i\n"
             "sprawdzony, a wynik mówi, co przechowuje.\n"
             "PLIK to plik .kvl albo .json. Kod PIN i PUK nie są wysyłane (polecenie pin).\n"
             "Postęp jest widoczny na terminalu (na standardowym wyjściu błędów)."),
          { &dryRunOption, &noVerifyOption, &logOption }, &CommandDispatcher::write, 2 },
        { QStringLiteral("show"), tr("PLIK|PORT [--json]"), tr("cała konfiguracja z pliku albo z modemu"),
          tr("Wypisuje całą konfigurację: sekcjami, słowami formularza (znaki końca wiersza\n"
             "w tekstach jako \\n, pusta wartość jako —), albo w formie JSON.\n\n")
                  + portRule(),
          { &jsonOption, &logOption }, &CommandDispatcher::show, 1 },
        { QStringLiteral("diff"), QStringLiteral("A B"), tr("różnice między dwiema konfiguracjami"),
          tr("Wypisuje każde pole, którym B różni się od A, jako „pole: w A → w B”. A i B to\n"
             "pliki .kvl, pliki JSON albo porty. Kończy z kodem 1, gdy są różnice.\n\n")
                  + portRule(),
          { &logOption }, &CommandDispatcher::diff, 2 },
        { QStringLiteral("export"), tr("PLIK.kvl -o PLIK.json"), tr("plik .kvl w formie JSON"),
          tr("Zapisuje konfigurację pliku .kvl w formie JSON (docs/configuration-json.md):\n"
             "klucze w porządku alfabetycznym, stałe wcięcia. Polecenie import daje z niej\n"
             "z powrotem ten sam plik .kvl, bajt w bajt."),
          { &outputOption }, &CommandDispatcher::exportJson, 1 },
        { QStringLiteral("import"), tr("PLIK.json -o PLIK.kvl"), tr("plik JSON jako plik .kvl"),
          tr("Zapisuje konfigurację z pliku JSON jako plik .kvl. Plik z błędem (brak klucza,\n"
             "nieznany klucz, zły typ, liczba poza zakresem, za długi tekst) jest odrzucany\n"
             "z nazwą klucza i przyczyną; nic nie jest wtedy zapisywane."),
          { &outputOption }, &CommandDispatcher::importJson, 1 },
        { QStringLiteral("pin"), tr("PORT [--request on|off] < KODY"),
          tr("zapis kodu PIN i PUK karty SIM w modemie"),
          tr("Wysyła do modemu kod PIN, kod PUK i żądanie PIN, jak przycisk „Zapisz” w oknie\n"
             "Ustawienia, z tymi samymi sprawdzeniami. Kody czyta ze standardowego wejścia:\n"
             "w pierwszym wierszu PIN (4 cyfry), w drugim PUK (8 cyfr; pusty wiersz albo jego\n"
             "brak: pusty PUK). Na terminalu pyta o nie, a wpisywane cyfry nie są widoczne.\n"
             "Kodów nie podaje się w wierszu poleceń: każdy użytkownik komputera może go\n"
             "odczytać z listy procesów."),
          { &requestOption, &logOption }, &CommandDispatcher::pin, 1 },
        { QStringLiteral("watch"), tr("PORT [--csv] [--count N] [--config PLIK]"),
          tr("stan wejść co sekundę, jak na karcie „Online”"),
          tr("Odczytuje stan wejść raz na sekundę i wypisuje go wierszami: czas, AI 1, AI 2\n"
             "i DI 1 do DI 6 (1 = załączone). W CSV czas jest w formacie ISO 8601 ze strefą;\n"
             "odczyt bez odpowiedzi ma puste wartości. Kończy, gdy nikt już nie czyta wyniku\n"
             "(np. za potokiem), także gdy sygnał SIGPIPE jest ignorowany."),
          { &csvOption, &countOption, &configOption, &logOption }, &CommandDispatcher::watch, 1 },
        { ReportCommand, tr("PLIK|PORT -o PLIK.pdf|PLIK.html"),
          tr("cała konfiguracja jako dokument do druku (PDF albo HTML)"),
          tr("Zapisuje całą konfigurację z pliku albo z modemu jako dokument do wydruku\n"
             "i dla dokumentacji instalacji: słowami formularza, w sekcjach jak karty okna\n"
             "programu, z nagłówkiem (źródło konfiguracji, data, program i jego wersja).\n"
             "Nazwa kończąca się na .pdf daje PDF (strony A4 z numerami), na .html stronę\n"
             "HTML (XHTML). Kodów PIN i PUK karty SIM dokument nie zawiera. Plik powstaje\n"
             "w całości albo wcale.\n\n")
                  + portRule(),
          { &outputOption, &logOption }, &CommandDispatcher::report, 1 },
        { QStringLiteral("series"), SeriesCommand::syntax(), SeriesCommand::summary(), SeriesCommand::description(),
          SeriesCommand::options() + QList<const QCommandLineOption *>{ &noVerifyOption, &logOption },
          &CommandDispatcher::series, 3 },
    };
}

QString CommandDispatcher::commandName(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments.at(i).startsWith(QLatin1Char('-')))
            return arguments.at(i);
    }
    return QString();
}

bool CommandDispatcher::needsPrinting(const QStringList &arguments)
{
    return commandName(arguments) == ReportCommand;
}

bool CommandDispatcher::verbose(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--verbose"));
}

bool CommandDispatcher::mayTalkToModule(const QStringList &arguments)
{
    static const QStringList portCommands{QStringLiteral("read"), QStringLiteral("write"), QStringLiteral("show"),
                                          QStringLiteral("diff"), QStringLiteral("pin"), QStringLiteral("watch"),
                                          QStringLiteral("series"), ReportCommand};
    return portCommands.contains(commandName(arguments));
}

int CommandDispatcher::run(const QStringList &arguments)
{
    const QString command = commandName(arguments);
    if (command.isEmpty())
        return runWithoutCommand(arguments);
    current = nullptr;
    for (const Subcommand &subcommand : std::as_const(subcommands)) {
        if (subcommand.name == command)
            current = &subcommand;
    }
    if (!current)
        return wrongUsage(tr("nieznane polecenie „%1”.").arg(command));

    QCommandLineParser parser;
    parser.setApplicationDescription(current->description);
    parser.addPositionalArgument(current->name, current->summary,
                                 current->syntax.isEmpty() ? current->name
                                                           : current->name + QLatin1Char(' ') + current->syntax);
    parser.addOption(helpOption);
    parser.addOption(verboseOption);
    for (const QCommandLineOption *option : current->options)
        parser.addOption(*option);
    if (!parser.parse(arguments))
        return wrongUsage(parser.errorText(), current);
    if (parser.isSet(helpOption)) {
        Console::out(parser.helpText());
        return ExitSuccess;
    }
    QStringList positional = parser.positionalArguments();
    positional.removeFirst();
    if (positional.size() != current->argumentCount)
        return wrongUsage(tr("błędna liczba argumentów."), current);
    if (current->options.contains(&logOption) && parser.isSet(logOption)
        && !LinkLogFile::open(parser.value(logOption)))
        return ExitFileFault;
    return (this->*current->execute)(parser, positional);
}

int CommandDispatcher::runWithoutCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(arguments))
        return wrongUsage(parser.errorText());
    if (parser.isSet(versionOption)) {
        Console::out(QStringLiteral("telvoro-cli %1\n").arg(QStringLiteral(TELVORO_VERSION)));
        return ExitSuccess;
    }
    if (parser.isSet(helpOption)) {
        Console::out(programHelp());
        return ExitSuccess;
    }
    Console::error(programHelp());
    return ExitWrongUsage;
}

QString CommandDispatcher::programHelp() const
{
    QString commands;
    for (const Subcommand &subcommand : subcommands) {
        const QString syntax = (subcommand.name + QLatin1Char(' ') + subcommand.syntax).trimmed();
        commands += QStringLiteral("  %1\n      %2\n").arg(syntax, subcommand.summary);
    }
    return tr("Użycie: telvoro-cli POLECENIE ARGUMENTY [OPCJE]\n"
              "       telvoro-cli --help | --version\n\n"
              "Modem TX48 i jego pliki konfiguracji z wiersza poleceń. Komunikaty, nazwy pól\n"
              "i wartości są takie jak w oknie programu Telvoro.\n\n"
              "Polecenia:\n%1\n"
              "Pomoc do polecenia: telvoro-cli POLECENIE --help\n\n%2\n\n%3\n")
            .arg(commands, portRule(), exitCodes());
}

int CommandDispatcher::wrongUsage(const QString &problem, const Subcommand *subcommand) const
{
    Console::message(problem);
    if (subcommand)
        Console::error(tr("Użycie: %1\nPomoc: telvoro-cli %2 --help\n").arg(usage(*subcommand), subcommand->name));
    else
        Console::error(tr("Pomoc: telvoro-cli --help\n"));
    return ExitWrongUsage;
}

QString CommandDispatcher::usage(const Subcommand &subcommand) const
{
    return QStringLiteral("telvoro-cli %1 %2").arg(subcommand.name, subcommand.syntax).trimmed();
}

int CommandDispatcher::ports(const QCommandLineParser &, const QStringList &)
{
    return Commands::ports();
}

int CommandDispatcher::read(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.isSet(outputOption))
        return wrongUsage(tr("brak opcji -o."), current);
    return Commands::convert(ConfigurationLocation::of(arguments.at(0), ConfigurationLocation::Kind::Port),
                             ConfigurationLocation::file(parser.value(outputOption)));
}

int CommandDispatcher::write(const QCommandLineParser &parser, const QStringList &arguments)
{
    return Commands::write(arguments.at(0), ConfigurationLocation::file(arguments.at(1)),
                           parser.isSet(dryRunOption), !parser.isSet(noVerifyOption));
}

int CommandDispatcher::show(const QCommandLineParser &parser, const QStringList &arguments)
{
    return Commands::show(ConfigurationLocation::of(arguments.at(0)), parser.isSet(jsonOption));
}

int CommandDispatcher::diff(const QCommandLineParser &, const QStringList &arguments)
{
    return Commands::diff(ConfigurationLocation::of(arguments.at(0)), ConfigurationLocation::of(arguments.at(1)));
}

int CommandDispatcher::exportJson(const QCommandLineParser &parser, const QStringList &arguments)
{
    return convert(parser, arguments.at(0), ConfigurationLocation::Kind::KvlFile,
                   ConfigurationLocation::Kind::JsonFile);
}

int CommandDispatcher::importJson(const QCommandLineParser &parser, const QStringList &arguments)
{
    return convert(parser, arguments.at(0), ConfigurationLocation::Kind::JsonFile,
                   ConfigurationLocation::Kind::KvlFile);
}

// The command says the files' forms, whatever their names say.
int CommandDispatcher::convert(const QCommandLineParser &parser, const QString &input,
                               ConfigurationLocation::Kind from, ConfigurationLocation::Kind to)
{
    if (!parser.isSet(outputOption))
        return wrongUsage(tr("brak opcji -o."), current);
    return Commands::convert(ConfigurationLocation::of(input, from),
                             ConfigurationLocation::of(parser.value(outputOption), to));
}

int CommandDispatcher::pin(const QCommandLineParser &parser, const QStringList &arguments)
{
    SimCodes::PinRequest request = SimCodes::PinRequest::NotChosen;
    if (parser.isSet(requestOption)) {
        const QString value = parser.value(requestOption);
        if (value == QStringLiteral("on"))
            request = SimCodes::PinRequest::On;
        else if (value == QStringLiteral("off"))
            request = SimCodes::PinRequest::Off;
        else
            return wrongUsage(tr("--request: należy podać on albo off."), current);
    }
    return Commands::pin(arguments.at(0), request);
}

int CommandDispatcher::watch(const QCommandLineParser &parser, const QStringList &arguments)
{
    int count = 0;
    if (parser.isSet(countOption)) {
        bool isNumber = false;
        count = parser.value(countOption).toInt(&isNumber);
        if (!isNumber || count < 1)
            return wrongUsage(tr("--count: należy podać liczbę całkowitą większą od 0."), current);
    }
    std::optional<ConfigurationLocation> scaling;
    if (parser.isSet(configOption))
        scaling = ConfigurationLocation::file(parser.value(configOption));
    return Commands::watch(arguments.at(0),
                           parser.isSet(csvOption) ? LiveStateWatch::Format::Csv : LiveStateWatch::Format::Text,
                           count, scaling);
}

int CommandDispatcher::report(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.isSet(outputOption))
        return wrongUsage(tr("brak opcji -o."), current);
    const QString output = parser.value(outputOption);
    Commands::ReportFormat format;
    if (output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        format = Commands::ReportFormat::Pdf;
    else if (output.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive))
        format = Commands::ReportFormat::Html;
    else
        return wrongUsage(tr("-o: nazwa pliku musi kończyć się na .pdf albo .html."), current);
    return Commands::report(ConfigurationLocation::of(arguments.at(0)), output, format);
}

int CommandDispatcher::series(const QCommandLineParser &parser, const QStringList &arguments)
{
    return SeriesCommand::run(parser, arguments, !parser.isSet(noVerifyOption));
}
