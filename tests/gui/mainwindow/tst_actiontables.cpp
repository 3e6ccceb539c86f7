#include "actiondialogdriver.h"
#include "actions/inputaction.h"
#include "mainwindow/formtables.h"
#include "mainwindow/mainwindow.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

// Drives the eight action tables of the main window by object name.
class ActionTablesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowsShowUsedSlotsInOrder();
    void newActionFillsTheGapSlot();
    void editChangesTheSelectedRow_data();
    void editChangesTheSelectedRow();
    void editWithoutWholeRowSelectedDoesNothing();
    void deleteAsksNothing();
    void useBoxChangesOnlyTheEditedConfiguration();
    void useBoxFollowsTheSpaceKey();
    void rangeFieldRescalesTheValues();
    void rangeThatCannotBeStoredIsRefused();
    void rangeChangeAsksAboutTheThresholds_data();
    void rangeChangeAsksAboutTheThresholds();

private:
    void open(const Configuration &content);
    QTableWidget *table(const char *name);
    void clickButton(const char *name);
    void selectRow(QTableWidget *table, int row);
    void retypeRange(const char *name, const QString &text, const QString &shown = QString());

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DialogAnswerer> answerer;
};

namespace {

using FormTables::SlotIndexRole;

QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->item(row, column)->text());
    return texts;
}

QStringList headerTexts(const QTableWidget *table)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts.append(table->horizontalHeaderItem(column)->text());
    return texts;
}

void clickUseBox(QTableWidget *table, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualItemRect(table->item(row, 1));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator,
                                                     &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, box.center());
}

} // namespace

using namespace ActionDialogDriver;

void ActionTablesTest::init()
{
    window = std::make_unique<MainWindow>();
    window->show();
    window->resize(1400, 1000);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    answerer = std::make_unique<DialogAnswerer>();
}

void ActionTablesTest::cleanup()
{
    QVERIFY(answerer->unexpected.isEmpty());
    answerer.reset();
    window.reset();
}

// Creates a configuration through the menu and gives it the content the
// way "Cofnij zmiany" does: the edited record and the reference copy then
// share their data, and every table is filled again.
void ActionTablesTest::open(const Configuration &content)
{
    window->findChild<QAction *>(QStringLiteral("actionNowy"))->trigger();
    QVERIFY(window->configuration);
    *window->referenceConfiguration = content;
    window->findChild<QAction *>(QStringLiteral("actionCofnij_zmiany"))->trigger();
    QVERIFY(*window->configuration == content);
}

QTableWidget *ActionTablesTest::table(const char *name)
{
    auto *widget = window->findChild<QTableWidget *>(QLatin1String(name));
    if (!widget)
        qFatal("no table %s", name);
    return widget;
}

void ActionTablesTest::clickButton(const char *name)
{
    auto *button = window->findChild<QToolButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void ActionTablesTest::selectRow(QTableWidget *table, int row)
{
    const QRect cell = table->visualItemRect(table->item(row, 2));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(table->selectedItems().size(), 5);
}

void ActionTablesTest::retypeRange(const char *name, const QString &text, const QString &shown)
{
    auto *field = window->findChild<QLineEdit *>(QLatin1String(name));
    QVERIFY2(field, name);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QCOMPARE(field->text(), shown.isNull() ? text : shown);
}

void ActionTablesTest::rowsShowUsedSlotsInOrder()
{
    Configuration content;
    content.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 0, 48 + 8 + 3));
    content.setDigitalAction(0, 2, InputAction(DigitalInput, 4, 0, 125, 14));
    content.analogRange[1] = 105;
    content.analogDecimals[1] = 1;
    content.setAnalogAction(1, 3, InputAction(AnalogInput, 7, 476, 3725, 21));
    open(content);

    QTableWidget *digital = table("weCy1TableWidget");
    QCOMPARE(headerTexts(digital), QStringList({ "L.p.", "Użyj", "Warunek", "Czas", "Akcja" }));
    QCOMPARE(digital->rowCount(), 2);
    QCOMPARE(rowTexts(digital, 0), QStringList({ "1.", "", "narastające", "0s", "tel 2. st 4" }));
    QCOMPARE(rowTexts(digital, 1),
             QStringList({ "2.", "", "opadające", "2m 5s", "lok. wył. Wszyst." }));
    QCOMPARE(digital->item(0, 0)->data(SlotIndexRole).toInt(), 0);
    QCOMPARE(digital->item(1, 0)->data(SlotIndexRole).toInt(), 2);
    QCOMPARE(digital->item(0, 1)->checkState(), Qt::Checked);
    QCOMPARE(digital->item(1, 1)->checkState(), Qt::Unchecked);
    QCOMPARE(digital->item(0, 1)->flags(),
             Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    QCOMPARE(digital->item(0, 2)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QCOMPARE(digital->item(0, 4)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));

    QTableWidget *analog = table("weAn2TableWidget");
    QCOMPARE(analog->rowCount(), 1);
    QCOMPARE(rowTexts(analog, 0),
             QStringList({ "1.", "", "zmiana o 5.0", "1g 2m 5s", "lok. neg. DO 6" }));
    QCOMPARE(analog->item(0, 0)->data(SlotIndexRole).toInt(), 3);

    QTableWidget *empty = table("weCy6TableWidget");
    QCOMPARE(empty->rowCount(), 0);
    QCOMPARE(headerTexts(empty), QStringList({ "L.p.", "Użyj", "Warunek", "Czas", "Akcja" }));
}

