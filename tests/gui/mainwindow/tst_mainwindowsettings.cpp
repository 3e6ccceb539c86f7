#include "mainwindow/mainwindow.h"
#include "configuration/configuration.h"
#include "dialoganswerer.h"
#include "testmain.h"
#include "ui_mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

// Opens the settings dialog from the main window, as a user would.
class MainWindowSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void settingsActionOpensFirstTabAndRefreshesNumbersOnOk();
    void settingsActionCancelledLeavesNumbers();
    void phoneNamesLinkOpensNumberListAndAlwaysRefreshes();
};

namespace {

struct DialogState
{
    QString className;
    int tab = -1;
};

// Answers the settings dialog: records it, types a number into the list when
// one is given, and presses the button named.
DialogAnswerer::Answer settingsAnswer(DialogState &state, const QString &number, const char *buttonName)
{
    return [&state, number, buttonName](QWidget *dialog) {
        state.className = QString::fromLatin1(dialog->metaObject()->className());
        auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("numeryTableWidget"));
        auto *button = dialog->findChild<QPushButton *>(QLatin1String(buttonName));
        if (!tabs || !table || !button) {
            dialog->close();
            return;
        }
        state.tab = tabs->currentIndex();
        if (!number.isEmpty()) {
            tabs->setCurrentIndex(2);
            table->editItem(table->item(0, 1));
            QLineEdit *editor = table->viewport()->findChild<QLineEdit *>();
            if (editor) {
                QTest::keyClicks(editor, number);
                QTest::keyClick(editor, Qt::Key_Return);
                if (!QTest::qWaitFor([&] { return table->item(0, 1)->text() == number; }))
                    qWarning("the typed number was not committed");
            }
        }
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

QString shownNumber(MainWindow &window, int row)
{
    QTableWidgetItem *item = window.ui->defNazwNazwyTelTableWidget->item(row, 1);
    return item ? item->text() : QString();
}

}

void MainWindowSettingsTest::settingsActionOpensFirstTabAndRefreshesNumbersOnOk()
{
    MainWindow window;
    window.ui->actionNowy->trigger();
    QVERIFY(window.configuration);

    DialogAnswerer answerer;
    DialogState state;
    answerer.expect(settingsAnswer(state, QStringLiteral("600100200"), "zapiszPushButton"));
    window.ui->actionUstawienia->trigger();

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(state.className, QStringLiteral("UstawieniaDialog"));
    QCOMPARE(answerer.seen[0].title, QStringLiteral("Ustawienia"));
    QCOMPARE(state.tab, 0);
    QCOMPARE(window.configuration->phoneNumber(0), QStringLiteral("600100200"));
    QCOMPARE(shownNumber(window, 0), QStringLiteral("600100200"));
    QVERIFY(window.isWindowModified());
}

void MainWindowSettingsTest::settingsActionCancelledLeavesNumbers()
{
    MainWindow window;
    window.ui->actionNowy->trigger();
    QVERIFY(window.configuration);

    DialogAnswerer answerer;
    DialogState state;
    answerer.expect(settingsAnswer(state, QStringLiteral("600100200"), "anulujPushButton"));
    window.ui->actionUstawienia->trigger();

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(window.configuration->phoneNumber(0), QString());
    QCOMPARE(shownNumber(window, 0), QString());
    QVERIFY(!window.isWindowModified());
}

void MainWindowSettingsTest::phoneNamesLinkOpensNumberListAndAlwaysRefreshes()
{
    MainWindow window;
    window.ui->actionNowy->trigger();
    QVERIFY(window.configuration);
    // A number the table does not show yet: the link refreshes the table
    // even when the dialog is cancelled.
    window.configuration->setPhoneNumber(7, QStringLiteral("700800900"));

    DialogAnswerer answerer;
    DialogState state;
    answerer.expect(settingsAnswer(state, QString(), "anulujPushButton"));
    emit window.ui->label_6->linkActivated(QStringLiteral("#"));

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(state.className, QStringLiteral("UstawieniaDialog"));
    QCOMPARE(state.tab, 2);
    QCOMPARE(shownNumber(window, 7), QStringLiteral("700800900"));
}

TELVORO_TEST_MAIN(MainWindowSettingsTest)
#include "tst_mainwindowsettings.moc"
