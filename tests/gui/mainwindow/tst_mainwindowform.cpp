// The main window's form on its own, set up on a plain QMainWindow: the state
// it leaves behind and the properties the window's code relies on.
#include "testmain.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

Q_DECLARE_METATYPE(Qt::ItemFlags)

namespace {

const Qt::ItemFlags readOnlyFlags = Qt::ItemIsDragEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
const Qt::ItemFlags editableFlags = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
        | Qt::ItemIsDropEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;

// Object names of a numbered series whose first member has no suffix.
QString seriesName(const QString &base, int number)
{
    return number == 1 ? base : QStringLiteral("%1_%2").arg(base).arg(number);
}

QStringList actionTableInputs()
{
    return {"An1", "An2", "Cy1", "Cy2", "Cy3", "Cy4", "Cy5", "Cy6"};
}

// The line edit a table view opens over a cell being edited, if any.
QLineEdit *openEditor(QTableWidget *table)
{
    const auto editors = table->viewport()->findChildren<QLineEdit *>();
    for (QLineEdit *editor : editors) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

} // namespace

class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnStartPageWithFirstTabAndPage();
    void startupOutputsOffAndNoManualOutput();
    void actionsAtStart_data();
    void actionsAtStart();
    void zamknijClosesWindow();
    void menusHaveAltLettersAndTheirTexts();
    void namesTableCells_data();
    void namesTableCells();
    void namesTableHeaders_data();
    void namesTableHeaders();
    void readOnlyNameCellsCannotBeSelectedOrEdited();
    void smsStatusClickSelectsOnlyItsName();
    void actionTables_data();
    void actionTables();
    void customWidgetsInPlace();
    void spinBoxRanges_data();
    void spinBoxRanges();
    void tabOrder();

private:
    template<typename T>
    T *child(const QString &name)
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
        return widget;
    }

    void showNamesPage(int page);

    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<Ui::MainWindowUi> ui;
};

void TestMainWindowForm::init()
{
    window = std::make_unique<QMainWindow>();
    ui = std::make_unique<Ui::MainWindowUi>();
    ui->setupUi(window.get());
}

void TestMainWindowForm::cleanup()
{
    ui.reset();
    window.reset();
}

