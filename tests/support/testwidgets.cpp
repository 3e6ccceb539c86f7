#include "testwidgets.h"

#include <QComboBox>
#include <QTest>

namespace TestWidgets {

void typeInto(QWidget *parent, const char *name, const QString &text)
{
    auto *field = child<QWidget>(parent, name);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

void chooseItem(QWidget *parent, const char *name, const QString &text)
{
    auto *combo = child<QComboBox>(parent, name);
    QTest::keyClick(combo, Qt::Key_Home);
    while (combo->currentText() != text && combo->currentIndex() < combo->count() - 1)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), text);
}

}
