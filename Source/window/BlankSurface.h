#pragma once

#include <QWidget>

namespace kestrane {

// The window's own surface, under the frames and the status line. It
// reports a click (left button pressed and released) only where no control
// lies: clicks a control does not take for itself reach the surface too,
// but they are not clicks on the blank surface.
class BlankSurface : public QWidget {
    Q_OBJECT
public:
    explicit BlankSurface(QWidget *parent = nullptr) : QWidget(parent) {}

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool isBlankAt(const QPointF &position) const;

    bool m_pressedOnBlank = false;
};

} // namespace kestrane
