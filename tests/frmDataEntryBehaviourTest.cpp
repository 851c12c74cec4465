// The window's own behaviour on the real window: shortcuts, focus rules,
// clicks on the blank surface, the close guard.
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include "WindowFixture.h"
#include "window/CloseGuard.h"
#include "window/WindowCommand.h"

using kestrane::WindowCommand;

namespace {

using Commands = std::vector<WindowCommand>;

// ---- shortcuts ----------------------------------------------------------------

struct KeyCase {
    const char *what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Commands expected;
};

const KeyCase keyCases[] = {
    {"Ctrl+O", Qt::Key_O, Qt::ControlModifier, {WindowCommand::Open}},
    {"Ctrl+Shift+O", Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, {WindowCommand::Open}},
    {"Ctrl+Alt+O", Qt::Key_O, Qt::ControlModifier | Qt::AltModifier, {WindowCommand::Open}},
    {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, {WindowCommand::Convert}},
    {"Ctrl+Shift+C", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, {WindowCommand::Convert}},
    {"Ctrl+U", Qt::Key_U, Qt::ControlModifier, {WindowCommand::Unload}},
    {"Ctrl+Alt+U", Qt::Key_U, Qt::ControlModifier | Qt::AltModifier, {WindowCommand::Unload}},
    {"O", Qt::Key_O, Qt::NoModifier, {}},
    {"C", Qt::Key_C, Qt::NoModifier, {}},
    {"U", Qt::Key_U, Qt::NoModifier, {}},
    {"Shift+O", Qt::Key_O, Qt::ShiftModifier, {}},
    {"Alt+U", Qt::Key_U, Qt::AltModifier, {}},
    {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, {}},
    {"Ctrl+E", Qt::Key_E, Qt::ControlModifier, {}},
    {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, {}},
};

class ShortcutTest : public WindowFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ShortcutTest, OneKeyPressRunsItsCommandExactlyOnce)
{
    press(GetParam().key, GetParam().modifiers);
    EXPECT_EQ(started, GetParam().expected);
}

TEST_P(ShortcutTest, WhicheverButtonHasTheFocus)
{
    window->cmdUnload->setFocus();
    press(GetParam().key, GetParam().modifiers);
    EXPECT_EQ(started, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, ShortcutTest, ::testing::ValuesIn(keyCases),
                         [](const auto &info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), '+', '_');
                             return name;
                         });

TEST(ShortcutCommand, OnlyTheCtrlBitCounts)
{
    EXPECT_EQ(kestrane::shortcutCommand(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier),
              WindowCommand::Open);
    EXPECT_EQ(kestrane::shortcutCommand(Qt::Key_U, Qt::ControlModifier | Qt::KeypadModifier), WindowCommand::Unload);
    EXPECT_EQ(kestrane::shortcutCommand(Qt::Key_O, Qt::MetaModifier), std::nullopt);
    EXPECT_EQ(kestrane::shortcutCommand(Qt::Key_Control, Qt::ControlModifier), std::nullopt);
}

class CommandRoutesTest : public WindowFixture {};

TEST_F(CommandRoutesTest, ButtonAndMenuItemRunTheSameCommand)
{
    const struct {
        QPushButton *button;
        QAction *item;
        WindowCommand command;
    } routes[] = {{window->cmdConvirt, window->mnuOpen, WindowCommand::Open},
                  {window->cmdSaveFile, window->mnuConvirt, WindowCommand::Convert},
                  {window->cmdUnload, window->mnuUnloadDatFile, WindowCommand::Unload}};
    for (const auto &route : routes) {
        started.clear();
        route.button->click();
        route.item->trigger();
        EXPECT_EQ(started, (Commands{route.command, route.command}));
    }
}

TEST_F(CommandRoutesTest, AltFOpensTheFileMenuAndItsAccessKeysChooseItems)
{
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), window->mnuFile);
    QTest::keyClick(window->mnuFile, Qt::Key_U);
    EXPECT_EQ(started, Commands{WindowCommand::Unload});
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    started.clear();
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), window->mnuFile);
    QTest::keyClick(window->mnuFile, Qt::Key_O);
    EXPECT_EQ(started, Commands{WindowCommand::Open});

    // "Exit" has no access key: E chooses nothing
    started.clear();
    press(Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(window->mnuFile, Qt::Key_E);
    EXPECT_TRUE(started.empty());
    QTest::keyClick(window->mnuFile, Qt::Key_Escape);
}

// ---- focus rules ------------------------------------------------------------------

class FocusTest : public WindowFixture {};

TEST_F(FocusTest, OpenButtonLosingTheFocusGivesItToConvert)
{
    ASSERT_EQ(QApplication::focusWidget(), window->cmdConvirt);
    window->cmdUnload->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdSaveFile);

    window->cmdConvirt->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdSaveFile);
}

TEST_F(FocusTest, ConvertThatCannotTakeTheFocusLeavesItWhereItWent)
{
    window->cmdSaveFile->setEnabled(false);
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdExit);

    window->cmdSaveFile->setEnabled(true);
    window->cmdSaveFile->hide();
    window->cmdConvirt->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdExit);
}

