#pragma once

#include <QProgressBar>

namespace kestrane {

// The window's progress bar. Its minimum, maximum and value are
// single-precision numbers and it accepts every one of them: a range whose
// maximum is not above its minimum is drawn empty, a value outside the range
// is drawn clamped to it, and the getters give back exactly what was set.
//
// Repainting: the open command sets the value after every data point, and
// the thread does nothing else meanwhile, so each visible change must be
// painted at once -- but only a visible one. The bar is drawn in whole
// pixels; setValue repaints only when the filled length changes by at least
// one pixel, so a read of thousands of points paints at most once per pixel
// of the bar's width.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget *parent = nullptr);

    void setMin(float minimum);
    void setMax(float maximum);
    void setValue(float value);
    float min() const { return m_min; }
    float max() const { return m_max; }
    float value() const { return m_value; }

    // The filled part of the bar, 0 to 1, as it is drawn.
    double filledFraction() const;

signals:
    // Every value set, whether or not the drawn bar moves: the commands'
    // progress as they report it.
    void valueSet(float value);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showPosition();
    int scaleSteps() const;

    float m_min = 0.0f;
    float m_max = 100.0f;
    float m_value = 0.0f;
    int m_paintedStep = -1;
};

} // namespace kestrane
