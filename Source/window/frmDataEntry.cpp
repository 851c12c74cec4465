#include "window/frmDataEntry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <exception>
#include <vector>

#include "window/BlankSurface.h"
#include "window/Centring.h"
#include "window/ChannelNameBox.h"
#include "window/CloseGuard.h"
#include "window/InstrumentIcon.h"
#include "window/Layout.h"
#include "window/MinimumSize.h"
#include "window/QtDialogDriver.h"
#include "window/TerminationWatch.h"
#include "window/WindowFont.h"
#include "window/WindowPlacement.h"
#include "workbook/spreadsheet/Application.h"

using namespace kestrane;

namespace {

// Puts a control at its place from the twips table, found by its name.
template <typename Control>
Control *placed(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(toPixels(placeOf(name).twips));
    return control;
}

bool canTakeFocus(const QWidget *widget)
{
    return widget->isEnabled() && widget->isVisibleTo(widget->window());
}

// Focus that leaves because the window stopped being the active one (another
// program, or one of our own dialogs) or because the menu took it for a
// while is not moved: the rules move the focus between this window's
// controls, and the menu gives it back where it found it.
bool focusLeftTheWindow(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason
           || reason == Qt::MenuBarFocusReason;
}

} // namespace

frmDataEntry::frmDataEntry(QWidget *parent)
    : QMainWindow(parent),
      m_dialogs(std::make_unique<QtDialogDriver>(this)),
      m_placement(std::make_unique<QtWindowPlacement>(*this))
{
    setObjectName(QStringLiteral("frmDataEntry"));
    setWindowTitle(QStringLiteral("Data File Conversion Utility"));
    setWindowIcon(instrumentIcon());
    setFont(windowFont());
    CommonDialog1.setDriver(m_dialogs.get());

    createControls();
    createMenu();
    createStatusLine();
    setTabOrderByIndex();
    resize(twipsToPixels(ClientWidthTwips), menuBar()->sizeHint().height() + twipsToPixels(ClientHeightTwips));

    connect(qApp, &QApplication::focusChanged, this, &frmDataEntry::applicationFocusChanged);
    m_terminationWatch = std::make_unique<TerminationWatch>([this] { terminate(); });

    startUp();
}

frmDataEntry::~frmDataEntry()
{
    // Children are destroyed after this body; no handler of ours may run
    // for the focus changes their destruction causes.
    disconnect(qApp, &QApplication::focusChanged, this, &frmDataEntry::applicationFocusChanged);
    cmdConvirt->removeEventFilter(this);
    if (windowHandle() != nullptr)
        windowHandle()->removeEventFilter(this);
}

// ---- building the window --------------------------------------------------

void frmDataEntry::createControls()
{
    auto *surface = new BlankSurface(this);
    surface->setObjectName(QStringLiteral("surface"));
    // Accessible names: controls with a caption are spoken by it; the rest
    // are named here, for screen readers.
    surface->setAccessibleName(QStringLiteral("Main area"));
    setCentralWidget(surface);
    connect(surface, &BlankSurface::clicked, this, &frmDataEntry::centreOnScreen);

    createCommandButtons();
    createChannelRows();

    Label9 = placed(new QLabel(QStringLiteral("Reading (.DAT) File"), surface), "Label9");
    Label9->setTextFormat(Qt::PlainText);
    QPalette notice = Label9->palette();
    notice.setColor(QPalette::WindowText, notice.color(QPalette::Highlight));
    Label9->setPalette(notice);
    Label9->hide();

    ProgressBar1 = placed(new ProgressBar(surface), "ProgressBar1");
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
}

void frmDataEntry::createCommandButtons()
{
    Frame1 = placed(new QGroupBox(centralWidget()), "Frame1");
    Frame1->setAccessibleName(QStringLiteral("Commands")); // it has no caption
    const auto button = [this](const char *name, const char *caption, WindowCommand command) {
        auto *b = placed(new QPushButton(QString::fromLatin1(caption), Frame1), name);
        b->setAutoDefault(true); // Enter presses the button that has the focus
        connect(b, &QPushButton::clicked, this, [this, command] { run(command); });
        return b;
    };
    cmdConvirt = button("cmdConvirt", "Open (.DAT) File", WindowCommand::Open);
    cmdSaveFile = button("cmdSaveFile", "Convirt to Excel File", WindowCommand::Convert);
    cmdUnload = button("cmdUnload", "Unload (.DAT) File", WindowCommand::Unload);
    cmdExit = button("cmdExit", "Exit", WindowCommand::Exit);
    cmdConvirt->installEventFilter(this);
}

