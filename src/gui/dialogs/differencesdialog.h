#ifndef DIFFERENCESDIALOG_H
#define DIFFERENCESDIALOG_H

#include <QDialog>
#include <QList>

struct ConfigurationDifference;

namespace Ui {
class DifferencesDialogUi;
}

// The fields in which two configurations differ, grouped by section, each
// with its value before and after. Before a write it asks whether to go on
// ("Zapisz do modułu" or "Anuluj"); a comparison only shows ("Zamknij");
// after a write that the module stored differently it offers to write again
// ("Zapisz ponownie" or "Zamknij"). Going on accepts the dialog.
class DifferencesDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Purpose { Write, Compare, Verify };

    DifferencesDialog(Purpose purpose, const QString &description,
                      const QList<ConfigurationDifference> &differences,
                      const QString &beforeCaption, const QString &afterCaption,
                      QWidget *parent = nullptr);
    ~DifferencesDialog() override;

private:
    void fillDifferences(const QList<ConfigurationDifference> &differences);

    Ui::DifferencesDialogUi *ui;
    Purpose purpose;
};

#endif
