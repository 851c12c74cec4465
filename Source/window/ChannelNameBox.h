#pragma once

#include <QLabel>

namespace kestrane {

// One box of the Label8 array: shows a channel name exactly as the logger
// wrote it, 20 characters with their blanks, on the tooltip background.
// Its text is the whole name; only the drawing differs: control characters
// (the zero bytes a logger pads names with, tabs, line breaks) are drawn as
// blanks, so a name always stays one line of 20 character cells.
class ChannelNameBox : public QLabel {
    Q_OBJECT
public:
    explicit ChannelNameBox(QWidget *parent = nullptr);

    // The text as it is drawn.
    QString displayText() const { return displayTextOf(text()); }
    static QString displayTextOf(const QString &name);

    // Room for the text inside the box, after the indent.
    int textRoomWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kestrane
