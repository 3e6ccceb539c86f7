#include "dialogs/exchangeprogressdialog.h"

#include "settings/applicationsetup.h"

#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int ShowDelay = 500;
}

ExchangeProgressDialog::ExchangeProgressDialog(const QString &label, ModuleSession *session, QWidget *parent)
    : QProgressDialog(parent), session(session), progressBar(new QProgressBar), label(label)
{
    setWindowTitle(applicationTitle);
    setLabelText(label);
    // A wait the module may leave unanswered can be given up; the session
    // then treats the message as unanswered.
    auto *stop = new QPushButton(tr("Przerwij"));
    stop->setObjectName(QStringLiteral("stopWaitingButton"));
    setCancelButton(stop);
    connect(this, &QProgressDialog::canceled, session, &ModuleSession::stopWaiting);
    // The bar is driven directly: QProgressDialog::setValue() would show the
    // dialog by its own estimate, long before the half second is over.
    progressBar->setValue(0);
    setBar(progressBar);
    connect(session, &ModuleSession::progress, this, &ExchangeProgressDialog::showProgress);
    showTimer.setSingleShot(true);
    connect(&showTimer, &QTimer::timeout, this, &QProgressDialog::show);
    showTimer.start(ShowDelay);
}

// Full once the step is over, and out of sight; the owner drops it.
void ExchangeProgressDialog::showProgress(ModuleSession::Step, int elapsedMilliseconds, int limitMilliseconds)
{
    progressBar->setRange(0, limitMilliseconds);
    progressBar->setValue(elapsedMilliseconds);
    const QString waiting = session->waitText();
    setLabelText(waiting.isEmpty() ? label : label + QStringLiteral("<br>") + waiting);
    if (elapsedMilliseconds == limitMilliseconds) {
        showTimer.stop();
        hide();
    }
}
