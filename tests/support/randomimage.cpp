#include "randomimage.h"

#include "config/configuration.h"

#include <QRandomGenerator>

namespace RandomImage {

QList<TextField> settingsTextFields()
{
    QList<TextField> fields = { { 14, 9 } };
    for (int i = 0; i < 8; ++i)
        fields.append({ 23 + 9 * i, 9 });
    for (int i = 0; i < 8; ++i)
        fields.append({ 95 + 13 * i, 13 });
    for (int i = 0; i < 8; ++i)
        fields.append({ 848 + 140 * i, 140 });
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

} // namespace RandomImage
