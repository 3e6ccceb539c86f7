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
    void show(ModuleSession::Step step, int elapsedMilliseconds, int limitMilliseconds);
    // Clears the line.
    void end();

    ModuleSession *session;
    QString label;
    int shownWidth = 0;
    QElapsedTimer clock;
};

#endif
