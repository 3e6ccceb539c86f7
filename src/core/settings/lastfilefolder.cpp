#include "settings/lastfilefolder.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString FileFolderKey = QStringLiteral("lastFileFolder");
}

QString lastFileFolder()
{
    return QSettings().value(FileFolderKey).toString();
}

void rememberFileFolder(const QString &filePath)
{
    QSettings().setValue(FileFolderKey, QFileInfo(filePath).absolutePath());
}
