#ifndef DOUBLELINEEDIT_H
#define DOUBLELINEEDIT_H

#include <QLineEdit>

// A field for a decimal value: the decimal separator is typed as '.', so the
// comma and the space are refused.
class DoubleLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DoubleLineEdit(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
