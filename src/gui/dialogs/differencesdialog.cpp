#include "dialogs/differencesdialog.h"
#include "ui_differencesdialog.h"

#include "fields/configurationfields.h"

#include <QHeaderView>

namespace {

enum Column { FieldColumn, BeforeColumn, ArrowColumn, AfterColumn };

const QString EmptyValue = QStringLiteral("—");

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
    setWindowTitle(purpose == Purpose::Compare ? tr("Porównanie z plikiem") : tr("Zapis do modułu"));
    ui->opisLabel->setText(description);
    ui->zapiszPushButton->setVisible(writing);
    ui->anulujPushButton->setVisible(writing);
    ui->zapiszPonowniePushButton->setVisible(purpose == Purpose::Verify);
    ui->zamknijPushButton->setVisible(!writing);
    ui->zamknijPushButton->setDefault(!writing);

    QTreeWidgetItem *header = ui->zmianyTreeWidget->headerItem();
    header->setText(BeforeColumn, beforeCaption);
    header->setText(AfterColumn, afterCaption);
    fillDifferences(differences);
}

DifferencesDialog::~DifferencesDialog()
{
    delete ui;
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
        section->setText(FieldColumn, QStringLiteral("%1 (%2)").arg(sectionTitle,
                                                                   QString::number(section->childCount())));
        fieldWidth = qMax(fieldWidth, fieldIndent + metrics.horizontalAdvance(difference.label));
    }
    tree->expandAll();

    header->setStretchLastSection(false);
    header->setSectionResizeMode(BeforeColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ArrowColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(AfterColumn, QHeaderView::Stretch);
    header->resizeSection(FieldColumn, fieldWidth);

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
