#ifndef SERIESDIALOG_H
#define SERIESDIALOG_H

#include "configuration/configuration.h"
#include "link/modulesession.h"
#include "series/seriesreport.h"
#include "series/seriestable.h"

#include <QDialog>
#include <QList>
#include <optional>

namespace Ui {
class SeriesDialogUi;
}

// "Narzędzia → Seria modemów…": a base configuration (the one open in the
// window or a file) and a table of what differs per module, written to one
// module after another through the window's session. The table shows each
// module's state and highlights the one to connect next; "Zapisz do modemu"
// writes that one, and each write adds a line to the report, as
// telvoro-cli series does.
class SeriesDialog : public QDialog
{
    Q_OBJECT

public:
    SeriesDialog(ModuleSession &session, const std::optional<Configuration> &open, bool verify,
                 QWidget *parent = nullptr);
    ~SeriesDialog() override;

    // Not while a module is being written: the write ends first.
    void reject() override;

private:
    enum class RowState { Waiting, Skipped, Written };

    void chooseBase();
    void chooseTable();
    void loadTable();
    std::optional<Configuration> base();
    void writeNext();
    ModuleSession::WriteAnswer confirmWrite(const ModuleSession::WritePlan &plan, const QString &name);
    void skipNext();
    void choose(int row);
    int nextAfter(int row) const;
    void showRow(int row);
    void showNext();

    Ui::SeriesDialogUi *ui;
    ModuleSession &session;
    std::optional<Configuration> openConfiguration;
    bool verify;
    std::optional<SeriesTable> table;
    std::optional<SeriesReport> report;
    QList<RowState> states;
    QList<std::optional<SeriesReport::Entry>> entries;
    int next = -1;
    int writtenCount = 0;
    bool writing = false;
};

#endif
