// Fuzz target: the configuration image codec. For any bytes, decoding and
// encoding never crash, and
// - the encoded image holds exactly the bytes that were decoded, apart from
//   what the layout drops (RandomImage::keptBytes);
// - the encoded image decodes to the same record (but the SIM PIN and PUK)
//   and encodes to its own bytes, and the two blocks are slices of it;
// - bytes of any length but an image's change nothing;
// - the record's JSON text (export) reads back (import) to the same bytes.
#include "configuration/configuration.h"
#include "files/configurationjson.h"
#include "property.h"
#include "randomimage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The fuzzer's own buffer, and for other lengths a copy of an image's
    // exact size, so that the sanitizer sees any read past the bytes.
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray image = input;
    if (input.size() != ConfigurationImageSize) {
        image = QByteArray(ConfigurationImageSize, '\0');
        std::memcpy(image.data(), data, std::min(size, std::size_t(ConfigurationImageSize)));
    }

    Configuration first;
    first.fromImage(image);
    const QByteArray encoded = first.toImage(ImageSection::Full);
    require(encoded == RandomImage::keptBytes(image), "encoding gives back every byte the layout keeps");
    require(encoded.mid(ImageHeaderSize, SettingsBlockSize) == first.toImage(ImageSection::SettingsBlock),
            "the settings block is a slice of the image");
    require(encoded.mid(ImageHeaderSize + SettingsBlockSize) == first.toImage(ImageSection::SmsBlock),
            "the SMS block is a slice of the image");

    Configuration second;
    second.fromImage(encoded);
    require(second.toImage(ImageSection::Full) == encoded,
            "an encoded image decodes and encodes to its own bytes");
    require(second.simPin.isEmpty() && second.simPuk.isEmpty(), "the header is written as zeros");
    second.simPin = first.simPin;
    second.simPuk = first.simPuk;
    require(second == first, "decoding, encoding and decoding again gives the same record");

    QString error;
    const std::optional<Configuration> imported = configurationFromJsonText(configurationJsonText(first), &error);
    require(imported && imported->toImage(ImageSection::Full) == encoded,
            "the JSON text of any image imports to the same bytes");

    if (input.size() != ConfigurationImageSize) {
        Configuration kept = first;
        kept.fromImage(input);
        require(kept == first, "bytes of any other length change nothing");
    }
    return 0;
}
