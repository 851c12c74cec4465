#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

QFont windowFont()
{
    QFont font;
#ifdef Q_OS_WIN
    // Windows' own dialog font ("MS Shell Dlg 2"), on every Windows there is,
    // at 10 pixels and drawn narrower, as Windows does on request: as it is,
    // Qt's padding leaves "Convirt to Excel File" no room in its button, and
    // twenty "%" or "¼" overflow a channel-name box. Windows narrows to whole
    // pixels of the font's average width: asked for 96%, it draws four fifths.
    font.setFamilies({QStringLiteral("Tahoma")});
    font.setPixelSize(10);
    font.setStretch(96);
#else
    // Nimbus Sans Narrow comes with the URW base fonts; the others are the
    // same narrow design where those are not installed.
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Arial Narrow")});
    font.setPixelSize(11);
#endif
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace kestrane