void TestMainWindowForm::showNamesPage(int page)
{
    ui->mainStackedWidget->setCurrentWidget(ui->page_5);
    ui->tabWidget->setCurrentWidget(ui->tab_3);
    ui->stackedWidget->setCurrentIndex(page);
    window->resize(900, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestMainWindowForm::startsOnStartPageWithFirstTabAndPage()
{
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(ui->mainStackedWidget->currentWidget(), ui->page_4);
    QCOMPARE(ui->tabWidget->currentWidget(), ui->tab);
    QCOMPARE(ui->stackedWidget->currentWidget(), ui->page);
    QVERIFY(ui->nazwyTelefonowPushButton->isChecked());
    QVERIFY(!ui->wejsciaWyjsciaPushButton->isChecked());
    QVERIFY(!ui->smsyPushButton->isChecked());

    // The window's code switches to the "Online" tab by index.
    QCOMPARE(ui->tabWidget->count(), 5);
    QCOMPARE(ui->tabWidget->indexOf(ui->tab_4), 3);
    QCOMPARE(ui->tabWidget->tabText(3), QStringLiteral("Online"));

    QVERIFY(ui->polaczZModememPushButton->isCheckable());
    QVERIFY(!ui->polaczZModememPushButton->isChecked());
    QCOMPARE(ui->portsComboBox->count(), 1);
    QCOMPARE(ui->portsComboBox->itemText(0), QStringLiteral("<<Wybierz port do komunikacji z modułem>>"));
}

void TestMainWindowForm::startupOutputsOffAndNoManualOutput()
{
    for (int output = 1; output <= 6; ++output) {
        const auto name = [output](const char *pattern) { return QString::fromLatin1(pattern).arg(output); };
        auto *startupOff = child<QRadioButton>(name("weWyPoUrDO%1WylRadioButton"));
        auto *startupOn = child<QRadioButton>(name("weWyPoUrDO%1ZalRadioButton"));
        auto *manualOff = child<QRadioButton>(name("weWyManDO%1WylRadioButton"));
        auto *manualOn = child<QRadioButton>(name("weWyManDO%1ZalRadioButton"));
        QVERIFY(startupOff && startupOn && manualOff && manualOn);
        QVERIFY2(startupOff->isChecked(), qPrintable(startupOff->objectName()));
        QVERIFY(!startupOn->isChecked());
        QVERIFY(!manualOff->isChecked());
        QVERIFY(!manualOn->isChecked());
    }
    // The first signal type of each analogue input is preselected.
    QVERIFY(ui->weWyWeAn1Set1RadioButton->isChecked());
    QVERIFY(ui->weWyWeAn2Set1RadioButton->isChecked());
    QVERIFY(!ui->weWyWeAn1Set4RadioButton->isChecked());
}

void TestMainWindowForm::actionsAtStart_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QKeySequence>("shortcut");

    QTest::newRow("Ustawienia") << "actionUstawienia" << true << QKeySequence();
    QTest::newRow("Zakończ") << "actionZamknij" << true << QKeySequence("Ctrl+Q");
    QTest::newRow("Odczytaj z modemu") << "actionOdbierz_z_modemu" << false << QKeySequence();
    QTest::newRow("Odczytaj z pliku") << "actionOdczyt_z_pliku" << true << QKeySequence("Ctrl+O");
    QTest::newRow("Zapisz do pliku") << "actionZapis_do_pliku" << false << QKeySequence("Ctrl+S");
    QTest::newRow("Zapisz do modemu") << "actionZapisz_do_modu_u" << false << QKeySequence();
    QTest::newRow("Nowy") << "actionNowy" << true << QKeySequence("Ctrl+N");
    QTest::newRow("Cofnij zmiany") << "actionCofnij_zmiany" << false << QKeySequence();
    QTest::newRow("Zamknij konfigurację") << "actionZamknij_konfiguracj" << false << QKeySequence("Ctrl+W");
    QTest::newRow("O programie") << "actionO_programie" << true << QKeySequence();
    QTest::newRow("Porównaj z plikiem") << "actionPorownaj_z_plikiem" << false << QKeySequence();
    QTest::newRow("Cofnij") << "actionCofnij" << false << QKeySequence("Ctrl+Z");
    QTest::newRow("Ponów") << "actionPonow" << false << QKeySequence("Ctrl+Y");
    QTest::newRow("Kopie zapasowe") << "actionKopie_zapasowe" << true << QKeySequence();
    QTest::newRow("Eksportuj do PDF") << "actionEksportuj_do_PDF" << false << QKeySequence();
    QTest::newRow("Drukuj") << "actionDrukuj" << false << QKeySequence("Ctrl+P");
}

void TestMainWindowForm::actionsAtStart()
{
    QFETCH(QString, action);
    QFETCH(bool, enabled);
    QFETCH(QKeySequence, shortcut);

    auto *act = window->findChild<QAction *>(action);
    QVERIFY(act);
    QCOMPARE(act->parent(), window.get());
    QCOMPARE(act->isEnabled(), enabled);
    QCOMPARE(act->shortcut(), shortcut);
}

void TestMainWindowForm::zamknijClosesWindow()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!window->isVisible());
}

