#include "configuration/configuration.h"
#include "randomimage.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace RandomImage;

class ConfigurationImageTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultImage();
    void sectionsAreSlicesOfTheFullImage();
    void headerIsNeverWritten();
    void encodeAction_data();
    void encodeAction();
    void actionSlotsAtTheirOffsets();
    void textFields_data();
    void textFields();
    void smsTextsFillTheirFields();
    void textDecodingStopsAtFirstZero();
    void portField_data();
    void portField();
    void powerUpMaskAndReservedByte();
    void numbersAreBigEndian();
    void wrongLengthChangesNothing_data();
    void wrongLengthChangesNothing();
    void imageKeepsItsSizeWhateverTheLists();
    void randomImagesRoundTrip();
};

void ConfigurationImageTest::defaultImage()
{
    const QByteArray image = Configuration().toImage(ImageSection::Full);
    QCOMPARE(image.size(), ConfigurationImageSize);

    QByteArray expected(ConfigurationImageSize, '\0');
    const QList<QPair<int, quint8>> nonZero = {
        { 807, 0x03 }, { 808, 0xE8 }, { 809, 0x02 }, { 810, 0x03 }, { 811, 0xE8 },
        { 812, 0x02 }, { 813, 0x14 }, { 814, 0x11 }, { 829, 0x19 }, { 841, 0x30 },
    };
    for (const auto &[offset, byte] : nonZero)
        expected[offset] = char(byte);
    QCOMPARE(image, expected);
}

void ConfigurationImageTest::sectionsAreSlicesOfTheFullImage()
{
    Configuration configuration;
    configuration.secondModulePhone = QStringLiteral("500600700");
    configuration.setSmsText(7, QStringLiteral("Koniec"));
    configuration.archiveSendAfter = 9;
    const QByteArray full = configuration.toImage(ImageSection::Full);
    const QByteArray settings = configuration.toImage(ImageSection::SettingsBlock);
    const QByteArray sms = configuration.toImage(ImageSection::SmsBlock);

    QCOMPARE(settings.size(), SettingsBlockSize);
    QCOMPARE(sms.size(), SmsBlockSize);
    QCOMPARE(settings, full.mid(14, 834));
    QCOMPARE(sms, full.mid(848, 1120));
    QCOMPARE(settings.at(0), '5');
    QCOMPARE(settings.at(833), char(9));
    QCOMPARE(sms.mid(980, 6), QByteArray("Koniec"));
}

void ConfigurationImageTest::headerIsNeverWritten()
{
    Configuration configuration;
    configuration.simPin = QStringLiteral("1234");
    configuration.simPuk = QStringLiteral("87654321");
    const QByteArray image = configuration.toImage(ImageSection::Full);
    QCOMPARE(image.left(14), QByteArray(14, '\0'));

    Configuration decoded;
    decoded.fromImage(image);
    QCOMPARE(decoded.simPin, QString());
    QCOMPARE(decoded.simPuk, QString());

    QByteArray fromModule = image;
    fromModule.replace(0, 14, QByteArray("1234876543219\xff", 14));
    decoded.fromImage(fromModule);
    QCOMPARE(decoded.simPin, QStringLiteral("1234"));
    QCOMPARE(decoded.simPuk, QStringLiteral("87654321"));
}

void ConfigurationImageTest::encodeAction_data()
{
    QTest::addColumn<int>("inputKind");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("analogue") << int(AnalogInput) << QByteArray("\x03\x01\xF4\x07\x00\x5A", 6);
    QTest::newRow("digital") << int(DigitalInput) << QByteArray("\x03\x07\x00\x5A", 4);
}

void ConfigurationImageTest::encodeAction()
{
    QFETCH(int, inputKind);
    QFETCH(QByteArray, expected);
    QCOMPARE(::encodeAction(InputAction(inputKind, 0x03, 500, 90, 7)), expected);
}

