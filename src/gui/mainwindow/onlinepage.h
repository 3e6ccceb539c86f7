#ifndef ONLINEPAGE_H
#define ONLINEPAGE_H

#include "trend/trendrecord.h"

#include <QMargins>
#include <QObject>
#include <memory>

class Configuration;
class ModuleSession;
class QGridLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpacerItem;
class QStatusBar;
class QTimer;
class QWidget;
class TrendWidget;
struct FormWidgets;

// The "Online" tab: the poll of the module's live state every second while
// the tab is shown, the live fields, the trend of the polls, and the manual
// outputs. Touches: the tab's grid and scroll area, the manual output
// fields and send button, the live and manual widgets of FormWidgets, the
// status bar, the window's poll timer, the module session and the open
// configuration (the ranges of the live values).
class OnlinePage : public QObject
{
    Q_OBJECT

public:
    struct Widgets
    {
        QScrollArea *scrollArea;
        // The tab's caption, across its top.
        QWidget *caption;
        QWidget *contents;
        QGridLayout *grid;
        // The spacer beside the live fields, which the trend replaces.
        QSpacerItem *trendSpacer;
        // The columns of the live fields and of the manual outputs, and the
        // grids of their rows.
        QLayout *liveFields;
        QLayout *manualOutputs;
        QGridLayout *liveFieldRows;
        QGridLayout *manualOutputRows;
        QLineEdit *analogOutput1;
        QLineEdit *analogOutput2;
        QPushButton *send;
        QStatusBar *statusBar;
    };

    OnlinePage(const Widgets &widgets, const FormWidgets &form, QTimer &onlineTimer, ModuleSession &session,
               const std::unique_ptr<Configuration> &configuration, QWidget *window);

    // Polls while `polling`; a new run of polls marks a break in the trend.
    void setPolling(bool polling);
    void poll();
    void sendManualOutputs();
    // The trend costs nothing until the tab is first shown.
    void showTrendWidget();
    // The user's names of the analogue inputs on the trend's axes.
    void showTrendNames();
    // A connection starts a record of its own; until then the last one can
    // still be saved.
    void startTrendRecord();
    // The live fields and the trend's legend show the newest poll's values
    // while they stand for the inputs now: connected, and the newest poll
    // answered. Otherwise the fields are greyed and empty, and the legend
    // shows a dash.
    void showLiveState();

protected:
    // Places the trend as the tab's width changes.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Beside the fields, from their row or from the tab's top (the caption
    // then leaves it the room), or below them.
    enum class TrendPlace { Beside, BesideFromTop, Below };

    void placeTrendWidget();
    void arrange(TrendPlace place);
    void setFieldsClosedUp(bool closedUp);

    Widgets ui;
    const FormWidgets &form;
    QTimer &onlineTimer;
    ModuleSession &session;
    const std::unique_ptr<Configuration> &configuration;
    QWidget *window;
    // The live-state polls of the connection, for the trend and its CSV.
    TrendRecord trendRecord;
    TrendWidget *trendWidget = nullptr;
    // The spacing of the form where the tab has room: around the tab, above
    // the two columns and between their rows.
    QMargins roomyMargins;
    int roomyTopMargin = 0;
    int roomyRowSpacing = 0;
};

#endif