// Each menu, and each command within its menu, has an Alt letter of its
// own; the texts read as they always have.
void TestMainWindowForm::menusHaveAltLettersAndTheirTexts()
{
    QStringList texts;
    const QList<QAction *> menus = ui->menuBar->actions();
    for (QList<QAction *> entries : {menus, menus[0]->menu()->actions(), menus[1]->menu()->actions(),
                                     menus[2]->menu()->actions(), menus[3]->menu()->actions()}) {
        entries.removeIf([](const QAction *entry) { return entry->isSeparator(); });
        QSet<QChar> letters;
        for (const QAction *entry : entries) {
            const QString text = entry->text();
            QVERIFY2(text.count(u'&') == 1, qPrintable(text));
            letters.insert(text.at(text.indexOf(u'&') + 1).toLower());
            texts << QString(text).remove(u'&');
        }
        QCOMPARE(letters.size(), entries.size());
    }
    QCOMPARE(texts, QStringList({"Plik", "Edycja", "Narzędzia", "Pomoc", "Nowy", "Zamknij konfigurację",
                                 "Odczytaj z pliku", "Zapisz do pliku", "Porównaj z plikiem…",
                                 "Kopie zapasowe…", "Eksportuj do PDF…", "Drukuj…", "Zakończ", "Cofnij", "Ponów",
                                 "Ustawienia", "Dziennik komunikacji…", "Seria modemów…",
                                 "O programie"}));
}

void TestMainWindowForm::namesTableCells_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::ItemFlags>("flags");

    const QStringList inputs = {"cyfrowe 1 (DI 1)", "cyfrowe 2 (DI 2)", "cyfrowe 3 (DI 3)", "cyfrowe 4 (DI 4)",
                                "cyfrowe 5 (DI 5)", "cyfrowe 6 (DI 6)", "analogowe 1 (AI 1)",
                                "analogowe 2  (AI 2)"};
    const QStringList outputs = {"cyfrowe 1 (DO 1)", "cyfrowe 2 (DO 2)", "cyfrowe 3 (DO 3)", "cyfrowe 4 (DO 4)",
                                 "cyfrowe 5 (DO 5)", "cyfrowe 6 (DO 6)", "analogowe 1 (AO 1)",
                                 "analogowe 2 (AO 2)"};
    const auto addRow = [](const char *table, int row, int column, const QString &text, Qt::ItemFlags flags) {
        QTest::addRow("%s %d,%d", table, row, column) << QString::fromLatin1(table) << row << column << text << flags;
    };
    for (int row = 0; row < 8; ++row) {
        const QString number = QStringLiteral("%1.").arg(row + 1);
        addRow("defNazwNazwyTelTableWidget", row, 0, number, readOnlyFlags);
        addRow("defNazwNazwyTelTableWidget", row, 1, QString(), readOnlyFlags);
        addRow("defNazwNazwyTelTableWidget", row, 2, QString(), editableFlags);
        addRow("weWyWejsciaTableWidget", row, 0, number, readOnlyFlags);
        addRow("weWyWejsciaTableWidget", row, 1, inputs.at(row), readOnlyFlags);
        addRow("weWyWejsciaTableWidget", row, 2, QString(), editableFlags);
        addRow("weWyWyjsciaTableWidget", row, 0, number, readOnlyFlags);
        addRow("weWyWyjsciaTableWidget", row, 1, outputs.at(row), readOnlyFlags);
        addRow("weWyWyjsciaTableWidget", row, 2, QString(), editableFlags);
        addRow("defNazwSmsListaTableWidget", row, 0, QString::number(row + 1), readOnlyFlags);
        addRow("defNazwSmsListaTableWidget", row, 1, QStringLiteral("status %1").arg(row + 1), editableFlags);
    }
}

void TestMainWindowForm::namesTableCells()
{
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(Qt::ItemFlags, flags);

    auto *widget = child<QTableWidget>(table);
    QVERIFY(widget);
    QTableWidgetItem *item = widget->item(row, column);
    // The window's slots react to changes of these cells, so every one must exist.
    QVERIFY(item);
    QCOMPARE(item->text(), text);
    QCOMPARE(item->flags(), flags);
}

void TestMainWindowForm::namesTableHeaders_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("headers");

    QTest::newRow("phones") << "defNazwNazwyTelTableWidget"
                            << QStringList{"L.p.", "Telefon", "Nazwa zastępcza"};
    QTest::newRow("inputs") << "weWyWejsciaTableWidget"
                            << QStringList{"L.p.", "Nazwa wejścia", "Nazwa użytkownika"};
    QTest::newRow("outputs") << "weWyWyjsciaTableWidget"
                             << QStringList{"L.p.", "Nazwa wyjścia", "Nazwa użytkownika"};
    QTest::newRow("sms statuses") << "defNazwSmsListaTableWidget" << QStringList{"Status", "Nazwa statusu"};
}

