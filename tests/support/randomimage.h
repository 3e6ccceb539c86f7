#ifndef RANDOMIMAGE_H
#define RANDOMIMAGE_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// Pieces of random configuration images whose text fields hold valid UTF-8,
// the only bytes a text can carry through a decode and encode unchanged.
namespace RandomImage {

struct TextField
{
    int offset;
    int width;
};

// The text fields of the settings and SMS blocks, except the server port.
QList<TextField> settingsTextFields();

// Text of random characters of one to four UTF-8 bytes that fits the width.
QByteArray randomUtf8(QRandomGenerator &random, int width);

// Bytes of a text field: the text's bytes followed by zeros up to the width.
QByteArray field(const QByteArray &bytes, int width);

// A whole image of random bytes whose text fields, the SIM PIN and PUK and
// the server port among them, hold valid UTF-8 that fits.
QByteArray randomImage(QRandomGenerator &random);

} // namespace RandomImage

#endif
