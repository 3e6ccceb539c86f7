#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "link/modulesession.h"
#include "mainwindow/editcommand.h"
#include "mainwindow/formwidgets.h"
#include "settings/applicationsetup.h"
#include "trend/trendrecord.h"
#include "widgets/decimalvalidator.h"
#include "widgets/shownfields.h"
#include "widgets/wholenumbervalidator.h"

#include <QButtonGroup>
#include <QMainWindow>
#include <QModelIndex>
#include <QList>
#include <QTimer>
#include <QUndoStack>
#include <array>
#include <memory>
#include <optional>

class Configuration;
class ExchangeProgressDialog;
class InputAction;
class LinkLogDialog;
class Module;
class QTableWidget;
class QTableWidgetItem;
class TrendWidget;

namespace Ui {
class MainWindowUi;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindowUi *ui;
    Module *module;
    Configuration *configuration;
    Configuration *referenceConfiguration;
    QButtonGroup pageButtonGroup;
    std::array<QButtonGroup, 6> startupOutputGroups;
    std::array<QButtonGroup, 6> manualOutputGroups;
    WholeNumberValidator filterValidator;
    DecimalValidator rangeValidator;
    DecimalValidator analogOutputValidator;
    QTimer onlineTimer;
    int configurationSource;

    // Opens a configuration file as "Odczytaj z pliku" opens the file chosen
    // in its dialog, after the question about unsaved changes.
    void openConfigurationFile(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Keeps the word-wrapped captions whole and the trend where it fits, as
    // the window's size changes, and leaves the undo keys to the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_actionUstawienia_triggered();
    void on_polaczZModememPushButton_clicked(bool);
    void fillPortsComboBox();
    void on_actionOdbierz_z_modemu_triggered();
    void on_noweWeAn1ToolButton_clicked();
    void on_noweWeCy1ToolButton_clicked();
    void on_toolButton_17_clicked(bool checked);
    void on_toolButton_18_clicked(bool checked);
    void on_label_6_linkActivated(QString link);
    void on_actionNowy_triggered();
    void on_actionOdczyt_z_pliku_triggered();
    void on_actionZapis_do_pliku_triggered();
    void on_defNazwSmsUsunToolButton_clicked();
    void on_defNazwSmsListaTableWidget_clicked(QModelIndex index);
    void on_defNazwSmsTrescPlainTextEdit_textChanged();
    void on_weAn1TableWidget_itemClicked(QTableWidgetItem *item);
    void on_noweWeAn2ToolButton_clicked();
    void on_noweWeCy2ToolButton_clicked();
    void on_noweWeCy3ToolButton_clicked();
    void on_noweWeCy4ToolButton_clicked();
    void on_noweWeCy5ToolButton_clicked();
    void on_noweWeCy6ToolButton_clicked();
    void on_usunWeAn1ToolButton_clicked();
    void on_usunWeAn2ToolButton_clicked();
    void on_usunWeCy1ToolButton_clicked();
    void on_usunWeCy2ToolButton_clicked();
    void on_usunWeCy3ToolButton_clicked();
    void on_usunWeCy4ToolButton_clicked();
    void on_usunWeCy5ToolButton_clicked();
    void on_usunWeCy6ToolButton_clicked();
    void on_weWyManWyslijPushButton_clicked();
    void on_defNazwNazwyTelTableWidget_itemChanged(QTableWidgetItem *item);
    void on_weWyWejsciaTableWidget_itemChanged(QTableWidgetItem *item);
    void on_tabWidget_currentChanged(int index);
    void on_weWyWyjsciaTableWidget_itemChanged(QTableWidgetItem *item);
    void on_defNazwSmsListaTableWidget_itemChanged(QTableWidgetItem *item);
    void on_actionCofnij_zmiany_triggered();
    void on_actionZamknij_konfiguracj_triggered();
    void on_actionZapisz_do_modu_u_triggered();
    void on_weAn2TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy1TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy2TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy3TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy4TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy5TableWidget_itemClicked(QTableWidgetItem *item);
    void on_weCy6TableWidget_itemClicked(QTableWidgetItem *item);
    void updateOnlineAktualneWejscia();
    void on_edytujWeAn1ToolButton_clicked();
    void on_edytujWeAn2ToolButton_clicked();
    void on_edytujWeCy1ToolButton_clicked();
    void on_edytujWeCy2ToolButton_clicked();
    void on_edytujWeCy3ToolButton_clicked();
    void on_edytujWeCy4ToolButton_clicked();
    void on_edytujWeCy5ToolButton_clicked();
    void on_edytujWeCy6ToolButton_clicked();
    void on_actionO_programie_triggered();
    void on_weWyWeAn1ZakresLineEdit_textEdited(QString text);
    void on_weWyWeAn2ZakresLineEdit_textEdited(QString text);
    void on_actionPorownaj_z_plikiem_triggered();
    void on_actionKopie_zapasowe_triggered();
    void on_actionEksportuj_do_PDF_triggered();
    void on_actionDrukuj_triggered();
    void on_actionDziennik_komunikacji_triggered();

private:
    void updateInputPanelSpacer();
    void prepareScrollingTabs();
    void pairOutputButtons();

    // The form's widgets of each input, output and phone.
    std::unique_ptr<const FormWidgets> form;

    // The one place that decides which actions and buttons are enabled and
    // whether the "Online" tab polls the module. It derives both from the
    // window's state: whether a configuration is open, the module session's
    // state, the current tab and the flags below. Whatever changes one of
    // them calls it.
    void updateWindowState();
    // The module is being read or written: the operations that would replace
    // or close the configuration wait, and closing the window waits too.
    bool moduleOperationRunning() const;
    // The window asks about unsaved changes before it closes.
    bool closingWindow = false;
    // Closing was asked for during a read or write; it happens once that
    // operation and its messages are over.
    bool closePending = false;
    void closeIfPending();

    // Configuration file (src/config/mainwindow_configfile.cpp).
    // Returns false when the user's answer or a failed save means the open
    // configuration must stay open; the caller then does not go on.
    bool closeConfiguration();
    // The question about unsaved changes of closeConfiguration(), saving them
    // when the user chooses "Zapisz"; the configuration stays open, to be
    // closed or replaced by the caller.
    bool mayCloseConfiguration();
    // Closes the configuration without a question.
    void discardConfiguration();
    bool saveConfigurationToFile();
    // Reads a .kvl file; a failure is shown as opening a file shows it.
    std::optional<Configuration> loadConfigurationFile(const QString &path);
    void showFileWarning(const QString &title, const QString &text, const QString &path,
                         const QString &reason = QString());
    // Reads the file and, once it was read, puts it in place of the open
    // configuration; a file that cannot be read leaves that one open.
    void openFileInPlace(const QString &path);
    // Puts a configuration (source as configurationSource) in place of the
    // open one, with a history of its own.
    void openConfiguration(const Configuration &opened, int source, const QString &path);

    // Unsaved changes (src/config/mainwindow_changes.cpp). While a
    // configuration is open the title carries "[*]", which shows whenever the
    // form or the record differs from the reference copy.
    void showConfigurationTitle(const QString &path);
    void watchFormForChanges();
    void updateModifiedMarker();
    QTimer modifiedCheck;

    // Recent files (src/config/mainwindow_recentfiles.cpp).
    void prepareRecentFiles();
    void showRecentFiles();
    void rememberFile(const QString &path);
    void openRecentFile(const QString &path);
    QList<QAction *> recentFileActions;
    QAction *recentFilesSeparator = nullptr;

    // Form binding (src/config/mainwindow_formbinding.cpp). collectForm
    // takes back only the fields changed since fillForm showed them.
    void fillForm();
    void collectForm();
    void fillPhoneNumbers();
    void fillInputNames();
    void rememberShownFields();
    // Marks the fields whose value the form cannot show as it is, and lists
    // them in the bar above the tabs.
    void markValuesTheFormCannotShow();
    ShownFields shownFields;
    bool fillingForm = false;

    // Edit history (src/gui/mainwindow/mainwindow_history.cpp). A step is
    // recorded whenever a change has settled (updateModifiedMarker).
    void prepareHistory();
    // Starts an empty history for the configuration just put into the form.
    void startNewHistory();
    void recordHistoryStep();
    // True when a field's key event is the window's undo or redo shortcut,
    // which the field then does not take.
    bool leaveShortcutToHistory(QEvent *event);
    void restoreHistoryState(const EditState &state);
    void noteTyping(const QObject *field);
    EditCommand::TypingKey typingKey(const QObject *field) const;
    QUndoStack history;
    EditState recordedState;
    // The edits "Cofnij zmiany" undid, and the history's index it left: while
    // the history stays there, "Ponów" brings them back as a step of its own.
    std::optional<std::pair<int, EditState>> revertedEdits;
    EditCommand::TypingKey typing;
    int focusChanges = 0;
    bool restoringHistory = false;

    // Names and SMS texts (src/app/mainwindow_names.cpp).
    void refreshInputNames();
    void refreshPhoneNames();
    void showSelectedSmsText();

    // Action tables (src/actions/mainwindow_actiontables.cpp).
    void fillAnalogActionTable(int input);
    void fillDigitalActionTable(int input);
    // One operation for all eight tables: inputKind 0 analogue, 1 digital.
    QTableWidget *actionTable(int inputKind, int input) const;
    InputAction *actionSlotOfRow(int inputKind, int input, int row);
    void fillActionTable(int inputKind, int input);
    void newAction(int inputKind, int input);
    void editAction(int inputKind, int input);
    void deleteAction(int inputKind, int input);
    void actionTableItemClicked(int inputKind, int input, QTableWidgetItem *item);
    void actionTableItemChanged(QTableWidgetItem *item);
    void actionTableItemDoubleClicked(QTableWidgetItem *item);
    // Which input's table this is; false for any other table.
    bool findActionTable(const QTableWidget *table, int *inputKind, int *input) const;
    void analogRangeEdited(int input, const QString &text);
    // Once a range edit is finished, asks what becomes of the input's
    // thresholds; finishRangeEdits() asks for an edit not finished yet.
    void analogRangeEditFinished(int input);
    void finishRangeEdits();
    std::array<std::optional<AnalogRange>, AnalogInputCount> rangeBeforeEdit;
    std::array<EditCommand::TypingKey, AnalogInputCount> rangeEditTyping;

    // Settings dialog (src/link/mainwindow_settings.cpp).
    void openNumberList();

    // Trend of the live inputs (src/trend/mainwindow_trend.cpp).
    void showTrendWidget();
    void placeTrendWidget();
    // The user's names of the analogue inputs on the trend's axes.
    void showTrendNames();
    void startTrendRecord();
    // The live fields and the trend's legend show the newest poll's values
    // while they stand for the inputs now: connected, and the newest poll
    // answered. Otherwise the fields are greyed and empty, and the legend
    // shows a dash.
    void showLiveState();
    // The live-state polls of the connection, for the trend and its CSV.
    TrendRecord trendRecord;
    TrendWidget *trendWidget = nullptr;

    // Module operations (src/link/mainwindow_module.cpp).
    // Edited: the open configuration, after the list of changes; Again: the
    // same copy once more after the module stored it differently; Restore:
    // a backup back into the module after a broken write.
    enum class WriteRequest { Edited, Again, Restore };
    void moduleConnectionLost();
    void showModuleDisconnected(const QString &status);
    void openModuleConfiguration(const Configuration &read);
    void writeToModule(const Configuration &snapshot, WriteRequest request, const QString &restorable);
    ModuleSession::WriteAnswer confirmWrite(const ModuleSession::WritePlan &plan, WriteRequest request,
                                            const QString &restorable);
    void reportWriteOutcome(const Configuration &snapshot, const ModuleSession::WriteOutcome &outcome,
                            const QString &restorable);
    void restoreBackup(const QString &path);
    void showRestoreLater(const QString &path);
    void showStepProgress(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds);
    // The connection, what runs on it and what the module holds.
    std::unique_ptr<ModuleSession> moduleSession;
    std::unique_ptr<ExchangeProgressDialog> progressDialog;

    // The link log's window (mainwindow_log.cpp), made when first asked for
    // and kept, with its filter, for the program's run.
    LinkLogDialog *linkLogDialog = nullptr;

    // Backups (src/backup/mainwindow_backups.cpp).
};

#endif
