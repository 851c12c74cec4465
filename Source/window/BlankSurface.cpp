#include "window/BlankSurface.h"

#include <QMouseEvent>

namespace kestrane {

bool BlankSurface::isBlankAt(const QPointF &position) const
{
    const QPoint point = position.toPoint();
    return rect().contains(point) && childAt(point) == nullptr;
}

void BlankSurface::mousePressEvent(QMouseEvent *event)
{
    m_pressedOnBlank = event->button() == Qt::LeftButton && isBlankAt(event->position());
    QWidget::mousePressEvent(event);
}

void BlankSurface::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressedOnBlank && event->button() == Qt::LeftButton && isBlankAt(event->position());
    m_pressedOnBlank = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace kestrane
