#include "files/configurationjson.h"
#include "jsonedit.h"
#include "randomimage.h"
#include "testmain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

class ConfigurationJsonTest : public QObject
{
    Q_OBJECT

private slots:
    void randomImagesSurviveTheJsonText();
    void documentedExampleReads();
    void refusesBadJson_data();
    void refusesBadJson();
};

// Any image, an erased module's and random bytes in every field, comes back
// from its JSON text with every byte its .kvl file holds.
void ConfigurationJsonTest::randomImagesSurviveTheJsonText()
{
    QRandomGenerator random(20240907);
    QList<QByteArray> images{ QByteArray(ConfigurationImageSize, char(0xFF)), QByteArray(ConfigurationImageSize, 0) };
    for (int round = 0; round < 300; ++round)
        images << RandomImage::randomImage(random);
    for (const QByteArray &image : std::as_const(images)) {
        Configuration decoded;
        decoded.fromImage(image);
        QString error;
        const std::optional<Configuration> read =
                configurationFromJsonText(configurationJsonText(decoded), &error);
        QVERIFY2(read, qPrintable(error + '\n' + image.toHex()));
        QCOMPARE(read->toImage(ImageSection::Full).mid(ImageHeaderSize),
                 RandomImage::keptBytes(image).mid(ImageHeaderSize));
    }
}

// The page that documents the keys must show a file the program reads, with
// each value where the page says it goes.
void ConfigurationJsonTest::documentedExampleReads()
{
    QFile page(QFINDTESTDATA("../../docs/configuration-json.md"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString markdown = QString::fromUtf8(page.readAll());
    const QRegularExpressionMatch example =
            QRegularExpression(QStringLiteral("```json\n(.*?)```"), QRegularExpression::DotMatchesEverythingOption)
                    .match(markdown);
    QVERIFY(example.hasMatch());
    QString error;
    const std::optional<Configuration> read =
            configurationFromJson(QJsonDocument::fromJson(example.captured(1).toUtf8()).object(), &error);
    QVERIFY2(read, qPrintable(error));

    Configuration expected;
    expected.setPhoneNumber(0, QStringLiteral("600100200"));
    expected.setErrorReportPhone(0, true);
    expected.setPowerFailPhone(1, true);
    expected.setPhoneNumber(1, QStringLiteral("600100201"));
    expected.analogInputTypes = 0x81;
    expected.analogRange[0] = 105;
    expected.analogDecimals[0] = 1;
    expected.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 500, 90, 0));
    expected.setDigitalAction(2, 0, InputAction(DigitalInput, 5, 0, 0, 49));
    expected.digitalOutputNames[0] = QStringLiteral("Pompa");
    expected.setOutputStartup(0, 1, 125);
    expected.setSmsText(1, QStringLiteral("Awaria pompy"));
    expected.setMicrophone(true);
    expected.setRingAction(RingOnceKey, 1);
    expected.serverAddress = { 192, 168, 1, 20 };
    expected.serverPort = QStringLiteral("8080");
    QVERIFY(*read == expected);
}

