#include "livestatewatch.h"

#include "console.h"
#include "moduleconnection.h"
#include "trend/trendcsv.h"
#include "trend/trendrecord.h"

#include <QDateTime>
#include <QStringList>

namespace {

constexpr int PollInterval = 1000;

} // namespace

LiveStateWatch::LiveStateWatch(ModuleConnection *connection, Format format, int count,
                               const std::optional<Configuration> &scaling)
    : connection(connection), format(format), count(count)
{
    if (scaling)
        ranges = { scaling->analogInputRange(0), scaling->analogInputRange(1) };
    timer.setInterval(PollInterval);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [this] { poll(); });
    // A stop signal ends the watch after the reading that runs, as --count does.
    QObject::connect(connection->stopSignals(), &StopSignals::received, &loop, &QEventLoop::quit);
    QObject::connect(connection->session(), &ModuleSession::connectionLost, &loop, [this] {
        connectionLost = true;
        loop.quit();
    });
}

bool LiveStateWatch::run(Failure *failure)
{
    outputGone = format == Format::Csv && !Console::out(QString::fromLatin1(TrendCsv::header()) + QLatin1Char('\n'));
    if (!outputGone) {
        timer.start();
        poll();
    }
    if (!connectionLost && !outputGone && (count == 0 || polls < count) && !connection->interrupted())
        loop.exec();
    timer.stop();
    if (outputGone) {
        *failure = { ExitFileFault, QString() };
        return false;
    }
    if (connectionLost) {
        *failure = connection->fault(tr("Utracono połączenie z modemem."));
        return false;
    }
    return true;
}

void LiveStateWatch::poll()
{
    if (connection->session()->isBusy() || connection->interrupted())
        return;
    const QByteArray state = connection->session()->readOnlineState();
    if (connectionLost)
        return;
    // Nobody reads any more (a pipe's reader ended): the port is given up.
    outputGone = !Console::out(line(state) + QLatin1Char('\n'));
    ++polls;
    if (outputGone || (count > 0 && polls >= count))
        loop.quit();
}

QString LiveStateWatch::line(const QByteArray &state) const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = format == Format::Csv
            ? now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)
            : now.toString(QStringLiteral("HH:mm:ss"));
    // The values are shown with the ranges of --config, not the sample's.
    const std::optional<TrendSample> sample =
            TrendSample::fromOnlineState(now.toMSecsSinceEpoch(), state, {}, {});
    if (!sample) {
        return format == Format::Csv ? time + QString(AnalogInputCount + DigitalInputCount, QLatin1Char(','))
                                     : tr("%1  brak odpowiedzi z modemu").arg(time);
    }
    QStringList digital;
    for (int input = 0; input < DigitalInputCount; ++input)
        digital << (sample->digitalInput(input) ? QStringLiteral("1") : QStringLiteral("0"));
    const QString ai1 = analogText(0, sample->analog[0]);
    const QString ai2 = analogText(1, sample->analog[1]);
    if (format == Format::Csv)
        return QStringList({ time, ai1, ai2 }).join(QLatin1Char(',')) + QLatin1Char(',')
                + digital.join(QLatin1Char(','));
    return QStringLiteral("%1  AI 1: %2  AI 2: %3  DI 1–6: %4").arg(time, ai1, ai2, digital.join(QLatin1Char(' ')));
}

QString LiveStateWatch::analogText(int input, quint16 thousandths) const
{
    return ranges ? analogDisplayText(thousandths, (*ranges)[input]) : QString::number(thousandths);
}
