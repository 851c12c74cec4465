#include "window/ProgressBar.h"

#include <algorithm>
#include <cmath>

#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace kestrane {

ProgressBar::ProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, scaleSteps());
    QProgressBar::setValue(0);
}

void ProgressBar::setMin(float minimum)
{
    m_min = minimum;
    showPosition();
}

void ProgressBar::setMax(float maximum)
{
    m_max = maximum;
    showPosition();
}

void ProgressBar::setValue(float value)
{
    m_value = value;
    showPosition();
    emit valueSet(value);
}

double ProgressBar::filledFraction() const
{
    const double span = double(m_max) - double(m_min);
    if (!(span > 0.0)) // also false for NaN
        return 0.0;
    const double fraction = (double(m_value) - double(m_min)) / span;
    if (std::isnan(fraction))
        return 0.0;
    return std::clamp(fraction, 0.0, 1.0);
}

// One step of the underlying integer scale per pixel of the bar, so a step
// is the smallest change that can show.
int ProgressBar::scaleSteps() const
{
    return std::max(1, contentsRect().width());
}

namespace {

// The time of one frame of a 60 Hz screen, in milliseconds.
constexpr qint64 kFrameMs = 16;

} // namespace

void ProgressBar::showPosition()
{
    const int step = static_cast<int>(std::lround(filledFraction() * scaleSteps()));
    if (step == m_drawnStep)
        return;
    m_drawnStep = step;
    if (!isVisible() || !m_sincePaint.isValid() || m_sincePaint.hasExpired(kFrameMs)) {
        syncBaseValue();
        if (isVisible())
            repaint();
    } else if (!m_syncPending) {
        // Within a frame of the last paint: one ordinary update, and the
        // base class told the position once the thread is free again.
        m_syncPending = true;
        update();
        QMetaObject::invokeMethod(this, [this] { syncBaseValue(); }, Qt::QueuedConnection);
    }
}

// Keeps QProgressBar's own value, which accessibility tools read, on the
// drawn step. Its setValue would repaint at once by its own measure, so
// updates are held back meanwhile; re-enabling them only schedules one.
void ProgressBar::syncBaseValue()
{
    m_syncPending = false;
    if (QProgressBar::value() == m_drawnStep)
        return;
    setUpdatesEnabled(false);
    QProgressBar::setValue(m_drawnStep);
    setUpdatesEnabled(true);
}

void ProgressBar::resizeEvent(QResizeEvent *event)
{
    QProgressBar::resizeEvent(event);
    setRange(0, scaleSteps());
    m_drawnStep = static_cast<int>(std::lround(filledFraction() * scaleSteps()));
    syncBaseValue();
}

void ProgressBar::paintEvent(QPaintEvent *event)
{
    m_sincePaint.start();
    // Drawn from the step kept here, which may be ahead of the base value.
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.minimum = 0;
    option.maximum = scaleSteps();
    option.progress = m_drawnStep;
    painter.drawControl(QStyle::CE_ProgressBar, option);
    Q_UNUSED(event);
}

} // namespace kestrane
