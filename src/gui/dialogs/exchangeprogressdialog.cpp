#include "dialogs/exchangeprogressdialog.h"

#include "link/module.h"
#include "settings/applicationsetup.h"

#include <QProgressBar>
#include <QTimer>

namespace {
constexpr int ShowDelay = 500;
}

ExchangeProgressDialog::ExchangeProgressDialog(const QString &label, Module *module,
                                               int limitMilliseconds, QWidget *parent)
    : QProgressDialog(parent), progressBar(new QProgressBar)
{
    setWindowTitle(applicationTitle);
    setLabelText(label);
    setCancelButton(nullptr);
    // The bar is driven directly: QProgressDialog::setValue() would show the
    // dialog by its own estimate, long before the half second is over.
    progressBar->setRange(0, limitMilliseconds);
    progressBar->setValue(0);
    setBar(progressBar);
    connect(module, &Module::exchangeProgress, this, &ExchangeProgressDialog::showExchangeProgress);
    QTimer::singleShot(ShowDelay, this, &QProgressDialog::show);
}

// Each exchange reports 0 first and its limit last.
void ExchangeProgressDialog::showExchangeProgress(int elapsedMs, int limitMs)
{
    if (elapsedMs == 0) {
        exchangeStart = exchangeEnd;
        exchangeEnd += limitMs;
    }
    progressBar->setValue(qMin(exchangeStart + elapsedMs, progressBar->maximum()));
}
