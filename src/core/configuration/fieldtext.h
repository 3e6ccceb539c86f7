#ifndef FIELDTEXT_H
#define FIELDTEXT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How a text is held in the module's text fields, and so how its bytes are
// counted wherever a field's room is checked or shown. It is UTF-8, except
// that a byte which does not start a valid UTF-8 character (a Windows-1250
// letter, a character cut off at the field's end) becomes a character of its
// own, U+EF80 + (byte - 0x80), and so do the bytes of a valid character that
// lies in that range itself. Encoding turns those characters back into their
// single bytes, so any bytes survive a decode and an encode unchanged.
QString decodeFieldText(QByteArrayView bytes);
QByteArray encodeFieldText(QStringView text);
qsizetype fieldTextSize(QStringView text);
// How much of the text (in UTF-16 units) fits in `width` bytes, ending
// before the first character that does not, so a field never holds half a
// character.
qsizetype fittingTextLength(QStringView text, qsizetype width);

#endif
