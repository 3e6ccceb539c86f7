#include "terminalprogress.h"

#include "console.h"
#include "link/module.h"

namespace {
constexpr int BarWidth = 24;
}

TerminalProgress::TerminalProgress(ModuleSession *session)
{
    if (!Console::errorIsTerminal())
        return;
    connect(session, &ModuleSession::stepStarted, this, &TerminalProgress::begin);
    connect(session, &ModuleSession::stepFinished, this, &TerminalProgress::end);
    connect(session->module(), &Module::exchangeProgress, this, &TerminalProgress::show);
}

void TerminalProgress::begin(ModuleSession::Step step, int limitMilliseconds)
{
    switch (step) {
    case ModuleSession::Step::Connecting:
        label = tr("Łączenie z modemem. Proszę czekać...");
        break;
    case ModuleSession::Step::Reading:
        label = tr("Odczyt danych z modemu. Proszę czekać...");
        break;
    case ModuleSession::Step::Writing:
        label = tr("Zapis danych do modemu. Proszę czekać...");
        break;
    case ModuleSession::Step::WritingPinPuk:
        label = tr("Zapis kodu PIN, PUK do modemu. Proszę czekać...");
        break;
    }
    limit = qMax(limitMilliseconds, 1);
    finished = 0;
    clock.start();
    show(0, limit);
}

void TerminalProgress::end()
{
    if (shownWidth > 0)
        Console::error(QLatin1Char('\r') + QString(shownWidth, QLatin1Char(' ')) + QLatin1Char('\r'));
    shownWidth = 0;
    label.clear();
}

void TerminalProgress::show(int elapsedMilliseconds, int exchangeLimit)
{
    if (label.isEmpty())
        return;
    // The bar measures against the limits, as the window's does; the time
    // is the real one.
    const int filled = BarWidth * qMin(finished + elapsedMilliseconds, limit) / limit;
    const QString line = QStringLiteral("%1 [%2%3] %4 s")
            .arg(label, QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('.')),
                 QString::number(clock.elapsed() / 1000.0, 'f', 1));
    Console::error(QLatin1Char('\r') + line);
    shownWidth = qMax(shownWidth, int(line.size()));
    // The last report of an exchange gives its whole limit: the next one
    // continues from there.
    if (elapsedMilliseconds >= exchangeLimit)
        finished += exchangeLimit;
}
