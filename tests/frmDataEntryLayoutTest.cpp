// The window as it is first shown: controls, captions, places, tab order,
// menu, colours, icon -- and that every caption fits its fixed box in the
// font the window really uses.
#include <QAction>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <set>

#include "WindowFixture.h"
#include "window/ChannelNameBox.h"
#include "window/InstrumentIcon.h"

namespace {

struct ExpectedControl {
    const char *name;
    const char *kind;      // class the control is, or inherits
    const char *container; // objectName of its parent
    const char *caption;   // nullptr: no caption
    QRect pixels;          // place in its container: twips / 15, each edge rounded
};

// Pixels worked out by hand from the twips table, e.g. cmdSaveFile: left
// 75/15 = 5, top 735/15 = 49, right (75+1600)/15 = 111.67 -> 112, bottom
// (735+550)/15 = 85.67 -> 86.
const ExpectedControl expectedControls[] = {
    {"Frame1", "QGroupBox", "surface", "", {16, 4, 117, 166}},
    {"cmdConvirt", "QPushButton", "Frame1", "Open (.DAT) File", {5, 12, 107, 37}},
    {"cmdSaveFile", "QPushButton", "Frame1", "Convirt to Excel File", {5, 49, 107, 37}},
    {"cmdUnload", "QPushButton", "Frame1", "Unload (.DAT) File", {5, 86, 107, 37}},
    {"cmdExit", "QPushButton", "Frame1", "Exit", {5, 123, 107, 37}},
    {"frameTestProbe", "QGroupBox", "surface", "Test Probe", {147, 4, 270, 167}},
    {"Label1", "QLabel", "frameTestProbe", "Channel 1", {8, 22, 55, 18}},
    {"Label2", "QLabel", "frameTestProbe", "Channel 2", {8, 42, 55, 18}},
    {"Label3", "QLabel", "frameTestProbe", "Channel 3", {8, 61, 55, 18}},
    {"Label4", "QLabel", "frameTestProbe", "Channel 4", {8, 80, 55, 18}},
    {"Label5", "QLabel", "frameTestProbe", "Channel 5", {8, 98, 55, 18}},
    {"Label6", "QLabel", "frameTestProbe", "Channel 6", {8, 116, 55, 18}},
    {"Label7", "QLabel", "frameTestProbe", "Channel 7", {8, 135, 55, 18}},
    {"Label8_0", "QLabel", "frameTestProbe", "", {67, 22, 194, 16}},
    {"Label8_1", "QLabel", "frameTestProbe", "", {67, 41, 194, 16}},
    {"Label8_2", "QLabel", "frameTestProbe", "", {67, 60, 194, 16}},
    {"Label8_3", "QLabel", "frameTestProbe", "", {67, 79, 194, 16}},
    {"Label8_4", "QLabel", "frameTestProbe", "", {67, 97, 194, 16}},
    {"Label8_5", "QLabel", "frameTestProbe", "", {67, 116, 194, 16}},
    {"Label8_6", "QLabel", "frameTestProbe", "", {67, 135, 194, 16}},
    {"Label9", "QLabel", "surface", "Reading (.DAT) File", {23, 184, 112, 22}},
    {"ProgressBar1", "QProgressBar", "surface", nullptr, {149, 184, 268, 16}},
};

QString captionOf(const QWidget *w)
{
    if (auto *b = qobject_cast<const QPushButton *>(w))
        return b->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        return g->title();
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    return QString();
}

class LayoutTest : public WindowFixture {
protected:
    QWidget *control(const char *name) { return window->findChild<QWidget *>(QString::fromLatin1(name)); }
};

TEST_F(LayoutTest, EveryControlHasItsKindContainerCaptionAndPlace)
{
    for (const auto &expected : expectedControls) {
        SCOPED_TRACE(expected.name);
        QWidget *w = control(expected.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(expected.kind));
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(expected.container));
        if (expected.caption != nullptr) {
            EXPECT_EQ(captionOf(w), QString::fromUtf8(expected.caption));
        }
        EXPECT_EQ(w->geometry(), expected.pixels);
    }
}

