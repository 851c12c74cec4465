#pragma once

#include <QFont>

namespace kestrane {

// The window's font. Every control has a fixed size, designed around a small
// 8-point dialog font; the ordinary desktop font is wider and would clip
// "Convirt to Excel File", "Channel 7" and long channel names. A narrow sans
// serif at 11 pixels (8 points at 96 dpi) fits every caption in its box, and
// any 20-character name of the logger's code page in a channel-name box; on
// Windows the system's own dialog font, at 10 pixels and a little narrower.
// Sizes are in pixels, like the layout, so both scale together.
QFont windowFont();

} // namespace kestrane
