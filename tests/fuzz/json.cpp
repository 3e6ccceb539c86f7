// Fuzz target: reading a JSON file's text (configurationFromJsonText), as
// telvoro-cli's import, show, diff and write do. Whatever the text:
// - it is accepted exactly when no fault is given;
// - an accepted configuration, exported again (configurationJsonText) and
//   read back, gives the same configuration, and exporting that gives the
//   same text.
#include "files/configurationjson.h"
#include "property.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<Configuration> read = configurationFromJsonText(text, &error);
    require(read.has_value() == error.isEmpty(), "a text is accepted exactly when no fault is given");
    if (!read)
        return 0;
    const QByteArray exported = configurationJsonText(*read);
    const std::optional<Configuration> reread = configurationFromJsonText(exported, &error);
    require(reread && *reread == *read, "an accepted configuration exported again reads the same");
    require(configurationJsonText(*reread) == exported, "exporting it again gives the same text");
    return 0;
}
