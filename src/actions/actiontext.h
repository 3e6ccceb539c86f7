#ifndef ACTIONTEXT_H
#define ACTIONTEXT_H

#include <QString>

class InputAction;

// The texts under which an action is shown in the tables and dialogs.
QString actionConditionText(const InputAction &action);
QString actionTimeText(const InputAction &action);
QString actionText(const InputAction &action);

#endif
