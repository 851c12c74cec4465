#include "window/WindowFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace kestrane {

// The face the layout was drawn for: the classic 8-point dialog font, which
// every Windows ships as Microsoft Sans Serif, at 11 pixels (8 points at
// 96 dpi), drawn as designed. Narrowed, its strokes would fall between
// pixels once font smoothing is off, as it often is over Remote Desktop:
// "Open" would read "Cpen". Where it is missing (Wine has none), Tahoma, the
// dialog font of later Windows, at 10 pixels, where it is as wide. A channel
// name too wide for its box is drawn smaller (ChannelNameBox), never narrower.
QFont windowFont()
{
    const QString classic = QStringLiteral("Microsoft Sans Serif");
    const bool hasClassic = QFontDatabase::families().contains(classic);
    QFont font;
    font.setFamilies({hasClassic ? classic : QStringLiteral("Tahoma")});
    font.setPixelSize(hasClassic ? 11 : 10);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace kestrane
