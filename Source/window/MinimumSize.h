#pragma once

namespace kestrane {

class WindowPlacement;

// Keeps the window's outer size at least the size it opens with: a width
// below the minimum is raised first, then, read afresh, a height below it.
// Exactly the minimum is left alone. Only a window in its normal state is
// sized: a minimised, maximised or full-screen window belongs to the window
// manager, and resizing it would take it out of that state.
void keepMinimumSize(WindowPlacement &window);

} // namespace kestrane
