#pragma once

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "datfile/Dataset.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/DateTime.h"
#include "window/CommonDialog.h"
#include "window/DialogDriver.h"
#include "window/ProgressBar.h"
#include "window/StatusBar.h"
#include "window/WindowCommand.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace kestrane {
namespace spreadsheet {
class Application;
} // namespace spreadsheet
class TerminationWatch;
class WindowPlacement;
} // namespace kestrane

// The program's one window, "Data File Conversion Utility". It owns the
// controls, the loaded dataset and the file dialog, and its four commands are
// its procedures: a button, a File menu item and (for three of them) a Ctrl
// shortcut all run the same procedure.
//
// Controls are named as the commands know them; each objectName is the same
// name, and the channel-name boxes Label8[0..6] are named Label8_0..Label8_6.
// Places and sizes come from the twips table in Layout.h.
class frmDataEntry : public QMainWindow {
    Q_OBJECT
public:
    explicit frmDataEntry(QWidget *parent = nullptr);
    ~frmDataEntry() override;

    // Places the window on the screen (see centreWindow): with 2 and 2 its
    // middle on the middle of the screen. May write 2 into both divisors.
    // True once placed; false when it gave up after repeated failures.
    bool Centre(std::int16_t &screenDivisor, std::int16_t &windowDivisor);

    // The commands.
    void openCommand();    // Source/datfile/open_command.cpp
    void convertCommand(); // Source/workbook/convert_command.cpp
    void unloadCommand();  // unload_exit.cpp
    void exitCommand();    // unload_exit.cpp

    // Every message box of the window: modal, with the given text, buttons,
    // icon and title.
    void MsgBox(const QString &text,
                                  kestrane::MsgBoxButtons buttons = kestrane::MsgBoxButtons::OKOnly,
                                  kestrane::MsgBoxIcon icon = kestrane::MsgBoxIcon::Information,
                                  const QString &title = kestrane::ApplicationTitle);

    // The loaded dataset (fileLoaded, fileConverted, channelValues ...).
    kestrane::Dataset dataset;
    // When the convert command last started: the date and time in cell A2.
    kestrane::spreadsheet::DateTime conversionTime;
    // The spreadsheet application: created by the first conversion of a run,
    // then kept and reused until the window goes.
    std::unique_ptr<kestrane::spreadsheet::Application> excelApplication;

    // Left column: the command buttons in Frame1.
    QGroupBox *Frame1 = nullptr;
    QPushButton *cmdConvirt = nullptr;  // "Open (.DAT) File"
    QPushButton *cmdSaveFile = nullptr; // "Convirt to Excel File"
    QPushButton *cmdUnload = nullptr;   // "Unload (.DAT) File"
    QPushButton *cmdExit = nullptr;     // "Exit"

    // Right column: the channel labels and name boxes in frameTestProbe.
    QGroupBox *frameTestProbe = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    std::array<QLabel *, 7> Label8{}; // element i shows the name of channel i + 1

    // Below the frames: the working notice, the progress bar, the status bar.
    QLabel *Label9 = nullptr;
    kestrane::ProgressBar *ProgressBar1 = nullptr;
    kestrane::StatusBar *StatusBar1 = nullptr;

    // The File menu.
    QMenu *mnuFile = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuConvirt = nullptr;
    QAction *mnuUnloadDatFile = nullptr;
    QAction *mnuExit = nullptr;

    // The file dialog shared by the open and convert commands.
    kestrane::CommonDialog CommonDialog1;

    // The dialogs the window shows go through this driver; tests put a
    // scripted one in its place.
    void setDialogDriver(std::unique_ptr<kestrane::DialogDriver> driver);
    // Centring and the minimum size act on the window through this; tests put
    // a screen of any size behind it.
    void setPlacement(std::unique_ptr<kestrane::WindowPlacement> placement);

    // Called as each command starts, whichever way it was started.
    std::function<void(kestrane::WindowCommand)> commandStarted;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createCommandButtons();
    void createChannelRows();
    void createMenu();
    void createStatusLine();
    void setTabOrderByIndex();
    void startUp();

    void run(kestrane::WindowCommand command);
    void turnOnKeyPreview();
    void keyPressed(const QKeyEvent &event);
    void openButtonLostFocus(Qt::FocusReason reason);
    void applicationFocusChanged(QWidget *old, QWidget *now);
    void centreOnScreen();
    void outerGeometryChanged();
    void centreAgainOnceFramed();
    bool isFramed() const;
    void terminate();

    // Steps of the open and convert commands (open_command.cpp, convert_command.cpp).
    void readDatFileShowingProgress(const QString &path);
    void showFileLoaded();
    void reportReadFailure(const QString &description, QWidget *focusBefore);
    kestrane::LayoutHooks progressShown();
    std::filesystem::path chosenWorkbookName();
    void reportWriteFailure(const QString &description);
    // The window's states that several commands share (unload_exit.cpp).
    void returnToNoFileLoaded();
    void showNoFileLoaded();
    void clearChannelNameBoxes();
    void putProgressAway();

    std::unique_ptr<kestrane::DialogDriver> m_dialogs;
    std::unique_ptr<kestrane::WindowPlacement> m_placement;
    std::unique_ptr<kestrane::TerminationWatch> m_terminationWatch;
    bool m_keyPreview = false;
    bool m_shownBefore = false;
    bool m_centreOnceFramed = false; // shown, waiting for the window manager's frame
};
