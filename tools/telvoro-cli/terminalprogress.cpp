#include "terminalprogress.h"

#include "console.h"

namespace {
constexpr int BarWidth = 24;
}

TerminalProgress::TerminalProgress(ModuleSession *session) : session(session)
{
    if (!Console::errorIsTerminal())
        return;
    connect(session, &ModuleSession::progress, this, &TerminalProgress::show);
}

// Each step starts at 0 and ends at its limit.
void TerminalProgress::show(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds)
{
    if (elapsedMilliseconds == limitMilliseconds) {
        end();
        return;
    }
    if (elapsedMilliseconds == 0) {
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
            label = tr("Zapis kodów PIN i PUK do modemu. Proszę czekać...");
            break;
        }
        clock.start();
    }
    // The bar measures against the limits, as the window's does; the time
    // is the real one.
    const int filled = BarWidth * elapsedMilliseconds / limitMilliseconds;
    QString line = QStringLiteral("%1 [%2%3] %4 s")
            .arg(label, QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char('.')),
                 QString::number(clock.elapsed() / 1000.0, 'f', 1));
    const QString waiting = session->waitText();
    if (!waiting.isEmpty())
        line += QStringLiteral(" · ") + waiting;
    // A shorter line than the one before leaves none of its end behind.
    line = line.leftJustified(shownWidth);
    Console::error(QLatin1Char('\r') + line);
    shownWidth = qMax(shownWidth, int(line.size()));
}

void TerminalProgress::end()
{
    if (shownWidth > 0)
        Console::error(QLatin1Char('\r') + QString(shownWidth, QLatin1Char(' ')) + QLatin1Char('\r'));
    shownWidth = 0;
}
