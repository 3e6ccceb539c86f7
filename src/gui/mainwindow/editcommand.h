#ifndef EDITCOMMAND_H
#define EDITCOMMAND_H

#include "configuration/configuration.h"
#include "settings/usernames.h"

#include <QUndoCommand>
#include <functional>

// What the window's edit history keeps of each state: the configuration and
// the user's names, which live in the settings store but are edited in the
// window as well.
struct EditState
{
    Configuration configuration;
    UserNames names;
    bool operator==(const EditState &other) const
    {
        return configuration == other.configuration && names == other.names;
    }
};

// One step of the edit history: the states before and after one change,
// taken once the change has settled. Steps typed into one text field while
// it kept the focus merge into one.
class EditCommand : public QUndoCommand
{
public:
    // The text field a change was typed into, with the number of the focus
    // change it was typed after; no field for any other change.
    struct TypingKey
    {
        const QObject *field = nullptr;
        int focusChange = 0;
        bool operator==(const TypingKey &other) const
        {
            return field == other.field && focusChange == other.focusChange;
        }
    };

    using Restore = std::function<void(const EditState &)>;
    EditCommand(const EditState &before, const EditState &after, TypingKey typing, Restore restore);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    EditState before;
    EditState after;
    TypingKey typing;
    Restore restore;
    // The change was made before the step was pushed; the push's redo has
    // nothing to do.
    bool pushed = false;
};

#endif
