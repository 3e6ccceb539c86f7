#include "mainwindow/onlinepage.h"

#include "configuration/configuration.h"
#include "link/modulesession.h"
#include "mainwindow/formwidgets.h"
#include "settings/usernames.h"
#include "widgets/trendwidget.h"

#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <tuple>
#include <optional>

namespace {

constexpr int StatusMessageTime = 5000;
// How long values without a newer usable answer stay in the live fields.
constexpr qint64 StaleValuesTime = 10000;
constexpr double AnalogOutputMaximum = 10.0;

// The tab's grid: the live fields and the manual outputs in the fields'
// row, a spacer below them, and the trend beside them (in the column of the
// spacer it replaces) or below them, across the tab. Its column takes the
// width the fields leave, in both places.
constexpr int FieldsRow = 1;
constexpr int SpacerRow = 2;
constexpr int BelowRow = 3;
constexpr int TrendColumn = 3;
constexpr int ColumnCount = 4;
// The space between the fields' rows, and around the tab, in a low tab.
constexpr int ClosedUpSpacing = 2;

// An analogue output's set value in hundredths, or nothing when it lies
// outside 0 to 10. Text that is not a number counts as 0; the fields take a
// full stop whatever the locale. Rounded to thousandths first, so a value
// such as 0.29, held in binary just below itself, gives 29 and not 28.
std::optional<quint16> analogOutputHundredths(const QString &text)
{
    bool isNumber = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &isNumber);
    if (!isNumber)
        return 0;
    if (!(value >= 0.0 && value <= AnalogOutputMaximum))
        return std::nullopt;
    return quint16(qRound64(value * 1000.0) / 10);
}

} // namespace

OnlinePage::OnlinePage(const Widgets &widgets, const FormWidgets &form, QTimer &onlineTimer,
                       ModuleSession &session, const std::unique_ptr<Configuration> &configuration,
                       QWidget *window)
    : ui(widgets),
      form(form),
      onlineTimer(onlineTimer),
      session(session),
      configuration(configuration),
      window(window)
{
}

void OnlinePage::setPolling(bool polling)
{
    if (!polling) {
        onlineTimer.stop();
    } else if (!onlineTimer.isActive()) {
        // The trend tells the time not polled from a module that did not answer.
        trendRecord.markBreak();
        onlineTimer.start();
    }
}

void OnlinePage::poll()
{
    // Another exchange still waits for its answer; the next poll comes in a
    // second.
    if (session.isBusy())
        return;
    const QByteArray state = session.readOnlineState();
    if (configuration) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const std::optional<TrendSample> sample = TrendSample::fromOnlineState(
            now, state, configuration->analogInputRange(0), configuration->analogInputRange(1));
        // An answer of another length leaves no value in the fields; the
        // trend shows a gap.
        trendRecord.append(sample.value_or(TrendSample::unanswered(now)));
        showLiveState();
        if (trendWidget)
            trendWidget->refresh();
    }
}

void OnlinePage::sendManualOutputs()
{
    const std::optional<quint16> ao1 = analogOutputHundredths(ui.analogOutput1->text());
    const std::optional<quint16> ao2 = ao1 ? analogOutputHundredths(ui.analogOutput2->text()) : std::nullopt;
    if (!ao1 || !ao2) {
        QMessageBox::warning(window, window->windowTitle(),
                             tr("Dla wyjść analogowych należy wpisać wartość od 0 do 10."), QMessageBox::Ok);
        return;
    }
    if (session.deferWhileBusy(ui.send, [this] { sendManualOutputs(); }))
        return;

    quint8 doMask = 0;
    for (int output = 0; output < DigitalOutputCount; ++output) {
        if (form.manualOnButtons[output]->isChecked())
            doMask |= quint8(1 << output);
    }
    // The module does not answer this command; a link still open is all
    // there is to tell.
    if (session.sendManualOutputs(*ao1, *ao2, doMask))
        ui.statusBar->showMessage(tr("Wysłano stan wyjść do modemu."), StatusMessageTime);
    else
        ui.statusBar->showMessage(tr("Nie wysłano stanu wyjść: brak połączenia z modemem."), StatusMessageTime);
}

// It takes the room beside the live fields, where the spacer that centred
// them was, down to the bottom of the tab.
void OnlinePage::showTrendWidget()
{
    if (trendWidget)
        return;
    roomyMargins = ui.grid->contentsMargins();
    roomyTopMargin = ui.liveFields->contentsMargins().top();
    roomyRowSpacing = ui.liveFieldRows->verticalSpacing();
    ui.grid->removeItem(ui.trendSpacer);
    delete ui.trendSpacer;
    ui.trendSpacer = nullptr;
    trendWidget = new TrendWidget(ui.contents);
    trendWidget->setObjectName(QStringLiteral("przebiegWidget"));
    ui.grid->addWidget(trendWidget, FieldsRow, TrendColumn, 2, 1);
    ui.grid->setColumnStretch(TrendColumn, 1);
    ui.grid->setRowStretch(SpacerRow, 1);
    trendWidget->setRecord(&trendRecord);
    showTrendNames();
    showLiveState();
    ui.scrollArea->viewport()->installEventFilter(this);
    placeTrendWidget();
}

bool OnlinePage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == ui.scrollArea->viewport())
        placeTrendWidget();
    return QObject::eventFilter(watched, event);
}