void ActionTablesTest::newActionFillsTheGapSlot()
{
    Configuration content;
    content.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 0, 0));
    content.setDigitalAction(0, 2, InputAction(DigitalInput, 3, 0, 0, 2));
    open(content);

    QString left;
    answerer->expect([&left](QWidget *dialog) {
        left = dialog->findChild<QLabel *>(QStringLiteral("pozostaloLabel"))->text();
        choose(dialog, 0, 1, 5);
        click(dialog, "opadajaceRadioButton");
        click(dialog, "okPushButton");
    });
    clickButton("noweWeCy1ToolButton");
    QVERIFY(answerer->waitAllAnswered());

    QCOMPARE(answerer->seen.at(0).className, QStringLiteral("SterowanieNowyDialog"));
    QCOMPARE(answerer->seen.at(0).title, QStringLiteral("Nowa akcja"));
    QCOMPARE(left, QStringLiteral("Pozostało akcji: 14"));
    QCOMPARE(window->configuration->digitalAction(0, 1), InputAction(DigitalInput, 5, 0, 0, 13));

    QTableWidget *digital = table("weCy1TableWidget");
    QCOMPARE(digital->rowCount(), 3);
    QCOMPARE(rowTexts(digital, 1), QStringList({ "2.", "", "opadające", "0s", "lok. wył. DO 6" }));
    QCOMPARE(digital->item(1, 0)->data(SlotIndexRole).toInt(), 1);
    QCOMPARE(rowTexts(digital, 2).at(4), QStringLiteral("lok. zał. DO 3"));
}

void ActionTablesTest::editChangesTheSelectedRow_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("edit button") << false;
    QTest::newRow("double-click on the row") << true;
}

void ActionTablesTest::editChangesTheSelectedRow()
{
    QFETCH(bool, doubleClick);
    Configuration content;
    content.setDigitalAction(2, 0, InputAction(DigitalInput, 3, 0, 0, 1));
    content.setDigitalAction(2, 1, InputAction(DigitalInput, 4, 0, 0, 5));
    open(content);
    QTableWidget *digital = table("weCy3TableWidget");
    selectRow(digital, 1);

    answerer->expect([](QWidget *dialog) {
        click(dialog, "narastajaceRadioButton");
        setTime(dialog, 0, 0, 45);
        click(dialog, "okPushButton");
    });
    // A double-click comes as a click, then the second press.
    const QPoint cell = digital->visualItemRect(digital->item(1, 3)).center();
    if (doubleClick) {
        QTest::mouseClick(digital->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(digital->viewport(), Qt::LeftButton, {}, cell);
    } else
        clickButton("edytujWeCy3ToolButton");
    QVERIFY(answerer->waitAllAnswered());

    QCOMPARE(answerer->seen.at(0).title, QStringLiteral("Edycja akcji"));
    QTRY_VERIFY(window->isWindowModified());
    // The use flag survives the edit.
    QCOMPARE(window->configuration->digitalAction(2, 1), InputAction(DigitalInput, 2, 0, 45, 5));
    QCOMPARE(rowTexts(digital, 1), QStringList({ "2.", "", "narastające", "45s", "lok. zał. DO 6" }));
    QCOMPARE(digital->item(1, 1)->checkState(), Qt::Unchecked);
    QCOMPARE(window->configuration->digitalAction(2, 0), content.digitalAction(2, 0));
}

void ActionTablesTest::editWithoutWholeRowSelectedDoesNothing()
{
    Configuration content;
    content.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 10, 0, 1));
    open(content);

    // A modal dialog would keep the click from returning until answered.
    clickButton("edytujWeAn1ToolButton");
    table("weAn1TableWidget")->setCurrentCell(0, 3, QItemSelectionModel::ClearAndSelect);
    clickButton("edytujWeAn1ToolButton");
    QVERIFY(answerer->seen.isEmpty());
    QVERIFY(*window->configuration == content);
}

