#pragma once

#include <QLabel>

class QAccessibleInterface;

namespace kestrane {

// One box of the Label8 array: shows a channel name exactly as the logger
// wrote it, 20 characters with their blanks, on the tooltip background.
// Its text is the whole name; only the drawing differs: control characters
// (the zero bytes a logger pads names with, tabs, line breaks) are drawn as
// blanks, so a name always stays one line of 20 character cells.
//
// A screen reader hears the box's spoken caption (the window gives each box
// one, e.g. "Channel 1 name") followed by the name it shows, so the caption
// identifies the box and the loaded name is still spoken: the program
// installs accessibleChannelNameBox as an accessibility factory at its start.
class ChannelNameBox : public QLabel {
    Q_OBJECT
public:
    explicit ChannelNameBox(QWidget *parent = nullptr);

    // The text as it is drawn.
    QString displayText() const { return displayTextOf(text()); }
    static QString displayTextOf(const QString &name);

    // Room for the text inside the box, after the indent.
    int textRoomWidth() const;
    // The font the name is drawn in: the window's, or where a name of wide
    // characters would not fit whole, the same face a pixel or more smaller.
    // Never narrower: narrowed glyphs lose strokes without font smoothing.
    QFont fittedFont() const;

    // What assistive technology reads for the box: the spoken caption and,
    // when it shows one, the channel name after a colon. The caption is kept
    // apart from QWidget's accessibleName because Qt announces a label's new
    // text only while that is empty.
    void setSpokenCaption(const QString &caption) { m_spokenCaption = caption; }
    QString spokenName() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_spokenCaption;
};

// The accessibility factory that gives each ChannelNameBox its spoken name,
// for QAccessible::installFactory; nullptr for any other object.
QAccessibleInterface *accessibleChannelNameBox(const QString &className, QObject *object);

} // namespace kestrane