void TestMainWindowForm::namesTableHeaders()
{
    QFETCH(QString, table);
    QFETCH(QStringList, headers);

    auto *widget = child<QTableWidget>(table);
    QVERIFY(widget);
    QCOMPARE(widget->rowCount(), 8);
    QCOMPARE(widget->columnCount(), headers.size());
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(widget->horizontalHeaderItem(column)->text(), headers.at(column));
    // Sorted rows would no longer match the slots they stand for.
    QVERIFY(!widget->isSortingEnabled());
}

void TestMainWindowForm::readOnlyNameCellsCannotBeSelectedOrEdited()
{
    showNamesPage(1);
    QTableWidget *table = ui->weWyWejsciaTableWidget;

    const QRect labelCell = table->visualItemRect(table->item(6, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, labelCell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, labelCell.center());
    QVERIFY(table->selectedItems().isEmpty());
    QVERIFY(!openEditor(table));

    const QRect nameCell = table->visualItemRect(table->item(6, 2));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, nameCell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, nameCell.center());
    QCOMPARE(table->selectedItems(), QList<QTableWidgetItem *>{table->item(6, 2)});
    QVERIFY(openEditor(table));
}

void TestMainWindowForm::smsStatusClickSelectsOnlyItsName()
{
    showNamesPage(2);
    QTableWidget *table = ui->defNazwSmsListaTableWidget;

    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(3, 1)).center());
    QCOMPARE(table->selectedItems(), QList<QTableWidgetItem *>{table->item(3, 1)});

    // The status number cannot be selected, so a click on it leaves no status chosen.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(5, 0)).center());
    QVERIFY(table->selectedItems().isEmpty());
}

void TestMainWindowForm::actionTables_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("groupBox");

    const QStringList inputs = actionTableInputs();
    for (int i = 0; i < inputs.size(); ++i)
        QTest::newRow(qPrintable(inputs.at(i))) << inputs.at(i) << seriesName("groupBox", i + 1);
}

void TestMainWindowForm::actionTables()
{
    QFETCH(QString, input);
    QFETCH(QString, groupBox);

    // Collapsing a panel hides its group box, so the table and its buttons must live inside it.
    auto *box = child<QGroupBox>(groupBox);
    QVERIFY(box);
    auto *table = box->findChild<QTableWidget *>(QStringLiteral("we%1TableWidget").arg(input));
    QVERIFY(table);
    for (const char *action : {"nowe", "edytuj", "usun"})
        QVERIFY2(box->findChild<QToolButton *>(QStringLiteral("%1We%2ToolButton").arg(action, input)),
                 action);

    QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
}

void TestMainWindowForm::customWidgetsInPlace()
{
    for (int i = 1; i <= 6; ++i) {
        const QString name = seriesName("onlineAktualneZalRadioButton", i);
        QVERIFY2(qobject_cast<RadioButton *>(child<QWidget>(name)), qPrintable(name));
    }
    QVERIFY(qobject_cast<DoubleLineEdit *>(ui->onlineManAnOut1LineEdit));
    QVERIFY(qobject_cast<DoubleLineEdit *>(ui->onlineManAnOut2LineEdit));
    QVERIFY(qobject_cast<RangeLineEdit *>(ui->weWyWeAn1ZakresLineEdit));
    QVERIFY(qobject_cast<RangeLineEdit *>(ui->weWyWeAn2ZakresLineEdit));
    // The SMS editor declares no meta-object of its own.
    QVERIFY(dynamic_cast<SmsBodyPlainTextEdit *>(ui->defNazwSmsTrescPlainTextEdit));
}

