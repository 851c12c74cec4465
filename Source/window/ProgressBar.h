#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

namespace kestrane {

// The window's progress bar. Its minimum, maximum and value are
// single-precision numbers and it accepts every one of them: a range whose
// maximum is not above its minimum is drawn empty, a value outside the range
// is drawn clamped to it, and the getters give back exactly what was set.
//
// Repainting: the open command sets the value after every data point, and
// the thread does nothing else meanwhile, so a change must be painted at once
// to be seen at all -- but no more often than the screen can show it. A
// change of the drawn length (whole pixels) repaints at once when a frame's
// time has passed since the last paint, and is otherwise left to the next
// ordinary update: a slow read moves smoothly, a fast read of thousands of
// points costs a paint or two instead of one per pixel.
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
    void syncBaseValue();
    int scaleSteps() const;

    float m_min = 0.0f;
    float m_max = 100.0f;
    float m_value = 0.0f;
    int m_drawnStep = 0;        // filled pixels as drawn
    bool m_syncPending = false; // an update and a base-value sync are queued
    QElapsedTimer m_sincePaint;
};

} // namespace kestrane
