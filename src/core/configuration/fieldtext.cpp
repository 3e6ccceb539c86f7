#include "configuration/fieldtext.h"

namespace {

// Byte b (0x80 to 0xFF) stands as the character EscapeBase + b.
constexpr char16_t EscapeBase = 0xEF00;
constexpr char16_t FirstEscape = 0xEF80;
constexpr char16_t LastEscape = 0xEFFF;

bool isEscape(char32_t codePoint)
{
    return codePoint >= FirstEscape && codePoint <= LastEscape;
}

// The length of the valid UTF-8 character at the start of `bytes` (at most
// `available` of them) and its code point; 0 when no valid character starts
// there: a stray or missing continuation byte, an overlong form, a surrogate
// or a code point beyond U+10FFFF.
int validCharacter(const uchar *bytes, qsizetype available, char32_t *codePoint)
{
    const uchar lead = bytes[0];
    int length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (bytes[i] & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

// Appends the bytes of the character at text[i] and returns how many UTF-16
// units it took. A lone surrogate becomes '?', as QString::toUtf8() writes it.
qsizetype appendCharacter(QByteArray &bytes, QStringView text, qsizetype i)
{
    const char16_t unit = text[i].unicode();
    if (isEscape(unit)) {
        bytes.append(char(unit - EscapeBase));
        return 1;
    }
    char32_t codePoint = unit;
    qsizetype units = 1;
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(unit, text[i + 1].unicode());
        units = 2;
    } else if (QChar::isSurrogate(unit)) {
        bytes.append('?');
        return 1;
    }
    if (codePoint < 0x80) {
        bytes.append(char(codePoint));
    } else if (codePoint < 0x800) {
        bytes.append(char(0xC0 | codePoint >> 6));
        bytes.append(char(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        bytes.append(char(0xE0 | codePoint >> 12));
        bytes.append(char(0x80 | (codePoint >> 6 & 0x3F)));
        bytes.append(char(0x80 | (codePoint & 0x3F)));
    } else {
        bytes.append(char(0xF0 | codePoint >> 18));
        bytes.append(char(0x80 | (codePoint >> 12 & 0x3F)));
        bytes.append(char(0x80 | (codePoint >> 6 & 0x3F)));
        bytes.append(char(0x80 | (codePoint & 0x3F)));
    }
    return units;
}

} // namespace

QString decodeFieldText(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const int length = validCharacter(data + i, bytes.size() - i, &codePoint);
        if (length == 0 || isEscape(codePoint)) {
            text.append(QChar(char16_t(EscapeBase + data[i])));
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(codePoint)) {
            text.append(QChar(QChar::highSurrogate(codePoint)));
            text.append(QChar(QChar::lowSurrogate(codePoint)));
        } else {
            text.append(QChar(char16_t(codePoint)));
        }
        i += length;
    }
    return text;
}

QByteArray encodeFieldText(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size();)
        i += appendCharacter(bytes, text, i);
    return bytes;
}

qsizetype fieldTextSize(QStringView text)
{
    return encodeFieldText(text).size();
}

qsizetype fittingTextLength(QStringView text, qsizetype width)
{
    QByteArray bytes;
    qsizetype length = 0;
    while (length < text.size()) {
        const qsizetype units = appendCharacter(bytes, text, length);
        if (bytes.size() > width)
            break;
        length += units;
    }
    return length;
}
