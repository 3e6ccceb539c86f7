#ifndef DOUBLELINEEDIT_H
#define DOUBLELINEEDIT_H

#include <QLineEdit>

// A field for a decimal value shown with '.': a typed comma, the Polish
// decimal separator, becomes '.'; the space is refused.
class DoubleLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DoubleLineEdit(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
