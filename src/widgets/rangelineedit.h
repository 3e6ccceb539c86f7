#ifndef RANGELINEEDIT_H
#define RANGELINEEDIT_H

#include <QLineEdit>

// A field for a measuring range: refuses the keys that would take the value
// above 1000, the space, and decimals after 1000. A typed comma is taken as
// the decimal separator and shows as '.'.
class RangeLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit RangeLineEdit(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
