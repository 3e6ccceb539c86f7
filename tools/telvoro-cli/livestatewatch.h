#ifndef LIVESTATEWATCH_H
#define LIVESTATEWATCH_H

#include "actions/analogscale.h"
#include "configuration/configuration.h"
#include "exitcode.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <array>
#include <optional>

class ModuleConnection;

// The live state of the inputs, polled once a second as the "Online" tab
// polls it, one line a poll on standard output. The analogue inputs show in
// the units of a configuration's ranges, as the tab shows them, or, without
// one, as the module sends them (thousandths of the range).
//
// Text lines read "12:00:01  AI 1: 5.00  AI 2: 5.00  DI 1–6: 1 0 1 0 0 0".
// CSV has a header line, then the time in ISO 8601 with the offset from UTC,
// AI1, AI2 and DI1 to DI6 as 0 or 1, comma separated with a decimal point; a
// poll without an answer keeps its time and leaves the values empty.
class LiveStateWatch
{
    Q_DECLARE_TR_FUNCTIONS(LiveStateWatch)

public:
    enum class Format { Text, Csv };

    // count 0 polls until the program is stopped.
    LiveStateWatch(ModuleConnection *connection, Format format, int count,
                   const std::optional<Configuration> &scaling);

    // False when the connection was lost, or standard output took no more
    // (its failure is told already; the message is then empty).
    bool run(Failure *failure);

private:
    void poll();
    QString line(const QByteArray &state) const;
    QString analogText(int input, quint16 thousandths) const;

    ModuleConnection *connection;
    Format format;
    int count;
    std::optional<std::array<AnalogRange, AnalogInputCount>> ranges;
    int polls = 0;
    bool connectionLost = false;
    bool outputGone = false;
    QEventLoop loop;
    QTimer timer;
};

#endif
