#ifndef VISIBLETEXT_H
#define VISIBLETEXT_H

#include <QString>
#include <QStringList>
#include <QStringView>

// A field's text as a listing or a report shows it, so that a value stays
// on its line and no character of it hides: a backslash is written \\, a
// line break, carriage return and tab \n, \r and \t, any other control
// character \xHH, and a character that no text file may hold (U+FFFE,
// U+FFFF, half of a surrogate pair) \uHHHH.
QString visibleCharacters(QStringView text);

// A value on one line, as above; an empty value shows as "—".
QString visibleValue(const QString &value);

// A value line by line, each line as above, for a page on which a text's
// line breaks stay line breaks; an empty value is the one line "—".
QStringList visibleValueLines(const QString &value);

#endif
