#include "dialogs/differencesdialog.h"
#include "ui_differencesdialog.h"

#include "fields/configurationfields.h"

#include <QEvent>
#include <QHeaderView>
#include <QScreen>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <algorithm>

namespace {

enum Column { FieldColumn, BeforeColumn, ArrowColumn, AfterColumn };

const QString EmptyValue = QStringLiteral("—");
const QString SizeKey = QStringLiteral("differencesDialogSize");

// Polish counts: 1 pole, 2 pola, 5 pól.
QString counted(qsizetype count, const QString &one, const QString &few, const QString &many)
{
    const qsizetype lastDigit = count % 10;
    const qsizetype lastTwo = count % 100;
    const QString &word = count == 1 ? one
            : (lastDigit >= 2 && lastDigit <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few
                                                                                  : many;
    return QStringLiteral("%1 %2").arg(count).arg(word);
}

// One line in the table; the whole text is in the tool tip.
void showValue(QTreeWidgetItem *item, int column, const QString &value)
{
    if (value.isEmpty()) {
        item->setText(column, EmptyValue);
        item->setForeground(column, QColor(Qt::gray));
        item->setToolTip(column, DifferencesDialog::tr("puste"));
        return;
    }
    item->setText(column, QString(value).replace(QLatin1Char('\n'), QStringLiteral(" ↵ ")));
    item->setToolTip(column, value);
}

} // namespace

DifferencesDialog::DifferencesDialog(Purpose purpose, const QString &description,
                                     const QList<ConfigurationDifference> &differences,
                                     const QString &beforeCaption, const QString &afterCaption,
                                     QWidget *parent)
    : QDialog(parent), ui(new Ui::DifferencesDialogUi), purpose(purpose)
{
    ui->setupUi(this);
    const bool writing = purpose == Purpose::Write;
    setWindowTitle(purpose == Purpose::Compare ? tr("Porównanie z plikiem") : tr("Zapis do modemu"));
    ui->opisLabel->setText(description);
    ui->zapiszPushButton->setVisible(writing);
    ui->anulujPushButton->setVisible(writing);
    ui->zapiszPonowniePushButton->setVisible(purpose == Purpose::Verify);
    ui->przywrocKopiePushButton->hide();
    connect(ui->przywrocKopiePushButton, &QPushButton::clicked, this, [this] { done(RestoreBackup); });
    ui->zamknijPushButton->setVisible(!writing);
    ui->zamknijPushButton->setDefault(!writing);

    QTreeWidgetItem *header = ui->zmianyTreeWidget->headerItem();
    header->setText(BeforeColumn, beforeCaption);
    header->setText(AfterColumn, afterCaption);
    fillDifferences(differences);

    // The size the user gave the list last time, as far as the screen has room.
    const QSize stored = QSettings().value(SizeKey).toSize();
    if (!differences.isEmpty() && stored.isValid()) {
        const QWidget *placed = parent ? parent : this;
        resize(stored.boundedTo(placed->screen()->availableGeometry().size()));
    }
}

DifferencesDialog::~DifferencesDialog()
{
    delete ui;
}

bool DifferencesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == ui->zmianyTreeWidget->viewport())
        shareValueWidth();
    return QDialog::eventFilter(watched, event);
}

// The two value columns share the width beside the field names: a column
// whose values are short takes what they need and leaves the rest to the
// other; when both are long, each takes half, and its values end in "…".
void DifferencesDialog::shareValueWidth()
{
    QTreeWidget *tree = ui->zmianyTreeWidget;
    const int available = std::max(0, tree->viewport()->width() - tree->columnWidth(FieldColumn)
                                              - tree->columnWidth(ArrowColumn));
    const auto [before, after] = valueWidths;
    int beforeWidth = available / 2;
    if (before + after <= available)
        beforeWidth = before + (available - before - after) / 2;
    else if (before < available / 2)
        beforeWidth = before;
    else if (after < available / 2)
        beforeWidth = available - after;
    beforeWidth = std::max(beforeWidth, tree->header()->minimumSectionSize());
    tree->setColumnWidth(BeforeColumn, beforeWidth);
    tree->setColumnWidth(AfterColumn, available - beforeWidth);
}

void DifferencesDialog::done(int result)
{
    if (!ui->zmianyTreeWidget->isHidden())
        QSettings().setValue(SizeKey, size());
    QDialog::done(result);
}

void DifferencesDialog::offerRestore()
{
    ui->przywrocKopiePushButton->setVisible(purpose == Purpose::Verify);
}

void DifferencesDialog::fillDifferences(const QList<ConfigurationDifference> &differences)
{
    QTreeWidget *tree = ui->zmianyTreeWidget;
    QHeaderView *header = tree->header();
    // The field names, indented under their sections, set the width; the
    // section rows span all columns.
    const QFontMetrics metrics = tree->fontMetrics();
    const int fieldIndent = 2 * tree->indentation() + 2 * metrics.averageCharWidth();
    int fieldWidth = header->sectionSizeHint(FieldColumn);
    QTreeWidgetItem *section = nullptr;
    QString sectionTitle;
    QFont sectionFont = tree->font();
    sectionFont.setBold(true);
    for (const ConfigurationDifference &difference : differences) {
        if (!section || sectionTitle != difference.section) {
            sectionTitle = difference.section;
            section = new QTreeWidgetItem(tree);
            section->setFirstColumnSpanned(true);
            section->setFont(FieldColumn, sectionFont);
            section->setFlags(Qt::ItemIsEnabled);
        }
        auto *field = new QTreeWidgetItem(section);
        field->setText(FieldColumn, difference.label);
        showValue(field, BeforeColumn, difference.before);
        field->setText(ArrowColumn, QStringLiteral("→"));
        showValue(field, AfterColumn, difference.after);
        valueWidths[0] = std::max(valueWidths[0], metrics.horizontalAdvance(field->text(BeforeColumn)));
        valueWidths[1] = std::max(valueWidths[1], metrics.horizontalAdvance(field->text(AfterColumn)));
        section->setText(FieldColumn, QStringLiteral("%1 (%2)").arg(sectionTitle,
                                                                   QString::number(section->childCount())));
        fieldWidth = qMax(fieldWidth, fieldIndent + metrics.horizontalAdvance(difference.label));
    }
    tree->expandAll();

    // A cell's text has a margin on each side; the column's caption shows whole.
    const int textMargins = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
    valueWidths[0] = std::max(valueWidths[0] + textMargins, header->sectionSizeHint(BeforeColumn));
    valueWidths[1] = std::max(valueWidths[1] + textMargins, header->sectionSizeHint(AfterColumn));
    header->setStretchLastSection(false);
    header->resizeSection(FieldColumn, fieldWidth);
    header->resizeSection(ArrowColumn, metrics.horizontalAdvance(QStringLiteral("→")) + textMargins);
    tree->viewport()->installEventFilter(this);

    const bool writing = purpose == Purpose::Write;
    if (differences.isEmpty()) {
        ui->podsumowanieLabel->setText(writing ? tr("Brak zmian.") : tr("Brak różnic."));
        tree->hide();
        adjustSize();
        return;
    }
    const QString fields = counted(differences.size(), tr("pole"), tr("pola"), tr("pól"));
    const QString sections = QStringLiteral("%1 %2").arg(tree->topLevelItemCount())
            .arg(tree->topLevelItemCount() == 1 ? tr("sekcji") : tr("sekcjach"));
    ui->podsumowanieLabel->setText((writing ? tr("Zmiany: %1 w %2.") : tr("Różnice: %1 w %2."))
                                           .arg(fields, sections));
}
