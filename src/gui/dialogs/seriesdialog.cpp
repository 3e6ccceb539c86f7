#include "dialogs/seriesdialog.h"
#include "ui_seriesdialog.h"

#include "dialogs/differencesdialog.h"
#include "mainwindow/configurationfiles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>

namespace {

enum Column { NameColumn, StateColumn, FirstFieldColumn };

const QColor VerifiedColour(0xd4, 0xed, 0xd4);
const QColor FailedColour(0xf6, 0xd0, 0xd0);
const QColor NextColour(0xff, 0xf0, 0xb3);

} // namespace

SeriesDialog::SeriesDialog(ModuleSession &session, const std::optional<Configuration> &open, bool verify,
                           QWidget *parent)
    : QDialog(parent), ui(new Ui::SeriesDialogUi), session(session), openConfiguration(open), verify(verify)
{
    ui->setupUi(this);
    if (!open) {
        ui->openBaseRadioButton->setEnabled(false);
        ui->fileBaseRadioButton->setChecked(true);
    }
    connect(ui->baseFileButton, &QPushButton::clicked, this, &SeriesDialog::chooseBase);
    connect(ui->tableFileButton, &QPushButton::clicked, this, &SeriesDialog::chooseTable);
    connect(ui->loadButton, &QPushButton::clicked, this, &SeriesDialog::loadTable);
    connect(ui->writeButton, &QPushButton::clicked, this, &SeriesDialog::writeNext);
    connect(ui->skipButton, &QPushButton::clicked, this, &SeriesDialog::skipNext);
    connect(ui->modulesTableWidget, &QTableWidget::cellClicked, this, [this](int row) { choose(row); });
    connect(ui->baseFileLineEdit, &QLineEdit::textEdited, this,
            [this] { ui->fileBaseRadioButton->setChecked(true); });
    // The list of changes is shown for the first module at least.
    ui->reviewCheckBox->setEnabled(false);
    showNext();
}

SeriesDialog::~SeriesDialog()
{
    delete ui;
}

void SeriesDialog::reject()
{
    if (!writing)
        QDialog::reject();
}

void SeriesDialog::chooseBase()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Konfiguracja bazowa"), QString(),
                                                      tr("Pliki konfiguracji (*.kvl)"));
    if (path.isEmpty())
        return;
    ui->baseFileLineEdit->setText(QDir::toNativeSeparators(path));
    ui->fileBaseRadioButton->setChecked(true);
}

void SeriesDialog::chooseTable()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Tabela serii"), QString(), tr("Pliki CSV (*.csv)"));
    if (path.isEmpty())
        return;
    ui->tableFileLineEdit->setText(QDir::toNativeSeparators(path));
    if (ui->reportFileLineEdit->text().isEmpty())
        ui->reportFileLineEdit->setText(QDir::toNativeSeparators(SeriesReport::defaultPath(path)));
    loadTable();
}

std::optional<Configuration> SeriesDialog::base()
{
    if (ui->openBaseRadioButton->isChecked() && openConfiguration)
        return openConfiguration;
    if (ui->baseFileLineEdit->text().isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("Należy wybrać plik konfiguracji bazowej."));
        return std::nullopt;
    }
    return ConfigurationFiles::loadConfigurationFile(QDir::fromNativeSeparators(ui->baseFileLineEdit->text()), this);
}

