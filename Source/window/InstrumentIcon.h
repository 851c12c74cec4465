#pragma once

#include <QIcon>
#include <QImage>

namespace kestrane {

// The program's icon: a grey instrument case with a small display and a row
// of five red lamps, in the colours of the classic 16-colour palette. The
// artwork is drawn on a 32 x 32 grid and scaled, so any size can be rendered
// (16 to 64 pixels for the window, 32, 48 and 256 for installed icon themes).
QImage drawInstrumentIcon(int size);

// The icon at 16, 32, 48, 64 and 256 pixels.
QIcon instrumentIcon();

} // namespace kestrane
