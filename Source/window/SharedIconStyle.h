#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace kestrane {

// The application's own style with its standard icons made once and shared.
// The stock styles load every standard icon afresh on each request, with a
// 128-pixel image no dialog draws: each file dialog asked for about a dozen
// (tool buttons, file and folder icons, its buttons), some 0.9 MiB of images
// that made up much of the program's peak memory. Here each icon keeps only
// the sizes a dialog draws and is loaded once per program run.
class SharedIconStyle : public QProxyStyle {
public:
    // Wraps the style the application would use: key is its name.
    explicit SharedIconStyle(const QString &key) : QProxyStyle(key) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

    // The largest icon kept, in device pixels: a 16-pixel icon on a screen
    // of scale 2. Larger sizes are scaled down from it when asked for.
    static constexpr int LargestKept = 32;

private:
    mutable QHash<int, QIcon> m_icons;
};

// The standard icon without its images larger than `largest` pixels, or the
// icon itself when it has nothing smaller (or draws from an icon theme,
// which loads each size only when drawn).
QIcon withoutLargeImages(const QIcon &icon, int largest);

} // namespace kestrane
