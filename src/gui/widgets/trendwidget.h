#ifndef TRENDWIDGET_H
#define TRENDWIDGET_H

#include "configuration/configuration.h"

#include <QWidget>
#include <array>
#include <optional>

class QAreaSeries;
class QCategoryAxis;
class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
class TrendRecord;
struct TrendSample;

namespace Ui {
class TrendWidgetUi;
}

// The live trend of the inputs: AI1 and AI2 in the units they are shown
// with, and the six digital inputs as steps, each in a lane of its own,
// over the last 1, 10 or 60 minutes. Each trace's legend entry carries its
// current value. Polls without an answer show as grey bands in which no
// trace is drawn; time without polls is a plain break in the traces.
class TrendWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TrendWidget(QWidget *parent = nullptr);
    ~TrendWidget() override;

    // The polls to show and to save; the widget never changes them. Setting
    // a record (a new one, or the same one restarted) ends a pause.
    void setRecord(const TrendRecord *record);
    // Shows the polls added to the record since, unless the view is paused.
    void refresh();
    // The user's names of AI1 and AI2, which label their axes; an empty
    // name leaves the input's own.
    void setAnalogNames(const std::array<QString, AnalogInputCount> &names);
    // The values the live fields show, which each trace's legend entry
    // carries; without them (no link, or no usable answer) a dash, as the
    // fields show none. Paused or not.
    void showCurrentValues(const TrendSample *current);
    // In a narrow place the tools take two lines: the span above, the pause
    // and the save below.
    void setCompact(bool compact);

private slots:
    void on_przebieg1MinToolButton_clicked();
    void on_przebieg10MinToolButton_clicked();
    void on_przebieg60MinToolButton_clicked();
    void on_przebiegWstrzymajPushButton_toggled(bool paused);
    void on_przebiegZapiszPushButton_clicked();

private:
    void showWhatCanAct();
    void setSpan(int minutes);
    void redraw();
    qint64 viewEnd() const;
    void updateAnalogAxes(const TrendSample *newest, const std::array<double, AnalogInputCount> &highest);

    Ui::TrendWidgetUi *ui;
    const TrendRecord *record = nullptr;
    int span = 10;
    // The space between the span and the buttons, in one line.
    int toolsSpacing = 0;
    // The end of the view while it is paused.
    std::optional<qint64> frozenEnd;

    QChart *chart;
    QDateTimeAxis *timeAxis;
    // AI1 on the left, AI2 on the right.
    std::array<QCategoryAxis *, AnalogInputCount> analogAxes;
    // Hidden: each puts 0 and 1 of its input into its lane.
    std::array<QValueAxis *, DigitalInputCount> laneAxes;
    // Hidden: 0 to 1 is the plot's full height, for the gap bands.
    QValueAxis *heightAxis;
    std::array<QLineSeries *, AnalogInputCount> analogSeries;
    std::array<QLineSeries *, DigitalInputCount> digitalSeries;
    QAreaSeries *gapSeries;
    // Covers the traces, in the plot's own colour, where nothing was polled.
    QAreaSeries *breakSeries;
    // What the analogue axes were last labelled for: top value and decimals.
    std::array<std::pair<double, int>, AnalogInputCount> analogScales{};
};

#endif