// The whole table is checked before the first module can be written; a
// table with a fault is refused with every fault listed.
void SeriesDialog::loadTable()
{
    table.reset();
    report.reset();
    const QString tablePath = QDir::fromNativeSeparators(ui->tableFileLineEdit->text());
    const std::optional<Configuration> baseConfiguration = base();
    QStringList faults;
    if (baseConfiguration && !tablePath.isEmpty())
        table = SeriesTable::read(tablePath, *baseConfiguration, &faults);
    if (baseConfiguration && !table && !tablePath.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        tr("Tabeli nie można użyć: do żadnego modemu nic nie zostanie zapisane, dopóki "
                           "błędy nie zostaną poprawione."),
                        QMessageBox::Ok, this);
        box.setInformativeText(tr("Plik: %1").arg(QDir::toNativeSeparators(tablePath)) + QStringLiteral("\n\n")
                               + faults.join(QLatin1Char('\n')));
        box.exec();
    }
    if (ui->reportFileLineEdit->text().isEmpty() && !tablePath.isEmpty())
        ui->reportFileLineEdit->setText(QDir::toNativeSeparators(SeriesReport::defaultPath(tablePath)));
    std::optional<QSet<QString>> verified = QSet<QString>();
    if (table) {
        report.emplace(QDir::fromNativeSeparators(ui->reportFileLineEdit->text()));
        verified = report->verifiedModules();
        if (!verified || !report->prepare()) {
            QMessageBox::warning(this, windowTitle(),
                                 tr("Nie można odczytać ani zapisać raportu %1.").arg(ui->reportFileLineEdit->text()));
            table.reset();
            report.reset();
        }
    }

    QTableWidget *rows = ui->modulesTableWidget;
    rows->clear();
    const QStringList header = table ? table->header() : QStringList();
    rows->setColumnCount(table ? int(header.size()) + 2 : 0);
    rows->setRowCount(table ? int(table->rows().size()) : 0);
    states.clear();
    entries.clear();
    if (table) {
        QStringList captions{ header.first(), tr("Stan") };
        captions += header.mid(1);
        captions += tr("Kopia zapasowa");
        rows->setHorizontalHeaderLabels(captions);
        for (int row = 0; row < rows->rowCount(); ++row) {
            const SeriesTable::Row &module = table->rows().at(row);
            rows->setItem(row, NameColumn, new QTableWidgetItem(module.name));
            for (const auto &[column, value] : module.cells)
                rows->setItem(row, FirstFieldColumn + int(header.indexOf(column)) - 1, new QTableWidgetItem(value));
            const bool done = verified->contains(module.name);
            states.append(done ? RowState::Written : RowState::Waiting);
            entries.append(done ? std::optional<SeriesReport::Entry>(SeriesReport::Entry{
                                          module.name, {}, SeriesReport::Outcome::Verified, {}, 0,
                                          tr("Według raportu modem zapisano i sprawdzono wcześniej.") })
                                : std::nullopt);
        }
        for (int row = 0; row < rows->rowCount(); ++row)
            showRow(row);
    }
    next = table ? nextAfter(-1) : -1;
    showNext();
    rows->resizeColumnsToContents();
}

void SeriesDialog::writeNext()
{
    if (next < 0 || !report)
        return;
    if (!session.isConnected()) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Brak połączenia z modemem. Należy połączyć się z modemem w oknie programu "
                                "(„Połącz”), a potem zapisać ponownie."));
        return;
    }
    if (session.deferWhileBusy(ui->writeButton, [this] { writeNext(); }))
        return;
    const int row = next;
    const SeriesTable::Row &module = table->rows().at(row);
    // The module to write stays this one while the session runs the write.
    writing = true;
    for (QWidget *control : { static_cast<QWidget *>(ui->writeButton), static_cast<QWidget *>(ui->skipButton),
                              static_cast<QWidget *>(ui->loadButton) })
        control->setEnabled(false);
    session.setBackupModuleName(module.name);
    const ModuleSession::WriteOutcome outcome =
            session.write(module.configuration, verify, [this, &module](const ModuleSession::WritePlan &plan) {
                return confirmWrite(plan, module.name);
            });
    session.setBackupModuleName(QString());
    writing = false;
    ui->loadButton->setEnabled(true);
    if (outcome.status == ModuleSession::WriteStatus::Cancelled && outcome.plan.moduleRead) {
        ui->outcomeLabel->setText(tr("%1: zapis anulowano; do modemu nic nie wysłano.").arg(module.name));
        showNext();
        return;
    }
    const SeriesReport::Entry entry = SeriesReport::entryOf(module.name, outcome);
    if (!report->append(entry))
        QMessageBox::warning(this, windowTitle(),
                             tr("Nie można dopisać wiersza do raportu %1.")
                                     .arg(QDir::toNativeSeparators(report->path())));
    states[row] = RowState::Written;
    entries[row] = entry;
    ++writtenCount;
    ui->reviewCheckBox->setEnabled(true);
    ui->outcomeLabel->setText(QStringLiteral("%1: %2").arg(module.name, entry.details));
    next = nextAfter(row);
    showRow(row);
    showNext();
    ui->modulesTableWidget->resizeColumnToContents(StateColumn);
}

