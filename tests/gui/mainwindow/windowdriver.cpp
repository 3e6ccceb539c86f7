#include "windowdriver.h"

#include "mainwindow/mainwindow.h"
#include "dialoganswerer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace WindowDriver {

void reveal(QWidget *widget)
{
    for (QWidget *page = widget; page && page->parentWidget(); page = page->parentWidget()) {
        QWidget *parent = page->parentWidget();
        if (auto *tabs = qobject_cast<QTabWidget *>(parent->parentWidget()); tabs && tabs->indexOf(page) >= 0)
            tabs->setCurrentWidget(page);
        else if (auto *stack = qobject_cast<QStackedWidget *>(parent); stack && !qobject_cast<QTabWidget *>(stack->parentWidget()))
            stack->setCurrentWidget(page);
    }
}

void editCell(QTableWidget *table, int row, int column, const QString &text)
{
    reveal(table);
    if (!table->item(row, column))
        table->setItem(row, column, new QTableWidgetItem);
    table->setCurrentCell(row, column);
    table->editItem(table->item(row, column));
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    QVERIFY2(editor, "the cell opened no editor");
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    // Key by key with its text, which keyClicks() allows for Latin-1 only.
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key(character.toUpper().unicode()), QString(character),
                            Qt::NoModifier);
    const QPointer<QLineEdit> openEditor(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits the text and closes the editor a moment later.
    QTRY_VERIFY(openEditor.isNull() || !openEditor->isVisible());
}

void retype(QWidget *lineEdit, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(lineEdit);
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void change(MainWindow &window, const QString &objectName)
{
    QWidget *widget = window.findChild<QWidget *>(objectName);
    QVERIFY2(widget, qPrintable(objectName));
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        retype(edit, edit->text() == QLatin1String("7") ? QStringLiteral("8") : QStringLiteral("7"));
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->click();
    } else if (auto *spinBox = qobject_cast<QSpinBox *>(widget)) {
        spinBox->setFocus();
        QTest::keyClick(spinBox, spinBox->value() < spinBox->maximum() ? Qt::Key_Up : Qt::Key_Down);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
    } else {
        QFAIL(qPrintable(QStringLiteral("no way to change %1").arg(objectName)));
    }
}

void collect(MainWindow &window, DialogAnswerer &answerer)
{
    answerer.expectFileCancel();
    action(window, "actionZapis_do_pliku")->trigger();
    QVERIFY(answerer.waitAllAnswered());
}

void newConfiguration(MainWindow &window)
{
    action(window, "actionNowy")->trigger();
}

void newChangedConfiguration(MainWindow &window, const QString &objectName)
{
    window.show();
    newConfiguration(window);
    change(window, objectName);
}

QAction *action(MainWindow &window, const char *objectName)
{
    auto *found = window.findChild<QAction *>(QLatin1String(objectName));
    if (!found)
        qFatal("no action %s", objectName);
    return found;
}

}
