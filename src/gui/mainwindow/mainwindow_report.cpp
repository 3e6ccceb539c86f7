#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration/configuration.h"
#include "files/atomicfile.h"
#include "link/module.h"
#include "report/configurationdocument.h"
#include "reportprinting.h"
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

constexpr int ConfigurationFromFile = 1;
constexpr int ConfigurationFromModule = 2;
constexpr int StatusMessageTime = 5000;

// The open configuration as the form holds it, under where it came from: the
// file, the module's port or a new configuration, and whether it has been
// edited since.
ConfigurationDocument openConfigurationDocument(const MainWindow &window)
{
    QString source;
    if (window.configurationSource == ConfigurationFromFile)
        source = ConfigurationDocument::fileSource(QDir::toNativeSeparators(window.windowFilePath()));
    else if (window.configurationSource == ConfigurationFromModule)
        source = ConfigurationDocument::moduleSource(Module::systemLocation(ModuleSession::of(window.module)->portName()));
    else
        source = ConfigurationDocument::newConfigurationSource();
    if (window.configurationSource != 0 && *window.configuration != *window.referenceConfiguration)
        source = ConfigurationDocument::withUnsavedChanges(source);
    return ConfigurationDocument(*window.configuration, UserNames::fromSettings(), source, applicationTitle,
                                 QDateTime::currentDateTime());
}

// The open file's name with .pdf, or "konfiguracja.pdf", in the folder of
// the last file.
QString suggestedPdfPath(const MainWindow &window)
{
    const QString name = window.configurationSource == ConfigurationFromFile
            ? QFileInfo(window.windowFilePath()).completeBaseName()
            : QStringLiteral("konfiguracja");
    return QDir(lastFileFolder()).filePath(name + QStringLiteral(".pdf"));
}

} // namespace

void MainWindow::on_actionEksportuj_do_PDF_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    collectForm();
    QFileDialog dialog(this, tr("Eksportuj do PDF"), suggestedPdfPath(*this), tr("Dokument PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    // The whole PDF is made in memory first, so a file is written whole or
    // not at all.
    const QByteArray pdf = ReportPrinting::pdf(openConfigurationDocument(*this));
    if (pdf.isEmpty() || !saveFileAtomically(path, pdf)) {
        QMessageBox::warning(this, tr("Eksportuj do PDF"),
                             tr("Nie można zapisać dokumentu do pliku %1.").arg(QDir::toNativeSeparators(path)),
                             QMessageBox::Ok);
        return;
    }
    rememberFileFolder(path);
    statusBar()->showMessage(tr("Zapisano dokument PDF: %1").arg(QDir::toNativeSeparators(path)),
                             StatusMessageTime);
}

void MainWindow::on_actionDrukuj_triggered()
{
    if (!configuration || moduleOperationRunning())
        return;
    collectForm();
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinting::setReportPageLayout(&printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Drukuj konfigurację"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (ReportPrinting::print(openConfigurationDocument(*this), &printer) == 0) {
        QMessageBox::warning(this, tr("Drukuj"), tr("Nie można wydrukować konfiguracji."), QMessageBox::Ok);
        return;
    }
    statusBar()->showMessage(tr("Wysłano konfigurację do drukarki."), StatusMessageTime);
}
