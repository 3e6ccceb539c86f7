#include "configuration/configuration.h"
#include "testmain.h"

#include <QTest>

class ConfigurationTest : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void defaultsAreEqual();
    void indexedTextsIgnoreOutOfRange();
    void maskBitsChangeOnlyTheirBit();
    void optionFlagsKeepOtherBits();
    void keyedSettersKeepTheirKeys();
    void differences_data();
    void differences();
    void nullAndEmptyTextsAreEqual();
    void slotAccessOutOfRange();
    void storesKeepTheListKind();
    void slotPointerNeverChangesAnEarlierCopy();
    void slotPointerNeverChangesALaterCopy();
    void assignmentReplacesEveryMember();
};

void ConfigurationTest::defaults()
{
    const Configuration configuration;
    QCOMPARE(configuration.analogRange[0], quint16(1000));
    QCOMPARE(configuration.analogRange[1], quint16(1000));
    QCOMPARE(configuration.analogDecimals[0], quint8(2));
    QCOMPARE(configuration.analogDecimals[1], quint8(2));
    QCOMPARE(configuration.hysteresis, quint8(20));
    QCOMPARE(configuration.analogInputTypes, quint8(0x11));
    QCOMPARE(configuration.chargeCurrent, quint8(25));
    QCOMPARE(configuration.serverPort, QStringLiteral("0"));
    QCOMPARE(configuration.analogOutputNames.keys(), QList<int>({ 0, 1 }));
    QCOMPARE(configuration.digitalOutputNames.keys(), QList<int>({ 0, 1, 2, 3, 4, 5 }));
    QCOMPARE(configuration.outputStartup.keys(), QList<int>({ 0, 1, 2, 3, 4, 5 }));
    QCOMPARE(configuration.ringActions.keys(), QList<int>({ 1, 4 }));
    QCOMPARE(configuration.analogActions.keys(), QList<int>({ 0, 1 }));
    QCOMPARE(configuration.digitalActions.keys(), QList<int>({ 0, 1, 2, 3, 4, 5 }));
    for (const QList<InputAction> &list : configuration.analogActions)
        QCOMPARE(list, QList<InputAction>(AnalogActionSlots, InputAction(AnalogInput)));
    for (const QList<InputAction> &list : configuration.digitalActions)
        QCOMPARE(list, QList<InputAction>(DigitalActionSlots, InputAction(DigitalInput)));
    QCOMPARE(configuration.analogInputRange(1), (AnalogRange{ 1000, 2 }));
}

void ConfigurationTest::defaultsAreEqual()
{
    QVERIFY(Configuration() == Configuration());
    QVERIFY(!(Configuration() != Configuration()));
}

void ConfigurationTest::indexedTextsIgnoreOutOfRange()
{
    Configuration configuration;
    configuration.setPhoneNumber(7, QStringLiteral("123456789"));
    configuration.setSmsText(0, QStringLiteral("Alarm"));
    const Configuration before = configuration;

    configuration.setPhoneNumber(8, QStringLiteral("555"));
    configuration.setPhoneNumber(-1, QStringLiteral("555"));
    configuration.setSmsText(8, QStringLiteral("x"));
    QVERIFY(configuration == before);
    QCOMPARE(configuration.phoneNumber(7), QStringLiteral("123456789"));
    QCOMPARE(configuration.phoneNumber(8), QString());
    QCOMPARE(configuration.phoneNumber(-1), QString());
    QCOMPARE(configuration.smsText(0), QStringLiteral("Alarm"));
    QCOMPARE(configuration.smsText(8), QString());
}

void ConfigurationTest::maskBitsChangeOnlyTheirBit()
{
    Configuration configuration;
    configuration.errorReportPhones = 0xA5;
    configuration.setErrorReportPhone(3, true);
    QCOMPARE(configuration.errorReportPhones, quint8(0xAD));
    QVERIFY(configuration.errorReportPhone(3));
    configuration.setErrorReportPhone(3, false);
    QCOMPARE(configuration.errorReportPhones, quint8(0xA5));
    configuration.setErrorReportPhone(8, true);
    configuration.setErrorReportPhone(-1, false);
    QCOMPARE(configuration.errorReportPhones, quint8(0xA5));
    QVERIFY(!configuration.errorReportPhone(8));

    configuration.setPowerFailPhone(7, true);
    QCOMPARE(configuration.powerFailPhones, quint8(0x80));
    QVERIFY(configuration.powerFailPhone(7));
    QVERIFY(!configuration.powerFailPhone(6));
    configuration.setPowerFailPhone(9, true);
    QCOMPARE(configuration.powerFailPhones, quint8(0x80));
}

