// The window itself: its controls and menu as first shown, every caption
// fitting its box, the shortcuts, the focus rules, centring, the close guard
// and its icon; where the file dialog opens; centring and the minimum size on
// a fake screen.
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTimer>

#include <filesystem>
#include <string>

#include "DatGenerator.h"
#include "ThisSystem.h"
#include "WindowFixture.h"
#include "common/Failure.h"
#include "window/Centring.h"
#include "window/CloseGuard.h"
#include "window/InstrumentIcon.h"
#include "window/MinimumSize.h"
#include "window/WindowFont.h"
#include "window/WindowPlacement.h"

using enum kestrane::WindowCommand;
using Commands = std::vector<kestrane::WindowCommand>;

namespace {

// Caption as a screen reader speaks it (given names where there is none);
// place in pixels (twips / 15, each edge rounded).
struct Control { QString name, in, caption; QRect at; };
std::vector<Control> controls()
{
    std::vector<Control> all = {
        {.name = "Frame1", .in = "surface", .caption = "Commands", .at = {16, 4, 117, 166}},
        {.name = "cmdConvirt", .in = "Frame1", .caption = "Open (.DAT) File", .at = {5, 12, 107, 37}},
        {.name = "cmdSaveFile", .in = "Frame1", .caption = "Convirt to Excel File", .at = {5, 49, 107, 37}},
        {.name = "cmdUnload", .in = "Frame1", .caption = "Unload (.DAT) File", .at = {5, 86, 107, 37}},
        {.name = "cmdExit", .in = "Frame1", .caption = "Exit", .at = {5, 123, 107, 37}},
        {.name = "frameTestProbe", .in = "surface", .caption = "Test Probe", .at = {147, 4, 270, 167}},
        {.name = "Label9", .in = "surface", .caption = "Reading (.DAT) File", .at = {23, 184, 112, 22}},
        {.name = "ProgressBar1", .in = "surface", .caption = "Progress", .at = {149, 184, 268, 16}}};
    // Channel k's label and name box, each row at its own rounded top.
    const int labelTops[] = {22, 42, 61, 80, 98, 116, 135}, nameTops[] = {22, 41, 60, 79, 97, 116, 135};
    for (int k = 0; k < 7; ++k) {
        const QString channel = QStringLiteral("Channel %1").arg(k + 1);
        all.push_back({.name = QStringLiteral("Label%1").arg(k + 1), .in = "frameTestProbe", .caption = channel,
                       .at = {8, labelTops[k], 55, 18}});
        all.push_back({.name = QStringLiteral("Label8_%1").arg(k), .in = "frameTestProbe", .caption = channel + " name",
                       .at = {67, nameTops[k], 194, 16}});
    }
    return all;
}

QString spokenName(QObject *object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); }

TEST_F(WindowFixture, ControlsAsFirstShown)
{
    for (const Control &c : controls()) {
        SCOPED_TRACE(c.name.toStdString());
        auto *w = window->findChild<QWidget *>(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(std::tuple(w->parentWidget()->objectName(), spokenName(w), w->geometry()),
                  std::tuple(c.in, c.caption, c.at));
    }
    EXPECT_EQ(window->StatusBar1->geometry(), QRect(0, window->height() - 29, window->width(), 29));
    EXPECT_EQ(std::tuple(window->StatusBar1->text(), window->Label9->isVisible(), window->ProgressBar1->value(),
                         window->dataset.fileLoaded || window->dataset.fileConverted, QApplication::focusWidget()),
              std::tuple(QString("No File Loaded"), false, 0.0f, false, static_cast<QWidget *>(window->cmdConvirt)));
    window->resize(300, 400); // never narrower than it opens: 441 pixels outside
    EXPECT_EQ(window->frameGeometry().width(), 441);
    EXPECT_EQ(window->Label8[6]->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::ToolTipBase));
    for (QLabel *label : window->findChildren<QLabel *>()) // a name is never read as markup
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    for (const int size : {16, 32, 48, 64, 256}) // the artwork itself at each size offered, in device pixels
        EXPECT_EQ(window->windowIcon().pixmap(QSize(size, size), 1.0).toImage(), kestrane::drawInstrumentIcon(size))
            << size;
}

