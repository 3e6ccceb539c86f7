#include "widgets/trendwidget.h"
#include "ui_trendwidget.h"

#include "settings/lastfilefolder.h"
#include "trend/trendcsv.h"
#include "trend/trendrecord.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QSettings>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 MillisecondsPerMinute = 60 * 1000;
// Two polls further apart than this had none between them even without a
// break marked (the computer slept, say): the traces break there too.
constexpr qint64 LongestPollSpacing = 5000;
const QString SpreadsheetCsvKey = QStringLiteral("trendCsvForSpreadsheet");

// The plot's height, bottom 0 to top 1: the six lanes of the digital inputs
// below, the analogue curves above them.
constexpr double DigitalBandTop = 0.42;
constexpr double AnalogBandBottom = 0.5;
constexpr double AnalogBandTop = 0.96;
constexpr double LaneHeight = DigitalBandTop / DigitalInputCount;
// Where a lane's trace runs when its input is off and when it is on.
constexpr double LaneOff = 0.2;
constexpr double LaneOn = 0.75;

const std::array<QColor, AnalogInputCount> AnalogColours{QColor(0, 90, 200), QColor(220, 100, 0)};
const std::array<QColor, DigitalInputCount> DigitalColours{
    QColor(0, 150, 60), QColor(190, 0, 40), QColor(120, 60, 170),
    QColor(0, 150, 160), QColor(150, 110, 0), QColor(200, 0, 160)};
const QColor GapColour(226, 226, 226);
const QColor PlotColour(Qt::white);

// Where a level of a digital input's lane (input 0 is DI1, at the top) lies
// in normalised height.
double laneLevel(int input, double level)
{
    return DigitalBandTop - (input + 1) * LaneHeight + level * LaneHeight;
}

// An axis range that puts `low` of the values at normalised height `from`
// and `high` at `to` (the plot runs from 0 to 1).
std::pair<double, double> axisRangeFor(double low, double high, double from, double to)
{
    const double perHeight = (high - low) / (to - from);
    return {low - from * perHeight, low + (1.0 - from) * perHeight};
}

// Adds a point to a trace; a point that continues a flat stretch moves its
// end instead, so a steady input costs two points however long it stays.
void addPoint(QList<QPointF> &points, const QPointF &point)
{
    const qsizetype size = points.size();
    if (size >= 2 && points[size - 1].y() == point.y() && points[size - 2].y() == point.y())
        points[size - 1].setX(point.x());
    else
        points.append(point);
}

QLineSeries *newTrace(QChart *chart, const QString &objectName, const QColor &colour, double width)
{
    auto *series = new QLineSeries;
    series->setObjectName(objectName);
    QPen pen(colour);
    pen.setWidthF(width);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

// Bands across the plot's full height over stretches of time, each given
// as four points; added after the traces, they cover them.
QAreaSeries *newBands(QChart *chart, const QString &objectName, const QColor &colour)
{
    auto *bands = new QAreaSeries(new QLineSeries);
    bands->upperSeries()->setParent(bands);
    bands->setObjectName(objectName);
    bands->setPen(Qt::NoPen);
    bands->setBrush(colour);
    chart->addSeries(bands);
    return bands;
}

void addBand(QList<QPointF> &bands, qint64 from, qint64 to)
{
    bands << QPointF(from, 0) << QPointF(from, 1) << QPointF(to, 1) << QPointF(to, 0);
}

// The plot's least height, and in a narrow place, where the tools take a
// second line.
constexpr int ChartHeight = 200;
constexpr int CompactChartHeight = 150;
constexpr int TimeTicks = 6;
constexpr int CompactTimeTicks = 3;

} // namespace

