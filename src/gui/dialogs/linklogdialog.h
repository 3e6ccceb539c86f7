#ifndef LINKLOGDIALOG_H
#define LINKLOGDIALOG_H

#include <QDialog>
#include <QSortFilterProxyModel>

class LinkLog;
class LinkLogModel;

namespace Ui {
class LinkLogDialogUi;
}

// The link log, following it live: a table of the entries, a filter by
// command, "Kopiuj" for the entries shown and "Zapisz dziennik…" for the
// whole log, one entry a line as telvoro-cli --log writes it. Not modal:
// the window goes on working beside it.
class LinkLogDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LinkLogDialog(const LinkLog *log, QWidget *parent = nullptr);
    ~LinkLogDialog() override;

private slots:
    void on_dziennikPolecenieComboBox_currentIndexChanged(int index);
    void on_dziennikKopiujPushButton_clicked();
    void on_dziennikZapiszPushButton_clicked();

private:
    void fillCommands();
    void showCount();
    // The lines of the rows the filter lets through, each with its line end.
    QString shownLines() const;

    Ui::LinkLogDialogUi *ui;
    LinkLogModel *model;
    QSortFilterProxyModel filter;
    // Whether the view was at the newest entry before rows came, so that it
    // stays there and leaves the user's place alone otherwise.
    bool followNewest = true;
};

#endif
