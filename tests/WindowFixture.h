#pragma once

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ScriptedDialogs.h"
#include "window/frmDataEntry.h"

// The real window, shown and active, with scripted dialogs and a record of
// the commands started.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
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

    void TearDown() override { window.reset(); }

    // A key pressed on the keyboard: it reaches the window's QWindow first,
    // as a real key press does, then the control with the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }

    // Simulates a completed read: what the open command leaves behind.
    void simulateLoadedFile()
    {
        auto &d = window->dataset;
        d.pointCount = 3;
        d.sizeValueArrays();
        for (d.pointIndex = 0; d.pointIndex < 3; ++d.pointIndex)
            for (int c = 1; c <= 7; ++c)
                d.storeValue(c, float(c * 10 + d.pointIndex));
        for (int k = 0; k < 7; ++k) {
            d.channelNames[std::size_t(k)] = u"Probe " + std::u16string(1, char16_t(u'A' + k));
            window->Label8[std::size_t(k)]->setText(QString::fromStdU16String(d.channelNames[std::size_t(k)].text()));
        }
        d.markLoaded();
        window->StatusBar1->setText(QStringLiteral("File Loaded"));
    }

    std::unique_ptr<frmDataEntry> window;
    ScriptedDialogs *dialogs = nullptr;
    std::vector<kestrane::WindowCommand> started;
};
