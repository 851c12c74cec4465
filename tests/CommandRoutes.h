#pragma once

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

#include "window/frmDataEntry.h"

// The three ways the operator starts the open or the convert command: its
// button, its File menu item, and its Ctrl shortcut pressed on the window
// (which reaches the window's QWindow first, as a real key press does).
struct CommandRoute {
    const char *name;
    std::function<void(frmDataEntry &)> run;
};

inline void pressOnWindow(frmDataEntry &window, Qt::Key key)
{
    QTest::keyClick(window.windowHandle(), key, Qt::ControlModifier);
}

inline const std::vector<CommandRoute> &openRoutes()
{
    static const std::vector<CommandRoute> routes{
        {"button", [](frmDataEntry &w) { w.cmdConvirt->click(); }},
        {"menu", [](frmDataEntry &w) { w.mnuOpen->trigger(); }},
        {"CtrlO", [](frmDataEntry &w) { pressOnWindow(w, Qt::Key_O); }},
    };
    return routes;
}

inline const std::vector<CommandRoute> &convertRoutes()
{
    static const std::vector<CommandRoute> routes{
        {"button", [](frmDataEntry &w) { w.cmdSaveFile->click(); }},
        {"menu", [](frmDataEntry &w) { w.mnuConvirt->trigger(); }},
        {"CtrlC", [](frmDataEntry &w) { pressOnWindow(w, Qt::Key_C); }},
    };
    return routes;
}
