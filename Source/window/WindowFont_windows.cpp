#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

// The face the layout was drawn for: the classic 8-point dialog font, which
// every Windows ships as Microsoft Sans Serif, at 11 pixels (8 points at
// 96 dpi), drawn as designed. Narrowed, its strokes fall between pixels once
// font smoothing is off, as it often is over Remote Desktop: "Open" reads
// "Cpen". Where Microsoft Sans Serif is missing, MS Sans Serif is the same
// design under its older name (Wine has it so).
QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif")});
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace kestrane
