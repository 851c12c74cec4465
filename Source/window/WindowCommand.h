#pragma once

#include <Qt>

#include <optional>

namespace kestrane {

// The window's four commands.
enum class WindowCommand { Open, Convert, Unload, Exit };

// The command a key press runs through the window's own key handler, if any:
// Ctrl+O opens, Ctrl+C converts, Ctrl+U unloads. Only the Ctrl bit is looked
// at -- Shift and Alt may be held too -- and `key` is Qt's key code, the same
// for a letter with or without Shift or Caps Lock.
std::optional<WindowCommand> shortcutCommand(int key, Qt::KeyboardModifiers modifiers);

} // namespace kestrane
