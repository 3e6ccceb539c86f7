#include "radiobutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

RadioButton::RadioButton(QWidget *parent)
    : QRadioButton(parent)
{
}

// Without the press the button is never "down", so no release can click it.
void RadioButton::mousePressEvent(QMouseEvent *event)
{
    event->ignore();
}

void RadioButton::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
}
