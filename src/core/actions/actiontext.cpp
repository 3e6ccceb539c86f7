#include "actions/actiontext.h"

#include "actions/actioncode.h"
#include "actions/inputaction.h"

QString actionConditionText(const InputAction &action)
{
    const int condition = action.condition();
    if (action.inputKind == AnalogInput) {
        switch (condition) {
        case 1:
            return QStringLiteral("większe od");
        case 2:
            return QStringLiteral("mniejsze od");
        case 3:
            return QStringLiteral("zmiana o");
        }
    } else if (action.inputKind == DigitalInput) {
        switch (condition) {
        case 1:
            return QStringLiteral("narastające");
        case 2:
            return QStringLiteral("opadające");
        }
    }
    return QString();
}

QString actionTimeText(const InputAction &action)
{
    return timeText(action.time);
}

QString timeText(quint16 seconds)
{
    const int hours = seconds / 3600;
    const int rest = seconds - 3600 * hours;
    const int minutes = rest / 60;
    const int restSeconds = rest - 60 * minutes;
    if (hours > 0)
        return QStringLiteral("%1g %2m %3s").arg(hours).arg(minutes).arg(restSeconds);
    if (minutes > 0)
        return QStringLiteral("%1m %2s").arg(minutes).arg(restSeconds);
    return QStringLiteral("%1s").arg(restSeconds);
}

QString actionText(const InputAction &action)
{
    const ActionCode code(action.code);
    if (!code.isKnown())
        return QStringLiteral(" ");
    if (code.group() == ActionCode::StatusSms)
        return QStringLiteral("tel %1. st %2").arg(code.second() + 1).arg(code.third() + 1);

    const QString group =
            code.group() == ActionCode::LocalOutputs ? QStringLiteral("lok.") : QStringLiteral("zd.");
    const QString operation = code.second() == ActionCode::SwitchOn    ? QStringLiteral("zał.")
                            : code.second() == ActionCode::SwitchOff ? QStringLiteral("wył.")
                                                                     : QStringLiteral("neg.");
    QString target;
    if (code.third() < ActionCode::AllOutputs)
        target = QStringLiteral("DO %1").arg(code.third() + 1);
    else if (code.third() == ActionCode::AllOutputs)
        target = QStringLiteral("Wszyst.");
    return QStringLiteral("%1 %2 %3").arg(group, operation, target);
}

QString ringTaskText(int value)
{
    if (value > RingTask::StatusBase && value <= RingTask::Last)
        return QStringLiteral("status %1").arg(value - RingTask::StatusBase);
    // Only the module's own outputs, and only operations with a target.
    const ActionCode code(value - 1);
    if (value == RingTask::None || !code.isKnown() || code.group() != ActionCode::LocalOutputs
        || !code.hasTarget())
        return QString();
    return actionText(InputAction(AnalogInput, 0, 0, 0, quint8(code.value()))).remove(QStringLiteral("lok. "));
}
