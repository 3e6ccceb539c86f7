// The memory a full day's trend record takes, and the time of the trend's
// larger jobs: writing a full day as CSV, and redrawing a full hour.
#include "settings/standardstreams.h"
#include "trend/trendcsv.h"
#include "trend/trendrecord.h"
#include "widgets/trendwidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr qint64 PollPeriod = 1000;
// One poll in a hundred without an answer, so the gap bands cost their share.
constexpr int GapEvery = 100;

// The resident set of this process in KiB, from /proc/self/status.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

TrendSample poll(qint64 n, qint64 start)
{
    const qint64 time = start + n * PollPeriod;
    if (n % GapEvery == GapEvery - 1)
        return TrendSample::unanswered(time);
    const quint16 ai1 = quint16(50 * (n % 21));
    const quint16 ai2 = quint16(1000 - ai1);
    const char state[] = {char(ai1 >> 8), char(ai1 & 0xFF), char(ai2 >> 8), char(ai2 & 0xFF),
                          char(n % 64)};
    return *TrendSample::fromOnlineState(time, QByteArray(state, sizeof state), {1000, 2}, {250, 1});
}

// The median of the runs in milliseconds.
double medianMilliseconds(int runs, const std::function<void()> &job)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        job();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    openMissingStandardStreams();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - TrendRecord::DayCapacity * PollPeriod;

    const qint64 before = residentKiB();
    auto record = std::make_unique<TrendRecord>();
    qint64 n = 0;
    for (; n < record->capacity(); ++n)
        record->append(poll(n, start));
    const qint64 after = residentKiB();
    std::printf("Full record: %lld polls x %zu bytes = %.2f MiB computed, %.2f MiB resident\n",
                static_cast<long long>(record->capacity()), sizeof(TrendSample),
                record->fullSizeInBytes() / 1048576.0, (after - before) / 1024.0);

    QByteArray csv;
    const double csvTime = medianMilliseconds(5, [&] { csv = TrendCsv::encode(*record); });
    std::printf("CSV of the full record: %.1f ms, %.2f MiB\n", csvTime, csv.size() / 1048576.0);

    TrendWidget widget;
    widget.resize(800, 260);
    widget.setRecord(record.get());
    widget.findChild<QAbstractButton *>(QStringLiteral("przebieg60MinToolButton"))->click();
    widget.show();
    const double redrawTime = medianMilliseconds(21, [&] {
        record->append(poll(n++, start));
        widget.refresh();
        widget.grab();
    });
    std::printf("One poll shown over 60 minutes (redraw and paint): %.1f ms\n", redrawTime);
    return 0;
}