void ConfigurationTest::optionFlagsKeepOtherBits()
{
    Configuration configuration;
    configuration.optionFlags = 0xF8;
    configuration.setRelaysOn(true);
    configuration.setMicrophone(true);
    QCOMPARE(configuration.optionFlags, quint8(0xFD));
    QVERIFY(configuration.relaysOn());
    QVERIFY(!configuration.activeInputs());
    QVERIFY(configuration.microphone());
    configuration.setActiveInputs(true);
    configuration.setRelaysOn(false);
    QCOMPARE(configuration.optionFlags, quint8(0xFE));
}

void ConfigurationTest::keyedSettersKeepTheirKeys()
{
    Configuration configuration;
    configuration.setOutputStartup(5, 1, 300);
    configuration.setRingAction(4, 25);
    QCOMPARE(configuration.outputStartup.value(5), (OutputStartup{ 1, 300 }));
    QCOMPARE(configuration.ringActions.value(4), quint8(25));

    const Configuration before = configuration;
    configuration.setOutputStartup(6, 1, 10);
    configuration.setRingAction(2, 3);
    QVERIFY(configuration == before);
}

void ConfigurationTest::differences_data()
{
    QTest::addColumn<int>("change");
    const QStringList changes = {
        "simPin", "simPuk", "secondModulePhone", "phone number", "analogue output name",
        "digital output name", "action flags", "action value", "action time", "action code",
        "digital action time", "analogue filter", "digital filter", "range", "decimals",
        "hysteresis", "signal types", "power-up state", "power-up time", "error phones",
        "charge current", "power-fail phones", "relay hold", "options", "ring task",
        "server address", "server port", "archive interval", "archive send after", "sms text",
    };
    for (int i = 0; i < changes.size(); ++i)
        QTest::newRow(qPrintable(changes.at(i))) << i;
}

void ConfigurationTest::differences()
{
    QFETCH(int, change);
    Configuration configuration;
    switch (change) {
    case 0: configuration.simPin = "1234"; break;
    case 1: configuration.simPuk = "12345678"; break;
    case 2: configuration.secondModulePhone = "600"; break;
    case 3: configuration.setPhoneNumber(2, "601"); break;
    case 4: configuration.analogOutputNames[1] = "Pompa"; break;
    case 5: configuration.digitalOutputNames[5] = "Brama"; break;
    case 6: configuration.analogActionSlot(0, 3)->flags = 2; break;
    case 7: configuration.analogActionSlot(1, 17)->value = 1; break;
    case 8: configuration.analogActionSlot(0, 0)->time = 1; break;
    case 9: configuration.analogActionSlot(0, 0)->code = 1; break;
    case 10: configuration.digitalActionSlot(5, 15)->time = 1; break;
    case 11: configuration.analogFilters[1] = 1; break;
    case 12: configuration.digitalFilters[5] = 1; break;
    case 13: configuration.analogRange[0] = 105; break;
    case 14: configuration.analogDecimals[1] = 1; break;
    case 15: configuration.hysteresis = 0; break;
    case 16: configuration.analogInputTypes = 0x12; break;
    case 17: configuration.setOutputStartup(0, 1, 0); break;
    case 18: configuration.setOutputStartup(0, 0, 1); break;
    case 19: configuration.setErrorReportPhone(0, true); break;
    case 20: configuration.chargeCurrent = 50; break;
    case 21: configuration.setPowerFailPhone(1, true); break;
    case 22: configuration.relayHoldTime = 1; break;
    case 23: configuration.optionFlags = 0x08; break;
    case 24: configuration.setRingAction(1, 1); break;
    case 25: configuration.serverAddress[3] = 1; break;
    case 26: configuration.serverPort = "80"; break;
    case 27: configuration.archiveInterval = 1; break;
    case 28: configuration.archiveSendAfter = 1; break;
    case 29: configuration.setSmsText(7, "x"); break;
    }
    QVERIFY(configuration != Configuration());
    QVERIFY(!(configuration == Configuration()));
}

void ConfigurationTest::nullAndEmptyTextsAreEqual()
{
    Configuration configuration;
    configuration.secondModulePhone = QStringLiteral("");
    configuration.serverPort = QString();
    Configuration other;
    other.serverPort = QStringLiteral("");
    QVERIFY(configuration == other);
}

