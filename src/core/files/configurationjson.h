#ifndef CONFIGURATIONJSON_H
#define CONFIGURATIONJSON_H

#include "configuration/configuration.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// The JSON form of a configuration, for scripts, version control and hand
// edits: every member of the record under a readable key, laid out as
// docs/configuration-json.md describes. Unlike a .kvl it carries the SIM PIN
// and PUK, so a module's report can be shown whole; a .kvl made from it
// still drops them.

// Writes the "format" and "version" keys too, so that an unrelated JSON file
// is refused at once and a later layout can be told apart.
QJsonObject configurationToJson(const Configuration &configuration);

// Accepts only what can be written into the module's image unchanged: every
// key present, none unknown, each value of its type and range, each text
// within its field in UTF-8 bytes. Anything else gives no configuration and
// sets *error to the first fault as "path: reason.", the path written like
// analogInputs[1].actions[3].time (indices from 0).
std::optional<Configuration> configurationFromJson(const QJsonObject &json, QString *error);

// Sets the key at `path` of a JSON form, a place written as the reader
// reports it (phones[2].number, statusSmsTexts[1]), to a value read from
// `text` as the key's present value is: a number, true or false (or the
// PRAWDA and FAŁSZ of a spreadsheet in Polish), or the text as it stands. A
// text that is no such value is set as a text, so that
// configurationFromJson() refuses it in its own words. Returns the reason
// when the form has no such key, and leaves `json` as it was; empty once set.
QString setConfigurationJsonField(QJsonObject &json, const QString &path, const QString &text);

// The JSON form as a file holds it: indented, keys in alphabetical order, so
// that the same configuration always gives the same text.
QByteArray configurationJsonText(const Configuration &configuration);

// The longest JSON file read: whatever indentation a hand edit adds leaves a
// file far below it (the program writes about 30 KiB); a longer file is
// refused as unreadable.
constexpr qint64 ConfigurationJsonMaximumSize = 4 * 1024 * 1024;

// Reads a JSON file's text. A text that is not JSON is refused with the line
// and column of its first fault ("błąd składni JSON w wierszu 3, w kolumnie
// 7: …"), counted from 1 in characters. Of valid JSON, a key given twice in
// one object and half a UTF-16 surrogate pair (as "\ud800") are refused with
// their path; the rest goes on to configurationFromJson().
std::optional<Configuration> configurationFromJsonText(const QByteArray &text, QString *error);

#endif
