#include "livestatewatch.h"

#include "console.h"
#include "modulesession.h"

#include <QDateTime>
#include <QStringList>
#include <QtEndian>

namespace {

constexpr int PollInterval = 1000;
constexpr int OnlineStateSize = 5;

} // namespace

LiveStateWatch::LiveStateWatch(ModuleSession *session, Format format, int count,
                               const std::optional<Configuration> &scaling)
    : session(session), format(format), count(count)
{
    if (scaling)
        ranges = { scaling->analogInputRange(0), scaling->analogInputRange(1) };
    timer.setInterval(PollInterval);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [this] { poll(); });
    QObject::connect(session->link(), &Module::connectionLost, &loop, [this] {
        connectionLost = true;
        loop.quit();
    });
}

bool LiveStateWatch::run(Failure *failure)
{
    if (format == Format::Csv) {
        QStringList header = { QStringLiteral("Czas"), QStringLiteral("AI1"), QStringLiteral("AI2") };
        for (int input = 1; input <= DigitalInputCount; ++input)
            header << QStringLiteral("DI%1").arg(input);
        Console::out(header.join(QLatin1Char(',')) + QLatin1Char('\n'));
    }
    timer.start();
    poll();
    if (!connectionLost && (count == 0 || polls < count))
        loop.exec();
    timer.stop();
    if (connectionLost) {
        *failure = { ExitModuleFault, QStringLiteral("%1: %2").arg(
                             session->portName(),
                             tr("Utracono połączenie z modemem.")) };
        return false;
    }
    return true;
}

void LiveStateWatch::poll()
{
    if (session->link()->isBusy())
        return;
    const QByteArray state = session->readOnlineState();
    if (connectionLost)
        return;
    Console::out(line(state) + QLatin1Char('\n'));
    ++polls;
    if (count > 0 && polls >= count)
        loop.quit();
}

QString LiveStateWatch::line(const QByteArray &state) const
{
    const QDateTime now = QDateTime::currentDateTime();
    const bool answered = state.size() == OnlineStateSize;
    const quint16 ai1 = answered ? qFromBigEndian<quint16>(state.constData()) : 0;
    const quint16 ai2 = answered ? qFromBigEndian<quint16>(state.constData() + 2) : 0;
    const quint8 inputs = answered ? quint8(state.at(4)) : 0;
    QStringList digital;
    for (int input = 0; input < DigitalInputCount; ++input)
        digital << (inputs & (1 << input) ? QStringLiteral("1") : QStringLiteral("0"));

    if (format == Format::Csv) {
        const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
        if (!answered)
            return time + QString(AnalogInputCount + DigitalInputCount, QLatin1Char(','));
        return QStringList({ time, analogText(0, ai1), analogText(1, ai2) }).join(QLatin1Char(','))
                + QLatin1Char(',') + digital.join(QLatin1Char(','));
    }
    const QString time = now.toString(QStringLiteral("HH:mm:ss"));
    if (!answered)
        return tr("%1  brak odpowiedzi z modemu").arg(time);
    return QStringLiteral("%1  AI 1: %2  AI 2: %3  DI 1–6: %4")
            .arg(time, analogText(0, ai1), analogText(1, ai2), digital.join(QLatin1Char(' ')));
}

QString LiveStateWatch::analogText(int input, quint16 thousandths) const
{
    return ranges ? analogDisplayText(thousandths, (*ranges)[input]) : QString::number(thousandths);
}