void TestMainWindowForm::spinBoxRanges_data()
{
    QTest::addColumn<QString>("spinBox");
    QTest::addColumn<int>("maximum");

    for (int output = 1; output <= 6; ++output) {
        const QString minutes = seriesName("weWyPoUrCzMinSpinBox", output);
        const QString seconds = seriesName("weWyPoUrCzSekSpinBox", output);
        QTest::newRow(qPrintable(minutes)) << minutes << 1000;
        QTest::newRow(qPrintable(seconds)) << seconds << 59;
    }
    QTest::newRow("akuMinSpinBox") << "akuMinSpinBox" << 1000;
    QTest::newRow("akuSekSpinBox") << "akuSekSpinBox" << 59;
}

void TestMainWindowForm::spinBoxRanges()
{
    QFETCH(QString, spinBox);
    QFETCH(int, maximum);

    auto *box = child<QSpinBox>(spinBox);
    QVERIFY(box);
    QCOMPARE(box->minimum(), 0);
    QCOMPARE(box->maximum(), maximum);
}

void TestMainWindowForm::tabOrder()
{
    QStringList expected = {"portsComboBox", "polaczZModememPushButton", "nowyToolButton",
                            "odczytajZPlikuToolButton", "odczytajZModemuToolButton", "tabWidget"};
    for (const QString &input : actionTableInputs()) {
        expected << QStringLiteral("we%1TableWidget").arg(input) << QStringLiteral("noweWe%1ToolButton").arg(input)
                 << QStringLiteral("edytujWe%1ToolButton").arg(input)
                 << QStringLiteral("usunWe%1ToolButton").arg(input);
    }
    expected << "toolButton_18" << "toolButton_17" << "weWyFiltrCyAnLineEdit" << "weWyFiltrCyAnLineEdit_2";
    for (int i = 1; i <= 6; ++i)
        expected << seriesName("weWyFiltrCyDiLineEdit", i);
    for (int i = 1; i <= 6; ++i) {
        expected << QStringLiteral("weWyPoUrDO%1WylRadioButton").arg(i)
                 << QStringLiteral("weWyPoUrDO%1ZalRadioButton").arg(i) << seriesName("weWyPoUrCzMinSpinBox", i)
                 << seriesName("weWyPoUrCzSekSpinBox", i);
    }
    for (int input = 1; input <= 2; ++input) {
        expected << QStringLiteral("weWyWeAn%1ZakresLineEdit").arg(input);
        for (int set = 1; set <= 4; ++set)
            expected << QStringLiteral("weWyWeAn%1Set%2RadioButton").arg(input).arg(set);
    }
    expected << "weWyHisterezaLineEdit" << "nazwyTelefonowPushButton" << "wejsciaWyjsciaPushButton"
             << "smsyPushButton" << "defNazwNazwyTelTableWidget" << "weWyWejsciaTableWidget"
             << "weWyWyjsciaTableWidget" << "defNazwSmsUsunToolButton" << "defNazwSmsListaTableWidget"
             << "defNazwSmsTrescPlainTextEdit" << "onlineAktualneAn1LineEdit" << "onlineAktualneAn2LineEdit";
    for (int i = 1; i <= 6; ++i)
        expected << seriesName("onlineAktualneZalRadioButton", i);
    expected << "onlineManAnOut1LineEdit" << "onlineManAnOut2LineEdit";
    for (int i = 1; i <= 6; ++i)
        expected << QStringLiteral("weWyManDO%1WylRadioButton").arg(i) << QStringLiteral("weWyManDO%1ZalRadioButton").arg(i);
    expected << "weWyManWyslijPushButton" << "akuAkuLoadComboBox";
    for (int i = 1; i <= 8; ++i)
        expected << QStringLiteral("akuTelCheckBox_%1").arg(i);
    expected << "akuPrzekZalCheckBox" << "akuAktWejCheckBox" << "akuMinSpinBox" << "akuSekSpinBox";

    // Walk the focus chain once from the first stop and keep the named stops in the order met.
    QStringList visited;
    QWidget *first = ui->portsComboBox;
    QWidget *widget = first;
    do {
        if (expected.contains(widget->objectName()) && !visited.contains(widget->objectName()))
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first);
    QCOMPARE(visited, expected);
}

TELVORO_TEST_MAIN(TestMainWindowForm)

#include "tst_mainwindowform.moc"