void ActionTablesTest::deleteAsksNothing()
{
    Configuration content;
    content.setDigitalAction(0, 0, InputAction(DigitalInput, 3, 0, 30, 1));
    content.setDigitalAction(0, 2, InputAction(DigitalInput, 5, 0, 0, 2));
    open(content);
    QTableWidget *digital = table("weCy1TableWidget");

    clickButton("usunWeCy1ToolButton");
    QCOMPARE(digital->rowCount(), 2);

    selectRow(digital, 0);
    clickButton("usunWeCy1ToolButton");
    QCOMPARE(window->configuration->digitalAction(0, 0), InputAction(DigitalInput));
    QCOMPARE(digital->rowCount(), 1);
    QCOMPARE(rowTexts(digital, 0).at(0), QStringLiteral("1."));
    QCOMPARE(digital->item(0, 0)->data(SlotIndexRole).toInt(), 2);

    selectRow(digital, 0);
    clickButton("usunWeCy1ToolButton");
    QCOMPARE(digital->rowCount(), 0);
    QCOMPARE(headerTexts(digital), QStringList({ "L.p.", "Użyj", "Warunek", "Czas", "Akcja" }));
    QVERIFY(window->configuration->digitalAction(0, 2).isFree());
    QVERIFY(answerer->seen.isEmpty());
    QVERIFY(*window->referenceConfiguration == content);
}

void ActionTablesTest::useBoxChangesOnlyTheEditedConfiguration()
{
    Configuration content;
    content.setAnalogAction(0, 0, InputAction(AnalogInput, 3, 10, 0, 1));
    content.setAnalogAction(0, 1, InputAction(AnalogInput, 5, 20, 0, 2));
    open(content);
    QTableWidget *analog = table("weAn1TableWidget");

    clickUseBox(analog, 1);
    QCOMPARE(analog->item(1, 1)->checkState(), Qt::Unchecked);
    QCOMPARE(window->configuration->analogAction(0, 1).flags, quint8(4));
    QCOMPARE(window->referenceConfiguration->analogAction(0, 1).flags, quint8(5));
    QVERIFY(*window->referenceConfiguration == content);
    QCOMPARE(analog->rowCount(), 2);
    QCOMPARE(rowTexts(analog, 1).at(0), QStringLiteral("2."));

    // A click elsewhere in the row changes nothing.
    selectRow(analog, 1);
    QCOMPARE(window->configuration->analogAction(0, 1).flags, quint8(4));

    clickUseBox(analog, 1);
    QCOMPARE(analog->item(1, 1)->checkState(), Qt::Checked);
    QVERIFY(*window->configuration == content);
}

void ActionTablesTest::useBoxFollowsTheSpaceKey()
{
    Configuration content;
    content.setDigitalAction(4, 0, InputAction(DigitalInput, 3, 0, 0, 1));
    open(content);
    QTableWidget *digital = table("weCy5TableWidget");

    digital->setFocus();
    digital->setCurrentCell(0, 1);
    QTest::keyClick(digital, Qt::Key_Space);
    QCOMPARE(digital->item(0, 1)->checkState(), Qt::Unchecked);
    QCOMPARE(window->configuration->digitalAction(4, 0).flags, quint8(2));
    QCOMPARE(window->referenceConfiguration->digitalAction(4, 0).flags, quint8(3));
}

void ActionTablesTest::rangeFieldRescalesTheValues()
{
    Configuration content;
    content.analogRange[0] = 10;
    content.analogDecimals[0] = 0;
    content.setAnalogAction(0, 0, InputAction(AnalogInput, 7, 100, 0, 1));
    open(content);
    QTableWidget *analog = table("weAn1TableWidget");
    QCOMPARE(analog->item(0, 2)->text(), QStringLiteral("zmiana o 1"));

    retypeRange("weWyWeAn1ZakresLineEdit", QStringLiteral("10.0"));
    QCOMPARE(analog->item(0, 2)->text(), QStringLiteral("zmiana o 1.0"));
    QCOMPARE(window->configuration->analogInputRange(0), (AnalogRange{ 100, 1 }));
    QCOMPARE(window->referenceConfiguration->analogInputRange(0), (AnalogRange{ 10, 0 }));
    QCOMPARE(window->configuration->analogInputRange(1), content.analogInputRange(1));
}

