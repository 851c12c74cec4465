#pragma once

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ScriptedDialogs.h"
#include "WindowSystem.h"
#include "window/ChannelNameBox.h"
#include "window/frmDataEntry.h"

// The real window on Qt's offscreen platform (Windows: its own), shown and active, with
// scripted dialogs and a record of the commands started.
class WindowFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test", *argv[] = {name, nullptr};
        windowsystem::chooseQtPlatform();
        if (QApplication::instance() == nullptr) {
            new QApplication(argc, argv); // lives as long as the process
            QAccessible::installFactory(kestrane::accessibleChannelNameBox); // as the program's start does
        }
    }

    void SetUp() override { newWindow(); }

    // A new window in place of the last, shown and active.
    void newWindow()
    {
        window = std::make_unique<frmDataEntry>();
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        window->setDialogDriver(std::move(scripted));
        window->commandStarted = [this](kestrane::WindowCommand c) { started.push_back(c); };
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A key pressed on the keyboard: it reaches the window's QWindow first,
    // as a real key press does, then the control with the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }

    // The operator chooses `path` in the next file dialog (nullopt: cancels).
    void answer(const std::optional<std::filesystem::path> &path) { dialogs->answer(path); }

    std::unique_ptr<frmDataEntry> window;
    ScriptedDialogs *dialogs = nullptr;
    std::vector<kestrane::WindowCommand> started;
};
