#ifndef EXCHANGEPROGRESSDIALOG_H
#define EXCHANGEPROGRESSDIALOG_H

#include "link/modulesession.h"

#include <QProgressDialog>
#include <QTimer>

class QProgressBar;

// The progress of an operation with the module: its bar follows the
// session's step, which fills against the longest the step's exchanges may
// take one after the other and is full once the last of them is over; the
// label says what is waited for and how long at most, and "Przerwij" stops
// the wait. It shows only when the operation still runs after half a second, and hides
// when the step ends.
class ExchangeProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    ExchangeProgressDialog(const QString &label, ModuleSession *session, QWidget *parent);

private:
    void showProgress(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds);

    ModuleSession *session;
    QProgressBar *progressBar;
    QString label;
    QTimer showTimer;
};

#endif