TrendWidget::TrendWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::TrendWidgetUi)
{
    ui->setupUi(this);
    toolsSpacing = ui->przebiegNarzedziaLayout->spacing();

    chart = new QChart;
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setPlotAreaBackgroundBrush(PlotColour);
    chart->setPlotAreaBackgroundVisible(true);
    // The view gives up the empty chart it made for itself without freeing it.
    QChart *emptyChart = ui->przebiegChartView->chart();
    ui->przebiegChartView->setChart(chart);
    delete emptyChart;
    ui->przebiegChartView->setRenderHint(QPainter::Antialiasing);

    timeAxis = new QDateTimeAxis;
    timeAxis->setTickCount(TimeTicks);
    chart->addAxis(timeAxis, Qt::AlignBottom);
    for (int input = 0; input < AnalogInputCount; ++input) {
        analogAxes[input] = new QCategoryAxis;
        analogAxes[input]->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        analogAxes[input]->setGridLineVisible(input == 0);
        chart->addAxis(analogAxes[input], input == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
    for (int input = 0; input < DigitalInputCount; ++input) {
        laneAxes[input] = new QValueAxis;
        laneAxes[input]->setVisible(false);
        const auto [minimum, maximum] =
            axisRangeFor(0.0, 1.0, laneLevel(input, LaneOff), laneLevel(input, LaneOn));
        laneAxes[input]->setRange(minimum, maximum);
        chart->addAxis(laneAxes[input], Qt::AlignRight);
    }
    heightAxis = new QValueAxis;
    heightAxis->setVisible(false);
    heightAxis->setRange(0, 1);
    chart->addAxis(heightAxis, Qt::AlignRight);

    for (int input = 0; input < AnalogInputCount; ++input) {
        analogSeries[input] = newTrace(chart, QStringLiteral("przebiegAn%1Series").arg(input + 1),
                                       AnalogColours[input], 2.0);
        analogSeries[input]->attachAxis(timeAxis);
        analogSeries[input]->attachAxis(analogAxes[input]);
    }
    for (int input = 0; input < DigitalInputCount; ++input) {
        digitalSeries[input] = newTrace(chart, QStringLiteral("przebiegCy%1Series").arg(input + 1),
                                        DigitalColours[input], 1.5);
        digitalSeries[input]->attachAxis(timeAxis);
        digitalSeries[input]->attachAxis(laneAxes[input]);
    }
    gapSeries = newBands(chart, QStringLiteral("przebiegBrakOdpowiedziSeries"), GapColour);
    gapSeries->setName(tr("brak odczytu"));
    breakSeries = newBands(chart, QStringLiteral("przebiegPrzerwaSeries"), PlotColour);
    for (QAreaSeries *bands : {gapSeries, breakSeries}) {
        bands->attachAxis(timeAxis);
        bands->attachAxis(heightAxis);
    }
    for (QLegendMarker *marker : chart->legend()->markers(breakSeries))
        marker->setVisible(false);

    setAnalogNames({});
    showCurrentValues(nullptr);
    setSpan(span);
    showWhatCanAct();
}

// Saving and pausing need polls to act on; a paused trend can always go on.
void TrendWidget::showWhatCanAct()
{
    const bool hasPolls = record && !record->isEmpty();
    ui->przebiegZapiszPushButton->setEnabled(hasPolls);
    ui->przebiegWstrzymajPushButton->setEnabled(hasPolls || ui->przebiegWstrzymajPushButton->isChecked());
    const QString noPolls = tr("Przebieg jest pusty: pojawi się po pierwszym odczycie stanu modemu.");
    ui->przebiegZapiszPushButton->setToolTip(hasPolls ? QString() : noPolls);
    ui->przebiegWstrzymajPushButton->setToolTip(ui->przebiegWstrzymajPushButton->isEnabled() ? QString() : noPolls);
}

TrendWidget::~TrendWidget()
{
    delete ui;
}

void TrendWidget::setCompact(bool compact)
{
    ui->przebiegNarzedziaLayout->setDirection(compact ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    // The form's spacing parts the span from the buttons in one line; two
    // lines need none of it.
    ui->przebiegNarzedziaLayout->setSpacing(compact ? 0 : toolsSpacing);
    ui->przebiegNarzedziaLayout->setAlignment(ui->przebiegZakresLayout, compact ? Qt::AlignLeft : Qt::Alignment());
    ui->przebiegChartView->setMinimumHeight(compact ? CompactChartHeight : ChartHeight);
    // Fewer times under a narrow plot, each of them whole.
    timeAxis->setTickCount(compact ? CompactTimeTicks : TimeTicks);
    // The whole widget's size hints follow at once, not at the next layout pass.
    layout()->invalidate();
}

void TrendWidget::setRecord(const TrendRecord *newRecord)
{
    record = newRecord;
    const QSignalBlocker blocker(ui->przebiegWstrzymajPushButton);
    ui->przebiegWstrzymajPushButton->setChecked(false);
    on_przebiegWstrzymajPushButton_toggled(false);
    showWhatCanAct();
}

void TrendWidget::refresh()
{
    showWhatCanAct();
    if (!frozenEnd)
        redraw();
}

void TrendWidget::setAnalogNames(const std::array<QString, AnalogInputCount> &names)
{
    for (int input = 0; input < AnalogInputCount; ++input) {
        QCategoryAxis *axis = analogAxes[input];
        axis->setTitleText(names[input].isEmpty() ? QStringLiteral("AI %1").arg(input + 1)
                                                  : names[input]);
        axis->setTitleBrush(AnalogColours[input]);
        axis->setLabelsColor(AnalogColours[input]);
        axis->setLinePenColor(AnalogColours[input]);
    }
}

void TrendWidget::on_przebieg1MinToolButton_clicked()
{
    setSpan(1);
}

void TrendWidget::on_przebieg10MinToolButton_clicked()
{
    setSpan(10);
}

void TrendWidget::on_przebieg60MinToolButton_clicked()
{
    setSpan(60);
}

void TrendWidget::on_przebiegWstrzymajPushButton_toggled(bool paused)
{
    frozenEnd = paused ? std::optional<qint64>(viewEnd()) : std::nullopt;
    ui->przebiegWstrzymajPushButton->setText(paused ? tr("Wznów") : tr("Wstrzymaj"));
    ui->przebiegWstrzymajPushButton->setIcon(
        QIcon(paused ? QStringLiteral(":/new/prefix1/icons/media-playback-start.png")
                     : QStringLiteral(":/new/prefix1/icons/media-playback-pause.png")));
    refresh();
}

void TrendWidget::on_przebiegZapiszPushButton_clicked()
{
    if (!record || record->isEmpty())
        return;
    const QString suggested = QDateTime::fromMSecsSinceEpoch(record->at(0).time)
                                      .toString(QStringLiteral("'przebieg-'yyyy-MM-dd-HHmm'.csv'"));
    QFileDialog dialog(this, tr("Zapisz przebieg"), QDir(lastFileFolder()).filePath(suggested));
    const QString standardType = tr("Plik CSV (*.csv)");
    const QString spreadsheetType = tr("CSV (arkusz kalkulacyjny) (*.csv)");
    dialog.setNameFilters({standardType, spreadsheetType});
    QSettings settings;
    if (settings.value(SpreadsheetCsvKey, false).toBool())
        dialog.selectNameFilter(spreadsheetType);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const bool forSpreadsheet = dialog.selectedNameFilter() == spreadsheetType;
    settings.setValue(SpreadsheetCsvKey, forSpreadsheet);
    const QString path = dialog.selectedFiles().constFirst();
    QString reason;
    if (!TrendCsv::save(path, *record,
                        forSpreadsheet ? TrendCsv::Dialect::Spreadsheet : TrendCsv::Dialect::Standard,
                        &reason)) {
        QMessageBox::warning(this, tr("Zapisz przebieg"),
                             (tr("Nie można zapisać przebiegu do pliku %1.").arg(QDir::toNativeSeparators(path))
                              + QStringLiteral("\n\n") + reason).trimmed(),
                             QMessageBox::Ok);
        return;
    }
    rememberFileFolder(path);
}

void TrendWidget::setSpan(int minutes)
{
    span = minutes;
    timeAxis->setFormat(minutes == 1 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    redraw();
}

// The newest time in view: the newest poll, or the moment of the pause.
qint64 TrendWidget::viewEnd() const
{
    if (frozenEnd)
        return *frozenEnd;
    if (record && !record->isEmpty())
        return record->at(record->size() - 1).time;
    return QDateTime::currentMSecsSinceEpoch();
}

void TrendWidget::redraw()
{
    const qint64 end = viewEnd();
    const qint64 start = end - span * MillisecondsPerMinute;
    timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(start), QDateTime::fromMSecsSinceEpoch(end));

    // The polls in view, and the one before them, so the traces enter from
    // the left edge; polls after a pause's end stay out.
    qsizetype last = record ? record->size() : 0;
    while (last > 0 && record->at(last - 1).time > end)
        --last;
    qsizetype first = last;
    while (first > 0 && record->at(first - 1).time >= start)
        --first;
    if (first > 0)
        --first;

    std::array<QList<QPointF>, AnalogInputCount> analogPoints;
    std::array<QList<QPointF>, DigitalInputCount> digitalPoints;
    QList<QPointF> gapBands;
    QList<QPointF> breakBands;
    std::array<double, AnalogInputCount> highest{};
    // The poll before, whatever its answer; the last answered poll since
    // the last break; the newest answered poll of all.
    const TrendSample *before = nullptr;
    const TrendSample *previous = nullptr;
    const TrendSample *newestAnswered = nullptr;
    // A run of polls without an answer, from gapStart to gapEnd.
    bool inGap = false;
    qint64 gapStart = 0;
    qint64 gapEnd = 0;
    for (qsizetype i = first; i < last; ++i) {
        const TrendSample &sample = record->at(i);
        if (before && (sample.afterBreak || sample.time - before->time > LongestPollSpacing)) {
            // The traces run on across the break under its band, with no
            // step at its end, so none of them shows there.
            if (inGap)
                addBand(gapBands, gapStart, gapEnd);
            inGap = false;
            addBand(breakBands, before->time, sample.time);
            previous = nullptr;
        }
        before = &sample;
        if (!sample.answered) {
            if (!inGap)
                gapStart = previous ? previous->time : sample.time;
            inGap = true;
            gapEnd = sample.time;
            continue;
        }
        if (inGap)
            addBand(gapBands, gapStart, sample.time);
        inGap = false;
        const qreal time = qreal(sample.time);
        for (int input = 0; input < AnalogInputCount; ++input) {
            const double value = sample.analogValue(input);
            addPoint(analogPoints[input], QPointF(time, value));
            highest[input] = std::max(highest[input], value);
        }
        for (int input = 0; input < DigitalInputCount; ++input) {
            if (previous)
                addPoint(digitalPoints[input], QPointF(time, previous->digitalInput(input) ? 1 : 0));
            addPoint(digitalPoints[input], QPointF(time, sample.digitalInput(input) ? 1 : 0));
        }
        previous = &sample;
        newestAnswered = &sample;
    }
    if (inGap)
        addBand(gapBands, gapStart, gapEnd);

    for (int input = 0; input < AnalogInputCount; ++input)
        analogSeries[input]->replace(analogPoints[input]);
    for (int input = 0; input < DigitalInputCount; ++input)
        digitalSeries[input]->replace(digitalPoints[input]);
    gapSeries->upperSeries()->replace(gapBands);
    breakSeries->upperSeries()->replace(breakBands);

    updateAnalogAxes(newestAnswered, highest);
    for (QLegendMarker *marker : chart->legend()->markers(gapSeries))
        marker->setVisible(!gapBands.isEmpty());
}

// Each analogue axis reaches from 0 to the input's range, or higher if a
// reading does, labelled at 0, half and the top with the range's decimals.
void TrendWidget::updateAnalogAxes(const TrendSample *newest,
                                   const std::array<double, AnalogInputCount> &highest)
{
    for (int input = 0; input < AnalogInputCount; ++input) {
        const AnalogRange range = newest ? newest->ranges[input] : AnalogRange{1, 0};
        double top = std::max(analogDisplayValue(1000, range), highest[input]);
        if (top <= 0)
            top = 1;
        const std::pair<double, int> scale{top, range.decimals};
        if (scale == analogScales[input])
            continue;
        analogScales[input] = scale;

        QCategoryAxis *axis = analogAxes[input];
        for (const QString &label : axis->categoriesLabels())
            axis->remove(label);
        const auto [minimum, maximum] = axisRangeFor(0.0, top, AnalogBandBottom, AnalogBandTop);
        axis->setRange(minimum, maximum);
        axis->setStartValue(minimum);
        // The middle label sits where its rounded text says.
        const double unit = std::pow(10.0, -range.decimals);
        for (double value : {0.0, std::round(top / 2 / unit) * unit, top}) {
            const QString label = QString::number(value, 'f', range.decimals);
            if (!axis->categoriesLabels().contains(label))
                axis->append(label, value);
        }
    }
}

void TrendWidget::showCurrentValues(const TrendSample *current)
{
    const auto withValue = [current](const QString &name, const QString &value) {
        return QStringLiteral("%1: %2").arg(name, current ? value : QStringLiteral("–"));
    };
    for (int input = 0; input < AnalogInputCount; ++input)
        analogSeries[input]->setName(withValue(QStringLiteral("AI %1").arg(input + 1),
                                               current ? current->analogText(input) : QString()));
    for (int input = 0; input < DigitalInputCount; ++input)
        digitalSeries[input]->setName(
            withValue(QStringLiteral("DI %1").arg(input + 1),
                      current && current->digitalInput(input) ? tr("zał.") : tr("wył.")));
}