void ConfigurationImageTest::actionSlotsAtTheirOffsets()
{
    Configuration configuration;
    configuration.setAnalogAction(1, 17, InputAction(AnalogInput, 0x07, 0x1234, 0xABCD, 0x30));
    configuration.setDigitalAction(5, 15, InputAction(DigitalInput, 0x05, 0, 0x0102, 0x2F));
    const QByteArray image = configuration.toImage(ImageSection::Full);
    QCOMPARE(image.mid(199 + 108 + 6 * 17, 6), QByteArray("\x07\x12\x34\x30\xAB\xCD", 6));
    QCOMPARE(image.mid(415 + 64 * 5 + 4 * 15, 4), QByteArray("\x05\x2F\x01\x02", 4));

    Configuration decoded;
    decoded.fromImage(image);
    QVERIFY(decoded == configuration);
    QCOMPARE(decoded.digitalAction(5, 15), InputAction(DigitalInput, 0x05, 0, 0x0102, 0x2F));
}

void ConfigurationImageTest::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expectedField");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("12 ASCII") << "Pompa glowna" << field("Pompa glowna", 13) << "Pompa glowna";
    QTest::newRow("13 ASCII") << "Pompa glowna1" << QByteArray("Pompa glowna1") << "Pompa glowna1";
    QTest::newRow("longer ASCII") << "Pompa glowna 12" << QByteArray("Pompa glowna ") << "Pompa glowna ";
    // Ten characters, thirteen bytes.
    const QString polish = QStringLiteral("Zawór głów");
    QTest::newRow("13 bytes multi-byte") << polish << polish.toUtf8() << polish;
    // Cutting at 13 bytes would split the second "ł" (bytes 13 and 14).
    QTest::newRow("cut before a split character")
            << QStringLiteral("Zawór zółły") << field(QStringLiteral("Zawór zół").toUtf8(), 13)
            << QStringLiteral("Zawór zół");
    QTest::newRow("four-byte character")
            << QStringLiteral("Alarm 1234😀") << field("Alarm 1234", 13) << QStringLiteral("Alarm 1234");
    QTest::newRow("empty") << QString() << QByteArray(13, '\0') << QString();
    const QString withMark = QChar(0xFEFF) + QStringLiteral("Pompa");
    QTest::newRow("leading byte-order mark kept")
            << withMark << field("\xEF\xBB\xBF" "Pompa", 13) << withMark;
    // Bytes that start no UTF-8 character stand as U+EF80 + (byte - 0x80)
    // and are written back as they were.
    const auto escaped = [](quint8 byte) { return QString(QChar(0xEF00 + byte)); };
    const QString windows1250 = QStringLiteral("Pompa g%1owna").arg(escaped(0xB3));
    QTest::newRow("Windows-1250 letter") << windows1250 << field("Pompa g\xB3owna", 13) << windows1250;
    const QString continuation = QStringLiteral("Zaw%1r").arg(escaped(0x80));
    QTest::newRow("lone continuation byte") << continuation << field("Zaw\x80r", 13) << continuation;
    const QString cutOff = QStringLiteral("Pompa głów%1").arg(escaped(0xC5));
    QTest::newRow("character cut off at the field's end")
            << cutOff << QByteArray("Pompa g\xC5\x82\xC3\xB3w\xC5") << cutOff;
    const QString typed = QStringLiteral("Pompa\uEF85");
    QTest::newRow("escape-range character typed") << typed << field("Pompa\x85", 13) << typed;
    const QString ownBytes = QStringLiteral("Pompa") + escaped(0xEE) + escaped(0xBE) + escaped(0x85);
    QTest::newRow("escape-range character's own UTF-8")
            << ownBytes << field("Pompa\xEE\xBE\x85", 13) << ownBytes;
    QTest::newRow("cut after an escaped byte")
            << QStringLiteral("Pompa glowna%1x").arg(escaped(0x80)) << QByteArray("Pompa glowna\x80")
            << QStringLiteral("Pompa glowna%1").arg(escaped(0x80));
}

void ConfigurationImageTest::textFields()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expectedField);
    QFETCH(QString, decoded);
    QCOMPARE(expectedField.size(), 13);

    Configuration configuration;
    configuration.digitalOutputNames[2] = text;
    const QByteArray image = configuration.toImage(ImageSection::Full);
    QCOMPARE(image.size(), ConfigurationImageSize);
    QCOMPARE(image.mid(121 + 2 * 13, 13), expectedField);
    QCOMPARE(image.mid(121 + 3 * 13, 13), QByteArray(13, '\0'));

    Configuration read;
    read.fromImage(image);
    QCOMPARE(read.digitalOutputNames.value(2), decoded);
}

