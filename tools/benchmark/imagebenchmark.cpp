#include "configuration/configuration.h"
#include "settings/standardstreams.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int CallsPerBatch = 2000;
constexpr int Batches = 9;

// Every field and action slot filled, so that no shortcut makes the
// conversions cheaper than with a real configuration.
Configuration filledConfiguration()
{
    Configuration filled;
    filled.secondModulePhone = QStringLiteral("600700800");
    for (int i = 0; i < PhoneCount; ++i)
        filled.setPhoneNumber(i, QStringLiteral("50060070%1").arg(i));
    for (int i = 0; i < AnalogOutputCount; ++i)
        filled.analogOutputNames[i] = QStringLiteral("Zawór ręcz");
    for (int i = 0; i < DigitalOutputCount; ++i)
        filled.digitalOutputNames[i] = QStringLiteral("Pompa %1").arg(i + 1);
    for (int input = 0; input < AnalogInputCount; ++input) {
        for (int slot = 0; slot < AnalogActionSlots; ++slot)
            filled.setAnalogAction(input, slot, InputAction(AnalogInput, 3, quint16(slot * 50), 90, quint8(slot)));
    }
    for (int input = 0; input < DigitalInputCount; ++input) {
        for (int slot = 0; slot < DigitalActionSlots; ++slot)
            filled.setDigitalAction(input, slot, InputAction(DigitalInput, 5, 0, 3725, quint8(48 + slot)));
    }
    for (int i = 0; i < DigitalOutputCount; ++i)
        filled.setOutputStartup(i, quint8(i % 2), quint16(60 * i));
    filled.serverAddress = { 192, 168, 10, 20 };
    filled.serverPort = QStringLiteral("8080");
    for (int i = 0; i < SmsCount; ++i)
        filled.setSmsText(i, QStringLiteral("Stan alarmowy wejścia %1: przekroczenie progu, sprawdź instalację.").arg(i + 1));
    return filled;
}

// Runs the call in batches and prints the fastest and the median batch as
// microseconds per call; the fastest is the least disturbed by other load.
void measure(const char *name, const std::function<void()> &call)
{
    std::vector<double> microseconds;
    for (int batch = 0; batch < Batches; ++batch) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < CallsPerBatch; ++i)
            call();
        microseconds.push_back(timer.nsecsElapsed() / 1000.0 / CallsPerBatch);
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("%-38s %8.2f us per call (median %.2f us, %d batches of %d calls)\n", name,
                microseconds.front(), microseconds[microseconds.size() / 2], Batches, CallsPerBatch);
}

} // namespace

int main()
{
    openMissingStandardStreams();
    const Configuration filled = filledConfiguration();
    const QByteArray image = filled.toImage(ImageSection::Full);
    Configuration decoded;
    decoded.fromImage(image);
    if (image.size() != ConfigurationImageSize || !(decoded == filled)) {
        std::fprintf(stderr, "The image of the benchmark configuration does not decode to it again.\n");
        return 1;
    }

    QByteArray bytes;
    measure("toImage(Full)", [&] { bytes = filled.toImage(ImageSection::Full); });
    measure("toImage(SettingsBlock)", [&] { bytes = filled.toImage(ImageSection::SettingsBlock); });
    measure("toImage(SmsBlock)", [&] { bytes = filled.toImage(ImageSection::SmsBlock); });
    // As the file and module readers use it: a default record, then decoding.
    measure("fromImage (fresh default record)", [&] {
        Configuration configuration;
        configuration.fromImage(image);
    });
    measure("fromImage (existing record)", [&] { decoded.fromImage(image); });
    return 0;
}
