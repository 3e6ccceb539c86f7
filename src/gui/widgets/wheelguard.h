#ifndef WHEELGUARD_H
#define WHEELGUARD_H

#include <QObject>

class QWidget;

// Keeps the mouse wheel from changing a value the user did not choose to
// change: a spin box or combo box takes the wheel only while it has the
// keyboard focus. A wheel turned to scroll a page over it scrolls the page.
class WheelGuard : public QObject
{
    Q_OBJECT

public:
    explicit WheelGuard(QObject *parent = nullptr);

    // Guards every spin box and combo box inside the area.
    void guard(QWidget *area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#endif
