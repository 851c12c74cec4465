#include "window/ChannelNameBox.h"

#include <QPainter>
#include <QStyle>

namespace kestrane {

namespace {
// Keeps the first character off the box's left edge.
constexpr int TextIndent = 2;
}

ChannelNameBox::ChannelNameBox(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setIndent(TextIndent);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    setPalette(colours);
}

QString ChannelNameBox::displayTextOf(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            c = QLatin1Char(' ');
    }
    return shown;
}

int ChannelNameBox::textRoomWidth() const
{
    return contentsRect().width() - TextIndent;
}

void ChannelNameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(TextIndent, 0, 0, 0);
    style()->drawItemText(&painter, room, int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(),
                          displayText(), foregroundRole());
}

} // namespace kestrane
