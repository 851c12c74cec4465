#include "window/WindowFont.h"

#include <QStringList>

namespace kestrane {

QFont windowFont()
{
    QFont font;
#ifdef Q_OS_WIN
    // Windows' own dialog font ("MS Shell Dlg 2"), on every Windows there is,
    // a pixel smaller than its usual 8 points: Qt's buttons pad their
    // captions more than the layout was drawn for, and at 10 pixels twenty of
    // its widest letters (W, Æ) fit a channel-name box.
    font.setFamilies({QStringLiteral("Tahoma")});
    font.setPixelSize(10);
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
