#include "doublelineedit.h"

#include <QKeyEvent>

DoubleLineEdit::DoubleLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void DoubleLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space) {
        event->ignore();
        return;
    }
    // Sent through the override, so that a field with limits of its own
    // judges the point the user gets, not the comma.
    if (event->key() == Qt::Key_Comma) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."));
        keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}
