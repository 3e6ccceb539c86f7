#include "dialogs/linklogdialog.h"
#include "ui_linklogdialog.h"

#include "files/atomicfile.h"
#include "link/linklog.h"
#include "settings/lastfilefolder.h"
#include "widgets/linklogmodel.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>

namespace {

// Saved logs show the blocks written, with phone numbers and texts.
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString lineOf(const LinkLog::Entry &entry)
{
    return LinkLog::line(entry) + QLatin1Char('\n');
}

} // namespace

LinkLogDialog::LinkLogDialog(const LinkLog *log, QWidget *parent)
    : QDialog(parent), ui(new Ui::LinkLogDialogUi), model(new LinkLogModel(log, this))
{
    ui->setupUi(this);
    ui->dziennikOpisLabel->setText(ui->dziennikOpisLabel->text().arg(LinkLog::Capacity));
    filter.setSourceModel(model);
    filter.setFilterKeyColumn(int(LinkLog::Field::Command));
    ui->dziennikTableView->setModel(&filter);
    QHeaderView *header = ui->dziennikTableView->horizontalHeader();
    for (int column = 0; column < int(LinkLog::Field::Bytes); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    ui->dziennikTableView->verticalHeader()->setDefaultSectionSize(
            ui->dziennikTableView->fontMetrics().height() + 4);

    QScrollBar *scroll = ui->dziennikTableView->verticalScrollBar();
    connect(&filter, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this, scroll] { followNewest = scroll->value() == scroll->maximum(); });
    connect(&filter, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followNewest)
            ui->dziennikTableView->scrollToBottom();
        showCount();
    });
    connect(&filter, &QAbstractItemModel::rowsRemoved, this, &LinkLogDialog::showCount);
    fillCommands();
    ui->dziennikTableView->scrollToBottom();
}

LinkLogDialog::~LinkLogDialog()
{
    delete ui;
}

// The commands of the module, each with what it does.
void LinkLogDialog::fillCommands()
{
    QComboBox *commands = ui->dziennikPolecenieComboBox;
    commands->addItem(tr("Wszystkie"), QString());
    const QList<QPair<QString, QString>> known = {
        { QStringLiteral("i"), tr("sprawdzenie modemu") },
        { QStringLiteral("A"), tr("odczyt konfiguracji") },
        { QStringLiteral("B"), tr("stan wejść") },
        { QStringLiteral("C"), tr("ustawienie wyjść") },
        { QStringLiteral("pa"), tr("kod PIN, PUK") },
        { QStringLiteral("pb"), tr("zapis ustawień") },
        { QStringLiteral("pc"), tr("zapis tekstów SMS") },
    };
    for (const auto &command : known)
        commands->addItem(QStringLiteral("%1 – %2").arg(command.first, command.second), command.first);
    showCount();
}

void LinkLogDialog::on_dziennikPolecenieComboBox_currentIndexChanged(int index)
{
    const QString command = ui->dziennikPolecenieComboBox->itemData(index).toString();
    filter.setFilterRegularExpression(
            command.isEmpty() ? QRegularExpression()
                              : QRegularExpression(QRegularExpression::anchoredPattern(
                                        QRegularExpression::escape(command))));
    ui->dziennikTableView->scrollToBottom();
    showCount();
}

void LinkLogDialog::showCount()
{
    const int shown = filter.rowCount();
    const int all = model->rowCount();
    ui->dziennikLiczbaLabel->setText(shown == all ? tr("Wpisów: %1").arg(all)
                                                  : tr("Wpisów: %1 z %2").arg(shown).arg(all));
    ui->dziennikKopiujPushButton->setEnabled(shown > 0);
    ui->dziennikZapiszPushButton->setEnabled(all > 0);
}

QString LinkLogDialog::shownLines() const
{
    QString lines;
    for (int row = 0; row < filter.rowCount(); ++row)
        lines += lineOf(model->entry(filter.mapToSource(filter.index(row, 0)).row()));
    return lines;
}

void LinkLogDialog::on_dziennikKopiujPushButton_clicked()
{
    QGuiApplication::clipboard()->setText(shownLines());
}

void LinkLogDialog::on_dziennikZapiszPushButton_clicked()
{
    const QString suggested =
            QDateTime::currentDateTime().toString(QStringLiteral("'dziennik-'yyyy-MM-dd-HHmm'.txt'"));
    QFileDialog dialog(this, tr("Zapisz dziennik"), QDir(lastFileFolder()).filePath(suggested),
                       tr("Plik tekstowy (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QString text;
    for (int row = 0; row < model->rowCount(); ++row)
        text += lineOf(model->entry(row));
    QString reason;
    if (!saveFileAtomically(path, text.toUtf8(), &reason, OwnerOnly)) {
        QMessageBox::warning(this, tr("Zapisz dziennik"),
                             (tr("Nie można zapisać dziennika do pliku %1.").arg(QDir::toNativeSeparators(path))
                              + QStringLiteral("\n\n") + reason).trimmed(),
                             QMessageBox::Ok);
        return;
    }
    rememberFileFolder(path);
}
