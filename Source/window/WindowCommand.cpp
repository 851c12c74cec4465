#include "window/WindowCommand.h"

namespace kestrane {

std::optional<WindowCommand> shortcutCommand(int key, Qt::KeyboardModifiers modifiers)
{
    if (!modifiers.testFlag(Qt::ControlModifier))
        return std::nullopt;
    switch (key) {
    case Qt::Key_O: return WindowCommand::Open;
    case Qt::Key_C: return WindowCommand::Convert;
    case Qt::Key_U: return WindowCommand::Unload;
    default: return std::nullopt;
    }
}

} // namespace kestrane
