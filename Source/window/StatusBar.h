#pragma once

#include <QStatusBar>

class QLabel;

namespace kestrane {

// The window's status bar in its simple form: one plain text across the
// whole bar, no panels. The text is a label of its own rather than Qt's
// temporary message, which menus clear while the pointer moves over them.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Sets the whole text of the bar.
    void setText(const QString &text);
    QString text() const;

private:
    QLabel *m_text;
};

} // namespace kestrane
