#ifndef STOPSIGNALS_H
#define STOPSIGNALS_H

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// SIGINT (Ctrl+C) and SIGTERM, taken as a request instead of ending the
// program at once: while an object of this class lives, each one is reported
// by received() from the event loop, a nested one too, so that a write can
// stop between two exchanges with the module, never in the middle of a
// block. Only one object may live at a time.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    StopSignals();
    ~StopSignals() override;

signals:
    void received();

private:
    void takeSignal();

    std::unique_ptr<QSocketNotifier> notifier;
};

#endif
