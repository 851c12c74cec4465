#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

// Nimbus Sans Narrow comes with the URW base fonts; the others are the same
// narrow design where those are not installed. 11 pixels: 8 points at 96 dpi.
QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial Narrow")});
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace kestrane
