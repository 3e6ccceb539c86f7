#include "fields/visibletext.h"

namespace {

const QString EmptyValue = QStringLiteral("—");

QString escapedUnit(char16_t unit)
{
    if (unit < 0x100)
        return QStringLiteral("\\x%1").arg(unit, 2, 16, QLatin1Char('0'));
    return QStringLiteral("\\u%1").arg(unit, 4, 16, QLatin1Char('0'));
}

} // namespace

QString visibleCharacters(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            shown += text.mid(i, 2);
            ++i;
        } else if (unit == u'\\') {
            shown += QStringLiteral("\\\\");
        } else if (unit == u'\n') {
            shown += QStringLiteral("\\n");
        } else if (unit == u'\r') {
            shown += QStringLiteral("\\r");
        } else if (unit == u'\t') {
            shown += QStringLiteral("\\t");
        } else if (unit < 0x20 || unit == 0x7F || unit == 0xFFFE || unit == 0xFFFF || QChar::isSurrogate(unit)) {
            shown += escapedUnit(unit);
        } else {
            shown += QChar(unit);
        }
    }
    return shown;
}

QString visibleValue(const QString &value)
{
    return value.isEmpty() ? EmptyValue : visibleCharacters(value);
}

QStringList visibleValueLines(const QString &value)
{
    if (value.isEmpty())
        return { EmptyValue };
    QStringList lines;
    for (const QStringView line : QStringView(value).split(u'\n'))
        lines.append(visibleCharacters(line));
    return lines;
}