// Every caption in the window's font fits its box, and so does any name of
// twenty characters of the logger's code page. Also run at scale 1.25, 1.5 and 2.
TEST_F(WindowFixture, CaptionsFitTheirBoxes)
{
    const QString family = QFontInfo(window->font()).family().section(QStringLiteral(" ["), 0, 0); // less its foundry
    EXPECT_TRUE(kestrane::windowFont().families().contains(family))
        << "the window's font fell back to " << family.toStdString();
    for (QPushButton *b : window->findChildren<QPushButton *>()) { // whole in the room the style draws it in
        QStyleOptionButton option;
        option.initFrom(b);
        option.features = QStyleOptionButton::AutoDefaultButton;
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), room.width()) << b->text().toStdString();
    }
    const std::pair<QLabel *, QString> texts[] = {{window->Label9, "Reading (.DAT) File"},
        {window->Label9, "Writing to (.xls) File"}, {window->StatusBar1->findChild<QLabel *>(), "No File Loaded"},
        {window->Label1, "Channel 1"}, {window->Label4, "Channel 4"}, {window->Label7, "Channel 7"}};
    for (const auto &[label, text] : texts) // whole in width and in height
        EXPECT_TRUE(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width() &&
                    label->fontMetrics().height() <= label->contentsRect().height()) << text.toStdString();
    auto *box = static_cast<kestrane::ChannelNameBox *>(window->Label8[2]);
    for (int byte = 32; byte < 256; ++byte) {
        box->setText(QString(20, QChar(byte)));
        EXPECT_LE(QFontMetrics(box->fittedFont()).horizontalAdvance(box->displayText()), box->textRoomWidth()) << byte;
    }
    // A name is shown and spoken whole; control characters are drawn as blanks.
    box->setText(QStringLiteral("Temp\tA") + QChar(0) + QStringLiteral("<b>x</b>  "));
    EXPECT_EQ(box->displayText(), QStringLiteral("Temp A <b>x</b>  "));
    EXPECT_EQ(spokenName(box), QStringLiteral("Channel 3 name: Temp A <b>x</b>  "));
}

// The closed counters of `letter` drawn in `font` as the screen draws it: background regions that the edge of the
// image does not reach. Smoothed strokes count where they show.
int closedCounters(const QFont &font, QChar letter, qreal scale, QPointF at)
{
    QImage image(QSize(32, 32) * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QPointF(8, 22) + at, QString(letter));
    painter.end();
    const auto open = [&](QPoint p) { return image.valid(p) && qGray(image.pixel(p)) >= 160; };
    int regions = 0;
    for (int first = 0; first < image.width() * image.height(); ++first) {
        std::vector todo{QPoint(first % image.width(), first / image.width())};
        regions += open(todo[0]);
        while (!todo.empty()) {
            const QPoint p = todo.back();
            todo.pop_back();
            if (!open(p))
                continue;
            image.setPixel(p, qRgb(0, 0, 0)); // filled as it is reached
            todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
        }
    }
    return regions - 1; // the first, from the blank corner, is the outside
}

// Every glyph whole, with font smoothing off and on: each letter with closed counters keeps them. A narrowed face
// loses strokes between the pixels ("Open" read "Cpen").
TEST_F(WindowFixture, GlyphsWholeWithSmoothingOffAndOn)
{
    for (const QFont::StyleStrategy smoothing : {QFont::NoAntialias, QFont::PreferAntialias}) {
        QFont font = window->font();
        font.setStyleStrategy(smoothing);
        // Smoothed, the smallest counters (a, e) show as grey: only the larger ones are counted.
        const QString letters = QStringLiteral("OoDPbdpq0B") + (smoothing == QFont::NoAntialias ? "ae" : "");
        for (const QChar letter : letters)
            for (int at = 0; at < 16; ++at) { // wherever a letter falls within a pixel
                const QPointF within(at % 4 / 4.0, at / 4 / 4.0);
                EXPECT_EQ(closedCounters(font, letter, window->devicePixelRatioF(), within), letter == 'B' ? 2 : 1)
                    << letter.toLatin1() << " at " << at << (smoothing == QFont::NoAntialias ? ", unsmoothed" : "");
            }
    }
}

