#include "actiondialogdriver.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include "testwidgets.h"

#include <QTest>

namespace ActionDialogDriver {

namespace {

using TestWidgets::child;

} // namespace

QListWidget *list(QWidget *dialog, int column)
{
    static const char *const names[] = { "listWidget", "listWidget_2", "listWidget_3" };
    return child<QListWidget>(dialog, names[column]);
}

void clickRow(QWidget *dialog, int column, int row)
{
    QListWidget *listWidget = list(dialog, column);
    QVERIFY(row < listWidget->count());
    const QRect rect = listWidget->visualItemRect(listWidget->item(row));
    QTest::mouseClick(listWidget->viewport(), Qt::LeftButton, {}, rect.center());
}

void choose(QWidget *dialog, int group, int second, int third)
{
    clickRow(dialog, 0, group);
    clickRow(dialog, 1, second);
    clickRow(dialog, 2, third);
}

void click(QWidget *dialog, const char *buttonName)
{
    auto *button = child<QAbstractButton>(dialog, buttonName);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void typeValue(QWidget *dialog, const QString &text)
{
    auto *field = child<QLineEdit>(dialog, "wartoscLineEdit");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

void setTime(QWidget *dialog, int hours, int minutes, int seconds)
{
    auto *groupBox = child<QGroupBox>(dialog, "groupBox");
    if (!groupBox->isChecked())
        QTest::keyClick(groupBox, Qt::Key_Space);
    QVERIFY(groupBox->isChecked());
    const std::pair<const char *, int> fields[] = {
        { "HSpinBox", hours }, { "MSpinBox", minutes }, { "SSpinBox", seconds }
    };
    for (const auto &[name, value] : fields) {
        auto *spinBox = child<QSpinBox>(dialog, name);
        spinBox->selectAll();
        QTest::keyClicks(spinBox, QString::number(value));
        QCOMPARE(spinBox->value(), value);
    }
}

} // namespace ActionDialogDriver
