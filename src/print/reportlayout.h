#ifndef REPORTLAYOUT_H
#define REPORTLAYOUT_H

#include <QList>
#include <QSizeF>
#include <QString>
#include <QTextDocument>

class ConfigurationDocument;
class QPainter;
class QPaintDevice;
class QPointF;

// The document's own font, which its style sheet names first, so that a
// page holds the same on every machine that has it (Debian's fonts-dejavu-core
// comes with fontconfig, which Qt needs anyway).
inline const QString ReportFontFamily = QStringLiteral("DejaVu Sans");

// One page's part of the laid-out document, in the document's coordinates.
struct ReportPage
{
    qreal top = 0;
    qreal bottom = 0;
    // The header rows of the table the page goes on with, drawn above it;
    // both 0 when the page starts with a heading, a paragraph or a table's
    // own start.
    qreal headerTop = 0;
    qreal headerBottom = 0;

    qreal headerHeight() const { return headerBottom - headerTop; }
};

// A configuration document laid out as one long strip for a page body of
// the given size, and cut into pages the way a printed document is:
// QTextDocument's own paging runs a table row over the page's foot and cuts
// its border off, and knows no "keep with next". Here a page ends only
// between two blocks or between two rows of a table (never inside a row),
// never right after a heading, and a table that goes on to the next page
// shows its header rows there again.
class ReportLayout
{
public:
    // Laid out for `device`, so that points are the device's points and the
    // text measures on paper as it will be drawn.
    ReportLayout(const ConfigurationDocument &document, QPaintDevice *device, const QSizeF &bodySize);

    const QTextDocument &text() const { return laidOut; }
    const QList<ReportPage> &pages() const { return cut; }

    // Page `index` with its body's top left corner at `bodyTopLeft`.
    void drawPage(QPainter &painter, int index, const QPointF &bodyTopLeft);

private:
    // A place where a page may end: it shows the document down to `end` and
    // the next page goes on from `next` (the two differ by a table's border
    // line, which both pages show), under the header rows given.
    struct Break
    {
        qreal end = 0;
        qreal next = 0;
        qreal headerTop = 0;
        qreal headerBottom = 0;
    };

    void separateTablesFromWhatFollows();
    QList<Break> possibleBreaks(qreal deviceUnitsPerUnit) const;
    void cutIntoPages(const QList<Break> &breaks, qreal pageHeight);
    void drawStrip(QPainter &painter, qreal top, qreal bottom, qreal at, qreal left);

    QTextDocument laidOut;
    QList<ReportPage> cut;
};

#endif
