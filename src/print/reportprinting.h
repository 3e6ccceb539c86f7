#ifndef REPORTPRINTING_H
#define REPORTPRINTING_H

#include <QByteArray>

class ConfigurationDocument;
class QPagedPaintDevice;

// A configuration document on paper or in a PDF file. The document's tables
// flow over the pages within the device's page layout; every page carries
// the document's page header at its top and, at its foot, the program, the
// date and "Strona n z m".
namespace ReportPrinting {

// The document on the device's pages; returns the number of pages, or 0
// when the device cannot be painted on (a printer that does not start).
int print(const ConfigurationDocument &document, QPagedPaintDevice *device);

// The document as the bytes of a PDF file of A4 pages in portrait; empty
// when it could not be made.
QByteArray pdf(const ConfigurationDocument &document);

// The page layout of a report: A4 portrait and its margins.
void setReportPageLayout(QPagedPaintDevice *device);

} // namespace ReportPrinting

#endif
