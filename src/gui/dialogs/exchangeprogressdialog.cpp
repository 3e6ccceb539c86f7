#include "dialogs/exchangeprogressdialog.h"

#include "settings/applicationsetup.h"

#include <QProgressBar>
#include <QTimer>

namespace {
constexpr int ShowDelay = 500;
}

ExchangeProgressDialog::ExchangeProgressDialog(const QString &label, ModuleSession *session, QWidget *parent)
    : QProgressDialog(parent), progressBar(new QProgressBar)
{
    setWindowTitle(applicationTitle);
    setLabelText(label);
    setCancelButton(nullptr);
    // The bar is driven directly: QProgressDialog::setValue() would show the
    // dialog by its own estimate, long before the half second is over.
    progressBar->setValue(0);
    setBar(progressBar);
    connect(session, &ModuleSession::progress, this, &ExchangeProgressDialog::showProgress);
    QTimer::singleShot(ShowDelay, this, &QProgressDialog::show);
}

void ExchangeProgressDialog::showProgress(ModuleSession::Step, int elapsedMilliseconds, int limitMilliseconds)
{
    progressBar->setRange(0, limitMilliseconds);
    progressBar->setValue(elapsedMilliseconds);
}
