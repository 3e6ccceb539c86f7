#include "mainwindow/configurationreport.h"

#include "configuration/configuration.h"
#include "files/atomicfile.h"
#include "link/module.h"
#include "report/configurationdocument.h"
#include "reportprinting.h"
#include "settings/applicationsetup.h"
#include "settings/lastfilefolder.h"
#include "settings/usernames.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>

namespace {

constexpr int StatusMessageTime = 5000;

ConfigurationDocument document(const ConfigurationReport::Subject &subject)
{
    QString source;
    if (subject.source == ConfigurationFromFile)
        source = ConfigurationDocument::fileSource(QDir::toNativeSeparators(subject.filePath));
    else if (subject.source == ConfigurationFromModule)
        source = ConfigurationDocument::moduleSource(Module::systemLocation(subject.portName));
    else
        source = ConfigurationDocument::newConfigurationSource();
    if (subject.source != NewConfiguration && subject.edited)
        source = ConfigurationDocument::withUnsavedChanges(source);
    return ConfigurationDocument(subject.configuration, UserNames::fromSettings(), source, applicationTitle,
                                 QDateTime::currentDateTime());
}

// The open file's name with .pdf, or "konfiguracja.pdf", in the folder of
// the last file.
QString suggestedPdfPath(const ConfigurationReport::Subject &subject)
{
    const QString name = subject.source == ConfigurationFromFile ? QFileInfo(subject.filePath).completeBaseName()
                                                                 : QStringLiteral("konfiguracja");
    return QDir(lastFileFolder()).filePath(name + QStringLiteral(".pdf"));
}

} // namespace

ConfigurationReport::ConfigurationReport(QStatusBar *statusBar, QWidget *window)
    : statusBar(statusBar),
      window(window)
{
}

void ConfigurationReport::exportToPdf(const Subject &subject) const
{
    QFileDialog dialog(window, tr("Eksportuj do PDF"), suggestedPdfPath(subject), tr("Dokument PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    // The whole PDF is made in memory first, so a file is written whole or
    // not at all.
    const QByteArray pdf = ReportPrinting::pdf(document(subject));
    QString reason;
    if (pdf.isEmpty() || !saveFileAtomically(path, pdf, &reason)) {
        QMessageBox::warning(window, tr("Eksportuj do PDF"),
                             (tr("Nie można zapisać dokumentu do pliku %1.").arg(QDir::toNativeSeparators(path))
                              + QStringLiteral("\n\n") + reason).trimmed(),
                             QMessageBox::Ok);
        return;
    }
    rememberFileFolder(path);
    statusBar->showMessage(tr("Zapisano dokument PDF: %1").arg(QDir::toNativeSeparators(path)), StatusMessageTime);
}

void ConfigurationReport::print(const Subject &subject) const
{
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinting::setReportPageLayout(&printer);
    QPrintDialog dialog(&printer, window);
    dialog.setWindowTitle(tr("Drukuj konfigurację"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (ReportPrinting::print(document(subject), &printer) == 0) {
        QMessageBox::warning(window, tr("Drukuj"), tr("Nie można wydrukować konfiguracji."), QMessageBox::Ok);
        return;
    }
    statusBar->showMessage(tr("Wysłano konfigurację do drukarki."), StatusMessageTime);
}