TEST_F(WindowFixture, ShortcutsRunTheirCommandOnceWhateverHasTheFocus)
{
    // Ctrl+O, Ctrl+C, Ctrl+U with Shift or Alt held too or not. Alt+F opens the File menu, whose access keys
    // (`inMenu`) choose Open, Convert and Unload; "Exit" has none (the close test chooses it). The buttons are the
    // commands test's.
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
    struct Key { Qt::Key key; Qt::KeyboardModifiers modifiers; Qt::Key inMenu = Qt::Key_unknown; Commands expected; };
    const Key keys[] = {
        {.key = Qt::Key_O, .modifiers = ctrl | Qt::ShiftModifier, .expected = {Open}},
        {.key = Qt::Key_C, .modifiers = ctrl, .expected = {Convert}},
        {.key = Qt::Key_U, .modifiers = ctrl | alt, .expected = {Unload}},
        {.key = Qt::Key_O, .modifiers = Qt::NoModifier, .expected = {}},
        {.key = Qt::Key_U, .modifiers = alt, .expected = {}},
        {.key = Qt::Key_E, .modifiers = ctrl, .expected = {}},
        {.key = Qt::Key_F, .modifiers = alt, .inMenu = Qt::Key_U, .expected = {Unload}},
        {.key = Qt::Key_F, .modifiers = alt, .inMenu = Qt::Key_O, .expected = {Open}},
        {.key = Qt::Key_F, .modifiers = alt, .inMenu = Qt::Key_C, .expected = {Convert}},
        {.key = Qt::Key_F, .modifiers = alt, .inMenu = Qt::Key_E, .expected = {}}};
    for (const auto &k : keys) {
        SCOPED_TRACE(QKeySequence(k.key | k.modifiers, QKeyCombination(k.inMenu)).toString().toStdString());
        started.clear(), window->cmdExit->setFocus();
        press(k.key, k.modifiers);
        if (k.inMenu != Qt::Key_unknown) {
            ASSERT_EQ(QApplication::activePopupWidget(), window->mnuFile);
            QTest::keyClick(window->mnuFile, k.inMenu);
        }
        EXPECT_EQ(started, k.expected);
    }
}

