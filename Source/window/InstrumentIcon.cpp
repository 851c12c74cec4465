#include "window/InstrumentIcon.h"

#include <QPainter>
#include <QPixmap>

namespace kestrane {

namespace {

// Colours of the classic 16-colour palette.
const QColor Black(0, 0, 0);
const QColor DarkGrey(128, 128, 128);
const QColor LightGrey(192, 192, 192);
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);
const QColor Maroon(128, 0, 0);
const QColor Green(0, 255, 0);
const QColor DarkGreen(0, 128, 0);

constexpr int Grid = 32;

void drawCase(QPainter &p)
{
    // carrying handle
    p.fillRect(QRect(11, 2, 10, 2), DarkGrey);
    p.fillRect(QRect(11, 4, 2, 3), DarkGrey);
    p.fillRect(QRect(19, 4, 2, 3), DarkGrey);
    // body with a raised edge: light on top and left, dark below and right
    p.fillRect(QRect(2, 7, 28, 22), Black);
    p.fillRect(QRect(3, 8, 26, 20), LightGrey);
    p.fillRect(QRect(3, 8, 26, 1), White);
    p.fillRect(QRect(3, 8, 1, 20), White);
    p.fillRect(QRect(3, 27, 26, 1), DarkGrey);
    p.fillRect(QRect(28, 8, 1, 20), DarkGrey);
}

void drawDisplay(QPainter &p)
{
    p.fillRect(QRect(6, 11, 20, 9), DarkGrey);
    p.fillRect(QRect(7, 12, 18, 7), Black);
    // a trace across the display
    const QPoint trace[] = {{8, 17}, {11, 17}, {12, 14}, {14, 16}, {16, 13}, {18, 15}, {20, 15}, {21, 13}, {23, 13}};
    for (std::size_t i = 0; i + 1 < std::size(trace); ++i) {
        p.setPen(QPen(Green, 1));
        p.drawLine(trace[i], trace[i + 1]);
    }
    p.fillRect(QRect(7, 18, 18, 1), DarkGreen);
}

void drawLamps(QPainter &p)
{
    for (int i = 0; i < 5; ++i) {
        const QRect lamp(6 + i * 4, 22, 3, 3);
        p.fillRect(lamp, Red);
        p.fillRect(QRect(lamp.right(), lamp.top(), 1, 3), Maroon);
        p.fillRect(QRect(lamp.left(), lamp.bottom(), 3, 1), Maroon);
    }
}

} // namespace

QImage drawInstrumentIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The artwork is pixel art on a 32 grid; scaling keeps its hard edges.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.scale(double(size) / Grid, double(size) / Grid);
    drawCase(painter);
    drawDisplay(painter);
    drawLamps(painter);
    return image;
}

QIcon instrumentIcon()
{
    QIcon icon;
    // 64 is the 32-pixel artwork on a screen of scale 2, drawn crisp rather
    // than smoothed down from 256.
    for (const int size : {16, 32, 48, 64, 256})
        icon.addPixmap(QPixmap::fromImage(drawInstrumentIcon(size)));
    return icon;
}

} // namespace kestrane
