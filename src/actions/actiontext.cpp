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
    const int hours = action.time / 3600;
    const int rest = action.time - 3600 * hours;
    const int minutes = rest / 60;
    const int seconds = rest - 60 * minutes;
    if (hours > 0)
        return QStringLiteral("%1g %2m %3s").arg(hours).arg(minutes).arg(seconds);
    if (minutes > 0)
        return QStringLiteral("%1m %2s").arg(minutes).arg(seconds);
    return QStringLiteral("%1s").arg(seconds);
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