void ConfigurationImageTest::smsTextsFillTheirFields()
{
    const QString ascii(140, u'a');
    const QString polish = QString(70, u'ą');
    Configuration configuration;
    configuration.setSmsText(0, ascii);
    configuration.setSmsText(1, ascii + QStringLiteral("bcd"));
    configuration.setSmsText(2, polish);
    configuration.setSmsText(3, QString(69, u'ą') + QStringLiteral("aą"));
    const QByteArray image = configuration.toImage(ImageSection::Full);
    QCOMPARE(image.size(), ConfigurationImageSize);
    QCOMPARE(image.mid(848, 140), ascii.toUtf8());
    QCOMPARE(image.mid(988, 140), ascii.toUtf8());
    QCOMPARE(image.mid(1128, 140), polish.toUtf8());
    QCOMPARE(image.mid(1268, 140), field((QString(69, u'ą') + u'a').toUtf8(), 140));

    Configuration decoded;
    decoded.fromImage(image);
    QCOMPARE(decoded.smsText(0), ascii);
    QCOMPARE(decoded.smsText(1), ascii);
    QCOMPARE(decoded.smsText(2), polish);
    QCOMPARE(decoded.smsText(3), QString(69, u'ą') + u'a');
}

void ConfigurationImageTest::textDecodingStopsAtFirstZero()
{
    QByteArray image = Configuration().toImage(ImageSection::Full);
    image.replace(848, 8, QByteArray("ab\0cdefg", 8));
    image.replace(95, 13, QByteArray("\xc5\x82\xff" "abcdefghij", 13));
    Configuration configuration;
    configuration.fromImage(image);
    QCOMPARE(configuration.smsText(0), QStringLiteral("ab"));
    QCOMPARE(configuration.analogOutputNames.value(0).size(), 12);
    QVERIFY(configuration.analogOutputNames.value(0).startsWith(QStringLiteral("ł")));
}

void ConfigurationImageTest::portField_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("port");
    // Another port, and the field that then gets written.
    QTest::addColumn<QString>("newPort");
    QTest::addColumn<QByteArray>("newBytes");

    QTest::newRow("80") << QByteArray("80\0\0\0", 5) << "80" << "81" << QByteArray("81\0\0\0", 5);
    QTest::newRow("five zeros") << QByteArray(5, '\0') << "" << "7" << QByteArray("7\0\0\0\0", 5);
    // Zeros between digits stay where they were while the digits fill the
    // other places; a port of another length is written from the start.
    QTest::newRow("gap") << QByteArray("8\0" "08\0", 5) << "808" << "809" << QByteArray("8\0" "09\0", 5);
    QTest::newRow("gap, longer port") << QByteArray("8\0" "08\0", 5) << "808" << "8080" << QByteArray("8080\0", 5);
    QTest::newRow("leading zero byte") << QByteArray("\0" "4430", 5) << "4430" << "" << QByteArray(5, '\0');
    QTest::newRow("full") << QByteArray("65535") << "65535" << "123456" << QByteArray("12345");
}

void ConfigurationImageTest::portField()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, port);
    QFETCH(QString, newPort);
    QFETCH(QByteArray, newBytes);

    QByteArray image = Configuration().toImage(ImageSection::Full);
    image.replace(841, 5, bytes);
    Configuration configuration;
    configuration.fromImage(image);
    QCOMPARE(configuration.serverPort, port);
    QCOMPARE(configuration.toImage(ImageSection::Full).mid(841, 5), bytes);
    configuration.serverPort = newPort;
    QCOMPARE(configuration.toImage(ImageSection::Full).mid(841, 5), newBytes);
}

