// Fuzz target: the configuration image codec. For any bytes, decoding and
// encoding never crash, and
// - decoding, encoding and decoding again gives the record of the first
//   decoding, except the SIM PIN and PUK (the header is written as zeros) and
//   texts whose bytes were not UTF-8, which may come back cut at a character;
// - the encoded image decodes and encodes to exactly its own bytes, and the
//   two blocks are slices of it;
// - bytes of any length but an image's change nothing.
#include "config/configuration.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}

// Every text of a record decoded from an image, in the same order for any two.
QList<QString *> texts(Configuration &record)
{
    QList<QString *> all{ &record.secondModulePhone, &record.serverPort };
    for (QString &text : record.phoneNumbers)
        all.append(&text);
    for (QString &text : record.smsTexts)
        all.append(&text);
    for (QString &text : record.analogOutputNames)
        all.append(&text);
    for (QString &text : record.digitalOutputNames)
        all.append(&text);
    return all;
}

} // namespace

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
    require(encoded.size() == ConfigurationImageSize, "the image has its size");
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
    const QList<QString *> before = texts(first);
    const QList<QString *> after = texts(second);
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (*after[i] == *before[i])
            continue;
        require(before[i]->contains(QChar::ReplacementCharacter) && before[i]->startsWith(*after[i]),
                "a text comes back unchanged unless its bytes were not UTF-8");
        *after[i] = *before[i];
    }
    require(second == first, "decoding, encoding and decoding again gives the same record");

    if (input.size() != ConfigurationImageSize) {
        Configuration kept = first;
        kept.fromImage(input);
        require(kept == first, "bytes of another length change nothing");
    }
    return 0;
}