// Tab visits only the four buttons, in the order of their tab indexes (1, 2, 18, 20): Open, Exit, Convert, Unload.
// Convert follows Open whatever that order says; the window hands the focus it holds on to Open.
TEST_F(WindowFixture, FocusRules)
{
    const auto focusAfter = [&](const std::function<void()> &act) { return act(), QApplication::focusWidget(); };
    QWidget *const saveFile = window->cmdSaveFile;
    EXPECT_EQ(focusAfter([&] { press(Qt::Key_Tab); }), saveFile);
    EXPECT_EQ(focusAfter([&] { press(Qt::Key_Tab); }), window->cmdUnload);
    EXPECT_EQ(focusAfter([&] { press(Qt::Key_Tab); }), window->cmdConvirt);
    EXPECT_EQ(focusAfter([&] { window->cmdConvirt->setFocus(); press(Qt::Key_Backtab, Qt::ShiftModifier); }), saveFile);
    EXPECT_EQ(focusAfter([&] { window->cmdConvirt->setFocus(); window->cmdConvirt->setEnabled(false); }), saveFile);
    window->cmdConvirt->setEnabled(true);
    EXPECT_EQ(focusAfter([&] { window->cmdConvirt->setFocus(), window->cmdUnload->setFocus(Qt::MouseFocusReason); }),
              saveFile);
    window->cmdConvirt->setFocus(); // the menu gives the focus back where it found it
    press(Qt::Key_F, Qt::AltModifier), QTest::keyClick(window->mnuFile, Qt::Key_Escape), press(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
    EXPECT_EQ(focusAfter([&] { saveFile->setEnabled(false); press(Qt::Key_Tab); }), window->cmdExit);
    EXPECT_EQ(focusAfter([&] { saveFile->setEnabled(true); press(Qt::Key_Tab); }), saveFile);
    for (QPushButton *b : {window->cmdSaveFile, window->cmdUnload, window->cmdExit, window->cmdConvirt})
        b->setEnabled(false);
    EXPECT_EQ(QApplication::focusWidget(), window.get());
    window->cmdConvirt->setEnabled(true), window->cmdUnload->setEnabled(true);
    EXPECT_EQ(focusAfter([&] { window->cmdUnload->setFocus(Qt::OtherFocusReason); }), window->cmdConvirt);
}

// Centred as seen, on the outer frame the window system puts around it.
TEST_F(WindowFixture, OpensCentredAndClickOnTheBlankSurfaceCentres)
{
    const auto offCentre = [&] {
        return (window->frameGeometry().center() - window->screen()->geometry().center()).manhattanLength();
    };
    EXPECT_NE(window->frameGeometry().size(), window->size()); // there is a frame to count
    EXPECT_LE(offCentre(), 2);
    window->move(0, 0);
    QTest::mouseClick(window->Label8[3], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window->frameTestProbe, Qt::LeftButton, {}, QPoint(3, 160));
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    QTest::mouseClick(window->centralWidget(), Qt::LeftButton, {}, QPoint(8, 200));
    EXPECT_LE(offCentre(), 2);
}

// Close requests by their origin. The operator's close controls are refused: a spontaneous close (Linux), the close
// command with or without the low bits the system keeps for itself (Windows: with them, and without them after a
// cancelled logoff). The program's own close, a session manager's, a task manager's are accepted, and logging off
// is never held up; a logoff cancelled afterwards leaves the program running, its guard as before. Each row runs in
// the event loop, which the program's end ends.
TEST_F(WindowFixture, CloseRequestsByOrigin)
{
    using kestrane::closeAccepted, kestrane::closeOriginOf; // by whether it is spontaneous and the session ending
    EXPECT_FALSE(closeAccepted(closeOriginOf(true, false)));
    EXPECT_TRUE(closeAccepted(closeOriginOf(true, true)) && closeAccepted(closeOriginOf(false, false)));

    using namespace windowsystem;
    using namespace kestrane::test;
    const auto message = [](Message m, std::uintptr_t wParam) { return [=](auto &w) { send(w, m, wParam, 0); }; };
    const auto logoffCancelled = [](frmDataEntry &w) {
        EXPECT_NE(send(w, QueryEndSession, 0, EndSessionLogoff), 0) << "logging off held up";
        send(w, EndSession, 0, EndSessionLogoff), send(w, SysCommand, ScClose, 0);
    };
    const struct { const char *name; Platforms on; std::function<void(frmDataEntry &)> request; bool closes; }
        rows[] = {
        {.name = "SessionManagersQuit", .on = Everywhere, .request = [](auto &w) { w.windowHandle()->close(); },
         .closes = true},
        {.name = "ExitFromTheMenu", .on = Everywhere, .request = [](auto &w) { w.mnuExit->trigger(); }, .closes = true},
        {.name = "CloseControls", .on = Windows, .request = message(SysCommand, ScClose | 0x3), .closes = false},
        {.name = "LogoffCancelled", .on = Windows, .request = logoffCancelled, .closes = false},
        {.name = "TaskManager", .on = Windows, .request = message(Close, 0), .closes = true},
    };
    constexpr int stillRunning = 7;
    for (const auto &row : rows) {
        if ((row.on & ThisPlatform) == 0)
            continue;
        SCOPED_TRACE(row.name);
        newWindow();
        QTimer::singleShot(0, window.get(), [&] { row.request(*window); }); // both gone with the window
        QTimer::singleShot(300, window.get(), [] { QCoreApplication::exit(stillRunning); });
        EXPECT_EQ(QApplication::exec(), row.closes ? 0 : stillRunning);
        EXPECT_EQ(window->isVisible(), !row.closes);
    }
}

// Where the file dialog opens: the last chosen path's folder while it exists, else the initial folder where it
// exists, else none, and the dialog chooses itself (Windows' own: the folder it remembers for the program, else
// Documents; Qt's on Linux: the folder it last showed, else the current one). The commands test sees each dialog
// given the last path's folder, and the name it proposes. Paths are below a fresh folder.
TEST(CommonDialog, FolderTheDialogIsGiven)
{
    const std::string dir = kestrane::testdata::freshFolder("dialogfolders");
    std::filesystem::create_directories(dir + "/WENTHARP");
    const auto at = [&](const char *path) { return *path ? QDir::cleanPath(QString::fromStdString(dir) + path) : ""; };
    const struct { const char *name, *initDir = "/WENTHARP", *last = "", *folder; } rows[] = {
        {.name = "InitialFolder", .folder = "/WENTHARP"},
        {.name = "LastFolderGone", .last = "/gone/run.dat", .folder = "/WENTHARP"},
        {.name = "NoFolder", .initDir = "/none", .last = "/gone/run.dat", .folder = ""},
    };
    for (const auto &row : rows) {
        kestrane::CommonDialog dialog;
        dialog.InitDir = at(row.initDir), dialog.FileName = at(row.last);
        EXPECT_EQ(QDir::cleanPath(dialog.startFolder()).toStdString(), at(row.folder).toStdString()) << row.name;
    }
}

// A 1024 x 768 screen (15360 x 11520 twips) behind a window, recording what is done to them as it is done: T top,
// L left, W width, H height, each with its value, R restore. A minimised or maximised window does not move.
struct FakePlacement : kestrane::WindowPlacement {
    float outerW = 0, outerH = 0;
    bool maximised = false, restoreFails = false;
    std::vector<int> screenFailures; // failure numbers for the first screen reads
    mutable std::size_t reads = 0;
    QString calls;
    float screenWidth() const override { return read(15360); }
    float screenHeight() const override { return read(11520); }
    float outerWidth() const override { return outerW; }
    float outerHeight() const override { return outerH; }
    void moveTop(float v) override { done('T', maximised ? fail(kestrane::FormCannotMove) : v); }
    void moveLeft(float v) override { done('L', maximised ? fail(kestrane::FormCannotMove) : v); }
    void setOuterWidth(float v) override { done('W', outerW = v); }
    void setOuterHeight(float v) override { done('H', outerH = v); }
    bool isNormalState() const override { return !maximised; }
    void restore() override { calls += "R ", maximised = restoreFails ? fail(kestrane::PermissionDenied) : false; }
    static bool fail(int number) { throw kestrane::Failure(number); }
    void done(char step, float value) { calls += step + QString::number(value) + ' '; }
    float read(float twips) const { return reads < screenFailures.size() ? fail(screenFailures[reads++]) : twips; }
};

// Centring: the top first, then the left, by floating-point division; a zero divisor sets both divisors to 2, a
// maximised window is restored, any other failure reported, and the step tried again, four times at most. The
// minimum size: width first, then height, each only strictly below its minimum, and never while maximised.
TEST(Placement, CentringAndTheMinimumSize)
{
    using kestrane::DeviceIOError, kestrane::PermissionDenied;
    const struct {
        const char *name;
        bool centre = true; // else the minimum size is kept
        std::int16_t screenDivisor = 2, windowDivisor = 2;
        float width = 6615, height = 4291;
        bool maximised = false;
        std::vector<int> screenFailures = {};
        // outcome: the result, what was done (halves of the sizes are no whole numbers), how many "Form cannot be
        // centred" boxes
        bool result = true;
        const char *calls = "T3614.5 L4372.5 ";
        int reports = 0;
    } cases[] = {
        {.name = "Middle"},
        {.name = "OtherDivisors", .screenDivisor = 3, .windowDivisor = 1, .calls = "T-451 L-1495 "},
        {.name = "ZeroDivisor", .screenDivisor = 0},
        {.name = "ZeroWhileMaximised", .windowDivisor = 0, .maximised = true, .calls = "R T3614.5 L4372.5 "},
        {.name = "OtherFailureRepeatsTheStep", .screenFailures = {DeviceIOError, PermissionDenied}, .reports = 2},
        {.name = "GivesUp", .screenFailures = std::vector<int>(9, DeviceIOError), .result = false, .calls = "",
         .reports = 3},
        {.name = "NarrowerOnly", .centre = false, .width = 5000, .height = 5000, .calls = "W6615 "},
        {.name = "AtTheMinimum", .centre = false, .width = 6615, .height = 4290, .calls = ""},
        {.name = "JustBelowIt", .centre = false, .width = 6614.5f, .height = 4289.5f, .calls = "W6615 H4290 "},
        {.name = "LowerOnly", .centre = false, .width = 8000, .height = 100, .calls = "H4290 "},
        {.name = "Maximised", .centre = false, .width = 100, .height = 100, .maximised = true, .calls = ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakePlacement fake;
        fake.outerW = c.width, fake.outerH = c.height, fake.maximised = c.maximised;
        fake.screenFailures = c.screenFailures;
        std::int16_t s = c.screenDivisor, w = c.windowDivisor;
        int reports = 0;
        const bool result = c.centre ? kestrane::centreWindow(fake, s, w, [&] { ++reports; })
                                     : (kestrane::keepMinimumSize(fake), true);
        EXPECT_EQ(std::tuple(result, fake.calls.toStdString(), reports), std::tuple(c.result, c.calls, c.reports));
        // A zero divisor: the caller's variables hold 2 and 2 afterwards.
        EXPECT_EQ(std::pair(s, w), c.screenDivisor && c.windowDivisor ? std::pair(c.screenDivisor, c.windowDivisor)
                                                                       : std::pair(std::int16_t(2), std::int16_t(2)));
    }
    FakePlacement unrestorable;
    unrestorable.maximised = unrestorable.restoreFails = true;
    std::int16_t s = 2, w = 2;
    EXPECT_THROW(kestrane::centreWindow(unrestorable, s, w, [] {}), kestrane::Failure);
}

} // namespace