// Bits that no field stands for go back to the module as they came.
void ConfigurationImageTest::powerUpMaskAndReservedByte()
{
    QByteArray image = Configuration().toImage(ImageSection::Full);
    image[815] = char(0xE5);
    image[836] = char(0x5A);
    image.replace(816, 12, QByteArray("\x00\x01\x00\x02\x00\x03\x00\x04\x00\x05\xFF\xFF", 12));
    Configuration configuration;
    configuration.fromImage(image);

    const QList<quint8> on = { 1, 0, 1, 0, 0, 1 };
    for (int i = 0; i < 6; ++i)
        QCOMPARE(configuration.outputStartup.value(i).on, on.at(i));
    QCOMPARE(configuration.outputStartup.value(5).seconds, quint16(65535));
    QCOMPARE(configuration.outputStartup.keys(), QList<int>({ 0, 1, 2, 3, 4, 5 }));

    QCOMPARE(configuration.toImage(ImageSection::Full).mid(815, 22), image.mid(815, 22));
    configuration.setOutputStartup(1, 1, 2);
    const QByteArray written = configuration.toImage(ImageSection::Full);
    QCOMPARE(quint8(written.at(815)), quint8(0xE7));
    QCOMPARE(quint8(written.at(836)), quint8(0x5A));
}

void ConfigurationImageTest::numbersAreBigEndian()
{
    Configuration configuration;
    configuration.analogRange = { 0x0102, 0xFFFE };
    configuration.relayHoldTime = 0xA0B0;
    configuration.setRingAction(1, 7);
    configuration.setRingAction(4, 26);
    configuration.serverAddress = { 192, 168, 1, 20 };
    const QByteArray image = configuration.toImage(ImageSection::Full);
    QCOMPARE(image.mid(807, 2), QByteArray("\x01\x02", 2));
    QCOMPARE(image.mid(810, 2), QByteArray("\xFF\xFE", 2));
    QCOMPARE(image.mid(831, 2), QByteArray("\xA0\xB0", 2));
    QCOMPARE(image.mid(834, 3), QByteArray("\x07\x1A\x00", 3));
    QCOMPARE(image.mid(837, 4), QByteArray("\xC0\xA8\x01\x14", 4));
}

void ConfigurationImageTest::wrongLengthChangesNothing_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << 0;
    QTest::newRow("one short") << ConfigurationImageSize - 1;
    QTest::newRow("one long") << ConfigurationImageSize + 1;
    QTest::newRow("settings block") << SettingsBlockSize;
}

void ConfigurationImageTest::wrongLengthChangesNothing()
{
    QFETCH(int, length);
    Configuration configuration;
    configuration.setSmsText(1, QStringLiteral("Przed"));
    const Configuration before = configuration;
    configuration.fromImage(QByteArray(length, '\x7F'));
    QVERIFY(configuration == before);
}

void ConfigurationImageTest::imageKeepsItsSizeWhateverTheLists()
{
    Configuration configuration;
    configuration.analogActions[0].removeLast();
    configuration.digitalActions[2].append(InputAction(DigitalInput, 3, 0, 0, 0));
    configuration.digitalActions.remove(5);
    configuration.analogActionSlot(1, 0)->inputKind = DigitalInput;
    QCOMPARE(configuration.toImage(ImageSection::Full), Configuration().toImage(ImageSection::Full));
}

void ConfigurationImageTest::randomImagesRoundTrip()
{
    QRandomGenerator random(20240611);
    const QList<TextField> textFields = settingsTextFields();

    for (int round = 0; round < 500; ++round) {
        QByteArray image = randomImage(random);
        // Half the text fields end early, after any bytes; the port holds
        // digits with zero bytes anywhere.
        for (const TextField &text : textFields) {
            if (random.bounded(2) == 0)
                image[text.offset + random.bounded(text.width)] = '\0';
        }
        for (int i = 841; i < 841 + PortWidth; ++i)
            image[i] = random.bounded(3) != 0 ? char('0' + random.bounded(10)) : '\0';

        Configuration decoded;
        decoded.fromImage(image);
        const QByteArray encoded = decoded.toImage(ImageSection::Full);
        QCOMPARE(encoded, keptBytes(image));

        Configuration again;
        again.fromImage(encoded);
        decoded.simPin.clear();
        decoded.simPuk.clear();
        QVERIFY2(again == decoded, qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

TELVORO_TEST_MAIN(ConfigurationImageTest)
#include "tst_configurationimage.moc"
