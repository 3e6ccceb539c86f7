#include "mainwindow/editcommand.h"

namespace {
constexpr int TypingId = 1;
}

EditCommand::EditCommand(const EditState &before, const EditState &after, TypingKey typing,
                         Restore restore)
    : before(before), after(after), typing(typing), restore(std::move(restore))
{
}

void EditCommand::undo()
{
    restore(before);
}

void EditCommand::redo()
{
    if (!pushed) {
        pushed = true;
        return;
    }
    restore(after);
}

int EditCommand::id() const
{
    return typing.field ? TypingId : -1;
}

bool EditCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const EditCommand *>(other);
    if (!(next->typing == typing))
        return false;
    after = next->after;
    // Typed and taken back: the step changes nothing.
    setObsolete(after == before);
    return true;
}
