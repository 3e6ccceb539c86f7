#include "doublelineedit.h"

#include <QKeyEvent>

DoubleLineEdit::DoubleLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void DoubleLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Comma || event->key() == Qt::Key_Space) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