void ActionTablesTest::rangeThatCannotBeStoredIsRefused()
{
    Configuration content;
    content.setAnalogAction(1, 0, InputAction(AnalogInput, 3, 1000, 0, 1));
    open(content);

    // 999.99 needs 99999 hundredths, more than the module's 16 bits. The
    // field shows at once the range that is kept.
    retypeRange("weWyWeAn2ZakresLineEdit", QStringLiteral("999.99"), QStringLiteral("999.9"));
    QCOMPARE(window->configuration->analogInputRange(1), (AnalogRange{ 9999, 1 }));
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Zakresu 999.99 nie można zapisać w modemie: obowiązuje nadal zakres 999.9."));
    QCOMPARE(table("weAn2TableWidget")->item(0, 2)->text(), QStringLiteral("większe od 999.9"));
}

void ActionTablesTest::rangeChangeAsksAboutTheThresholds_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QStringList>("shown");
    // Both lists of the question: with the values kept, with the numbers kept.
    QTest::addColumn<QStringList>("listed");
    const QStringList to25 = { "1. większe od 7.50 → większe od 7.5", "2. zmiana o 655.35 → zmiana o 655.4",
                               "1. większe od 7.50 → większe od 19.1", "2. zmiana o 655.35 → zmiana o 1671.1" };
    QTest::newRow("values kept") << "25.5" << "Zachowaj wartości progów" << QList<int>{ 294, 25700 }
                                 << QStringList{ "większe od 7.5", "zmiana o 655.4" } << to25;
    QTest::newRow("numbers kept") << "25.5" << "Zachowaj zapisane liczby" << QList<int>{ 750, 65535 }
                                  << QStringList{ "większe od 19.1", "zmiana o 1671.1" } << to25;
    QTest::newRow("a value that cannot be stored")
            << "2.5" << "Zachowaj wartości progów" << QList<int>{ 3000, 65535 }
            << QStringList{ "większe od 7.5", "zmiana o 163.8" }
            << QStringList{ "2. zmiana o 655.35 → zmiana o 163.8 (wartości 655.35 nie da się zapisać "
                            "przy nowym zakresie)" };
}

// A threshold is stored as thousandths of the range: 7.50 of 10.00 is 750,
// which a range of 25.5 shows as 19.1. Finishing the range edit asks which
// to keep, and the answer is one step with the range.
void ActionTablesTest::rangeChangeAsksAboutTheThresholds()
{
    QFETCH(QString, range);
    QFETCH(QString, answer);
    QFETCH(QList<int>, values);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, listed);
    Configuration content;
    content.setAnalogAction(0, 1, InputAction(AnalogInput, 3, 750, 0, 1));
    content.setAnalogAction(0, 4, InputAction(AnalogInput, 7, 65535, 0, 2));
    open(content);

    retypeRange("weWyWeAn1ZakresLineEdit", range);
    QString question;
    answerer->expect([&question, answer](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        question = box->text() + QLatin1Char('\n') + box->informativeText();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answer)
                button->click();
        }
    });
    QTest::keyClick(window->findChild<QLineEdit *>(QStringLiteral("weWyWeAn1ZakresLineEdit")), Qt::Key_Return);
    QVERIFY(answerer->waitAllAnswered());
    QVERIFY2(question.contains(QStringLiteral("z 10.00 na ") + range), qPrintable(question));
    for (const QString &line : listed)
        QVERIFY2(question.contains(line), qPrintable(question));

    QTableWidget *analog = table("weAn1TableWidget");
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(int(window->configuration->analogAction(0, row == 0 ? 1 : 4).value), values.at(row));
        QCOMPARE(analog->item(row, 2)->text(), shown.at(row));
    }
    window->findChild<QAction *>(QStringLiteral("actionCofnij"))->trigger();
    QVERIFY(*window->configuration == content);
}

TELVORO_TEST_MAIN(ActionTablesTest)
#include "tst_actiontables.moc"
