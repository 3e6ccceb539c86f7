#include "reportprinting.h"

#include "report/configurationdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace {

// The document's own font, which its style sheet names first, so that a
// page holds the same on every machine that has it (Debian's fonts-dejavu-core
// comes with fontconfig, which Qt needs anyway).
const QString FontFamily = QStringLiteral("DejaVu Sans");
constexpr qreal BodyPointSize = 9;
constexpr qreal MarginPointSize = 7.5;

const QMarginsF PageMargins(15, 12, 15, 12); // millimetres

// The page header at the top and the footer at the foot of the page, each
// on a line of its own above or below a rule.
void drawPageFrame(QPainter &painter, const QRectF &page, qreal lineHeight, const QString &header,
                   const QString &footer, const QString &number)
{
    const QRectF headerLine(page.left(), page.top(), page.width(), lineHeight);
    const QRectF footerLine(page.left(), page.bottom() - lineHeight, page.width(), lineHeight);
    painter.drawText(headerLine, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(header, Qt::ElideMiddle, int(page.width())));
    painter.drawText(footerLine, Qt::AlignLeft | Qt::AlignVCenter, footer);
    painter.drawText(footerLine, Qt::AlignRight | Qt::AlignVCenter, number);
    const qreal ruleOffset = lineHeight / 3;
    painter.drawLine(QPointF(page.left(), headerLine.bottom() + ruleOffset),
                     QPointF(page.right(), headerLine.bottom() + ruleOffset));
    painter.drawLine(QPointF(page.left(), footerLine.top() - ruleOffset),
                     QPointF(page.right(), footerLine.top() - ruleOffset));
}

// QTextDocument knows no "keep with next": a heading that the page's foot
// would part from its table's first rows starts the next page instead.
void keepHeadingsWithTheirTables(QTextDocument &text, qreal pageHeight, qreal room)
{
    const QAbstractTextDocumentLayout *layout = text.documentLayout();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0)
            continue;
        const QRectF heading = layout->blockBoundingRect(block);
        const qreal pageEnd = (std::floor(heading.top() / pageHeight) + 1) * pageHeight;
        if (heading.bottom() + room > pageEnd) {
            QTextBlockFormat format = block.blockFormat();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
        }
    }
}

} // namespace

int ReportPrinting::print(const ConfigurationDocument &document, QPagedPaintDevice *device)
{
    QPainter painter;
    if (!painter.begin(device))
        return 0;

    QFont marginFont(FontFamily);
    marginFont.setPointSizeF(MarginPointSize);
    painter.setFont(marginFont);
    const qreal lineHeight = QFontMetricsF(marginFont, device).height();
    // The painter's origin is the top left corner inside the page margins.
    // The header and the footer take a line each, and as much again keeps
    // them apart from the body.
    const QRectF page(0, 0, device->width(), device->height());
    const qreal frame = 2 * lineHeight;
    const QRectF body(page.left(), page.top() + frame, page.width(), page.height() - 2 * frame);

    // Laid out for the device itself, so that points are the device's points
    // and the text measures on paper as it will be drawn.
    QTextDocument text;
    text.documentLayout()->setPaintDevice(device);
    QFont bodyFont(FontFamily);
    bodyFont.setPointSizeF(BodyPointSize);
    text.setDefaultFont(bodyFont);
    text.setDocumentMargin(0);
    text.setHtml(document.html());
    text.setPageSize(body.size());
    keepHeadingsWithTheirTables(text, body.height(), 4 * QFontMetricsF(bodyFont, device).height());

    const int pageCount = text.pageCount();
    for (int index = 0; index < pageCount; ++index) {
        if (index > 0)
            device->newPage();
        drawPageFrame(painter, page, lineHeight, document.pageHeader(), document.pageFooter(),
                      document.pageNumber(index + 1, pageCount));
        // The document is one long strip of pages; each page shows its part.
        painter.save();
        painter.translate(body.left(), body.top() - index * body.height());
        text.drawContents(&painter, QRectF(0, index * body.height(), body.width(), body.height()));
        painter.restore();
    }
    painter.end();
    return pageCount;
}

QByteArray ReportPrinting::pdf(const ConfigurationDocument &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(document.title());
        writer.setCreator(document.program());
        setReportPageLayout(&writer);
        if (print(document, &writer) == 0)
            return {};
    }
    return buffer.data();
}

void ReportPrinting::setReportPageLayout(QPagedPaintDevice *device)
{
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, PageMargins,
                                      QPageLayout::Millimeter));
}
