#include "configuration/configuration.h"
#include "fields/configurationfields.h"
#include "settings/usernames.h"
#include "randomimage.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSet>

namespace {

using Edit = void (*)(Configuration &);

UserNames testNames()
{
    UserNames names;
    names.analogInputs[0] = QStringLiteral("Zbiornik");
    names.phones[2] = QStringLiteral("Dom");
    names.statuses[0] = QStringLiteral("status 1");
    names.statuses[1] = QStringLiteral("Alarm");
    return names;
}

const InputAction RisingOn(DigitalInput, 3, 0, 0, 0), FallingOff(DigitalInput, 5, 0, 60, 9), UnusedSms(DigitalInput, 2, 0, 0, 50);

// A threshold on AI1, one on AI2 whose range "10" rounds it, three actions on DI1.
Configuration baseConfiguration()
{
    Configuration configuration;
    configuration.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 500, 0, 0));
    configuration.analogRange[1] = 10; configuration.analogDecimals[1] = 0;
    configuration.setAnalogAction(1, 0, InputAction(AnalogInput, 5, 101, 0, 0));
    configuration.setDigitalAction(0, 0, RisingOn);
    configuration.setDigitalAction(0, 1, FallingOff);
    configuration.setDigitalAction(0, 2, UnusedSms);
    return configuration;
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class ConfigurationFieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void differences_data();
    void differences();
    void everyStoredByteShows();
};

void ConfigurationFieldsTest::differences_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QStringList>("expected");
    const QString ai1 = QStringLiteral("Sterowanie → Wejście analogowe AI1 (Zbiornik) | ");
    const QString di1 = QStringLiteral("Sterowanie → Wejście cyfrowe DI1 | ");
    QTest::newRow("new action") << Edit([](Configuration &c) { c.setAnalogAction(0, 2, InputAction(AnalogInput, 7, 250, 3725, 14)); })
        << QStringList{ ai1 + "Akcja 3 |  | Użyj: tak, zmiana o 2.50, 1g 2m 5s, lok. wył. Wszyst." };
    QTest::newRow("reordered") << Edit([](Configuration &c) {
        c.setDigitalAction(0, 0, UnusedSms); c.setDigitalAction(0, 1, RisingOn); c.setDigitalAction(0, 2, FallingOff);
    }) << QStringList{ di1 + "Akcja 1 | Użyj: tak, narastające, 0s, lok. zał. DO 1 | Użyj: nie, narastające, 0s, tel 1. st 3",
                       di1 + "Akcja 2 | Użyj: tak, opadające, 1m 0s, lok. wył. DO 2 | Użyj: tak, narastające, 0s, lok. zał. DO 1",
                       di1 + "Akcja 3 | Użyj: nie, narastające, 0s, tel 1. st 3 | Użyj: tak, opadające, 1m 0s, lok. wył. DO 2" };
    QTest::newRow("range and its thresholds") << Edit([](Configuration &c) { c.analogRange[1] = 1000; c.analogDecimals[1] = 1; })
        << QStringList{ "Sterowanie → Wejście analogowe AI2 | Akcja 1 | Użyj: tak, mniejsze od 1 (101‰ zakresu), 0s, lok. zał. DO 1 | Użyj: tak, mniejsze od 10.1, 0s, lok. zał. DO 1",
                        "Wejście / Wyjście → Wejście analogowe AI2 | Zakres | 10 | 100.0" };
    QTest::newRow("signal type and power-up") << Edit([](Configuration &c) { c.analogInputTypes = 0x82; c.setOutputStartup(1, 1, 90); })
        << QStringList{ "Wejście / Wyjście → Ustawienia po uruchomieniu | DO 2 | Wyłączone | Załączone",
                        "Wejście / Wyjście → Ustawienia po uruchomieniu | DO 2 – Opóźnienie | 0s | 1m 30s",
                        "Wejście / Wyjście → Wejście analogowe AI1 (Zbiornik) | Typ sygnału | 0 - 10 V | 2 - 10 V",
                        "Wejście / Wyjście → Wejście analogowe AI2 | Typ sygnału | 0 - 10 V | 4- 20 mA" };
    QTest::newRow("texts") << Edit([](Configuration &c) {
        c.analogOutputNames[1] = QStringLiteral("Zawór łąki"); c.setSmsText(0, "Pożar"); c.setSmsText(1, "Zażółć gęślą jaźń");
    }) << QStringList{ "Definicje nazw użytkownika → Wyjścia | analogowe 2 (AO 2) |  | Zawór łąki",
                        "Definicje nazw użytkownika → Sms-y | Status 1 |  | Pożar",
                        "Definicje nazw użytkownika → Sms-y | Status 2 (Alarm) |  | Zażółć gęślą jaźń" };
    QTest::newRow("settings") << Edit([](Configuration &c) {
        c.setPowerFailPhone(2, true); c.chargeCurrent = 30;
        c.setRingAction(1, 27); c.setRingAction(4, 8); c.serverAddress = { 10, 0, 0, 1 }; c.archiveInterval = 15;
    }) << QStringList{ "Akumulator | Prąd ładowania akumulatora | 25 mA | 30 mA",
                        "Akumulator → Wysłanie sms'a: \"awaria zasilania\" | Telefon 3 (Dom) | nie | tak",
                        "Ustawienia → Sterowanie dzwonieniem | 1 dzwonek | Wyłączone | status 3",
                        "Ustawienia → Sterowanie dzwonieniem | 3 dzwonki | Wyłączone | nieznane zadanie (8)",
                        "Ustawienia → Archiwizacja | Adres IP | 0.0.0.0 | 10.0.0.1",
                        "Ustawienia → Archiwizacja | Archiwizacja co | 0 minut | 15 minut" };
}