TEST_F(LayoutTest, PublicMembersAreTheNamedControls)
{
    EXPECT_EQ(window->cmdConvirt, control("cmdConvirt"));
    EXPECT_EQ(window->cmdSaveFile, control("cmdSaveFile"));
    EXPECT_EQ(window->cmdUnload, control("cmdUnload"));
    EXPECT_EQ(window->cmdExit, control("cmdExit"));
    EXPECT_EQ(window->Label1, control("Label1"));
    EXPECT_EQ(window->Label7, control("Label7"));
    EXPECT_EQ(window->Label9, control("Label9"));
    EXPECT_EQ(window->Frame1, control("Frame1"));
    EXPECT_EQ(window->frameTestProbe, control("frameTestProbe"));
    EXPECT_EQ(window->ProgressBar1, control("ProgressBar1"));
    EXPECT_EQ(window->StatusBar1, control("StatusBar1"));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window->Label8[std::size_t(i)], control(QStringLiteral("Label8_%1").arg(i).toLatin1().constData()));
}

TEST_F(LayoutTest, NoTwoControlsOverlapAndEachLiesInsideItsContainer)
{
    for (QWidget *container : {window->centralWidget(), static_cast<QWidget *>(window->Frame1),
                               static_cast<QWidget *>(window->frameTestProbe)}) {
        const auto children = container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        ASSERT_FALSE(children.isEmpty());
        for (qsizetype i = 0; i < children.size(); ++i) {
            EXPECT_TRUE(container->rect().contains(children[i]->geometry())) << children[i]->objectName().toStdString();
            for (qsizetype j = i + 1; j < children.size(); ++j)
                EXPECT_FALSE(children[i]->geometry().intersects(children[j]->geometry()))
                    << children[i]->objectName().toStdString() << " / " << children[j]->objectName().toStdString();
        }
    }
}

TEST_F(LayoutTest, ClientAreaIsDesignedSizeWithStatusBarDockedAlongTheBottom)
{
    // 6495 x 3600 twips below the menu bar; the window never opens smaller.
    const int menuHeight = window->menuBar()->height();
    EXPECT_GE(window->width(), 433);
    EXPECT_GE(window->height() - menuHeight, 240);
    const QRect bar = window->StatusBar1->geometry();
    EXPECT_EQ(bar.height(), 29); // 435 twips
    EXPECT_EQ(bar.left(), 0);
    EXPECT_EQ(bar.width(), window->width());
    EXPECT_EQ(bar.bottom(), window->height() - 1);
    EXPECT_EQ(window->centralWidget()->geometry().top(), menuHeight);
    EXPECT_GE(window->centralWidget()->height(), 211); // 3165 twips
}

TEST_F(LayoutTest, StatusBarIsOnePlainTextWithoutPanels)
{
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("No File Loaded"));
    const auto labels = window->StatusBar1->findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(window->StatusBar1->currentMessage().isEmpty());
    // the text spans the bar: it is the only stretching item in it
    EXPECT_GT(labels.front()->width(), window->StatusBar1->width() / 2);
}

TEST_F(LayoutTest, FirstShownState)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Data File Conversion Utility"));
    EXPECT_FALSE(window->Label9->isVisible());
    EXPECT_EQ(window->Label9->text(), QStringLiteral("Reading (.DAT) File"));
    for (QLabel *box : window->Label8) {
        EXPECT_TRUE(box->text().isEmpty());
        EXPECT_TRUE(box->isVisible());
    }
    for (QPushButton *b : {window->cmdConvirt, window->cmdSaveFile, window->cmdUnload, window->cmdExit})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(window->ProgressBar1->min(), 0.0f);
    EXPECT_EQ(window->ProgressBar1->max(), 100.0f);
    EXPECT_EQ(window->ProgressBar1->value(), 0.0f);
    EXPECT_FALSE(window->ProgressBar1->isTextVisible());
    EXPECT_FALSE(window->dataset.fileLoaded);
    EXPECT_FALSE(window->dataset.fileConverted);
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
}

TEST_F(LayoutTest, ColoursOfTheNameBoxesAndTheNotice)
{
    const QPalette system = QApplication::palette();
    for (QLabel *box : window->Label8) {
        EXPECT_TRUE(box->autoFillBackground());
        EXPECT_EQ(box->palette().color(box->backgroundRole()), system.color(QPalette::ToolTipBase));
    }
    EXPECT_EQ(window->Label9->palette().color(window->Label9->foregroundRole()), system.color(QPalette::Highlight));
    // the fixed labels keep the system colours
    EXPECT_FALSE(window->Label1->autoFillBackground());
}

