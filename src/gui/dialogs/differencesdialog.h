#ifndef DIFFERENCESDIALOG_H
#define DIFFERENCESDIALOG_H

#include <QDialog>
#include <QList>
#include <array>

struct ConfigurationDifference;

namespace Ui {
class DifferencesDialogUi;
}

// The fields in which two configurations differ, grouped by section, each
// with its value before and after. Before a write it asks whether to go on
// ("Zapisz do modemu" or "Anuluj"); a comparison only shows ("Zamknij");
// after a write that the module stored differently it offers to write again
// ("Zapisz ponownie" or "Zamknij") and, where a backup can go back, to
// restore it (the result RestoreBackup). Going on accepts the dialog.
class DifferencesDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Purpose { Write, Compare, Verify };
    static constexpr int RestoreBackup = 2;

    DifferencesDialog(Purpose purpose, const QString &description,
                      const QList<ConfigurationDifference> &differences,
                      const QString &beforeCaption, const QString &afterCaption,
                      QWidget *parent = nullptr);
    ~DifferencesDialog() override;

    // Remembers the dialog's size for the next list of differences.
    void done(int result) override;
    // Verify: "Przywróć kopię zapasową" is shown.
    void offerRestore();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDifferences(const QList<ConfigurationDifference> &differences);
    void shareValueWidth();

    Ui::DifferencesDialogUi *ui;
    Purpose purpose;
    // The widest value before and after, with the cell's margins.
    std::array<int, 2> valueWidths{};
};

#endif
