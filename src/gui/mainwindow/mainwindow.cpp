#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "dialogs/oprogramiedialog.h"
#include "link/module.h"
#include "link/modulesession.h"
#include "mainwindow/actiontables.h"
#include "mainwindow/configurationfiles.h"
#include "mainwindow/configurationreport.h"
#include "mainwindow/edithistory.h"
#include "mainwindow/formbinder.h"
#include "mainwindow/formtables.h"
#include "mainwindow/formwidgets.h"
#include "mainwindow/moduleoperations.h"
#include "mainwindow/namespage.h"
#include "mainwindow/onlinepage.h"
#include "mainwindow/recentfiles.h"
#include "settings/applicationsetup.h"
#include "settings/usernames.h"
#include "widgets/modulestatebar.h"
#include "widgets/namefielddelegate.h"
#include "widgets/wheelguard.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr int OnlineTab = 3;
constexpr QSize DefaultSize(1280, 680);
// The window manager's title bar and borders around the window, as far as
// they can be told before the window shows.
constexpr QSize FrameAllowance(10, 40);

// A window's frame, shrunk to the area where it does not fit and then moved
// into it as far as needed.
QRect fittedFrame(QRect frame, const QRect &area)
{
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::MainWindowUi>()),
      module(nullptr),
      configurationSource(NewConfiguration)
{
    ui->setupUi(this);
    form = std::make_unique<const FormWidgets>(ui.get());
    namesPage = std::make_unique<NamesPage>(*form, ui->defNazwSmsListaTableWidget, ui->defNazwSmsTrescPlainTextEdit,
                                            ui->defNazwSmsPozostaloLabel, ui->defNazwSmsInfoLabel);
    formBinder = std::make_unique<FormBinder>(
            FormBinder::Widgets{ ui->weWyWyjsciaTableWidget, ui->weWyWejsciaTableWidget,
                                 ui->defNazwNazwyTelTableWidget, ui->defNazwSmsListaTableWidget,
                                 ui->weWyHisterezaLineEdit, ui->akuAkuLoadComboBox, ui->akuMinSpinBox,
                                 ui->akuSekSpinBox, ui->akuPrzekZalCheckBox, ui->akuAktWejCheckBox,
                                 ui->wartosciSpozaFormularzaFrame, ui->wartosciSpozaFormularzaLabel },
            *form, configuration);

    QSettings settings;
    const QPoint position = settings.value(QStringLiteral("mainWindowPos"), QPoint(50, 50)).toPoint();
    // A place and size stored on another screen, or at another scale, are
    // fitted to the screen the window opens on, frame included.
    const QScreen *target = QGuiApplication::screenAt(position);
    const QRect screenArea = (target ? target : screen())->availableGeometry();
    // The tabs scroll, so the window could be very small: without a stored
    // size it opens wide enough for the action tables' columns, as far as the
    // screen leaves room beside and below its place.
    const QSize room(screenArea.right() + 1 - position.x(), screenArea.bottom() + 1 - position.y());
    // A window never opens smaller than its layout allows.
    const QSize size = settings.value(QStringLiteral("mainWindowSize"),
                                      DefaultSize.boundedTo(room - FrameAllowance))
                               .toSize()
                               .expandedTo(minimumSizeHint());
    const QRect frame = fittedFrame(QRect(position, size + FrameAllowance), screenArea);
    move(frame.topLeft());
    resize(frame.size() - FrameAllowance);
    configurationSource = NewConfiguration;

    pageButtonGroup.addButton(ui->nazwyTelefonowPushButton, 0);
    pageButtonGroup.addButton(ui->wejsciaWyjsciaPushButton, 1);
    pageButtonGroup.addButton(ui->smsyPushButton, 2);
    pageButtonGroup.setExclusive(true);
    connect(&pageButtonGroup, &QButtonGroup::idClicked, ui->stackedWidget,
            &QStackedWidget::setCurrentIndex);

    ui->nowyToolButton->setDefaultAction(ui->actionNowy);
    ui->odczytajZModemuToolButton->setDefaultAction(ui->actionOdbierz_z_modemu);
    ui->odczytajZPlikuToolButton->setDefaultAction(ui->actionOdczyt_z_pliku);

    const std::array<QAction *, 3> toolBarActions{ ui->actionOdbierz_z_modemu, ui->actionZapisz_do_modu_u,
                                                   ui->actionCofnij_zmiany };
    for (std::size_t index = 0; index < toolBarActions.size(); ++index) {
        QAction *action = toolBarActions[index];
        auto *button = new QToolButton;
        toolBarButtons[index] = button;
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(16, 16));
        button->setDefaultAction(action);
        ui->mainToolBar->addWidget(button);
    }

    prepareScrollingTabs();

    ui->weAn1TableWidget->resizeColumnsToContents();
    ui->weWyWejsciaTableWidget->resizeColumnsToContents();
    ui->weWyWyjsciaTableWidget->resizeColumnsToContents();

    pairOutputButtons();

    filterValidator.setRange(0, 255);
    for (QLineEdit *edit : form->filterEdits())
        edit->setValidator(&filterValidator);
    ui->weWyHisterezaLineEdit->setValidator(&filterValidator);
    rangeValidator.setRange(0, 1000, 2);
    for (QLineEdit *edit : form->analogRangeEdits)
        edit->setValidator(&rangeValidator);
    analogOutputValidator.setRange(0, 10, 2);
    analogOutputValidator.setNotation(QDoubleValidator::StandardNotation);
    ui->onlineManAnOut1LineEdit->setValidator(&analogOutputValidator);
    ui->onlineManAnOut2LineEdit->setValidator(&analogOutputValidator);
    for (QWidget *indicator : form->liveInputIndicators)
        ui->onlineAktualneGridLayout->setAlignment(indicator, Qt::AlignCenter);

    ui->akuAkuLoadComboBox->addItem(QString(), 0);
    for (int milliamperes : {25, 50, 75, 100, 125, 150, 200})
        ui->akuAkuLoadComboBox->addItem(QStringLiteral("%1 mA").arg(milliamperes), milliamperes);
    // The module keeps an output's name in 13 bytes; the names tab promises
    // 12 characters. Phone and input names live in the settings store and
    // take any length.
    ui->weWyWyjsciaTableWidget->setItemDelegateForColumn(
        FormTables::NameColumn, new NameFieldDelegate(NameCharacters, OutputNameWidth,
                                          tr("Nazwa zapisywana w modemie: najwyżej 12 znaków "
                                             "i 13 bajtów (polska litera zajmuje 2 bajty)."),
                                          this));
    ui->defNazwSmsListaTableWidget->resizeColumnToContents(0);
    ui->defNazwNazwyTelTableWidget->resizeColumnToContents(0);
    ui->defNazwNazwyTelTableWidget->resizeColumnToContents(1);

    setWindowTitle(applicationTitle);
    onlineTimer.setInterval(1000);
    connect(&onlineTimer, &QTimer::timeout, this, &MainWindow::updateOnlineAktualneWejscia);

    module = new Module;
    module->setParent(this);
    moduleSession = std::make_unique<ModuleSession>(module);
    onlinePage = std::make_unique<OnlinePage>(
            OnlinePage::Widgets{ ui->tabScrollArea_4, ui->label_77, ui->tabScrollContents_4, ui->gridLayout_15,
                                 ui->horizontalSpacer_18, ui->verticalLayout_12, ui->verticalLayout_13,
                                 ui->onlineAktualneGridLayout, ui->wewyManualneGridLayout,
                                 ui->onlineManAnOut1LineEdit, ui->onlineManAnOut2LineEdit,
                                 ui->weWyManWyslijPushButton, statusBar() },
            *form, onlineTimer, *moduleSession, configuration, this);
    // Above the tabs, under the note on values the form cannot show.
    auto *stateBar = new ModuleStateBar;
    ui->gridLayout_24->removeWidget(ui->tabWidget);
    ui->gridLayout_24->addWidget(stateBar, 1, 0);
    ui->gridLayout_24->addWidget(ui->tabWidget, 2, 0);
    moduleOperations = std::make_unique<ModuleOperations>(
            ModuleOperations::Widgets{ ui->portsComboBox, ui->polaczZModememPushButton,
                                       ui->modemPolaczenieStatusLabel, ui->actionOdbierz_z_modemu, statusBar(),
                                       stateBar },
            *moduleSession, [this] { return mayCloseConfiguration(); }, this);
    connect(moduleSession.get(), &ModuleSession::portsChanged, this, &MainWindow::fillPortsComboBox);
    connect(moduleSession.get(), &ModuleSession::stateChanged, this, &MainWindow::updateWindowState);
    connect(moduleOperations.get(), &ModuleOperations::configurationRead, this, &MainWindow::openModuleConfiguration);
    connect(moduleOperations.get(), &ModuleOperations::operationFinished, this, &MainWindow::closeIfPending);
    connect(moduleOperations.get(), &ModuleOperations::findingChanged, this, &MainWindow::updateWindowState);
    connect(moduleOperations.get(), &ModuleOperations::connectionChanged, this, [this](bool connected) {
        if (connected)
            onlinePage->startTrendRecord();
        else
            onlinePage->showLiveState();
        updateWindowState();
    });
    // The port list is filled at once, not only at the scan's first turn,
    // and with the prompt of a scanned list even when no port was found.
    moduleSession->scanPorts();
    fillPortsComboBox();

    editHistory = std::make_unique<EditHistory>(ui->tabWidget, ui->actionCofnij, ui->actionPonow);
    connect(editHistory.get(), &EditHistory::changeSettled, this, &MainWindow::updateModifiedMarker);
    connect(editHistory.get(), &EditHistory::availabilityChanged, this, &MainWindow::updateWindowState);
    connect(editHistory.get(), &EditHistory::stateRestored, this, &MainWindow::restoreHistoryState);
    actionTables = std::make_unique<ActionTables>(*form, configuration, *editHistory, statusBar(), this);
    connect(actionTables.get(), &ActionTables::thresholdsChanged, this, &MainWindow::updateModifiedMarker);
    // A range edit is finished with Enter or when the field loses the focus,
    // but not as the window's widgets go: the tables go before them.
    for (int input = 0; input < AnalogInputCount; ++input)
        connect(form->analogRangeEdits[input], &QLineEdit::editingFinished, actionTables.get(),
                [this, input] { actionTables->analogRangeEditFinished(input); });
    connect(namesPage.get(), &NamesPage::inputNamesChanged, onlinePage.get(), &OnlinePage::showTrendNames);
    ui->wartosciSpozaFormularzaFrame->hide();

    files = std::make_unique<ConfigurationFiles>(this);
    recentFiles = std::make_unique<RecentFiles>(ui->menuPlik, ui->actionZamknij, this);
    connect(recentFiles.get(), &RecentFiles::fileChosen, this, &MainWindow::openConfigurationFile);
    report = std::make_unique<ConfigurationReport>(statusBar(), this);
    UserNames::nameUnnamedStatuses();
    onlinePage->showLiveState();
    updateWindowState();
}

