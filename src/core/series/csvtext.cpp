#include "series/csvtext.h"

namespace CsvText {

QChar separatorOf(const QString &text)
{
    int semicolons = 0;
    int commas = 0;
    bool quoted = false;
    for (const QChar character : text) {
        if (character == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (character == QLatin1Char('\n') || character == QLatin1Char('\r')))
            break;
        else if (!quoted && character == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && character == QLatin1Char(','))
            ++commas;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

QList<QStringList> records(const QString &text, QChar separator)
{
    QList<QStringList> result;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool lineHasText = false;
    const auto endRecord = [&] {
        fields.append(std::exchange(field, QString()));
        if (lineHasText)
            result.append(fields);
        fields.clear();
        lineHasText = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        if (quoted) {
            if (character != QLatin1Char('"'))
                field += character;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else
                quoted = false;
        } else if (character == QLatin1Char('"')) {
            quoted = true;
            lineHasText = true;
        } else if (character == separator) {
            fields.append(std::exchange(field, QString()));
            lineHasText = true;
        } else if (character == QLatin1Char('\n')) {
            endRecord();
        } else if (character != QLatin1Char('\r') || text.mid(i + 1, 1) != QStringLiteral("\n")) {
            field += character;
            lineHasText = true;
        }
    }
    if (lineHasText || !field.isEmpty())
        endRecord();
    return result;
}

QByteArray line(const QStringList &fields, QChar separator)
{
    QStringList written;
    for (const QString &field : fields) {
        const bool needsQuotes = field.contains(separator) || field.contains(QLatin1Char('"'))
                || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
        written.append(needsQuotes ? QLatin1Char('"') + QString(field).replace(QStringLiteral("\""),
                                                                               QStringLiteral("\"\""))
                                             + QLatin1Char('"')
                                   : field);
    }
    return written.join(separator).toUtf8() + "\r\n";
}

} // namespace CsvText
