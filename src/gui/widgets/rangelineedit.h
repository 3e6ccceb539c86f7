#ifndef RANGELINEEDIT_H
#define RANGELINEEDIT_H

#include "widgets/doublelineedit.h"

// A field for a measuring range: a decimal field that also refuses the keys
// that would take the value above 1000, and decimals after 1000.
class RangeLineEdit : public DoubleLineEdit
{
    Q_OBJECT

public:
    explicit RangeLineEdit(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
