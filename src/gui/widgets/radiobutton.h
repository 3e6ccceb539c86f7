#ifndef RADIOBUTTON_H
#define RADIOBUTTON_H

#include <QRadioButton>

// An indicator that only the program switches (setChecked): mouse presses
// and keys, Space included, never toggle it.
class RadioButton : public QRadioButton
{
    Q_OBJECT

public:
    explicit RadioButton(QWidget *parent);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
