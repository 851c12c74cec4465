#include "window/ProgressBar.h"

#include <algorithm>
#include <cmath>

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

void ProgressBar::showPosition()
{
    const int step = static_cast<int>(std::lround(filledFraction() * scaleSteps()));
    if (step == QProgressBar::value())
        return;
    QProgressBar::setValue(step); // repaints by its own measure, which may skip a pixel
    if (m_paintedStep != step && isVisible())
        repaint();
}

void ProgressBar::resizeEvent(QResizeEvent *event)
{
    QProgressBar::resizeEvent(event);
    setRange(0, scaleSteps());
    QProgressBar::setValue(static_cast<int>(std::lround(filledFraction() * scaleSteps())));
}

void ProgressBar::paintEvent(QPaintEvent *event)
{
    m_paintedStep = QProgressBar::value();
    QProgressBar::paintEvent(event);
}

} // namespace kestrane
