#include "widgets/actiontablefit.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>
#include <algorithm>
#include <numeric>

namespace {

// The rows a table keeps room for, as long as it holds that many.
constexpr int RoomyRows = 5;
// The columns that keep their whole width: the row's number and its check box.
constexpr int WholeColumns = 2;

} // namespace

ActionTableFit::ActionTableFit(QTableWidget *table)
    : QObject(table), table(table)
{
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setTextElideMode(Qt::ElideRight);
    table->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // The stretched last column never keeps more than the others leave it.
    table->horizontalHeader()->setDefaultSectionSize(table->horizontalHeader()->minimumSectionSize());
    table->viewport()->installEventFilter(this);
    table->horizontalHeader()->viewport()->installEventFilter(this);
    fitHeight();
}

void ActionTableFit::refit()
{
    // The columns but the last were just sized to their contents; the last
    // stretches, so its whole texts are measured here.
    wholeWidths.clear();
    const int last = table->columnCount() - 1;
    for (int column = 0; column < last; ++column)
        wholeWidths.append(table->columnWidth(column));
    if (last >= 0) {
        int width = table->horizontalHeader()->sectionSizeHint(last);
        for (int row = 0; row < table->rowCount(); ++row) {
            if (const QTableWidgetItem *item = table->item(row, last))
                width = std::max(width, table->fontMetrics().horizontalAdvance(item->text()) + textMargins());
        }
        wholeWidths.append(width);
    }
    fitColumns();
    fitHeight();
}

bool ActionTableFit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == table->viewport()) {
        fitColumns();
    } else if (event->type() == QEvent::ToolTip) {
        // The whole text of a cell or a column's title that is cut short.
        const auto *help = static_cast<QHelpEvent *>(event);
        QHeaderView *header = table->horizontalHeader();
        const bool inHeader = watched == header->viewport();
        QString text;
        int width = 0;
        if (inHeader) {
            const int column = header->logicalIndexAt(help->pos());
            text = table->model()->headerData(column, Qt::Horizontal).toString();
            width = column < 0 ? 0 : header->sectionSize(column);
        } else {
            const QModelIndex index = table->indexAt(help->pos());
            text = index.data().toString();
            width = table->visualRect(index).width();
        }
        if (!text.isEmpty() && table->fontMetrics().horizontalAdvance(text) + textMargins() > width)
            QToolTip::showText(help->globalPos(), text, static_cast<QWidget *>(watched));
        else
            QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// The columns as filled while their whole texts fit; else the ones after
// the check box share what the number and the check box leave, in
// proportion to their whole texts. The last column takes the rest.
void ActionTableFit::fitColumns()
{
    if (wholeWidths.size() != table->columnCount() || wholeWidths.size() <= WholeColumns)
        return;
    const int room = table->viewport()->width();
    const int whole = std::accumulate(wholeWidths.cbegin(), wholeWidths.cend(), 0);
    const int kept = std::accumulate(wholeWidths.cbegin(), wholeWidths.cbegin() + WholeColumns, 0);
    const int least = table->horizontalHeader()->minimumSectionSize();
    for (int column = 0; column + 1 < wholeWidths.size(); ++column) {
        int width = wholeWidths.at(column);
        if (whole > room && column >= WholeColumns)
            width = std::max(least, int(qint64(width) * std::max(room - kept, 0) / std::max(whole - kept, 1)));
        table->setColumnWidth(column, width);
    }
}

// The room a cell's text leaves on either side, as the style draws it.
int ActionTableFit::textMargins() const
{
    return 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
}

void ActionTableFit::fitHeight()
{
    const int rows = std::clamp(table->rowCount(), 1, RoomyRows);
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height()
                            + rows * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth());
}
