#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

#include "window/DialogDriver.h"

// Stands in for the operator at the window's dialogs: records every message
// box and file dialog, and answers file dialogs from a queue (nothing
// queued: cancel). Message boxes are closed with OK.
class ScriptedDialogs : public kestrane::DialogDriver {
public:
    std::vector<kestrane::MessageBoxRequest> messages;
    std::vector<kestrane::FileDialogRequest> fileDialogs;
    std::deque<std::optional<QString>> fileAnswers;

    // The operator chooses `path` in the next file dialog (nullopt: cancels);
    // on Windows a path is UTF-16, as the dialog gives it.
    void answer(const std::optional<std::filesystem::path> &path)
    {
        fileAnswers.push_back(path ? std::optional(QString::fromStdU16String(path->u16string())) : std::nullopt);
    }

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
