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
    constexpr int Row = 1;
    constexpr int Column = 3;
    QGridLayout *layout = ui->gridLayout_15;
    if (QLayoutItem *spacer = layout->itemAtPosition(Row, Column); spacer && spacer->spacerItem()) {
        layout->removeItem(spacer);
        delete spacer;
    }
    trendWidget = new TrendWidget(ui->tabScrollContents_4);
    trendWidget->setObjectName(QStringLiteral("przebiegWidget"));
    layout->addWidget(trendWidget, Row, Column, 2, 1);
    layout->setColumnStretch(Column, 1);
    layout->setRowStretch(Row + 1, 1);
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
