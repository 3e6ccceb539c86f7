#include "jsonedit.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringList>

namespace {

QJsonValue edited(const QJsonValue &node, QStringList steps, const QJsonValue &value)
{
    if (steps.isEmpty())
        return value;
    const QString step = steps.takeFirst();
    bool isIndex = false;
    const int index = step.toInt(&isIndex);
    if (isIndex) {
        QJsonArray array = node.toArray();
        array[index] = edited(array.at(index), steps, value);
        return array;
    }
    QJsonObject object = node.toObject();
    object.insert(step, edited(object.value(step), steps, value));
    return object;
}

} // namespace

QJsonObject editedJson(const QJsonObject &json, const QString &path, const QJsonValue &value)
{
    const QStringList steps = path.split(QRegularExpression(QStringLiteral("[.\\[\\]]")), Qt::SkipEmptyParts);
    return edited(json, steps, value).toObject();
}
