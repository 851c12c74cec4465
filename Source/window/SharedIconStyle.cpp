#include "window/SharedIconStyle.h"

#include <QGuiApplication>
#include <QMutexLocker>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace kestrane {

QIcon withoutLargeImages(const QIcon &icon, int largest)
{
    if (icon.isNull() || !icon.name().isEmpty())
        return icon;
    QIcon lean;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
        for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
            bool hasLargest = false;
            QSize smallestLarger;
            for (const QSize &size : icon.availableSizes(mode, state)) {
                // At scale 1 the icon hands back its image of exactly this size.
                if (size.width() <= largest && size.height() <= largest) {
                    lean.addPixmap(icon.pixmap(size, 1.0, mode, state), mode, state);
                    hasLargest = hasLargest || std::max(size.width(), size.height()) == largest;
                } else if (!smallestLarger.isValid() || size.width() < smallestLarger.width()) {
                    smallestLarger = size;
                }
            }
            if (smallestLarger.isValid() && !hasLargest)
                lean.addPixmap(icon.pixmap(smallestLarger, 1.0, mode, state)
                                   .scaled(largest, largest, Qt::KeepAspectRatio, Qt::SmoothTransformation),
                               mode, state);
        }
    }
    return lean.isNull() ? icon : lean;
}

int SharedIconStyle::largestKept()
{
    return int(std::ceil(32 * qApp->devicePixelRatio()));
}

QIcon SharedIconStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                    const QWidget *widget) const
{
    // An option may ask for another direction or state: such icons are not shared.
    if (option != nullptr)
        return QProxyStyle::standardIcon(which, option, widget);
    // Arrows point the other way in a right-to-left layout.
    const int key = int(which) * 2 + (QGuiApplication::isRightToLeft() ? 1 : 0);
    {
        const QMutexLocker locked(&m_lock);
        const auto found = m_icons.constFind(key);
        if (found != m_icons.constEnd())
            return *found;
    }
    // Made unlocked: the base style may ask this style for another icon.
    const QIcon icon = withoutLargeImages(QProxyStyle::standardIcon(which, nullptr, widget), largestKept());
    const QMutexLocker locked(&m_lock);
    // Should another thread have made it meanwhile, theirs is the one shared.
    const auto made = m_icons.constFind(key);
    if (made != m_icons.constEnd())
        return *made;
    m_icons.insert(key, icon);
    return icon;
}

} // namespace kestrane
