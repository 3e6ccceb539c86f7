#include "files/filename.h"

#include <QCoreApplication>
#include <QFile>

bool FileName::isExact(const QByteArray &bytes)
{
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

QString FileName::shown(const QByteArray &bytes)
{
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        // The longest start that is whole UTF-8, then one byte that is not.
        qsizetype end = bytes.size();
        while (end > start && !isExact(bytes.mid(start, end - start)))
            --end;
        text += QFile::decodeName(bytes.mid(start, end - start));
        if (end < bytes.size())
            text += QStringLiteral("\\x") + QString::number(quint8(bytes.at(end)), 16).rightJustified(2, u'0').toUpper();
        start = end + 1;
    }
    return text;
}

QString FileName::refusal(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!isExact(argv[i]))
            return QCoreApplication::translate("FileName", "%1: nazwy, która nie jest tekstem UTF-8, nie można użyć.")
                    .arg(shown(argv[i]));
    }
    return QString();
}
