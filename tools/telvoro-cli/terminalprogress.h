#ifndef TERMINALPROGRESS_H
#define TERMINALPROGRESS_H

#include "link/modulesession.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

// How far each step of the session's operations has come, on one line of
// standard error that is redrawn in place, as the window's busy indicator.
// Shown only when standard error is a terminal, so that logs and pipes stay
// clean.
class TerminalProgress : public QObject
{
    Q_OBJECT

public:
    explicit TerminalProgress(ModuleSession *session);

private:
    // A step of one or more exchanges, which together take at most
    // limitMilliseconds.
    void begin(ModuleSession::Step step, int limitMilliseconds);
    // Clears the line.
    void end();
    void show(int elapsedMilliseconds, int exchangeLimit);

    QString label;
    int limit = 0;
    // The limits of the exchanges of this operation that have ended.
    int finished = 0;
    int shownWidth = 0;
    QElapsedTimer clock;
};

#endif
