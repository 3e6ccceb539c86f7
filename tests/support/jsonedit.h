#ifndef JSONEDIT_H
#define JSONEDIT_H

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The document with the value at path (as the JSON reader names places, e.g.
// analogInputs[1].actions[3].time) replaced, or removed when it is undefined.
QJsonObject editedJson(const QJsonObject &json, const QString &path, const QJsonValue &value);

#endif
