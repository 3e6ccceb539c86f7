#ifndef MODULEOPERATIONS_H
#define MODULEOPERATIONS_H

#include "link/modulesession.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class ExchangeProgressDialog;
class ModuleFinder;
class ModuleStateBar;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QWidget;

// The module side of the window: the port list, connecting, reading the
// module, the whole write with its questions and its report, putting a
// backup back after a broken write, the progress of an exchange and the
// link log. The configuration a read brings is handed to the window
// (configurationRead); what to write is handed in. Touches: the port box,
// the connect button and its status label, the read action, the status bar,
// the module session, and the backups on the disk (read only).
class ModuleOperations : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        QComboBox *ports;
        QPushButton *connectButton;
        QLabel *connectionStatus;
        QAction *readAction;
        QStatusBar *statusBar;
        ModuleStateBar *stateBar;
    };
    // The question about unsaved changes, asked before a read replaces the
    // open configuration; false keeps it.
    using MayReplace = std::function<bool()>;

    ModuleOperations(const Widgets &widgets, ModuleSession &session, MayReplace mayReplace, QWidget *window);
    ~ModuleOperations() override;

    // Whether writes read the module back to compare (the settings' choice).
    static bool verifiesWrites();

    // Keeps the port chosen while it is listed.
    void fillPortsComboBox();
    // "Połącz" and "Rozłącz"; "Przerwij" while the module is being found.
    void toggleConnection();
    bool isFinding() const;
    void cancelFinding();
    void readModule();
    // Writes a copy of the open configuration, taken when the write starts.
    void writeEdited(const Configuration &snapshot);

signals:
    // A read succeeded; the window puts this configuration in place.
    void configurationRead(const Configuration &read);
    void connectionChanged(bool connected);
    // Finding the module started or ended.
    void findingChanged();
    // A read or write, or finding the module, and its messages are over.
    void operationFinished();

private:
    // Edited: the open configuration, after the list of changes; Again: the
    // same copy once more after the module stored it differently; Restore:
    // a backup back into the module after a broken write.
    enum class WriteRequest { Edited, Again, Restore };
    void connectTo(const QString &name);
    // Without a port chosen: the first port a module answers on.
    void findModule();
    void showConnected();
    void showModuleDisconnected(const QString &status);
    void writeToModule(const Configuration &snapshot, WriteRequest request, const QString &restorable);
    ModuleSession::WriteAnswer confirmWrite(const ModuleSession::WritePlan &plan, WriteRequest request,
                                            const QString &restorable);
    void reportWriteOutcome(const Configuration &snapshot, const ModuleSession::WriteOutcome &outcome,
                            const QString &restorable);
    void restoreBackup(const QString &path);
    void showRestoreLater(const QString &path);
    void reportBrokenWrite(const ModuleSession::WriteOutcome &outcome, const QString &restorable);
    // The state bar after a write that left the module's content in doubt.
    void showModuleInDoubt(const Configuration &snapshot, const QString &restorable, bool storedDifferently);
    // A verified write settles the doubt; after a restore the bar says so
    // when the form still holds edits the module does not.
    void showVerified(const Configuration &snapshot, WriteRequest request, const QString &restorable);
    void showConnectionEnded();
    void showStepProgress(ModuleSession::Step step, int elapsedMilliseconds);

    Widgets ui;
    ModuleSession &session;
    MayReplace mayReplace;
    QWidget *window;
    std::unique_ptr<ExchangeProgressDialog> progressDialog;
    // While the module is being found.
    ModuleFinder *finder = nullptr;
    // What a broken write tried to send, for "Zapisz ponownie", and the
    // backup "Przywróć kopię zapasową" writes back.
    std::optional<Configuration> unwritten;
    QString restorablePath;
};

#endif
