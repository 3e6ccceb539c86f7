#include "mainwindow/recentfiles.h"

#include "settings/lastfilefolder.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <array>

namespace {
// The actions' object names, one per place in the list.
constexpr std::array<const char *, 5> ActionNames{ "actionOstatni_plik_1", "actionOstatni_plik_2",
                                                   "actionOstatni_plik_3", "actionOstatni_plik_4",
                                                   "actionOstatni_plik_5" };
constexpr int RecentFileCount = int(ActionNames.size());
const QString RecentFilesKey = QStringLiteral("recentFiles");

// Read each time, so that files another window of the program added stay.
QStringList recentFiles()
{
    return QSettings().value(RecentFilesKey).toStringList();
}

void storeRecentFiles(const QStringList &files)
{
    QSettings().setValue(RecentFilesKey, files.mid(0, RecentFileCount));
}
} // namespace

RecentFiles::RecentFiles(QMenu *fileMenu, QAction *before, QWidget *window)
    : window(window)
{
    for (int i = 0; i < RecentFileCount; ++i) {
        auto *action = new QAction(window);
        action->setObjectName(QString::fromLatin1(ActionNames[i]));
        connect(action, &QAction::triggered, this,
                [this, action] { openRecentFile(action->data().toString()); });
        fileMenu->insertAction(before, action);
        recentFileActions.append(action);
    }
    recentFilesSeparator = fileMenu->insertSeparator(before);
    showRecentFiles();
}

void RecentFiles::showRecentFiles()
{
    const QStringList files = recentFiles();
    for (int i = 0; i < RecentFileCount; ++i) {
        QAction *action = recentFileActions.at(i);
        const QString path = files.value(i);
        // A file name's own "&" must not become the menu's Alt letter.
        const QString name = QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setStatusTip(path);
        action->setData(path);
        action->setVisible(!path.isEmpty());
    }
    recentFilesSeparator->setVisible(!files.isEmpty());
}

void RecentFiles::rememberFile(const QString &path)
{
    const QFileInfo file(path);
    QStringList files = recentFiles();
    files.removeAll(file.absoluteFilePath());
    files.prepend(file.absoluteFilePath());
    storeRecentFiles(files);
    rememberFileFolder(path);
    showRecentFiles();
}

void RecentFiles::openRecentFile(const QString &path)
{
    // Checked before the question about unsaved changes: there is no reason
    // to close anything for a file that is gone.
    if (!QFileInfo(path).isFile()) {
        QStringList files = recentFiles();
        files.removeAll(path);
        storeRecentFiles(files);
        showRecentFiles();
        QMessageBox::warning(window, tr("Otwórz plik"),
                             tr("Plik %1 nie istnieje. Usunięto go z listy ostatnio używanych plików.")
                                 .arg(path),
                             QMessageBox::Ok);
        return;
    }
    emit fileChosen(path);
}

void RecentFiles::setEnabled(bool enabled)
{
    for (QAction *recentFile : std::as_const(recentFileActions))
        recentFile->setEnabled(enabled);
}