// Nothing goes to a module that could not be read first: the series has
// nothing to show the change against and no backup to keep.
// The user is asked about the first module, and about the others while
// "review" is checked; after a question the session reads the module again.
// A module changed meanwhile is asked about anew, whatever the check box.
ModuleSession::WriteAnswer SeriesDialog::confirmWrite(const ModuleSession::WritePlan &plan, const QString &name)
{
    using Answer = ModuleSession::WriteAnswer;
    if (!plan.moduleRead)
        return Answer::Cancel;
    if (writtenCount > 0 && !ui->reviewCheckBox->isChecked() && !plan.moduleChanged)
        return Answer::Send;
    const QString description = plan.changedNote() + (plan.changes.isEmpty()
            ? tr("Modem „%1”, odczytany przed chwilą, ma już tę konfigurację. Można ją mimo to zapisać "
                 "ponownie.").arg(name)
            : tr("Zapis zmieni w modemie „%1”, odczytanym przed chwilą, pola wymienione poniżej. Przed "
                 "zapisem obecna konfiguracja modemu zostanie zachowana w kopiach zapasowych.").arg(name));
    DifferencesDialog dialog(DifferencesDialog::Purpose::Write, description, plan.changes, tr("W modemie"),
                             tr("Po zapisie"), this);
    return dialog.exec() == QDialog::Accepted ? Answer::SendAfterQuestion : Answer::Cancel;
}

void SeriesDialog::skipNext()
{
    if (next < 0)
        return;
    const int row = next;
    if (states[row] == RowState::Waiting)
        states[row] = RowState::Skipped;
    next = nextAfter(row);
    showRow(row);
    showNext();
}

void SeriesDialog::choose(int row)
{
    if (writing || row < 0 || row >= states.size()
        || (entries[row] && entries[row]->outcome == SeriesReport::Outcome::Verified))
        return;
    const int previous = std::exchange(next, row);
    if (previous >= 0)
        showRow(previous);
    showNext();
}

// The next module not yet verified: the rows below first, then those above
// that failed or were skipped; -1 when every module is verified.
int SeriesDialog::nextAfter(int row) const
{
    const int count = int(states.size());
    for (int step = 1; step <= count; ++step) {
        const int candidate = (row + step + count) % count;
        if (candidate == row && row >= 0 && step < count)
            continue;
        if (!entries[candidate] || entries[candidate]->outcome != SeriesReport::Outcome::Verified)
            return candidate;
    }
    return -1;
}

void SeriesDialog::showRow(int row)
{
    QTableWidget *rows = ui->modulesTableWidget;
    QString state = tr("czeka");
    QColor colour;
    if (entries[row]) {
        state = SeriesReport::outcomeText(entries[row]->outcome);
        colour = entries[row]->outcome == SeriesReport::Outcome::Verified ? VerifiedColour : FailedColour;
    } else if (states[row] == RowState::Skipped) {
        state = tr("pominięto");
    }
    if (row == next)
        colour = NextColour;
    auto *stateItem = new QTableWidgetItem(state);
    if (entries[row])
        stateItem->setToolTip(entries[row]->details);
    rows->setItem(row, StateColumn, stateItem);
    const int backupColumn = rows->columnCount() - 1;
    rows->setItem(row, backupColumn,
                  new QTableWidgetItem(entries[row] ? QDir::toNativeSeparators(entries[row]->backupPath) : QString()));
    for (int column = 0; column < rows->columnCount(); ++column) {
        if (!rows->item(row, column))
            rows->setItem(row, column, new QTableWidgetItem());
        QTableWidgetItem *item = rows->item(row, column);
        item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
        QFont font = item->font();
        font.setBold(row == next);
        item->setFont(font);
    }
}

void SeriesDialog::showNext()
{
    const bool ready = table && next >= 0;
    ui->writeButton->setEnabled(ready);
    ui->skipButton->setEnabled(ready);
    if (!table)
        ui->nextModuleLabel->setText(tr("Należy wybrać konfigurację bazową i tabelę, a potem „Wczytaj tabelę”."));
    else if (!ready)
        ui->nextModuleLabel->setText(tr("Wszystkie modemy z tabeli zapisano i sprawdzono."));
    else
        ui->nextModuleLabel->setText(tr("Podłącz modem: %1 (%2 z %3), potem „Zapisz do modemu”.")
                                             .arg(table->rows().at(next).name)
                                             .arg(next + 1)
                                             .arg(table->rows().size()));
    if (ready) {
        showRow(next);
        ui->modulesTableWidget->scrollToItem(ui->modulesTableWidget->item(next, NameColumn));
    }
}
