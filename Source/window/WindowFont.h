#pragma once

#include <QFont>

namespace kestrane {

// The window's font. Every control has a fixed size, designed around the
// small 8-point dialog font; the ordinary desktop font is wider and would
// clip "Convirt to Excel File", "Channel 7" and long channel names. Each
// platform has a face that fits every caption in its box, and any
// 20-character name of the logger's code page in a channel-name box
// (WindowFont_posix.cpp, WindowFont_windows.cpp). Sizes are in pixels, like
// the layout, so both scale together.
QFont windowFont();

} // namespace kestrane
