#ifndef RANDOMIMAGE_H
#define RANDOMIMAGE_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

namespace RandomImage {

struct TextField
{
    int offset;
    int width;
};

// The text fields of the settings and SMS blocks, except the server port.
QList<TextField> settingsTextFields();

// Bytes of a text field: the text's bytes followed by zeros up to the width.
QByteArray field(const QByteArray &bytes, int width);

QByteArray randomImage(QRandomGenerator &random);

// The image as decoding and encoding give it back: without the header (the
// SIM PIN and PUK are never written) and with zeros after a text field's
// first zero byte.
QByteArray keptBytes(QByteArray image);

} // namespace RandomImage

#endif
