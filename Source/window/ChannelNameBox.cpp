#include "window/ChannelNameBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>

namespace kestrane {

namespace {
// Keeps the first character off the box's left edge.
constexpr int TextIndent = 2;

// Qt's own interface for a label speaks either the accessible name or the
// text, never both, and an empty label borrows the title of its group box
// ("Test Probe" for all seven). This one speaks ChannelNameBox::spokenName.
class ChannelNameBoxAccessible : public QAccessibleWidget {
public:
    explicit ChannelNameBoxAccessible(ChannelNameBox *box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const ChannelNameBox *>(widget())->spokenName();
        return QAccessibleWidget::text(kind);
    }
};

} // namespace

QAccessibleInterface *accessibleChannelNameBox(const QString &className, QObject *object)
{
    if (className == QLatin1String(ChannelNameBox::staticMetaObject.className()))
        return new ChannelNameBoxAccessible(static_cast<ChannelNameBox *>(object));
    return nullptr;
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

QString ChannelNameBox::spokenName() const
{
    const QString &caption = m_spokenCaption;
    const QString shown = displayText();
    if (shown.isEmpty())
        return caption;
    if (caption.isEmpty())
        return shown;
    return caption + QStringLiteral(": ") + shown;
}

QFont ChannelNameBox::fittedFont() const
{
    QFont fitted = font();
    const QString shown = displayText();
    while (fitted.pixelSize() > 6 && QFontMetrics(fitted).horizontalAdvance(shown) > textRoomWidth())
        fitted.setPixelSize(fitted.pixelSize() - 1);
    return fitted;
}

void ChannelNameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(fittedFont());
    const QRect room = contentsRect().adjusted(TextIndent, 0, 0, 0);
    style()->drawItemText(&painter, room, int(alignment()) | Qt::TextSingleLine, palette(), isEnabled(),
                          displayText(), foregroundRole());
}

} // namespace kestrane
