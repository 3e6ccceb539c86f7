#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "settings/usernames.h"
#include "widgets/trendwidget.h"

#include <algorithm>

namespace {
// The "Online" tab's grid: the live fields and the manual outputs in the
// fields' row, a spacer below them, and the trend beside them (in the
// column of the spacer it replaces) or below them, across the tab. Its
// column takes the width the fields leave, in both places.
constexpr int FieldsRow = 1;
constexpr int SpacerRow = 2;
constexpr int BelowRow = 3;
constexpr int LiveFieldsColumn = 1;
constexpr int ManualOutputsColumn = 2;
constexpr int TrendColumn = 3;
constexpr int ColumnCount = 4;
}

// The trend costs nothing until the "Online" tab is first shown. It takes
// the room beside the live fields, where the spacer that centred them was,
// down to the bottom of the tab.
void MainWindow::showTrendWidget()
{
    if (trendWidget)
        return;
    QGridLayout *layout = ui->gridLayout_15;
    QSpacerItem *spacer = ui->horizontalSpacer_18;
    layout->removeItem(spacer);
    delete spacer;
    trendWidget = new TrendWidget(ui->tabScrollContents_4);
    trendWidget->setObjectName(QStringLiteral("przebiegWidget"));
    layout->addWidget(trendWidget, FieldsRow, TrendColumn, 2, 1);
    layout->setColumnStretch(TrendColumn, 1);
    layout->setRowStretch(SpacerRow, 1);
    trendWidget->setRecord(&trendRecord);
    showTrendNames();
    showLiveState();
    ui->tabScrollArea_4->viewport()->installEventFilter(this);
    placeTrendWidget();
}

// In a window too narrow for the trend's controls and legend beside the
// live fields (a small screen, a large scale), the trend goes below them,
// across the tab, which scrolls down to it; nothing of it is cut.
void MainWindow::placeTrendWidget()
{
    QGridLayout *layout = ui->gridLayout_15;
    const QMargins margins = layout->contentsMargins();
    const int besideWidth = margins.left() + margins.right()
            + (ColumnCount - 1) * std::max(layout->horizontalSpacing(), 0)
            + layout->itemAtPosition(FieldsRow, LiveFieldsColumn)->minimumSize().width()
            + layout->itemAtPosition(FieldsRow, ManualOutputsColumn)->minimumSize().width()
            + trendWidget->minimumSizeHint().width();
    const bool below = ui->tabScrollArea_4->viewport()->width() < besideWidth;
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    layout->getItemPosition(layout->indexOf(trendWidget), &row, &column, &rowSpan, &columnSpan);
    if (below == (row == BelowRow))
        return;
    layout->removeWidget(trendWidget);
    if (below)
        layout->addWidget(trendWidget, BelowRow, 0, 1, ColumnCount);
    else
        layout->addWidget(trendWidget, FieldsRow, TrendColumn, 2, 1);
    layout->setRowStretch(SpacerRow, below ? 0 : 1);
    layout->setRowStretch(BelowRow, below ? 1 : 0);
}

void MainWindow::showTrendNames()
{
    if (!trendWidget)
        return;
    const UserNames names = UserNames::fromSettings();
    trendWidget->setAnalogNames(names.analogInputs);
}

// A connection starts a record of its own; until then the last one can
// still be saved.
void MainWindow::startTrendRecord()
{
    trendRecord.clear();
    if (trendWidget)
        trendWidget->setRecord(&trendRecord);
    showLiveState();
}

void MainWindow::showLiveState()
{
    const TrendSample *current = nullptr;
    if (moduleSession->isConnected() && !trendRecord.isEmpty()
        && trendRecord.at(trendRecord.size() - 1).answered)
        current = &trendRecord.at(trendRecord.size() - 1);
    for (int input = 0; input < DigitalInputCount; ++input) {
        form->liveInputIndicators[input]->setChecked(current && current->digitalInput(input));
        form->liveInputIndicators[input]->setEnabled(current);
    }
    for (int input = 0; input < AnalogInputCount; ++input) {
        form->liveAnalogFields[input]->setText(current ? current->analogText(input) : QString());
        form->liveAnalogFields[input]->setEnabled(current);
    }
    if (trendWidget)
        trendWidget->showCurrentValues(current);
}