void ConfigurationTest::slotAccessOutOfRange()
{
    Configuration configuration;
    const Configuration before = configuration;

    QVERIFY(configuration.analogActionSlot(0, 17));
    QVERIFY(!configuration.analogActionSlot(0, 18));
    QVERIFY(!configuration.analogActionSlot(0, -1));
    QVERIFY(!configuration.analogActionSlot(2, 0));
    QVERIFY(configuration.digitalActionSlot(5, 15));
    QVERIFY(!configuration.digitalActionSlot(0, 16));
    QVERIFY(!configuration.digitalActionSlot(0, 17));
    QVERIFY(!configuration.digitalActionSlot(6, 0));
    QVERIFY(!configuration.digitalActionSlot(-1, 0));

    const InputAction used(AnalogInput, 3, 500, 90, 7);
    configuration.setAnalogAction(0, -1, used);
    configuration.setAnalogAction(0, 18, used);
    configuration.setAnalogAction(2, 0, used);
    configuration.setDigitalAction(0, 16, used);
    configuration.setDigitalAction(6, 0, used);
    QVERIFY(configuration == before);
    QCOMPARE(configuration.analogActions.keys(), QList<int>({ 0, 1 }));
    QCOMPARE(configuration.digitalActions.keys(), QList<int>({ 0, 1, 2, 3, 4, 5 }));

    configuration.setAnalogAction(1, 17, used);
    QCOMPARE(configuration.analogAction(1, 17), used);
    QCOMPARE(configuration.analogAction(1, 18), InputAction(AnalogInput));
    QCOMPARE(configuration.analogAction(2, 0), InputAction(AnalogInput));
    QCOMPARE(configuration.digitalAction(0, 16), InputAction(DigitalInput));
    QCOMPARE(configuration.digitalAction(9, 0), InputAction(DigitalInput));
}

void ConfigurationTest::storesKeepTheListKind()
{
    Configuration configuration;
    configuration.setDigitalAction(2, 4, InputAction(AnalogInput, 3, 0, 90, 7));
    QCOMPARE(configuration.digitalAction(2, 4), InputAction(DigitalInput, 3, 0, 90, 7));
    configuration.setAnalogAction(0, 0, InputAction(DigitalInput, 5, 10, 0, 1));
    QCOMPARE(configuration.analogAction(0, 0), InputAction(AnalogInput, 5, 10, 0, 1));
}

void ConfigurationTest::slotPointerNeverChangesAnEarlierCopy()
{
    Configuration configuration;
    configuration.setAnalogAction(0, 2, InputAction(AnalogInput, 3, 500, 90, 7));
    const Configuration reference = configuration;

    InputAction *slot = configuration.analogActionSlot(0, 2);
    QVERIFY(slot);
    slot->value = 600;
    InputAction *digitalSlot = configuration.digitalActionSlot(3, 0);
    QVERIFY(digitalSlot);
    digitalSlot->flags = 3;

    QCOMPARE(reference.analogAction(0, 2), InputAction(AnalogInput, 3, 500, 90, 7));
    QCOMPARE(reference.digitalAction(3, 0), InputAction(DigitalInput));
    QCOMPARE(configuration.analogAction(0, 2).value, quint16(600));
    QCOMPARE(configuration.digitalAction(3, 0).flags, quint8(3));
    QVERIFY(configuration != reference);
}

void ConfigurationTest::slotPointerNeverChangesALaterCopy()
{
    // The action tables take their pointers once and keep them while the
    // saved state is copied into the reference record.
    Configuration configuration;
    InputAction *slot = configuration.digitalActionSlot(0, 0);
    QVERIFY(slot);
    Configuration reference;
    reference = configuration;
    const Configuration constructedCopy(configuration);

    slot->flags = 5;
    QCOMPARE(configuration.digitalAction(0, 0).flags, quint8(5));
    QCOMPARE(reference.digitalAction(0, 0).flags, quint8(0));
    QCOMPARE(constructedCopy.digitalAction(0, 0).flags, quint8(0));
    QVERIFY(configuration != reference);
}

void ConfigurationTest::assignmentReplacesEveryMember()
{
    Configuration edited;
    edited.simPin = QStringLiteral("1111");
    edited.setSmsText(3, QStringLiteral("Zalanie"));
    edited.setDigitalAction(1, 1, InputAction(DigitalInput, 3, 0, 5, 2));
    edited.serverAddress = { 10, 0, 0, 1 };

    Configuration restored;
    restored = edited;
    QVERIFY(restored == edited);
    restored = Configuration();
    QVERIFY(restored == Configuration());
    QVERIFY(restored != edited);
}

TELVORO_TEST_MAIN(ConfigurationTest)
#include "tst_configuration.moc"
