#pragma once

class QWidget;

namespace kestrane {

// What centring and the minimum-size rule need of the window system, in
// twips as single-precision values. Sizes are read afresh on every call.
// The window uses QtWindowPlacement; tests put a screen of any size behind it.
class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;

    // The whole display; task bars and docks are not subtracted.
    virtual float screenWidth() const = 0;
    virtual float screenHeight() const = 0;
    // The window's outer size: frame, title bar and menu bar included.
    virtual float outerWidth() const = 0;
    virtual float outerHeight() const = 0;

    // Move the window's outer top or left edge. A minimised or maximised
    // window cannot be moved: Failure(FormCannotMove).
    virtual void moveTop(float top) = 0;
    virtual void moveLeft(float left) = 0;
    // Give the window this outer width or height.
    virtual void setOuterWidth(float width) = 0;
    virtual void setOuterHeight(float height) = 0;

    // Neither minimised, maximised nor full screen.
    virtual bool isNormalState() const = 0;
    // Back to the normal state.
    virtual void restore() = 0;
};

// The real window.
class QtWindowPlacement : public WindowPlacement {
public:
    explicit QtWindowPlacement(QWidget &window) : m_window(window) {}

    float screenWidth() const override;
    float screenHeight() const override;
    float outerWidth() const override;
    float outerHeight() const override;
    void moveTop(float top) override;
    void moveLeft(float left) override;
    void setOuterWidth(float width) override;
    void setOuterHeight(float height) override;
    bool isNormalState() const override;
    void restore() override;

private:
    void refuseUnlessNormal() const;

    QWidget &m_window;
};

} // namespace kestrane
