#ifndef RANDOMIMAGE_H
#define RANDOMIMAGE_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// Random configuration images, and where their text fields lie.
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

// A whole image of random bytes; its texts hold whatever bytes came, which
// a decode and an encode keep as they are.
QByteArray randomImage(QRandomGenerator &random);

} // namespace RandomImage

#endif
