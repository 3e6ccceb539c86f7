#include "reportlayout.h"

#include "report/configurationdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPainter>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <limits>

namespace {

constexpr qreal BodyPointSize = 9;
// Lengths in the style sheet and the tables' attributes are pixels of a
// screen of this many dots per inch; the layout scales them to the device.
constexpr qreal StyleSheetDpi = 96;
constexpr qreal SpaceBelowTable = 8;

// Where a table's rows meet: the middle of the line between them.
struct RowEdges
{
    QList<qreal> boundaries; // before row r, for r in 1 .. rows - 1
    qreal halfBorder = 0;
    // The top of the table's top border.
    qreal top = 0;
};

RowEdges rowEdges(const QTextTable *table, const QAbstractTextDocumentLayout *layout, qreal deviceUnitsPerUnit)
{
    const int rows = table->rows();
    QList<qreal> contentTop(rows, std::numeric_limits<qreal>::max());
    QList<qreal> contentBottom(rows, std::numeric_limits<qreal>::lowest());
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row)
                continue;
            contentTop[row] = std::min(contentTop[row],
                                       layout->blockBoundingRect(cell.firstCursorPosition().block()).top());
            contentBottom[row] = std::max(contentBottom[row],
                                          layout->blockBoundingRect(cell.lastCursorPosition().block()).bottom());
        }
    }
    RowEdges edges;
    for (int row = 1; row < rows; ++row)
        edges.boundaries.append((contentBottom[row - 1] + contentTop[row]) / 2);
    // Between two rows' texts lie a cell's padding twice and the collapsed
    // border once; either page shows the whole line, and one device unit
    // more for the edge of an antialiased line.
    const QTextTableFormat format = table->format();
    edges.halfBorder = format.border() > 0 ? deviceUnitsPerUnit * format.border() / 2 + 1 : 0;
    edges.top = rows > 0 ? contentTop[0] - deviceUnitsPerUnit * (format.cellPadding() + format.border()) - 1 : 0;
    return edges;
}

bool isEmptyBlock(const QTextBlock &block)
{
    return block.text().trimmed().isEmpty();
}

} // namespace

ReportLayout::ReportLayout(const ConfigurationDocument &document, QPaintDevice *device, const QSizeF &bodySize)
{
    laidOut.documentLayout()->setPaintDevice(device);
    QFont bodyFont(ReportFontFamily);
    bodyFont.setPointSizeF(BodyPointSize);
    laidOut.setDefaultFont(bodyFont);
    laidOut.setDocumentMargin(0);
    laidOut.setHtml(document.html());
    separateTablesFromWhatFollows();
    // One strip as wide as the page's body, laid out anew as a whole: the
    // pages are cut from it here.
    laidOut.setTextWidth(bodySize.width());
    cutIntoPages(possibleBreaks(qreal(device->logicalDpiY()) / StyleSheetDpi), bodySize.height());
}

// QTextDocument leaves out the style sheet's space below a table, so a
// heading would sit on the table before it.
void ReportLayout::separateTablesFromWhatFollows()
{
    QTextFrame *root = laidOut.rootFrame();
    for (QTextFrame *child : root->childFrames()) {
        QTextFrameFormat format = child->frameFormat();
        format.setBottomMargin(SpaceBelowTable);
        child->setFrameFormat(format);
    }
}

QList<ReportLayout::Break> ReportLayout::possibleBreaks(qreal deviceUnitsPerUnit) const
{
    const QAbstractTextDocumentLayout *layout = laidOut.documentLayout();
    QList<Break> breaks;
    bool afterHeading = false;
    bool first = true;
    for (auto item = laidOut.rootFrame()->begin(); !item.atEnd(); ++item) {
        if (QTextFrame *frame = item.currentFrame()) {
            const auto *table = qobject_cast<const QTextTable *>(frame);
            const RowEdges edges = table ? rowEdges(table, layout, deviceUnitsPerUnit) : RowEdges();
            const qreal top = table ? edges.top : layout->frameBoundingRect(frame).top();
            if (!first && !afterHeading)
                breaks.append({ top, top });
            afterHeading = false;
            first = false;
            if (!table)
                continue;
            const int headerRows = std::min(table->format().headerRowCount(), table->rows());
            const qreal headerTop = headerRows > 0 ? top : 0;
            const qreal headerBottom = headerRows > 0 ? edges.boundaries.value(headerRows - 1) - edges.halfBorder : 0;
            // At least one row under the header before a page may end.
            for (int row = headerRows + 1; row < table->rows(); ++row) {
                const qreal boundary = edges.boundaries.at(row - 1);
                breaks.append({ boundary + edges.halfBorder, boundary - edges.halfBorder, headerTop, headerBottom });
            }
            continue;
        }
        const QTextBlock block = item.currentBlock();
        if (isEmptyBlock(block))
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        if (!first && !afterHeading)
            breaks.append({ rect.top(), rect.top() });
        afterHeading = block.blockFormat().headingLevel() > 0;
        first = false;
    }
    return breaks;
}

void ReportLayout::cutIntoPages(const QList<Break> &breaks, qreal pageHeight)
{
    const QAbstractTextDocumentLayout *layout = laidOut.documentLayout();
    const qreal documentEnd = layout->frameBoundingRect(laidOut.rootFrame()).bottom();
    ReportPage page;
    for (;;) {
        const qreal limit = page.top + pageHeight - page.headerHeight();
        if (documentEnd <= limit) {
            page.bottom = documentEnd;
            cut.append(page);
            return;
        }
        const Break *chosen = nullptr;
        for (const Break &candidate : breaks) {
            if (candidate.end > limit)
                break;
            if (candidate.next > page.top)
                chosen = &candidate;
        }
        ReportPage next;
        if (chosen) {
            page.bottom = chosen->end;
            next.top = chosen->next;
            next.headerTop = chosen->headerTop;
            next.headerBottom = chosen->headerBottom;
        } else {
            // Something taller than a page: cut where the page ends.
            page.bottom = limit;
            next.top = limit;
        }
        cut.append(page);
        page = next;
    }
}

void ReportLayout::drawPage(QPainter &painter, int index, const QPointF &bodyTopLeft)
{
    const ReportPage &page = cut.at(index);
    qreal at = bodyTopLeft.y();
    if (page.headerHeight() > 0) {
        drawStrip(painter, page.headerTop, page.headerBottom, at, bodyTopLeft.x());
        at += page.headerHeight();
    }
    drawStrip(painter, page.top, page.bottom, at, bodyTopLeft.x());
}

void ReportLayout::drawStrip(QPainter &painter, qreal top, qreal bottom, qreal at, qreal left)
{
    painter.save();
    painter.translate(left, at - top);
    laidOut.drawContents(&painter, QRectF(0, top, laidOut.textWidth(), bottom - top));
    painter.restore();
}
