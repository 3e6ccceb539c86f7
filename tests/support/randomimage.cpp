#include "randomimage.h"

#include "config/configuration.h"

#include <QRandomGenerator>
#include <QStringList>

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

QByteArray randomUtf8(QRandomGenerator &random, int width)
{
    static const QStringList pool = { "a", "Z", "7", " ", "%", "ą", "ł", "Ż", "ó", "€", "→", "😀" };
    const int target = random.bounded(width + 1);
    QByteArray text;
    for (;;) {
        const QByteArray next = pool.at(random.bounded(int(pool.size()))).toUtf8();
        if (text.size() + next.size() > target)
            return text;
        text += next;
    }
}

QByteArray field(const QByteArray &bytes, int width)
{
    return bytes + QByteArray(width - bytes.size(), '\0');
}

QByteArray randomImage(QRandomGenerator &random)
{
    const QList<TextField> textFields = settingsTextFields()
            << TextField{ 0, PinWidth } << TextField{ 4, PukWidth } << TextField{ 841, PortWidth };
    QByteArray image(ConfigurationImageSize, Qt::Uninitialized);
    for (char &byte : image)
        byte = char(random.bounded(256));
    for (const TextField &text : textFields)
        image.replace(text.offset, text.width, field(randomUtf8(random, text.width), text.width));
    return image;
}

} // namespace RandomImage