MainWindow::~MainWindow()
{
    QSettings settings;
    settings.setValue(QStringLiteral("mainWindowPos"), pos());
    settings.setValue(QStringLiteral("mainWindowSize"), size());
    // The history and the session go after parts of the window: what they
    // signal as they go finds no window.
    disconnect(editHistory.get(), nullptr, this, nullptr);
    disconnect(moduleSession.get(), nullptr, this, nullptr);
    moduleSession.reset();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window must outlive a running exchange with the module; it closes
    // as soon as the exchange has finished.
    if (moduleOperationRunning() || moduleOperations->isFinding()) {
        moduleOperations->cancelFinding();
        closePending = true;
        event->ignore();
        return;
    }
    closingWindow = true;
    updateWindowState();
    const bool closed = closeConfiguration();
    closingWindow = false;
    updateWindowState();
    if (!closed) {
        event->ignore();
        return;
    }
    event->accept();
}

bool MainWindow::moduleOperationRunning() const
{
    const ModuleSession::State state = moduleSession->state();
    return state == ModuleSession::State::Reading || state == ModuleSession::State::Writing;
}

void MainWindow::closeIfPending()
{
    if (closePending && !moduleOperationRunning()) {
        closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void MainWindow::updateWindowState()
{
    const bool configurationOpen = configuration != nullptr;
    const bool onlineTabShown = configurationOpen && ui->tabWidget->currentIndex() == OnlineTab;
    const ModuleSession::State moduleState = moduleSession->state();
    const bool modemConnected = moduleSession->isConnected();
    const bool idle = !moduleOperationRunning();
    // While the "Online" tab polls the module, reading, writing and the
    // settings dialog (which writes the PIN) leave the link to it.
    const bool pollingTabShown = modemConnected && onlineTabShown;

    ui->actionNowy->setEnabled(idle);
    ui->actionOdczyt_z_pliku->setEnabled(idle);
    recentFiles->setEnabled(idle);
    ui->actionZapis_do_pliku->setEnabled(configurationOpen && idle);
    ui->actionCofnij_zmiany->setEnabled(configurationOpen && idle);
    ui->actionCofnij->setEnabled(configurationOpen && idle && editHistory->canUndo());
    ui->actionPonow->setEnabled(configurationOpen && idle && editHistory->canRedo());
    ui->actionZamknij_konfiguracj->setEnabled(configurationOpen && idle);
    ui->actionPorownaj_z_plikiem->setEnabled(configurationOpen && idle);
    ui->actionEksportuj_do_PDF->setEnabled(configurationOpen && idle);
    ui->actionDrukuj->setEnabled(configurationOpen && idle);
    ui->actionKopie_zapasowe->setEnabled(idle);
    ui->actionOdbierz_z_modemu->setEnabled(modemConnected && idle && !pollingTabShown);
    ui->actionZapisz_do_modu_u->setEnabled(modemConnected && idle && !pollingTabShown);
    ui->actionUstawienia->setEnabled(idle && !pollingTabShown);
    // While the module is being found, the button stops the search.
    ui->polaczZModememPushButton->setEnabled(moduleOperations->isFinding()
                                             || (idle && moduleState != ModuleSession::State::Connecting));
    ui->portsComboBox->setEnabled(!modemConnected);
    // Without a link the outputs would go nowhere; the tool tip says why.
    ui->weWyManWyslijPushButton->setEnabled(modemConnected && idle);
    ui->weWyManWyslijPushButton->setToolTip(
            !modemConnected ? tr("Brak połączenia z modemem. Połącz się z modemem, aby wysłać stan wyjść.")
            : !idle         ? tr("Trwa odczyt lub zapis modemu.")
                            : QString());

    // No poll may come between a manual-output command and its wait.
    const bool polling = pollingTabShown && idle && moduleState != ModuleSession::State::SendingOutputs
            && !closingWindow;
    onlinePage->setPolling(polling);
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    if (index == OnlineTab)
        onlinePage->showTrendWidget();
    updateWindowState();
}

// Each tab scrolls in a window too small for it, such as on a 1024 x 600
// screen, instead of making the window that large.
void MainWindow::prepareScrollingTabs()
{
    // A word-wrapped caption asks for its height by width, and the scroll
    // area would then give the tab its preferred height, whatever the
    // window's: the action tables could not shrink into the window. Its
    // height follows its width instead (eventFilter), so no line is cut.
    for (QLabel *caption : ui->tabWidget->findChildren<QLabel *>()) {
        if (caption->wordWrap()) {
            QSizePolicy policy = caption->sizePolicy();
            policy.setHeightForWidth(false);
            caption->setSizePolicy(policy);
            caption->installEventFilter(this);
        }
    }

    // Turning the wheel to scroll a tab changes no value passing under it.
    (new WheelGuard(this))->guard(ui->tabWidget);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    // Below this height (a 1920 x 1080 screen at scale 2 leaves 540) the
    // "Online" tab's fields and trend need the line.
    constexpr int LowWindowHeight = 500;
    const Qt::ToolButtonStyle style = height() < LowWindowHeight ? Qt::ToolButtonTextBesideIcon
                                                                 : Qt::ToolButtonTextUnderIcon;
    for (QToolButton *button : toolBarButtons)
        button->setToolButtonStyle(style);
    QMainWindow::resizeEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (auto *caption = qobject_cast<QLabel *>(watched))
            caption->setMinimumHeight(caption->heightForWidth(caption->width()));
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::on_toolButton_17_clicked(bool checked)
{
    ui->groupBox->setVisible(!checked);
    ui->groupBox_2->setVisible(!checked);
    ui->toolButton_17->setIcon(QIcon(checked ? QStringLiteral(":/new/prefix1/icons/go-down.png")
                                             : QStringLiteral(":/new/prefix1/icons/go-up.png")));
    updateInputPanelSpacer();
}

void MainWindow::on_toolButton_18_clicked(bool checked)
{
    for (QWidget *panel : {ui->groupBox_3, ui->groupBox_4, ui->groupBox_5, ui->groupBox_6,
                           ui->groupBox_7, ui->groupBox_8})
        panel->setVisible(!checked);
    ui->toolButton_18->setIcon(QIcon(checked ? QStringLiteral(":/new/prefix1/icons/go-down.png")
                                             : QStringLiteral(":/new/prefix1/icons/go-up.png")));
    updateInputPanelSpacer();
}

// With both panels collapsed the spacer takes the free height, so the two
// header bars stay at the top of the tab.
void MainWindow::updateInputPanelSpacer()
{
    const bool bothCollapsed = ui->toolButton_17->isChecked() && ui->toolButton_18->isChecked();
    const QSizePolicy::Policy policy = bothCollapsed ? QSizePolicy::Expanding : QSizePolicy::Fixed;
    ui->verticalSpacer->changeSize(1, 1, policy, policy);
    ui->gridLayout_2->invalidate();
}

// Each output's on/off pair is exclusive; the six pairs are independent.
void MainWindow::pairOutputButtons()
{
    const auto pair = [](std::array<QButtonGroup, DigitalOutputCount> &groups,
                         const std::array<QRadioButton *, DigitalOutputCount> &onButtons,
                         const std::array<QRadioButton *, DigitalOutputCount> &offButtons) {
        for (int output = 0; output < DigitalOutputCount; ++output) {
            for (QAbstractButton *button : {onButtons[output], offButtons[output]}) {
                if (QLayout *layout = button->parentWidget()->layout())
                    layout->setAlignment(button, Qt::AlignCenter);
                groups[output].addButton(button);
            }
            groups[output].setExclusive(true);
        }
    };
    pair(startupOutputGroups, form->startupOnButtons, form->startupOffButtons);
    pair(manualOutputGroups, form->manualOnButtons, form->manualOffButtons);
}

void MainWindow::on_actionO_programie_triggered()
{
    OProgramieDialog dialog(this);
    dialog.exec();
}
