#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "window/WindowPlacement.h"

// A window on a screen of any size, in twips, that records what is done to
// it. Failures can be queued for the next reads of the screen size.
class FakePlacement : public kestrane::WindowPlacement {
public:
    float screenW = 15360.0f;
    float screenH = 11520.0f;
    float outerW = 6615.0f;
    float outerH = 4290.0f;
    float top = 0.0f;
    float left = 0.0f;
    bool maximised = false;
    bool minimised = false;

    std::vector<std::string> calls;            // "moveTop", "restore", "setOuterWidth" ...
    std::deque<int> screenReadFailures;        // failure numbers thrown by the next screen reads
    std::function<void()> afterMoveTop;        // lets a test change the window between steps
    bool restoreFails = false;

    float screenWidth() const override { return readScreen(screenW); }
    float screenHeight() const override { return readScreen(screenH); }
    float outerWidth() const override { return outerW; }
    float outerHeight() const override { return outerH; }

    void moveTop(float value) override
    {
        calls.push_back("moveTop");
        refuseUnlessNormal();
        top = value;
        if (afterMoveTop)
            afterMoveTop();
    }
    void moveLeft(float value) override
    {
        calls.push_back("moveLeft");
        refuseUnlessNormal();
        left = value;
    }
    void setOuterWidth(float value) override
    {
        calls.push_back("setOuterWidth");
        outerW = value;
    }
    void setOuterHeight(float value) override
    {
        calls.push_back("setOuterHeight");
        outerH = value;
    }
    bool isNormalState() const override { return !maximised && !minimised; }
    void restore() override
    {
        calls.push_back("restore");
        if (restoreFails)
            throw kestrane::Failure(kestrane::PermissionDenied);
        maximised = false;
        minimised = false;
    }

private:
    float readScreen(float value) const
    {
        auto &failures = const_cast<std::deque<int> &>(screenReadFailures);
        if (!failures.empty()) {
            const int number = failures.front();
            failures.pop_front();
            throw kestrane::Failure(number);
        }
        return value;
    }
    void refuseUnlessNormal() const
    {
        if (!isNormalState())
            throw kestrane::Failure(kestrane::FormCannotMove);
    }
};
