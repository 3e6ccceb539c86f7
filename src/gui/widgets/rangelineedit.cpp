#include "rangelineedit.h"

#include <QKeyEvent>

namespace {
const float rangeLimit = 1000.0f;
}

RangeLineEdit::RangeLineEdit(QWidget *parent)
    : DoubleLineEdit(parent)
{
}

void RangeLineEdit::keyPressEvent(QKeyEvent *event)
{
    // Editing keys such as Backspace, and the comma and the space, which the
    // base class handles, make a text that is not a number; it counts as 0
    // and passes.
    const double candidate = (text() + event->text()).toDouble();
    const bool refused = candidate > rangeLimit
            || (event->key() == Qt::Key_Period && candidate == rangeLimit);
    if (refused) {
        event->ignore();
        return;
    }
    DoubleLineEdit::keyPressEvent(event);
}
