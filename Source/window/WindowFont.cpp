#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

QFont windowFont()
{
    QFont font;
    // Nimbus Sans Narrow comes with the URW base fonts; the others are the
    // same narrow design where those are not installed.
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial Narrow")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace kestrane
