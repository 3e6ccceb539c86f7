#include "reportprinting.h"

#include "reportlayout.h"
#include "report/configurationdocument.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

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

} // namespace

int ReportPrinting::print(const ConfigurationDocument &document, QPagedPaintDevice *device)
{
    QPainter painter;
    if (!painter.begin(device))
        return 0;

    QFont marginFont(ReportFontFamily);
    marginFont.setPointSizeF(MarginPointSize);
    painter.setFont(marginFont);
    const qreal lineHeight = QFontMetricsF(marginFont, device).height();
    // The painter's origin is the top left corner inside the page margins.
    // The header and the footer take a line each, and as much again keeps
    // them apart from the body.
    const QRectF page(0, 0, device->width(), device->height());
    const qreal frame = 2 * lineHeight;
    const QRectF body(page.left(), page.top() + frame, page.width(), page.height() - 2 * frame);

    ReportLayout layout(document, device, body.size());
    const int pageCount = int(layout.pages().size());
    for (int index = 0; index < pageCount; ++index) {
        if (index > 0)
            device->newPage();
        drawPageFrame(painter, page, lineHeight, document.pageHeader(), document.pageFooter(),
                      document.pageNumber(index + 1, pageCount));
        layout.drawPage(painter, index, body.topLeft());
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
