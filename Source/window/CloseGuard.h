#pragma once

namespace kestrane {

// Where a request to close the window comes from.
enum class CloseOrigin {
    CloseControls, // the operator: title-bar close button, window menu, Alt+F4
    Program,       // the program itself (the exit command, the end of the session, SIGTERM)
    Session,       // the session manager while the user logs off or the system shuts down
};

// Qt marks a close request that comes from the window system as spontaneous:
// that is the operator using the window's close controls -- unless the
// session is ending, when the session manager closes what is left.
// Requests the program makes itself (QWidget::close(), QWindow::close(), the
// Quit a session manager sends at its end) are not spontaneous.
inline CloseOrigin closeOriginOf(bool spontaneous, bool sessionEnding)
{
    if (sessionEnding)
        return CloseOrigin::Session;
    return spontaneous ? CloseOrigin::CloseControls : CloseOrigin::Program;
}

// The operator closes the window only through the exit command.
inline bool closeAccepted(CloseOrigin origin)
{
    return origin != CloseOrigin::CloseControls;
}

} // namespace kestrane
