#include "actions/actiontext.h"

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
    QString group;
    QString operation;
    QString target;
    int rest = action.code;

    if (rest < 24) {
        group = QStringLiteral("lok.");
    } else if (rest < 48) {
        group = QStringLiteral("zd.");
        rest -= 24;
    } else {
        rest -= 48;
    }

    if (!group.isEmpty()) {
        if (rest < 8) {
            operation = QStringLiteral("zał.");
        } else if (rest < 16) {
            operation = QStringLiteral("wył.");
            rest -= 8;
        } else {
            operation = QStringLiteral("neg.");
            rest -= 16;
        }
        if (rest < 6)
            target = QStringLiteral("DO %1").arg(rest + 1);
        else if (rest == 6)
            target = QStringLiteral("Wszyst.");
    } else if (rest < 64) {
        // Status SMS: the phone in the high three bits, the status in the low three.
        operation = QStringLiteral("tel %1.").arg(rest / 8 + 1);
        target = QStringLiteral("st %1").arg(rest % 8 + 1);
    }

    if (group.isEmpty())
        return QStringLiteral("%1 %2").arg(operation, target);
    return QStringLiteral("%1 %2 %3").arg(group, operation, target);
}

QString ringTaskText(int value)
{
    constexpr int StatusBase = 24;
    constexpr int LastLocalCode = 22;
    if (value > StatusBase && value <= StatusBase + 8)
        return QStringLiteral("status %1").arg(value - StatusBase);
    // Local operations without a target (codes 7, 15, 23) are no ring task.
    const int code = value - 1;
    if (code < 0 || code > LastLocalCode || code % 8 == 7)
        return QString();
    return actionText(InputAction(AnalogInput, 0, 0, 0, quint8(code))).remove(QStringLiteral("lok. "));
}