// A fault is reported at the edited path unless another is given; bad syntax by
// line and column in characters, so a hand edit can be found in any editor.
void ConfigurationJsonTest::refusesBadJson_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    const QJsonObject json = configurationToJson(Configuration());
    const auto row = [&json](const char *name, const QString &path, const QJsonValue &value,
                             const QString &reason, const QString &faultPath = QString()) {
        QTest::newRow(name) << QJsonDocument(editedJson(json, path, value)).toJson()
                            << (faultPath.isEmpty() ? path : faultPath) + ": " + reason;
    };
    const QJsonValue removed(QJsonValue::Undefined);
    row("other format", "format", "inny", "to nie jest konfiguracja modemu TX48 (należy wpisać „telvoro-configuration”).");
    row("later version", "version", 2, "wersji 2 ten program nie zna; zna wersję 1.");
    row("nested key missing", "analogInputs[1].actions[3].time", removed, "brak klucza.");
    row("unknown key", "comment", "x", "nieznany klucz.");
    row("value of a digital action", "digitalInputs[5].actions[15].value", 0, "nieznany klucz.");
    row("number as text", "analogInputs[1].actions[3].time", "90", "należy wpisać liczbę całkowitą.");
    row("fraction", "analogInputs[1].actions[3].value", 1.5, "należy wpisać liczbę całkowitą.");
    row("above 16 bits", "analogInputs[1].actions[3].time", 65536, "wartość 65536 jest poza zakresem od 0 do 65535.");
    row("negative", "digitalInputs[0].filter", -1, "wartość -1 jest poza zakresem od 0 do 255.");
    row("condition above 7 bits", "digitalInputs[0].actions[0].condition", 128, "wartość 128 jest poza zakresem od 0 do 127.");
    row("reserved option bits", "options.reservedBits", 32, "wartość 32 jest poza zakresem od 0 do 31.");
    row("flag as number", "phones[2].errorReport", 1, "należy wpisać true albo false.");
    row("text as number", "phones[0].number", 600100200, "należy wpisać tekst w cudzysłowie.");
    row("text over its field in bytes only", "digitalOutputs[0].name", "Pompa główna", "tekst jest za długi: zajmuje 14 B, a pole mieści najwyżej 13 B (litera z polskim znakiem zajmuje 2 B).");
    row("zero in a text", "statusSmsTexts[3]", QStringLiteral("a%1b").arg(QChar(0)), "tekst nie może zawierać znaku o kodzie 0.");
    row("short list", "statusSmsTexts", QJsonArray{ "x" }, "liczba elementów wynosi 1, a powinna wynosić 8.");
    row("list element not an object", "phones[1]", "600", "należy wpisać obiekt { … }.");
    row("list as object", "phones", QJsonObject(), "należy wpisać listę [ … ].");
    row("unknown signal type", "analogInputs[0].signalTypes", QJsonArray{ "0 - 10 V" }, "nieznany typ sygnału „0 - 10 V” (dozwolone: 0-10V, 2-10V, 0-20mA, 4-20mA).", "analogInputs[0].signalTypes[0]");
    row("repeated signal type", "analogInputs[0].signalTypes", QJsonArray{ "4-20mA", "4-20mA" }, "typ sygnału „4-20mA” powtarza się.", "analogInputs[0].signalTypes[1]");
    row("octet above 255", "archiving.serverAddress", "192.168.1.256", "błędny adres IP „192.168.1.256”: należy wpisać cztery liczby od 0 do 255 rozdzielone kropkami.");
    row("port over its field", "archiving.serverPort", "123456", "tekst jest za długi: zajmuje 6 B, a pole mieści najwyżej 5 B (litera z polskim znakiem zajmuje 2 B).");
    // What QJsonDocument takes, read from the text itself.
    const QByteArray text = configurationJsonText(Configuration());
    const auto edited = [&text](const char *name, const QByteArray &from, const QByteArray &to, const QString &message) {
        QTest::newRow(name) << QByteArray(text).replace(from, to) << message;
    };
    edited("key twice", "\"analogHysteresis\": 20,", "\"analogHysteresis\": 20, \"analogHysteresis\": 30,",
           "analogHysteresis: klucz powtarza się w tym samym obiekcie.");
    edited("nested key twice, once escaped, after a whole surrogate pair",
           "\"relaysOn\": false,", "\"relaysOn\": false, \"x\": \"\\ud83d\\ude00\", \"relays\\u004fn\": true,",
           "options.relaysOn: klucz powtarza się w tym samym obiekcie.");
    edited("half a surrogate pair", "\"secondModulePhone\": \"\"", "\"secondModulePhone\": \"\\ud800\"",
           "secondModulePhone: \\ud800 to połowa pary znaków UTF-16 bez drugiej połowy, a nie znak.");
    edited("second half alone, in a list", "\"statusSmsTexts\": [\n        \"\"",
           "\"statusSmsTexts\": [\n        \"a\\udc00b\"",
           "statusSmsTexts[0]: \\udc00 to połowa pary znaków UTF-16 bez drugiej połowy, a nie znak.");
    edited("line end not escaped in a text", "\"statusSmsTexts\": [\n        \"\"",
           "\"statusSmsTexts\": [\n        \"Awaria\npompy\"",
           "statusSmsTexts[0]: znak sterujący o kodzie 10 w tekście należy zapisać jako \\u000a (koniec wiersza "
           "jako \\n).");
    edited("tab not escaped in a key", "\"relaysOn\": false,", "\"relays\tOn\": false,",
           "options.relays: znak sterujący o kodzie 9 w tekście należy zapisać jako \\u0009 (koniec wiersza jako \\n).");
    QTest::newRow("empty") << QByteArray(" \n") << "plik jest pusty.";
    QTest::newRow("missing comma after Polish text")
            << QByteArray("{\n  \"a\": \"żółw\"\n  \"b\": 1\n}")
            << "błąd składni JSON w wierszu 3, w kolumnie 4: brak przecinka albo nawiasu } zamykającego "
               "obiekt (nazwę klucza należy wpisać w cudzysłowie).";
    QTest::newRow("cut off") << QByteArray("{\"a\": [1, 2")
                             << "błąd składni JSON w wierszu 1, w kolumnie 12: plik kończy się przed zamknięciem "
                                "wszystkich nawiasów.";
    QTest::newRow("list") << QByteArray("[]") << "cały plik musi być jednym obiektem { … }.";
    QTest::newRow("after the byte-order mark, the reader") << QByteArray("\xEF\xBB\xBF{}") << "format: brak klucza.";
}

void ConfigurationJsonTest::refusesBadJson()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!configurationFromJsonText(text, &error));
    QCOMPARE(error, message);
}

TELVORO_TEST_MAIN(ConfigurationJsonTest)
#include "tst_configurationjson.moc"
