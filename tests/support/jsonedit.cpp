#include "jsonedit.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringList>

static QJsonValue edited(const QJsonValue &node, QStringList steps, const QJsonValue &value)
{
    if (steps.isEmpty())
        return value;
    const QString step = steps.takeFirst();
    bool isIndex = false;
    if (const int index = step.toInt(&isIndex); isIndex) {
        QJsonArray array = node.toArray();
        array[index] = edited(array.at(index), steps, value);
        return array;
    }
    QJsonObject object = node.toObject();
    object.insert(step, edited(object.value(step), steps, value));
    return object;
}

QJsonObject editedJson(const QJsonObject &json, const QString &path, const QJsonValue &value)
{
    return edited(json, path.split(QRegularExpression(QStringLiteral("[.\\[\\]]")), Qt::SkipEmptyParts), value)
            .toObject();
}
