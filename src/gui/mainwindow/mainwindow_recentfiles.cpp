#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "settings/lastfilefolder.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace {
constexpr int RecentFileCount = 5;
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

// "Plik" lists the configuration files opened or saved last, newest first,
// between "Zapisz do pliku" and "Zakończ".
void MainWindow::prepareRecentFiles()
{
    for (int i = 0; i < RecentFileCount; ++i) {
        auto *action = new QAction(this);
        action->setObjectName(QStringLiteral("actionOstatni_plik_%1").arg(i + 1));
        connect(action, &QAction::triggered, this,
                [this, action] { openRecentFile(action->data().toString()); });
        ui->menuPlik->insertAction(ui->actionZamknij, action);
        recentFileActions.append(action);
    }
    recentFilesSeparator = ui->menuPlik->insertSeparator(ui->actionZamknij);
    showRecentFiles();
}

void MainWindow::showRecentFiles()
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

// A file opened or saved goes to the top of the list, and its folder is
// where the file dialogs open next time.
void MainWindow::rememberFile(const QString &path)
{
    const QFileInfo file(path);
    QStringList files = recentFiles();
    files.removeAll(file.absoluteFilePath());
    files.prepend(file.absoluteFilePath());
    storeRecentFiles(files);
    rememberFileFolder(path);
    showRecentFiles();
}

void MainWindow::openRecentFile(const QString &path)
{
    // Checked before the question about unsaved changes: there is no reason
    // to close anything for a file that is gone.
    if (!QFileInfo(path).isFile()) {
        QStringList files = recentFiles();
        files.removeAll(path);
        storeRecentFiles(files);
        showRecentFiles();
        QMessageBox::warning(this, tr("Otwórz plik"),
                             tr("Plik %1 nie istnieje. Usunięto go z listy ostatnio używanych plików.")
                                 .arg(path),
                             QMessageBox::Ok);
        return;
    }
    openConfigurationFile(path);
}
