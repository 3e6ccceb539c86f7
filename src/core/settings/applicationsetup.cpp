#include "settings/applicationsetup.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <csignal>

const QString applicationTitle = QStringLiteral("Telvoro");

void prepareApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvel"));
    QCoreApplication::setApplicationName(QStringLiteral("TX48"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELVORO_VERSION));
    // Plug-ins are looked for while the application object is built, before
    // Qt can name the program's folder, so the folder is found through the
    // running program itself. Never the folder the program was started from.
    const QString program = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!program.isEmpty())
        QCoreApplication::addLibraryPath(QFileInfo(program).absolutePath() + QStringLiteral("/plugins"));
    std::signal(SIGXFSZ, SIG_IGN);
}