void frmDataEntry::createChannelRows()
{
    frameTestProbe = placed(new QGroupBox(QStringLiteral("Test Probe"), centralWidget()), "frameTestProbe");
    std::array<QLabel **, 7> fixedLabels{&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7};
    for (int i = 0; i < ChannelNameBoxCount; ++i) {
        const QByteArray labelName = "Label" + QByteArray::number(i + 1);
        auto *label = placed(new QLabel(QStringLiteral("Channel %1").arg(i + 1), frameTestProbe),
                             labelName.constData());
        label->setTextFormat(Qt::PlainText);
        *fixedLabels[std::size_t(i)] = label;

        const QByteArray boxName = "Label8_" + QByteArray::number(i);
        auto *box = placed(new ChannelNameBox(frameTestProbe), boxName.constData());
        box->setSpokenCaption(QStringLiteral("Channel %1 name").arg(i + 1));
        Label8[std::size_t(i)] = box;
    }
}

void frmDataEntry::createMenu()
{
    menuBar()->setAccessibleName(QStringLiteral("Main menu"));
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->setAccessibleName(QStringLiteral("File")); // the drop-down itself; its title carries the &
    // The shortcut is shown beside the caption but is not a live QShortcut:
    // the window's own key handler runs it, so one key press runs its
    // command once, never twice.
    const auto item = [this](const char *name, const QString &caption, QKeySequence shown, WindowCommand command) {
        QString text = caption;
        if (!shown.isEmpty())
            text += QLatin1Char('\t') + shown.toString(QKeySequence::NativeText);
        QAction *action = mnuFile->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        return action;
    };
    mnuOpen = item("mnuOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), WindowCommand::Open);
    mnuConvirt = item("mnuConvirt", QStringLiteral("&Convirt"), QKeySequence(Qt::CTRL | Qt::Key_C), WindowCommand::Convert);
    mnuUnloadDatFile = item("mnuUnloadDatFile", QStringLiteral("&Unload"), QKeySequence(Qt::CTRL | Qt::Key_U),
                            WindowCommand::Unload);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("Separator"));
    mnuExit = item("mnuExit", QStringLiteral("Exit"), QKeySequence(), WindowCommand::Exit);
}

void frmDataEntry::createStatusLine()
{
    StatusBar1 = new StatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Status"));
    // Docked along the bottom across the whole width; only its height is fixed.
    StatusBar1->setFixedHeight(toPixels(placeOf("StatusBar1").twips).height());
    setStatusBar(StatusBar1);
}

// Only the four buttons take the focus; among them the tab order follows
// their tab indexes.
void frmDataEntry::setTabOrderByIndex()
{
    std::vector<QPushButton *> buttons{cmdConvirt, cmdSaveFile, cmdUnload, cmdExit};
    std::sort(buttons.begin(), buttons.end(), [](const QPushButton *a, const QPushButton *b) {
        return placeOf(a->objectName().toStdString()).tabIndex < placeOf(b->objectName().toStdString()).tabIndex;
    });
    for (std::size_t i = 0; i + 1 < buttons.size(); ++i)
        setTabOrder(buttons[i], buttons[i + 1]);
}

// The load steps, in their order, before the window is first shown.
void frmDataEntry::startUp()
{
    turnOnKeyPreview();
    centreOnScreen();
    showNoFileLoaded();
    cmdConvirt->setFocus(); // the first control in the tab order
}

// ---- seams ------------------------------------------------------------------

void frmDataEntry::setDialogDriver(std::unique_ptr<DialogDriver> driver)
{
    m_dialogs = std::move(driver);
    CommonDialog1.setDriver(m_dialogs.get());
}

void frmDataEntry::setPlacement(std::unique_ptr<WindowPlacement> placement)
{
    m_placement = std::move(placement);
}

void frmDataEntry::MsgBox(const QString &text, MsgBoxButtons buttons, MsgBoxIcon icon, const QString &title)
{
    m_dialogs->showMessageBox(MessageBoxRequest{text, buttons, icon, title});
}

// ---- commands -----------------------------------------------------------------

void frmDataEntry::run(WindowCommand command)
{
    if (commandStarted)
        commandStarted(command);
    // The open and convert commands report their own failures; a failure that
    // escapes a command is reported here rather than let through the event
    // loop, which would end the program and lose the loaded data.
    try {
        switch (command) {
        case WindowCommand::Open: openCommand(); break;
        case WindowCommand::Convert: convertCommand(); break;
        case WindowCommand::Unload: unloadCommand(); break;
        case WindowCommand::Exit: exitCommand(); break;
        }
    } catch (const std::exception &failure) {
        MsgBox(QStringLiteral("The command could not be completed"), MsgBoxButtons::OKOnly, MsgBoxIcon::Information,
               QString::fromStdString(failure.what()));
    }
}

// ---- placing ------------------------------------------------------------------

bool frmDataEntry::Centre(std::int16_t &screenDivisor, std::int16_t &windowDivisor)
{
    return centreWindow(*m_placement, screenDivisor, windowDivisor, [this] {
        MsgBox(QStringLiteral("Form cannot be centred"), MsgBoxButtons::OKCancel, MsgBoxIcon::None);
    });
}

