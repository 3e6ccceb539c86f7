#ifndef RECENTFILES_H
#define RECENTFILES_H

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QWidget;

// "Plik" lists the configuration files opened or saved last, newest first,
// before its last action ("Zakończ"). The list lives in the settings store,
// read each time, so that files another window of the program added stay.
// Touches: the file menu, and the list and the last folder in the settings
// store.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    RecentFiles(QMenu *fileMenu, QAction *before, QWidget *window);

    // A file opened or saved goes to the top of the list, and its folder is
    // where the file dialogs open next time.
    void rememberFile(const QString &path);
    void setEnabled(bool enabled);

signals:
    // A listed file that is still there was chosen.
    void fileChosen(const QString &path);

private:
    void showRecentFiles();
    void openRecentFile(const QString &path);

    QWidget *window;
    // Children of the window, as the menu's own actions are.
    QList<QAction *> recentFileActions;
    QAction *recentFilesSeparator = nullptr;
};

#endif
