// What a screen reader hears of the window: every control has a name, taken
// from its caption or given to it, and the channel-name boxes say which
// channel they belong to as well as the name they show.
#include <QAccessible>
#include <QGroupBox>
#include <QMenuBar>
#include <QSizeGrip>

#include <vector>

#include "WindowFixture.h"
#include "window/ChannelNameBox.h"

namespace {

QString spokenName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface == nullptr ? QString() : iface->text(QAccessible::Name);
}

// The window's own visible widgets and those of its menu bar and status bar.
std::vector<QWidget *> visibleWidgets(QWidget *window)
{
    std::vector<QWidget *> widgets;
    for (QWidget *w : window->findChildren<QWidget *>())
        if (w->isVisible() && w->window() == window)
            widgets.push_back(w);
    return widgets;
}

class AccessibilityTest : public WindowFixture {};

// Names of the controls without a caption, and of a few with one (spoken as
// the caption reads, ampersands dropped).
TEST_F(AccessibilityTest, ControlsAreSpokenByCaptionOrGivenName)
{
    const struct {
        QObject *control;
        const char *name;
    } expected[] = {
        {window->centralWidget(), "Main area"},
        {window->Frame1, "Commands"},
        {window->frameTestProbe, "Test Probe"},
        {window->cmdConvirt, "Open (.DAT) File"},
        {window->cmdSaveFile, "Convirt to Excel File"},
        {window->Label7, "Channel 7"},
        {window->ProgressBar1, "Progress"},
        {window->StatusBar1, "Status"},
        {window->StatusBar1->textLabel(), "No File Loaded"},
        {window->menuBar(), "Main menu"},
        {window->mnuFile, "File"},
    };
    for (const auto &e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(spokenName(e.control), QString::fromLatin1(e.name));
    }
}

// Qt's own label interface would call an empty box by its frame's title:
// seven boxes all spoken as "Test Probe".
TEST_F(AccessibilityTest, EmptyChannelNameBoxesSayWhichChannelTheyHold)
{
    for (int i = 0; i < 7; ++i) {
        QLabel *box = window->Label8[std::size_t(i)];
        const QString expected = QStringLiteral("Channel %1 name").arg(i + 1);
        EXPECT_EQ(spokenName(box), expected);
    }
}

TEST_F(AccessibilityTest, LoadedChannelNamesAreSpokenAfterTheirChannel)
{
    simulateLoadedFile();
    for (int i = 0; i < 7; ++i) {
        // the whole 20-character field, its blanks included, as the box shows it
        const QString name = (QStringLiteral("Probe ") + QChar(u'A' + i)).leftJustified(20);
        EXPECT_EQ(spokenName(window->Label8[std::size_t(i)]), QStringLiteral("Channel %1 name: ").arg(i + 1) + name);
    }
    // The name is spoken as it is drawn: a zero byte the logger padded with
    // is a blank, not a character handed to the speech engine.
    window->Label8[0]->setText(QStringLiteral("Flow") + QChar(0) + QStringLiteral("x"));
    EXPECT_EQ(spokenName(window->Label8[0]), QStringLiteral("Channel 1 name: Flow x"));
    window->Label8[0]->clear();
    EXPECT_EQ(spokenName(window->Label8[0]), QStringLiteral("Channel 1 name"));
}

// Qt tells a screen reader of a label's new text only while the label's
// accessibleName is empty; the caption must not be kept there.
TEST_F(AccessibilityTest, ChannelNameBoxesLeaveTheirAccessibleNameEmpty)
{
    for (QLabel *box : window->Label8)
        EXPECT_TRUE(box->accessibleName().isEmpty()) << box->objectName().toStdString();
}

TEST(ChannelNameBoxSpeech, WithoutACaptionTheNameAloneIsSpoken)
{
    kestrane::ChannelNameBox box;
    EXPECT_EQ(box.spokenName(), QString());
    box.setText(QStringLiteral("Flow"));
    EXPECT_EQ(box.spokenName(), QStringLiteral("Flow"));
    box.setSpokenCaption(QStringLiteral("Channel 2 name"));
    EXPECT_EQ(box.spokenName(), QStringLiteral("Channel 2 name: Flow"));
}

// Every visible widget in each state of the window, the working notice and
// a loaded file included, has something to be called by.
TEST_F(AccessibilityTest, EveryVisibleWidgetHasANameInEveryState)
{
    const auto check = [this](const char *state) {
        SCOPED_TRACE(state);
        const auto widgets = visibleWidgets(window.get());
        // 22 controls (the notice hidden at first), the surface, the menu bar,
        // and the status bar's text and grip
        ASSERT_GE(widgets.size(), 26u);
        for (QWidget *w : widgets)
            EXPECT_FALSE(spokenName(w).trimmed().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
    };
    check("first shown");
    simulateLoadedFile();
    window->Label9->show();
    window->ProgressBar1->setValue(50);
    check("file loaded, reading notice shown");
    ASSERT_NE(window->StatusBar1->findChild<QSizeGrip *>(), nullptr);
    EXPECT_EQ(spokenName(window->StatusBar1->findChild<QSizeGrip *>()), QStringLiteral("Resize window"));
}

TEST_F(AccessibilityTest, EveryMenuItemButTheSeparatorHasAName)
{
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window->menuBar());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->childCount(), 1);
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), QStringLiteral("File"));

    QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(window->mnuFile);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->childCount(), 5);
    int separators = 0;
    for (int i = 0; i < menu->childCount(); ++i) {
        QAccessibleInterface *item = menu->child(i);
        if (item->role() == QAccessible::Separator) {
            ++separators;
            continue;
        }
        EXPECT_FALSE(item->text(QAccessible::Name).isEmpty()) << i;
    }
    EXPECT_EQ(separators, 1);
    // the caption is spoken without its access-key marker
    EXPECT_TRUE(menu->child(0)->text(QAccessible::Name).startsWith(QStringLiteral("Open")));
}

} // namespace