// Load and click centre the window and ignore the result. A failure while
// Centre handles one (a window that cannot be restored) leaves the window
// where it is.
void frmDataEntry::centreOnScreen()
{
    std::int16_t screenDivisor = 2;
    std::int16_t windowDivisor = 2;
    try {
        Centre(screenDivisor, windowDivisor);
    } catch (const std::exception &) {
    }
}

// The minimum size is about the outer size, which changes when the client
// area is resized and also when the window manager puts its frame around the
// window (seen here as a move). Before the window is shown there is no frame
// to measure, so the rule waits for the first real size.
void frmDataEntry::outerGeometryChanged()
{
    if (!isVisible())
        return;
    keepMinimumSize(*m_placement);
    if (m_centreOnceFramed && isFramed()) {
        m_centreOnceFramed = false;
        centreOnScreen();
    }
}

// The window centres itself while it loads, before any window manager has
// put a frame around it, so that centring counts the client area and menu
// bar only. The first time the window is shown it is centred again on its
// real outer size: at once when the frame is already known (no jump), else as
// soon as the window manager reports it.
void frmDataEntry::centreAgainOnceFramed()
{
    if (m_shownBefore)
        return;
    m_shownBefore = true;
    if (isFramed()) {
        keepMinimumSize(*m_placement); // the outer size it will open with
        centreOnScreen();
    } else {
        m_centreOnceFramed = true;
    }
}

bool frmDataEntry::isFramed() const
{
    return frameGeometry() != geometry();
}

void frmDataEntry::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    outerGeometryChanged();
}

void frmDataEntry::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    outerGeometryChanged();
}

// ---- keys -----------------------------------------------------------------------

// Key preview: the filter sits on the window's QWindow, which receives every
// key press before Qt hands it to the control with the focus, and only key
// presses meant for this window (not for its dialogs or open menus).
void frmDataEntry::turnOnKeyPreview()
{
    m_keyPreview = true;
    if (windowHandle() != nullptr)
        windowHandle()->installEventFilter(this);
}

void frmDataEntry::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_keyPreview)
        turnOnKeyPreview(); // the QWindow exists now; installing twice is harmless
    centreAgainOnceFramed();
}

void frmDataEntry::keyPressed(const QKeyEvent &event)
{
    if (const auto command = shortcutCommand(event.key(), event.modifiers()))
        run(*command);
}

bool frmDataEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::KeyPress) {
        keyPressed(*static_cast<QKeyEvent *>(event));
        return false; // the key goes on to the focused control
    }
    if (watched == cmdConvirt && event->type() == QEvent::FocusOut)
        openButtonLostFocus(static_cast<QFocusEvent *>(event)->reason());
    return QMainWindow::eventFilter(watched, event);
}

// ---- focus ----------------------------------------------------------------------

// The Convert button follows the Open button, whatever the tab order says.
// When Convert cannot take the focus (disabled, hidden) the focus stays where
// Qt put it.
void frmDataEntry::openButtonLostFocus(Qt::FocusReason reason)
{
    if (focusLeftTheWindow(reason) || !canTakeFocus(cmdSaveFile))
        return;
    const QWidget *now = QApplication::focusWidget();
    if (now != nullptr && now->window() != this)
        return;
    if (now != cmdSaveFile)
        cmdSaveFile->setFocus(Qt::OtherFocusReason);
}

// The window holds the focus itself only while none of its controls can:
// when the focus control of the active window goes and nothing replaces it.
// Not when the window itself stops being active: a dialog takes the focus
// from the control, which must have it again when the dialog has gone (the
// window system may report the window's own focus a moment longer, so the
// test is the application's active window, not isActiveWindow()).
void frmDataEntry::applicationFocusChanged(QWidget *old, QWidget *now)
{
    if (now == nullptr && old != nullptr && old != this && old->window() == this
        && QApplication::activeWindow() == this)
        setFocus(Qt::OtherFocusReason);
}

// When the window itself loses the focus to one of its controls, the focus
// goes to the Open button, if that can take it.
void frmDataEntry::focusOutEvent(QFocusEvent *event)
{
    QMainWindow::focusOutEvent(event);
    if (focusLeftTheWindow(event->reason()) || !canTakeFocus(cmdConvirt))
        return;
    const QWidget *now = QApplication::focusWidget();
    if (now != nullptr && now->window() != this)
        return;
    cmdConvirt->setFocus(Qt::OtherFocusReason);
}

// ---- closing ----------------------------------------------------------------------

// The system's own messages to the window: on Windows the close controls'
// and a task manager's.
bool frmDataEntry::nativeEvent(const QByteArray &, void *message, qintptr *result)
{
    return m_terminationWatch && m_terminationWatch->windowMessage(message, result);
}

void frmDataEntry::closeEvent(QCloseEvent *event)
{
    const CloseOrigin origin = closeOriginOf(event->spontaneous(), qApp->isSavingSession());
    event->setAccepted(closeAccepted(origin));
}

// SIGTERM: the window closes as the program closes it, and the event loop
// ends -- also one that a dialog is running -- so main returns normally.
void frmDataEntry::terminate()
{
    close();
    QCoreApplication::exit(0);
}
