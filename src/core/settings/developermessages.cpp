#include "settings/developermessages.h"

#include <QtGlobal>

namespace {

QtMessageHandler shownBy = nullptr;

// A fatal message still ends the program, with its words.
void keepQuiet(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && shownBy)
        shownBy(type, context, message);
}

} // namespace

void DeveloperMessages::showOnlyIf(bool shown)
{
    if (shown)
        return;
    shownBy = qInstallMessageHandler(keepQuiet);
}