TEST_F(FocusTest, DisablingTheFocusedOpenButtonMovesTheFocusToConvert)
{
    window->cmdConvirt->setEnabled(false);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdSaveFile);
}

TEST_F(FocusTest, OpeningTheMenuDoesNotMoveTheFocus)
{
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), window->mnuFile);
    QTest::keyClick(window->mnuFile, Qt::Key_Escape); // closes the menu
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget *>(window->menuBar()));
    press(Qt::Key_Escape); // leaves the menu bar
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
}

TEST_F(FocusTest, FocusLostToAnotherWindowIsNotTakenBack)
{
    QWidget other;
    auto *button = new QPushButton(QStringLiteral("elsewhere"), &other);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(QApplication::focusWidget(), button);
    EXPECT_EQ(window->focusWidget(), window->cmdConvirt); // kept for when the window is back
    other.close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
}

TEST_F(FocusTest, WindowHoldsTheFocusOnlyWhileNoControlCanAndThenPassesItToOpen)
{
    for (QPushButton *b : {window->cmdSaveFile, window->cmdUnload, window->cmdExit, window->cmdConvirt})
        b->setEnabled(false);
    EXPECT_EQ(QApplication::focusWidget(), window.get());

    // A control takes the focus from the window: the focus goes on to Open.
    window->cmdConvirt->setEnabled(true);
    window->cmdUnload->setEnabled(true);
    window->cmdUnload->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
}

TEST_F(FocusTest, WindowLosingTheFocusWhileOpenIsDisabledKeepsTheNewFocus)
{
    for (QPushButton *b : {window->cmdSaveFile, window->cmdUnload, window->cmdExit, window->cmdConvirt})
        b->setEnabled(false);
    ASSERT_EQ(QApplication::focusWidget(), window.get());
    window->cmdUnload->setEnabled(true);
    window->cmdUnload->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdUnload);
}

// ---- blank surface --------------------------------------------------------------------

class ClickTest : public WindowFixture {
protected:
    // screen / 2 - window / 2 in whole pixels, ties to even as the window rounds
    QPoint centredFor(QSize outer) const
    {
        const QRect screen = window->screen()->geometry();
        return {int(std::nearbyint(screen.width() / 2.0 - outer.width() / 2.0)),
                int(std::nearbyint(screen.height() / 2.0 - outer.height() / 2.0))};
    }
    QPoint centredPosition() const { return centredFor(window->frameGeometry().size()); }
    void moveToCorner()
    {
        window->move(0, 0);
        QTest::qWait(0);
        ASSERT_EQ(window->pos(), QPoint(0, 0));
    }
};

TEST_F(ClickTest, StartsCentredOnTheScreen)
{
    // The load centres the window before any frame is around it; this window
    // system knows the frame by the time the window is shown, so it is
    // centred again then, on its outer size, before it is on screen.
    EXPECT_EQ(window->pos(), centredPosition());
    EXPECT_NE(window->frameGeometry().size(), window->size()); // there is a frame to count
}

TEST_F(ClickTest, ClickOnTheBlankSurfaceCentresTheWindow)
{
    moveToCorner();
    // between the left frame and the notice, below the buttons
    QTest::mouseClick(window->centralWidget(), Qt::LeftButton, {}, QPoint(8, 200));
    EXPECT_EQ(window->pos(), centredPosition());
}

TEST_F(ClickTest, ClicksOnControlsAndOtherButtonsDoNotCentre)
{
    moveToCorner();
    QTest::mouseClick(window->Label1, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window->Label8[3], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window->frameTestProbe, Qt::LeftButton, {}, QPoint(3, 160));
    QTest::mouseClick(window->Frame1, Qt::LeftButton, {}, QPoint(3, 163));
    QTest::mouseClick(window->ProgressBar1, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window->StatusBar1, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window->centralWidget(), Qt::RightButton, {}, QPoint(8, 200));
    EXPECT_EQ(window->pos(), QPoint(0, 0));
}

// ---- close guard ------------------------------------------------------------------------

TEST(CloseGuard, OnlyTheOperatorsCloseControlsAreRefused)
{
    using kestrane::CloseOrigin;
    const struct {
        bool spontaneous;
        bool sessionEnding;
        CloseOrigin origin;
        bool accepted;
    } cases[] = {{true, false, CloseOrigin::CloseControls, false},
                 {false, false, CloseOrigin::Program, true},
                 {true, true, CloseOrigin::Session, true},
                 {false, true, CloseOrigin::Session, true}};
    for (const auto &c : cases) {
        EXPECT_EQ(kestrane::closeOriginOf(c.spontaneous, c.sessionEnding), c.origin);
        EXPECT_EQ(kestrane::closeAccepted(c.origin), c.accepted);
    }
}

class CloseTest : public WindowFixture {};

TEST_F(CloseTest, CloseFromTheProgramIsAccepted)
{
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(CloseTest, CloseOfTheNativeWindowByTheProgramIsAccepted)
{
    // What a session manager's final Quit does: QWindow::close() on each window.
    EXPECT_TRUE(window->windowHandle()->close());
    EXPECT_FALSE(window->isVisible());
}

} // namespace
