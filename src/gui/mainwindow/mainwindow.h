#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "configuration/configuration.h"
#include "mainwindow/configurationreport.h"
#include "mainwindow/configurationsource.h"
#include "widgets/decimalvalidator.h"
#include "widgets/wholenumbervalidator.h"

#include <QButtonGroup>
#include <QMainWindow>
#include <QModelIndex>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <memory>

class ActionTables;
class ConfigurationFiles;
class EditHistory;
class FormBinder;
class Module;
class ModuleOperations;
class LinkLogDialog;
class ModuleSession;
class NamesPage;
class OnlinePage;
class QTableWidgetItem;
class RecentFiles;
struct EditState;
struct FormWidgets;

namespace Ui {
class MainWindowUi;
}

// The main window keeps the open configuration and its lifecycle (new,
// opened, read from the module, closed), which actions are enabled, and the
// slots the form connects by name. The work behind them is done by one
// class per concern, each in its own files beside this one:
//   moduleoperations.*    connecting, reading and writing the module, and
//                         putting a backup back after a broken write;
//   onlinepage.*          the "Online" tab: polls, live values, manual
//                         outputs and the trend;
//   formbinder.*          the form's fields and the open configuration;
//   edithistory.*         "Cofnij" and "Ponów", and when a change has settled;
//   actiontables.*        the input actions' tables and the range fields;
//   namespage.*           the user's names and the status SMS texts;
//   configurationfiles.*  the .kvl files, the comparison and the backups list;
//   recentfiles.*         the recent files in the "Plik" menu;
//   configurationreport.* the PDF and the printout.
// formwidgets.* holds the form's widgets per input, output and phone.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    std::unique_ptr<Ui::MainWindowUi> ui;
    // A child of the window; the session below is its only user.
    Module *module;
    std::unique_ptr<Configuration> configuration;
    std::unique_ptr<Configuration> referenceConfiguration;
    QButtonGroup pageButtonGroup;
    std::array<QButtonGroup, 6> startupOutputGroups;
    std::array<QButtonGroup, 6> manualOutputGroups;
    WholeNumberValidator filterValidator;
    DecimalValidator rangeValidator;
    DecimalValidator analogOutputValidator;
    QTimer onlineTimer;
    ConfigurationSource configurationSource;

    // Opens a configuration file as "Odczytaj z pliku" opens the file chosen
    // in its dialog, after the question about unsaved changes.
    void openConfigurationFile(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    // Keeps the word-wrapped captions whole as the window's size changes.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // In a low window the tool bar's texts go beside their icons, which
    // leaves the tabs a line more.
    void resizeEvent(QResizeEvent *event) override;

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
    void on_actionSeria_modemow_triggered();

private:
    void updateInputPanelSpacer();
    // The tool bar's buttons, for their style in a low window.
    std::array<QToolButton *, 3> toolBarButtons{};
    void prepareScrollingTabs();
    void pairOutputButtons();

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

    // The open configuration's lifecycle.
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
    // Reads the file and, once it was read, puts it in place of the open
    // configuration; a file that cannot be read leaves that one open.
    void openFileInPlace(const QString &path);
    // Puts a configuration in place of the open one, with a history of its
    // own.
    void openConfiguration(const Configuration &opened, ConfigurationSource source, const QString &path);
    // The one place where a configuration read from the module replaces the
    // open one.
    void openModuleConfiguration(const Configuration &read);
    void restoreHistoryState(const EditState &state);
    void openNumberList();
    ConfigurationReport::Subject reportSubject() const;

    // While a configuration is open the title carries "[*]", which shows
    // whenever the form or the record differs from the reference copy.
    void showConfigurationTitle(const QString &path);
    // The same comparison as the question about unsaved changes. A change
    // that has settled here also becomes a step of the edit history.
    void updateModifiedMarker();

    void fillForm();
    void collectForm();
    void fillPhoneNumbers();
    void fillInputNames();

    std::unique_ptr<const FormWidgets> form;
    // The connection, what runs on it and what the module holds.
    std::unique_ptr<ModuleSession> moduleSession;
    // Narzędzia → Dziennik komunikacji…; a child of the window.
    LinkLogDialog *linkLogDialog = nullptr;
    // These go before the widgets they touch: what the widgets signal as
    // they go reaches none of them.
    std::unique_ptr<ModuleOperations> moduleOperations;
    std::unique_ptr<OnlinePage> onlinePage;
    std::unique_ptr<NamesPage> namesPage;
    std::unique_ptr<EditHistory> editHistory;
    std::unique_ptr<FormBinder> formBinder;
    std::unique_ptr<ActionTables> actionTables;
    std::unique_ptr<ConfigurationFiles> files;
    std::unique_ptr<RecentFiles> recentFiles;
    std::unique_ptr<ConfigurationReport> report;
};

#endif
