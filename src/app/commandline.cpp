#include "commandline.h"

#include <QCoreApplication>

CommandLine::CommandLine()
    : helpOption({QStringLiteral("h"), QStringLiteral("help")},
                 QStringLiteral("Wyświetla tę pomoc i kończy działanie.")),
      versionOption({QStringLiteral("v"), QStringLiteral("version")},
                    QStringLiteral("Wyświetla numer wersji i kończy działanie.")),
      verboseOption(QStringLiteral("verbose"),
                    QStringLiteral("Wypisuje na standardowe wyjście błędów także ostrzeżenia biblioteki Qt "
                                   "(po angielsku)."))
{
    parser.setApplicationDescription(QStringLiteral(
        "Konfiguracja i serwis modemu GSM TX48.\n"
        "\n"
        "Lista portów zawiera porty szeregowe komputera oraz ścieżki podane w zmiennej\n"
        "TX48_EXTRA_PORTS (oddzielone dwukropkiem), np. port programu tx48-emulator."));
    // Qt's own options are single-dash words; read "-style" as one option,
    // never as the letters s, t, y, l, e.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(verboseOption);
    parser.addPositionalArgument(
        QStringLiteral("plik.kvl"),
        QStringLiteral("Plik konfiguracji otwierany przy starcie, jak przez „Odczytaj z pliku”."),
        QStringLiteral("[plik.kvl]"));
}

bool CommandLine::parse(const QStringList &arguments)
{
    mistake.clear();
    if (!parser.parse(arguments))
        mistake = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        mistake = QStringLiteral("Można podać tylko jeden plik konfiguracji.");
    return mistake.isEmpty();
}

QString CommandLine::errorText() const
{
    return mistake;
}

bool CommandLine::asksForHelpOrVersion() const
{
    return parser.isSet(helpOption) || parser.isSet(versionOption);
}

QString CommandLine::terminalAnswer() const
{
    if (parser.isSet(helpOption))
        return parser.helpText();
    return QStringLiteral("Telvoro %1\n").arg(QCoreApplication::applicationVersion());
}

QString CommandLine::configurationFile() const
{
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : files.constFirst();
}