TEST_F(LayoutTest, TextIsNeverReadAsMarkup)
{
    for (QLabel *label : window->findChildren<QLabel *>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST_F(LayoutTest, StoredTabOrderHoldsOnlyTheFourButtons)
{
    // Walk the focus chain once round from the window, keeping what Tab can reach.
    std::vector<QWidget *> order;
    for (QWidget *w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled())
            order.push_back(w);
    }
    const std::vector<QWidget *> buttons{window->cmdConvirt, window->cmdExit, window->cmdSaveFile, window->cmdUnload};
    ASSERT_EQ(order.size(), 4u);
    const auto start = std::find(order.begin(), order.end(), window->cmdConvirt);
    ASSERT_NE(start, order.end());
    std::rotate(order.begin(), start, order.end());
    EXPECT_EQ(order, buttons);
}

TEST_F(LayoutTest, TabbingVisitsOnlyButtonsAndConvertFollowsOpen)
{
    // Tab from Open lands on Exit by the tab order, and the focus rule moves it
    // on to Convert; then Unload, then Open again.
    const std::vector<QWidget *> expected{window->cmdSaveFile, window->cmdUnload, window->cmdConvirt,
                                          window->cmdSaveFile, window->cmdUnload, window->cmdConvirt};
    std::vector<QWidget *> seen;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        press(Qt::Key_Tab);
        seen.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(LayoutTest, FileMenuItemsCaptionsAndShownShortcuts)
{
    ASSERT_NE(window->mnuFile, nullptr);
    EXPECT_EQ(window->mnuFile->objectName(), QStringLiteral("mnuFile"));
    EXPECT_EQ(window->mnuFile->title(), QStringLiteral("&File"));
    EXPECT_EQ(window->menuBar()->actions(), QList<QAction *>{window->mnuFile->menuAction()});

    const auto actions = window->mnuFile->actions();
    ASSERT_EQ(actions.size(), 5);
    const struct {
        QAction *action;
        const char *name;
        const char *text; // caption, then the shortcut shown beside it
    } items[] = {{window->mnuOpen, "mnuOpen", "&Open\tCtrl+O"},
                 {window->mnuConvirt, "mnuConvirt", "&Convirt\tCtrl+C"},
                 {window->mnuUnloadDatFile, "mnuUnloadDatFile", "&Unload\tCtrl+U"},
                 {actions[3], "Separator", ""},
                 {window->mnuExit, "mnuExit", "Exit"}};
    for (qsizetype i = 0; i < 5; ++i) {
        SCOPED_TRACE(items[i].name);
        EXPECT_EQ(actions[i], items[i].action);
        EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(items[i].name));
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(items[i].text));
        EXPECT_TRUE(actions[i]->isEnabled());
        EXPECT_TRUE(actions[i]->isVisible());
        // shown only: a live shortcut would run the command a second time
        EXPECT_TRUE(actions[i]->shortcut().isEmpty());
    }
    EXPECT_TRUE(actions[3]->isSeparator());
}

// ---- captions fit their boxes --------------------------------------------------

// Every character the logger's code page can put into a name.
QString windows1252Characters()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    QStringDecoder decode("windows-1252");
    return decode(bytes);
}

TEST_F(LayoutTest, WindowFontIsReadable)
{
    const QFontInfo used(window->font());
    EXPECT_GE(used.pixelSize(), 11) << used.family().toStdString();
    for (QWidget *w : window->centralWidget()->findChildren<QWidget *>())
        EXPECT_EQ(w->font(), window->font()) << w->objectName().toStdString();
}

TEST_F(LayoutTest, ButtonCaptionsFit)
{
    for (QPushButton *b : window->findChildren<QPushButton *>()) {
        SCOPED_TRACE(b->text().toStdString());
        // The style's own size for this caption in this font, margins included.
        const QSize needed = b->sizeHint();
        EXPECT_LE(needed.width(), b->width());
        EXPECT_LE(needed.height(), b->height());
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), b->width() - 8);
    }
}

