#ifndef ACTIONTEXT_H
#define ACTIONTEXT_H

#include <QString>
#include <QtGlobal>

class InputAction;

// The texts under which an action is shown in the tables and dialogs.
QString actionConditionText(const InputAction &action);
QString actionTimeText(const InputAction &action);
QString actionText(const InputAction &action);

// A time in seconds the way the action tables show one ("1g 2m 5s").
QString timeText(quint16 seconds);

// A ring task as the settings dialog offers it: a local output operation
// (its action code plus one) or "status n" (24 plus n). Empty for 0, which
// means no task, and for the values no item carries.
QString ringTaskText(int value);

#endif
