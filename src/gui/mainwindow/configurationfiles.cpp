#include "mainwindow/configurationfiles.h"

#include "configuration/configuration.h"
#include "dialogs/backupsdialog.h"
#include "dialogs/differencesdialog.h"
#include "fields/configurationfields.h"
#include "files/configurationfile.h"
#include "settings/lastfilefolder.h"
#include "settings/usernames.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

ConfigurationFiles::ConfigurationFiles(QWidget *window)
    : window(window)
{
}

std::optional<Configuration> ConfigurationFiles::loadConfigurationFile(const QString &path, QWidget *window)
{
    const ConfigurationFile::LoadResult loaded = ConfigurationFile::load(path);
    if (loaded.status == ConfigurationFile::Status::CannotOpen) {
        showFileWarning(window, tr("Otwórz plik"), tr("Nie można otworzyć pliku."), path);
        return std::nullopt;
    }
    if (loaded.status == ConfigurationFile::Status::BadContent) {
        showFileWarning(window, tr("Odczyt pliku"), tr("Błąd podczas odczytywania pliku."), path);
        return std::nullopt;
    }
    return loaded.configuration;
}

void ConfigurationFiles::showFileWarning(QWidget *window, const QString &title, const QString &text,
                                         const QString &path, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, window);
    QString details = tr("Plik: %1").arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        details += QStringLiteral("\n\n") + reason;
    box.setInformativeText(details);
    box.exec();
}

QString ConfigurationFiles::chooseFileToOpen() const
{
    return QFileDialog::getOpenFileName(window, tr("Wybierz plik"), lastFileFolder(), tr("Plik TX48 (*.kvl)"));
}

QString ConfigurationFiles::saveToChosenFile(const Configuration &configuration) const
{
    QFileDialog dialog(window, tr("Zapisz plik"), lastFileFolder(), tr("Plik TX48 (*.kvl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kvl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    QString reason;
    if (!ConfigurationFile::save(path, configuration, &reason)) {
        // What the user can do about it, such as saving in another folder.
        showFileWarning(window, tr("Zapisz plik"), tr("Nie można zapisać do pliku."), path, reason);
        return QString();
    }
    return path;
}

void ConfigurationFiles::compareWithChosenFile(const Configuration &open) const
{
    const QString path = QFileDialog::getOpenFileName(window, tr("Porównaj z plikiem"), lastFileFolder(),
                                                      tr("Plik TX48 (*.kvl)"));
    if (path.isEmpty())
        return;
    const std::optional<Configuration> file = loadConfigurationFile(path, window);
    if (!file)
        return;
    DifferencesDialog dialog(DifferencesDialog::Purpose::Compare,
                             tr("Różnice między otwartą konfiguracją a plikiem %1.")
                                     .arg(QDir::toNativeSeparators(path)),
                             configurationDifferences(open, *file, UserNames::fromSettings()),
                             tr("Otwarta konfiguracja"), tr("Plik"), window);
    dialog.exec();
}

std::optional<BackupStore::Backup> ConfigurationFiles::chooseBackup(const Configuration *open) const
{
    const BackupStore store;
    BackupsDialog dialog(store.list(), store.folder(), open, UserNames::fromSettings(), window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // The list has read every backup already; the chosen one opens as listed.
    return dialog.chosenBackup();
}
