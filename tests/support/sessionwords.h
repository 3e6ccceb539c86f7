#ifndef SESSIONWORDS_H
#define SESSIONWORDS_H

#include "link/modulesession.h"

#include <QString>
#include <QStringList>

// The outcomes of a write whose words the window and telvoro-cli must both
// say, built as the session reports them, so that each front end's test
// compares what it shows with the same sentences.
namespace SessionWords {

// "stored differently", "block unanswered" (the settings block) and "backup
// failed" (its folder could not be made).
QStringList outcomeNames();

// The named outcome of a write of both blocks to a module that was read;
// `backupPath` is the backup written, or the folder that could not be made.
ModuleSession::WriteOutcome outcome(const QString &name, const QString &backupPath);

} // namespace SessionWords

#endif
