#pragma once

#include <QHash>
#include <QIcon>
#include <QMutex>
#include <QProxyStyle>

namespace kestrane {

// The application's own style with its standard icons made once and shared.
// The stock styles load every standard icon afresh on each request, with a
// 128-pixel image that is only ever drawn much smaller: each file dialog
// asked for about a dozen (tool buttons, file and folder icons, its buttons),
// some 0.9 MiB of images and much of the program's peak memory. Here each
// icon is loaded once per run, its 128-pixel image scaled down once to the
// largest size a window draws.
class SharedIconStyle : public QProxyStyle {
public:
    // Wraps the style the application would use: key is its name.
    explicit SharedIconStyle(const QString &key) : QProxyStyle(key) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

    // The largest image kept, in device pixels: that of the 32-pixel message
    // box icon on the densest screen, so that every icon is still drawn from
    // an image at least as large as it is drawn.
    static int largestKept();

private:
    // The file dialog's model asks for icons from its own thread too.
    mutable QMutex m_lock;
    mutable QHash<int, QIcon> m_icons;
};

// The icon with its images larger than `largest` pixels replaced by one
// scaled down to `largest`; an icon from an icon theme as it is, since a
// theme loads each size only when it is drawn.
QIcon withoutLargeImages(const QIcon &icon, int largest);

} // namespace kestrane
