#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "window/DialogDriver.h"

// Stands in for the operator at the window's dialogs: records every message
// box and file dialog shown, and answers from queues. With nothing queued a
// message box is answered OK and a file dialog is cancelled.
class ScriptedDialogs : public kestrane::DialogDriver {
public:
    std::vector<kestrane::MessageBoxRequest> messages;
    std::vector<kestrane::FileDialogRequest> fileDialogs;
    std::deque<kestrane::MsgBoxResult> messageAnswers;
    std::deque<std::optional<QString>> fileAnswers;

    kestrane::MsgBoxResult showMessageBox(const kestrane::MessageBoxRequest &request) override
    {
        messages.push_back(request);
        if (messageAnswers.empty())
            return kestrane::MsgBoxResult::OK;
        const auto answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    std::optional<QString> showFileDialog(const kestrane::FileDialogRequest &request) override
    {
        fileDialogs.push_back(request);
        if (fileAnswers.empty())
            return std::nullopt;
        const bool chosen = fileAnswers.front().has_value();
        const QString path = chosen ? *fileAnswers.front() : QString();
        fileAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return path;
    }
};
