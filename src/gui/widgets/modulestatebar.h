#ifndef MODULESTATEBAR_H
#define MODULESTATEBAR_H

#include <QFrame>
#include <memory>

namespace Ui {
class ModuleStateBarUi;
}

// Above the tabs, what the module may hold after a write that broke or was
// stored differently, with the two ways out, until a verified write or
// restore settles it. Hidden while the module holds what the tool knows.
class ModuleStateBar : public QFrame
{
    Q_OBJECT

public:
    explicit ModuleStateBar(QWidget *parent = nullptr);
    ~ModuleStateBar() override;

    // `text` says what happened, when, and what the module may hold now;
    // the buttons offered are those that can act.
    void showState(const QString &text, bool canRestore, bool canWriteAgain);

signals:
    void restoreRequested();
    void writeAgainRequested();

private:
    std::unique_ptr<Ui::ModuleStateBarUi> ui;
};

#endif