void ConfigurationFieldsTest::differences()
{
    QFETCH(Edit, edit);
    QFETCH(QStringList, expected);
    const Configuration before = baseConfiguration();
    Configuration after = before;
    edit(after);
    QStringList lines;
    for (const ConfigurationDifference &d : configurationDifferences(before, after, testNames()))
        lines.append(QStringList{ d.section, d.label, d.before, d.after }.join(QStringLiteral(" | ")));
    QCOMPARE(lines, expected);
    QCOMPARE(configurationDifferences(after, before, testNames()).size(), expected.size());
}

// Whatever a write sends must show: change each byte of the settings and
// SMS blocks in turn, and any change the record keeps must be listed.
void ConfigurationFieldsTest::everyStoredByteShows()
{
    QRandomGenerator random(20240917);
    QByteArray randomImage = RandomImage::randomImage(random);
    // Few decimals, as typed; hundreds only slow the test, and still come below.
    randomImage[809] = char(random.bounded(4));
    randomImage[812] = char(random.bounded(4));

    for (const QByteArray &image : { baseConfiguration().toImage(ImageSection::Full), randomImage }) {
        Configuration original;
        original.fromImage(image);
        const QList<ConfigurationField> fields = configurationFields(original, testNames());
        QSet<QString> places;
        for (const ConfigurationField &field : fields)
            places.insert(field.section + '\n' + field.label);
        QCOMPARE(places.size(), fields.size());

        for (int offset = ImageHeaderSize; offset < ConfigurationImageSize; ++offset) {
            for (const int change : { 0x01, 0x80, random.bounded(1, 256) }) {
                QByteArray changed = image;
                changed[offset] = char(changed.at(offset) ^ change);
                Configuration decoded;
                decoded.fromImage(changed);
                if (decoded != original)
                    QVERIFY2(!configurationDifferences(original, decoded, testNames()).isEmpty(),
                             qPrintable(QStringLiteral("byte %1 ^ %2").arg(offset).arg(change)));
            }
        }
    }
}

TELVORO_TEST_MAIN(ConfigurationFieldsTest)
#include "tst_configurationfields.moc"
