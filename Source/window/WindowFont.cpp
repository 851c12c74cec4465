#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

QFont windowFont()
{
    QFont font;
#ifdef Q_OS_WIN
    // Windows' own dialog font ("MS Shell Dlg 2"), on every Windows there is.
    font.setFamilies({QStringLiteral("Tahoma")});
#else
    // Nimbus Sans Narrow comes with the URW base fonts; the others are the
    // same narrow design where those are not installed.
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial Narrow")});
#endif
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace kestrane
