#include "rangelineedit.h"

#include <QKeyEvent>

namespace {
const float rangeLimit = 1000.0f;
}

RangeLineEdit::RangeLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void RangeLineEdit::keyPressEvent(QKeyEvent *event)
{
    // A comma is the Polish decimal separator; the field shows a point.
    if (event->key() == Qt::Key_Comma) {
        QKeyEvent point(event->type(), Qt::Key_Period, event->modifiers(), QStringLiteral("."));
        keyPressEvent(&point);
        event->setAccepted(point.isAccepted());
        return;
    }
    // Editing keys such as Backspace make a text that is not a number; it
    // counts as 0 and passes.
    const double candidate = (text() + event->text()).toDouble();
    const bool refused = candidate > rangeLimit
            || event->key() == Qt::Key_Space
            || (event->key() == Qt::Key_Period && candidate == rangeLimit);
    if (refused) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
