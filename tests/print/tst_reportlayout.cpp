#include "reportlayout.h"
#include "reportprinting.h"
#include "testmain.h"

#include "files/configurationfile.h"
#include "report/configurationdocument.h"
#include "settings/usernames.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>

class ReportLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void pagesEndBetweenRowsAndKeepHeadingsWithTheirTables_data();
    void pagesEndBetweenRowsAndKeepHeadingsWithTheirTables();
};

void ReportLayoutTest::pagesEndBetweenRowsAndKeepHeadingsWithTheirTables_data()
{
    QTest::addColumn<QString>("file");
    // The share of an A4 page's height the body has: small bodies end pages
    // at many more places, right after headings among them.
    QTest::addColumn<qreal>("bodyShare");
    for (const QString file : { "all-fields.kvl", "full-texts.kvl", "new-configuration.kvl" }) {
        for (const qreal share : { 0.9, 0.37, 0.23 })
            QTest::addRow("%s, %.2f", qPrintable(file), share) << file << share;
    }
}

// The pages as a reader sees them: every line of text whole on one page,
// no heading last on its page, a table that goes on under its header rows
// again, and every page that ends inside a table ending on a drawn line.
void ReportLayoutTest::pagesEndBetweenRowsAndKeepHeadingsWithTheirTables()
{
    QFETCH(QString, file);
    QFETCH(qreal, bodyShare);
    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(QStringLiteral(FILE_CORPUS "/") + file);
    QCOMPARE(loaded.status, ConfigurationFile::Status::Loaded);
    const ConfigurationDocument document(loaded.configuration, UserNames(), QStringLiteral("plik %1").arg(file),
                                         QStringLiteral("telvoro"), QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    ReportPrinting::setReportPageLayout(&writer);
    const QSizeF body(writer.width(), writer.height() * bodyShare);
    ReportLayout layout(document, &writer, body);
    const QList<ReportPage> &pages = layout.pages();
    QVERIFY(pages.size() > 1);

    const auto pageOf = [&](const QRectF &rect) {
        for (qsizetype index = 0; index < pages.size(); ++index) {
            if (rect.top() >= pages.at(index).top && rect.bottom() <= pages.at(index).bottom)
                return index;
        }
        return qsizetype(-1);
    };
    const QAbstractTextDocumentLayout *textLayout = layout.text().documentLayout();
    qsizetype headingPage = -1;
    for (QTextBlock block = layout.text().begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed().isEmpty())
            continue;
        const qsizetype page = pageOf(textLayout->blockBoundingRect(block));
        QVERIFY2(page >= 0, qPrintable(QStringLiteral("cut across a page's end: %1").arg(block.text())));
        QVERIFY2(headingPage < 0 || page == headingPage,
                 qPrintable(QStringLiteral("a heading ends page %1").arg(headingPage + 1)));
        headingPage = block.blockFormat().headingLevel() > 0 ? page : -1;
    }

    // A page drawn at 100 dpi: the last line of ink of a page that ends
    // inside a table is the row's border, across the table.
    const qreal scale = 100.0 / writer.logicalDpiY();
    for (qsizetype index = 0; index + 1 < pages.size(); ++index) {
        const ReportPage &page = pages.at(index);
        QVERIFY(page.bottom - page.top + page.headerHeight() <= body.height());
        if (pages.at(index + 1).headerHeight() == 0)
            continue;
        QImage image(qCeil(body.width() * scale), qCeil(body.height() * scale), QImage::Format_Grayscale8);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(scale, scale);
        layout.drawPage(painter, int(index), QPointF(0, 0));
        painter.end();
        int lastInked = image.height() - 1;
        const auto inked = [&](int y) {
            int count = 0;
            for (int x = 0; x < image.width(); ++x)
                count += qGray(image.pixel(x, y)) < 200;
            return count;
        };
        while (lastInked > 0 && inked(lastInked) == 0)
            --lastInked;
        QVERIFY2(std::max(inked(lastInked), inked(lastInked - 1)) > image.width() * 9 / 10,
                 qPrintable(QStringLiteral("page %1 ends without the row's border").arg(index + 1)));
    }
}

TELVORO_TEST_MAIN(ReportLayoutTest)
#include "tst_reportlayout.moc"
