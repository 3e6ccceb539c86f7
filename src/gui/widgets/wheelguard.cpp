#include "widgets/wheelguard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>

WheelGuard::WheelGuard(QObject *parent)
    : QObject(parent)
{
}

void WheelGuard::guard(QWidget *area)
{
    QList<QWidget *> fields;
    for (QAbstractSpinBox *spinBox : area->findChildren<QAbstractSpinBox *>())
        fields.append(spinBox);
    for (QComboBox *comboBox : area->findChildren<QComboBox *>())
        fields.append(comboBox);
    for (QWidget *field : fields) {
        // The wheel must not give the focus either.
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(this);
    }
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || static_cast<QWidget *>(watched)->hasFocus())
        return false;
    // Unhandled, it goes on to the page, which scrolls.
    event->ignore();
    return true;
}
