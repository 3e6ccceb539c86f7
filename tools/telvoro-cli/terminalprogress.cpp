#include "terminalprogress.h"

#include "console.h"
#include "link/module.h"

namespace {
constexpr int BarWidth = 24;
}

TerminalProgress::TerminalProgress(Module *module) : enabled(Console::errorIsTerminal())
{
    if (enabled)
        connect(module, &Module::exchangeProgress, this, &TerminalProgress::show);
}

void TerminalProgress::begin(const QString &text, int limitMilliseconds)
{
    label = text;
    limit = qMax(limitMilliseconds, 1);
    finished = 0;
    clock.start();
    if (enabled)
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
