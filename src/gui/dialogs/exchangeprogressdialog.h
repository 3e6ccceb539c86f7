#ifndef EXCHANGEPROGRESSDIALOG_H
#define EXCHANGEPROGRESSDIALOG_H

#include <QProgressDialog>

class Module;
class QProgressBar;

// The progress of an operation with the module: its bar fills against the
// longest the operation's exchanges may take, one after the other, and is
// full once the last of them is over. It shows only when the operation still
// runs after half a second; it goes away with the object.
class ExchangeProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    ExchangeProgressDialog(const QString &label, Module *module, int limitMilliseconds,
                           QWidget *parent);

private:
    void showExchangeProgress(int elapsedMs, int limitMs);

    QProgressBar *progressBar;
    // Where the running exchange's part of the bar begins and ends.
    int exchangeStart = 0;
    int exchangeEnd = 0;
};

#endif
