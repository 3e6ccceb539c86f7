#include "dialoganswerer.h"
#include "testmain.h"
#include "dialogs/oprogramiedialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class OProgramieDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void showsNameVersionAndBuild();
    void cannotBeResized();
    void closedByButton();
    void closedByEscape();
};

namespace {

QString labelText(const QDialog &dialog, const char *name)
{
    const auto *label = dialog.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace

void OProgramieDialogTest::showsNameVersionAndBuild()
{
    OProgramieDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("OProgramieDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("O programie"));
    QCOMPARE(labelText(dialog, "label"), QStringLiteral("Telvoro"));
    QVERIFY(dialog.findChild<QLabel *>("label")->styleSheet().contains("rgb(90, 90, 90)"));

    QStringList texts;
    for (const char *name : {"label_2", "label_3", "label_4", "label_5", "label_6", "label_7"})
        texts << labelText(dialog, name);
    QCOMPARE(texts, (QStringList{"Nazwa:", "Telvoro", "Wersja:", "Telvoro 3.0", "Kompilacja:",
                                 "3.0/21022011"}));

    auto *button = dialog.findChild<QPushButton *>("pushButton");
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Zamknij"));
    QVERIFY(!button->icon().isNull());
}

void OProgramieDialogTest::cannotBeResized()
{
    OProgramieDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(343, 274));
    QCOMPARE(dialog.minimumSize(), QSize(343, 274));
    QCOMPARE(dialog.maximumSize(), QSize(343, 274));
    dialog.resize(500, 400);
    QCOMPARE(dialog.size(), QSize(343, 274));
}

void OProgramieDialogTest::closedByButton()
{
    QWidget mainWindow;
    mainWindow.show();
    OProgramieDialog dialog(&mainWindow);
    DialogAnswerer answerer;
    answerer.expect([](QWidget *shown) {
        QTest::mouseClick(shown->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().className, QStringLiteral("OProgramieDialog"));
    QVERIFY(answerer.unexpected.isEmpty());
    QVERIFY(!dialog.isVisible());
}

void OProgramieDialogTest::closedByEscape()
{
    QWidget mainWindow;
    mainWindow.show();
    OProgramieDialog dialog(&mainWindow);
    DialogAnswerer answerer;
    answerer.expectEscape();
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("O programie"));
    QVERIFY(answerer.unexpected.isEmpty());
    QVERIFY(!dialog.isVisible());
}

TELVORO_TEST_MAIN(OProgramieDialogTest)
#include "tst_oprogramiedialog.moc"
