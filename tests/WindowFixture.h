#pragma once

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "WindowSystem.h"
#include "window/ChannelNameBox.h"
#include "window/frmDataEntry.h"

// Stands in for the operator at the window's dialogs: records every message
// box and file dialog, and answers file dialogs from a queue (nothing
// queued: cancel). Message boxes are closed with OK.
class ScriptedDialogs : public kestrane::DialogDriver {
public:
    std::vector<kestrane::MessageBoxRequest> messages;
    std::vector<kestrane::FileDialogRequest> fileDialogs;
    std::deque<std::optional<QString>> fileAnswers;

    void showMessageBox(const kestrane::MessageBoxRequest &request) override { messages.push_back(request); }

    std::optional<QString> showFileDialog(const kestrane::FileDialogRequest &request) override
    {
        fileDialogs.push_back(request);
        const auto answer = fileAnswers.empty() ? std::nullopt : fileAnswers.front();
        if (!fileAnswers.empty())
            fileAnswers.pop_front();
        return answer;
    }
};

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
        window->setDialogDriver(std::unique_ptr<ScriptedDialogs>(dialogs = new ScriptedDialogs));
        window->commandStarted = [this](kestrane::WindowCommand c) { started.push_back(c); };
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A key pressed on the keyboard: it reaches the window's QWindow first,
    // as a real key press does, then the control with the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers held = {}) { QTest::keyClick(window->windowHandle(), key, held); }

    // The operator chooses `path` in the next file dialog (nullopt: cancels);
    // on Windows a path is UTF-16, as the dialog gives it.
    void answer(const std::optional<std::filesystem::path> &path)
    {
        dialogs->fileAnswers.push_back(path ? std::optional(QString::fromStdU16String(path->u16string()))
                                            : std::nullopt);
    }

    std::unique_ptr<frmDataEntry> window;
    ScriptedDialogs *dialogs = nullptr;
    std::vector<kestrane::WindowCommand> started;
};
