#include "window/SharedIconStyle.h"

#include <QGuiApplication>
#include <QPixmap>

namespace kestrane {

QIcon withoutLargeImages(const QIcon &icon, int largest)
{
    if (icon.isNull() || !icon.name().isEmpty())
        return icon;
    QIcon lean;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
        for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
            for (const QSize &size : icon.availableSizes(mode, state)) {
                // At scale 1 the icon hands back the image of exactly this size.
                if (size.width() <= largest && size.height() <= largest)
                    lean.addPixmap(icon.pixmap(size, 1.0, mode, state), mode, state);
            }
        }
    }
    return lean.isNull() ? icon : lean;
}

QIcon SharedIconStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                    const QWidget *widget) const
{
    // An option may ask for another direction or state: such icons are not shared.
    if (option != nullptr)
        return QProxyStyle::standardIcon(which, option, widget);
    // Arrows point the other way in a right-to-left layout.
    const int key = int(which) * 2 + (QGuiApplication::isRightToLeft() ? 1 : 0);
    const auto found = m_icons.constFind(key);
    if (found != m_icons.constEnd())
        return *found;
    const QIcon icon = withoutLargeImages(QProxyStyle::standardIcon(which, nullptr, widget), LargestKept);
    m_icons.insert(key, icon);
    return icon;
}

} // namespace kestrane
