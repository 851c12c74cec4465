#include "window/WindowPlacement.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include "common/Failure.h"
#include "common/Numbers.h"
#include "window/Layout.h"

namespace kestrane {

namespace {

constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

// How long restore() waits for the window manager to answer: long enough for
// any local window manager, short enough not to be noticed when none answers.
constexpr int RestoreAnswerMilliseconds = 1000;
// How long the restored geometry must hold still to count as final.
constexpr int RestoreSettleMilliseconds = 50;

float twips(int pixels)
{
    return static_cast<float>(pixelsToTwips(pixels));
}

// A twips position or size in whole pixels; beyond the pixel range it is an
// Overflow failure rather than a wrapped coordinate.
int pixels(float twips)
{
    return roundToInt32(double(twips) / TwipsPerPixel);
}

const QScreen &screenOf(const QWidget &window)
{
    const QScreen *screen = window.screen();
    if (screen == nullptr)
        throw Failure(InvalidProcedureCall, "No screen to place the window on");
    return *screen;
}

} // namespace

float QtWindowPlacement::screenWidth() const
{
    return twips(screenOf(m_window).geometry().width());
}

float QtWindowPlacement::screenHeight() const
{
    return twips(screenOf(m_window).geometry().height());
}

float QtWindowPlacement::outerWidth() const
{
    return twips(m_window.frameGeometry().width());
}

float QtWindowPlacement::outerHeight() const
{
    return twips(m_window.frameGeometry().height());
}

void QtWindowPlacement::refuseUnlessNormal() const
{
    if (!isNormalState())
        throw Failure(FormCannotMove);
}

// QWidget::move() places a window's outer (frame) corner.
void QtWindowPlacement::moveTop(float top)
{
    refuseUnlessNormal();
    m_window.move(m_window.pos().x(), pixels(top));
}

void QtWindowPlacement::moveLeft(float left)
{
    refuseUnlessNormal();
    m_window.move(pixels(left), m_window.pos().y());
}

void QtWindowPlacement::setOuterWidth(float width)
{
    const int frame = m_window.frameGeometry().width() - m_window.width();
    m_window.resize(pixels(width) - frame, m_window.height());
}

void QtWindowPlacement::setOuterHeight(float height)
{
    const int frame = m_window.frameGeometry().height() - m_window.height();
    m_window.resize(m_window.width(), pixels(height) - frame);
}

bool QtWindowPlacement::isNormalState() const
{
    return (m_window.windowState() & NotNormal) == 0;
}

void QtWindowPlacement::restore()
{
    const QRect before = m_window.frameGeometry();
    m_window.setWindowState(m_window.windowState() & ~NotNormal);
    if (!m_window.isVisible())
        return;
    // A window manager answers a restore asynchronously, and may size, move
    // and frame the window in separate steps; the size read next must be the
    // final one, so wait for the geometry to change and then to hold still.
    // The operator's input stays queued meanwhile.
    QDeadlineTimer deadline(RestoreAnswerMilliseconds);
    QDeadlineTimer settled(RestoreSettleMilliseconds);
    QRect seen = before;
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
        const QRect now = m_window.frameGeometry();
        if (now != seen) {
            seen = now;
            settled.setRemainingTime(RestoreSettleMilliseconds);
        } else if (now != before && settled.hasExpired()) {
            break;
        }
    }
}

} // namespace kestrane
