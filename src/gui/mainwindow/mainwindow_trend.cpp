#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "widgets/trendwidget.h"

// The trend costs nothing until the "Online" tab is first shown. It takes
// the room beside the live fields, where the spacer that centred them was,
// down to the bottom of the tab.
void MainWindow::showTrendWidget()
{
    if (trendWidget)
        return;
    QGridLayout *layout = ui->gridLayout_15;
    QSpacerItem *spacer = ui->horizontalSpacer_18;
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    layout->getItemPosition(layout->indexOf(spacer), &row, &column, &rowSpan, &columnSpan);
    layout->removeItem(spacer);
    delete spacer;
    trendWidget = new TrendWidget(ui->tabScrollContents_4);
    trendWidget->setObjectName(QStringLiteral("przebiegWidget"));
    layout->addWidget(trendWidget, row, column, 2, 1);
    layout->setColumnStretch(column, 1);
    layout->setRowStretch(row + 1, 1);
    trendWidget->setRecord(&trendRecord);
}

// A connection starts a record of its own; until then the last one can
// still be saved.
void MainWindow::startTrendRecord()
{
    trendRecord.clear();
    if (trendWidget)
        trendWidget->setRecord(&trendRecord);
}