TEST_F(LayoutTest, LabelCaptionsFit)
{
    std::vector<std::pair<QLabel *, QString>> captions;
    for (QLabel *l : {window->Label1, window->Label2, window->Label3, window->Label4, window->Label5, window->Label6,
                      window->Label7})
        captions.emplace_back(l, l->text());
    // The notice shows the open command's and the convert command's text.
    captions.emplace_back(window->Label9, QStringLiteral("Reading (.DAT) File"));
    captions.emplace_back(window->Label9, QStringLiteral("Writing to (.xls) File"));
    for (const QString &status : {QStringLiteral("No File Loaded"), QStringLiteral("File Loaded")})
        captions.emplace_back(window->StatusBar1->findChild<QLabel *>(), status);

    for (const auto &[label, text] : captions) {
        SCOPED_TRACE(text.toStdString());
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(text), label->contentsRect().width());
        EXPECT_LE(metrics.height(), label->contentsRect().height());
    }
}

TEST_F(LayoutTest, FrameTitleFitsAndClearsTheRowsBelowIt)
{
    QGroupBox *box = window->frameTestProbe;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    EXPECT_GE(title.width(), box->fontMetrics().horizontalAdvance(box->title()));
    EXPECT_TRUE(box->rect().contains(title));
    for (QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_FALSE(title.intersects(child->geometry())) << child->objectName().toStdString();
}

TEST_F(LayoutTest, AnyTwentyCharacterNameFitsItsBoxWhole)
{
    // Typical names, and each character of the code page twenty times over:
    // the widest possible name of each kind is still shown whole.
    QStringList names{QStringLiteral("Temperature Inlet °C"), QStringLiteral("TEMPERATURE INLET °C"),
                      QStringLiteral("WWWWWWWWWWWWWWWWWWWW"), QStringLiteral("MMMMMMMMMMMMMMMMMMMM")};
    for (const QChar c : windows1252Characters())
        names.append(QString(20, c));
    for (QLabel *label : window->Label8) {
        auto *box = qobject_cast<kestrane::ChannelNameBox *>(label);
        ASSERT_NE(box, nullptr);
        const QFontMetrics metrics(box->font());
        EXPECT_LE(metrics.height(), box->contentsRect().height());
        for (const QString &name : names) {
            box->setText(name);
            EXPECT_LE(metrics.horizontalAdvance(box->displayText()), box->textRoomWidth())
                << "U+" << std::hex << int(name.front().unicode());
        }
    }
}

TEST(ChannelNameBox, KeepsTheWholeNameAndDrawsControlCharactersAsBlanks)
{
    kestrane::ChannelNameBox box;
    const QString name = QStringLiteral("Temp\tA\nB") + QChar(0) + QChar(0x85) + QStringLiteral("   <b>x</b>");
    box.setText(name);
    EXPECT_EQ(box.text(), name); // the caption is the name, unchanged
    EXPECT_EQ(box.displayText(), QStringLiteral("Temp A B     <b>x</b>"));
    EXPECT_EQ(box.displayText().size(), name.size());
}

// ---- icon ----------------------------------------------------------------------

TEST(InstrumentIcon, DrawnAtEverySizeTheWindowAndInstallNeed)
{
    // Device pixels, whatever the screen's scale: these are the pixmaps held.
    const QIcon icon = kestrane::instrumentIcon();
    for (const int size : {16, 32, 48, 64, 256})
        EXPECT_EQ(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size)) << size;
    EXPECT_EQ(icon.availableSizes().size(), 5);
}

TEST(InstrumentIcon, GreyCaseSmallDisplayAndFiveRedLampsInSixteenColours)
{
    const QImage image = kestrane::drawInstrumentIcon(32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    const std::set<QRgb> sixteenColours{qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                                        qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                                        qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
                                        qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) != 0) {
                EXPECT_EQ(qAlpha(p), 255) << x << "," << y;
                EXPECT_TRUE(sixteenColours.count(qRgb(qRed(p), qGreen(p), qBlue(p)))) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(QColor(image.pixel(5, 10)), QColor(192, 192, 192)); // the case
    EXPECT_EQ(QColor(image.pixel(9, 13)), QColor(0, 0, 0));       // the display
    // the lamp row: five separate red runs
    int lamps = 0;
    bool inLamp = false;
    for (int x = 0; x < 32; ++x) {
        const bool red = QColor(image.pixel(x, 23)) == QColor(255, 0, 0);
        lamps += red && !inLamp;
        inLamp = red;
    }
    EXPECT_EQ(lamps, 5);
}

TEST_F(LayoutTest, WindowCarriesTheIcon)
{
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->windowIcon().pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32),
              kestrane::drawInstrumentIcon(32).convertToFormat(QImage::Format_ARGB32));
}

} // namespace
