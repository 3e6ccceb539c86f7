#include "sessionwords.h"

namespace SessionWords {

QStringList outcomeNames()
{
    return {QStringLiteral("stored differently"), QStringLiteral("block unanswered"), QStringLiteral("backup failed")};
}

ModuleSession::WriteOutcome outcome(const QString &name, const QString &backupPath)
{
    using Block = ModuleSession::BlockResult;
    ModuleSession::WriteOutcome outcome;
    outcome.plan.moduleRead = true;
    outcome.plan.withSmsBlock = true;
    outcome.backup = BackupStore::SaveResult{BackupStore::SaveStatus::Saved, backupPath};
    if (name == QLatin1String("stored differently")) {
        outcome.status = ModuleSession::WriteStatus::StoredDifferently;
        outcome.settingsBlock = Block::Acknowledged;
        outcome.smsBlock = Block::Acknowledged;
    } else if (name == QLatin1String("block unanswered")) {
        outcome.status = ModuleSession::WriteStatus::BlockUnanswered;
        outcome.settingsBlock = Block::Unanswered;
    } else {
        outcome.status = ModuleSession::WriteStatus::BackupFailed;
        outcome.backup = BackupStore::SaveResult{BackupStore::SaveStatus::CannotCreateFolder, backupPath};
    }
    return outcome;
}

} // namespace SessionWords
