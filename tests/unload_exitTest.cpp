// The unload and exit commands, through each of their routes.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <functional>

#include "WindowFixture.h"

namespace {

struct Route {
    const char *name;
    std::function<void(WindowFixture &, frmDataEntry &)> run;
};

class UnloadTest : public WindowFixture, public ::testing::WithParamInterface<Route> {
protected:
    void unload() { GetParam().run(*this, *window); }
};

class FixtureAccess : public WindowFixture {
public:
    using WindowFixture::press;
};

const Route unloadRoutes[] = {
    {"button", [](WindowFixture &, frmDataEntry &w) { w.cmdUnload->click(); }},
    {"menu", [](WindowFixture &, frmDataEntry &w) { w.mnuUnloadDatFile->trigger(); }},
    {"CtrlU", [](WindowFixture &f, frmDataEntry &) { static_cast<FixtureAccess &>(f).press(Qt::Key_U, Qt::ControlModifier); }},
};

TEST_P(UnloadTest, WithAFileLoadedReturnsTheWindowToNoFile)
{
    simulateLoadedFile();
    window->dataset.fileConverted = true;
    window->cmdConvirt->setEnabled(false);
    window->cmdSaveFile->setEnabled(false);
    window->Label9->show();
    window->ProgressBar1->setValue(42.0f);
    window->cmdExit->setFocus();
    const auto namesBefore = window->dataset.channelNames;

    unload();

    const auto &d = window->dataset;
    for (QLabel *box : window->Label8)
        EXPECT_TRUE(box->text().isEmpty());
    for (const auto &values : d.channelValues) {
        EXPECT_TRUE(values.empty());
        EXPECT_EQ(values.capacity(), 0u); // storage released
    }
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("No File Loaded"));
    EXPECT_FALSE(d.fileLoaded);
    EXPECT_FALSE(d.fileConverted);
    EXPECT_TRUE(window->cmdConvirt->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
    EXPECT_TRUE(dialogs->messages.empty());
    // what the command leaves alone
    EXPECT_EQ(d.channelNames, namesBefore);
    EXPECT_EQ(d.pointCount, 3);
    EXPECT_FALSE(window->cmdSaveFile->isEnabled());
    EXPECT_TRUE(window->Label9->isVisible());
    EXPECT_EQ(window->ProgressBar1->value(), 42.0f);
    EXPECT_TRUE(window->isVisible());
}

TEST_P(UnloadTest, WithNothingLoadedOnlySaysSoAndEnablesOpen)
{
    window->dataset.fileConverted = true;
    window->cmdConvirt->setEnabled(false);
    window->StatusBar1->setText(QStringLiteral("File Loaded"));
    window->Label8[2]->setText(QStringLiteral("kept"));
    window->cmdUnload->setFocus();
    QWidget *focusBefore = QApplication::focusWidget();

    unload();

    ASSERT_EQ(dialogs->messages.size(), 1u);
    const auto &box = dialogs->messages.front();
    EXPECT_EQ(box.text, QStringLiteral("No File to Unload"));
    EXPECT_EQ(box.title, QStringLiteral("Kestrane"));
    EXPECT_EQ(box.icon, kestrane::MsgBoxIcon::Information);
    EXPECT_EQ(box.buttons, kestrane::MsgBoxButtons::OKOnly);
    EXPECT_FALSE(window->dataset.fileLoaded);
    EXPECT_TRUE(window->cmdConvirt->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), focusBefore);
    EXPECT_TRUE(window->dataset.fileConverted);
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("File Loaded"));
    EXPECT_EQ(window->Label8[2]->text(), QStringLiteral("kept"));
}

TEST_P(UnloadTest, TwiceAfterALoadClearsThenSaysThereIsNothing)
{
    simulateLoadedFile();
    unload();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("No File Loaded"));
    unload();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages.front().text, QStringLiteral("No File to Unload"));
}

INSTANTIATE_TEST_SUITE_P(Routes, UnloadTest, ::testing::ValuesIn(unloadRoutes),
                         [](const auto &info) { return std::string(info.param.name); });

class ExitTest : public WindowFixture {};

TEST_F(ExitTest, WithAFileLoadedDropsTheValuesAndClosesWithoutAQuestion)
{
    simulateLoadedFile();
    window->cmdExit->click();
    EXPECT_FALSE(window->isVisible());
    for (const auto &values : window->dataset.channelValues)
        EXPECT_EQ(values.capacity(), 0u);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_TRUE(dialogs->fileDialogs.empty());
    // it looks at no flag and changes none
    EXPECT_TRUE(window->dataset.fileLoaded);
}

TEST_F(ExitTest, FromTheMenuWithNothingLoaded)
{
    window->mnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs->messages.empty());
}

} // namespace