// The live fields, the manual outputs and the trend show together wherever
// the tab has room for them: in a low tab (a small screen, a large scale)
// the fields' rows close up, and in a narrow one the trend's tools take two
// lines. Where even that leaves too little room beside the fields, the trend
// goes below them, across the tab, which scrolls down to it; nothing of it
// is cut.
void OnlinePage::placeTrendWidget()
{
    const QSize room = ui.scrollArea->viewport()->size();
    setFieldsClosedUp(false);
    const QMargins margins = ui.grid->contentsMargins();
    const int fieldsWidth = margins.left() + margins.right()
            + (ColumnCount - 1) * std::max(ui.grid->horizontalSpacing(), 0)
            + ui.liveFields->minimumSize().width() + ui.manualOutputs->minimumSize().width();
    trendWidget->setCompact(false);
    if (room.width() < fieldsWidth + trendWidget->minimumSizeHint().width())
        trendWidget->setCompact(true);
    const bool below = room.width() < fieldsWidth + trendWidget->minimumSizeHint().width();
    if (below)
        trendWidget->setCompact(false);
    arrange(below ? TrendPlace::Below : TrendPlace::Beside);
    if (!below && ui.contents->minimumSizeHint().height() > room.height()) {
        setFieldsClosedUp(true);
        arrange(TrendPlace::BesideFromTop);
    }
}

// The caption spans the tab, but beside a trend that reaches to the top.
void OnlinePage::arrange(TrendPlace place)
{
    struct Cell
    {
        int row, column, rowSpan, columnSpan;
        bool operator==(const Cell &other) const
        {
            return std::tie(row, column, rowSpan, columnSpan)
                    == std::tie(other.row, other.column, other.rowSpan, other.columnSpan);
        }
    };
    const auto cellOf = [this](QWidget *widget) {
        Cell cell{};
        ui.grid->getItemPosition(ui.grid->indexOf(widget), &cell.row, &cell.column, &cell.rowSpan,
                                 &cell.columnSpan);
        return cell;
    };
    const auto put = [&](QWidget *widget, const Cell &cell) {
        if (cellOf(widget) == cell)
            return;
        ui.grid->removeWidget(widget);
        ui.grid->addWidget(widget, cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    };
    const bool fromTop = place == TrendPlace::BesideFromTop;
    put(ui.caption, { 0, 0, 1, fromTop ? TrendColumn : ColumnCount });
    if (place == TrendPlace::Below)
        put(trendWidget, { BelowRow, 0, 1, ColumnCount });
    else
        put(trendWidget, { fromTop ? 0 : FieldsRow, TrendColumn, fromTop ? 3 : 2, 1 });
    ui.grid->setRowStretch(SpacerRow, place == TrendPlace::Below ? 0 : 1);
    ui.grid->setRowStretch(BelowRow, place == TrendPlace::Below ? 1 : 0);
}

void OnlinePage::setFieldsClosedUp(bool closedUp)
{
    for (QGridLayout *rows : { ui.liveFieldRows, ui.manualOutputRows }) {
        rows->setVerticalSpacing(closedUp ? ClosedUpSpacing : roomyRowSpacing);
        rows->invalidate();
    }
    for (QLayout *column : { ui.liveFields, ui.manualOutputs }) {
        QMargins margins = column->contentsMargins();
        margins.setTop(closedUp ? 0 : roomyTopMargin);
        column->setContentsMargins(margins);
        column->invalidate();
    }
    ui.grid->setContentsMargins(closedUp ? QMargins(ClosedUpSpacing, ClosedUpSpacing, ClosedUpSpacing, ClosedUpSpacing)
                                         : roomyMargins);
    ui.grid->invalidate();
}

void OnlinePage::showTrendNames()
{
    if (trendWidget)
        trendWidget->setAnalogNames(UserNames::fromSettings().analogInputs);
}

void OnlinePage::startTrendRecord()
{
    trendRecord.clear();
    if (trendWidget)
        trendWidget->setRecord(&trendRecord);
    showLiveState();
}

// A poll without a usable answer leaves the last values in place, greyed and
// with their age, for StaleValuesTime; the legend shows the dash at once.
void OnlinePage::showLiveState()
{
    const TrendSample *current = nullptr;
    bool fresh = false;
    if (session.isConnected()) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (qsizetype index = trendRecord.size() - 1; index >= 0 && !current; --index) {
            const TrendSample &sample = trendRecord.at(index);
            if (now - sample.time > StaleValuesTime)
                break;
            if (sample.answered) {
                current = &sample;
                fresh = index == trendRecord.size() - 1;
            }
        }
    }
    const QString age = current && !fresh
            ? QStringLiteral(" (%1)").arg(tr("sprzed %1 s").arg((QDateTime::currentMSecsSinceEpoch() - current->time) / 1000))
            : QString();
    for (int input = 0; input < DigitalInputCount; ++input) {
        form.liveInputIndicators[input]->setChecked(current && current->digitalInput(input));
        form.liveInputIndicators[input]->setEnabled(fresh);
    }
    for (int input = 0; input < AnalogInputCount; ++input) {
        form.liveAnalogFields[input]->setText(current ? current->analogText(input) + age : QString());
        form.liveAnalogFields[input]->setEnabled(fresh);
    }
    if (trendWidget)
        trendWidget->showCurrentValues(fresh ? current : nullptr);
}
