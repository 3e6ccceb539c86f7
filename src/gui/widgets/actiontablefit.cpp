#include "widgets/actiontablefit.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>
#include <algorithm>
#include <limits>
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

// The columns as filled while their whole texts fit. Else the number and
// the check box keep their width, and the widest of the other columns
// narrow first, down to one width that all of them then share, so that a
// short text such as the time stays whole as long as it can. The last
// column takes the rest.
void ActionTableFit::fitColumns()
{
    if (wholeWidths.size() != table->columnCount() || wholeWidths.size() <= WholeColumns)
        return;
    const int kept = std::accumulate(wholeWidths.cbegin(), wholeWidths.cbegin() + WholeColumns, 0);
    QList<int> narrowing = wholeWidths.mid(WholeColumns);
    std::sort(narrowing.begin(), narrowing.end());
    int room = table->viewport()->width() - kept;
    int widest = std::numeric_limits<int>::max();
    for (qsizetype index = 0; index < narrowing.size(); ++index) {
        const int sharing = int(narrowing.size() - index);
        if (qint64(narrowing.at(index)) * sharing > room) {
            widest = std::max(room / sharing, table->horizontalHeader()->minimumSectionSize());
            break;
        }
        room -= narrowing.at(index);
    }
    for (int column = 0; column + 1 < wholeWidths.size(); ++column)
        table->setColumnWidth(column, column < WholeColumns ? wholeWidths.at(column)
                                                            : std::min(wholeWidths.at(column), widest));
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
