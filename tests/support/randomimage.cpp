#include "randomimage.h"

#include "configuration/configuration.h"

#include <QRandomGenerator>

namespace RandomImage {

QList<TextField> settingsTextFields()
{
    QList<TextField> fields = { { 14, 9 } };
    for (int i = 0; i < 8; ++i)
        fields << TextField{ 23 + 9 * i, 9 } << TextField{ 95 + 13 * i, 13 } << TextField{ 848 + 140 * i, 140 };
    return fields;
}

QByteArray field(const QByteArray &bytes, int width)
{
    return bytes + QByteArray(width - bytes.size(), '\0');
}

QByteArray randomImage(QRandomGenerator &random)
{
    QByteArray image(ConfigurationImageSize, Qt::Uninitialized);
    for (char &byte : image)
        byte = char(random.bounded(256));
    return image;
}

QByteArray keptBytes(QByteArray image)
{
    image.replace(0, ImageHeaderSize, QByteArray(ImageHeaderSize, '\0'));
    for (const TextField &text : settingsTextFields()) {
        const QByteArray bytes = image.mid(text.offset, text.width);
        const qsizetype zero = bytes.indexOf('\0');
        image.replace(text.offset, text.width, field(zero < 0 ? bytes : bytes.left(zero), text.width));
    }
    return image;
}

} // namespace RandomImage
