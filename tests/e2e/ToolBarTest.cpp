// The tool bar of the real program, driven with the pointer and the keyboard: its states
// with three servers, switching servers, the Show Failed button, the pointer tip, hiding
// and showing the tool bar; and every menu and submenu posted by keys, saved as pictures.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/icons/active.xpm.h"
#include "app/icons/fail.xpm.h"
#include "tests/e2e/WindowProbe.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kServers = {"127.0.0.1:1", "127.0.0.1:2", "127.0.0.1:3"};

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vantor.Start()) << vantor.StandardError(); }
    void TearDown() override
    {
        EXPECT_EQ(WindowsNamed("Warning"), 0);
        EXPECT_TRUE(vantor.Keys({"ctrl+x"}));
        EXPECT_EQ(vantor.WaitForExit(), 0);
    }

    std::string States() { return ToolBarStates(vantor.display(), vantor.window()); }
    ToolButton Button(size_t slot)
    {
        std::vector<ToolButton> buttons = ToolButtons(vantor.display(), vantor.window());
        return slot < buttons.size() ? buttons[slot] : ToolButton{};
    }
    bool Click(size_t slot)
    {
        ToolButton b = Button(slot);
        return b.window && vantor.ClickAt(b.x + b.width / 2, b.y + b.height / 2);
    }
    // Whether the button shows the icon.
    bool Shows(size_t slot, const char* const* xpm)
    {
        ToolButton b = Button(slot);
        RgbImage part = Crop(vantor.Screenshot(), b.x, b.y, b.width, b.height);
        return FindIcon(vantor.display(), part, xpm) >= 0;
    }
    // The tool bar's strip of the window, for the pictures.
    void SaveToolBar(const std::string& name)
    {
        RgbImage strip = Crop(vantor.ScreenOverWindow(), 0, 0, 360, 110);
        EXPECT_TRUE(WritePng(ArtifactPath(name), strip));
    }

    VantorHome home{kServers};
    VantorDriver vantor{home.path()};
};

TEST_F(ToolBarTest, ThreeServersSwitchFromTheirButtonsAndTheMenuAndShowToolbarHidesThem)
{
    // Start and Show Failed enabled, Pause, Stop, Update now disabled; the first server
    // is current, so its button is disabled.
    EXPECT_EQ(States(), "10001011");
    SaveToolBar("toolbar-three-servers.png");

    ASSERT_TRUE(Click(7));
    EXPECT_EQ(States(), "10001110");
    SaveToolBar("toolbar-third-server.png");
    ASSERT_TRUE(Click(7)); // disabled while current: nothing
    EXPECT_EQ(States(), "10001110");

    // SOCKS5Server > the third server, the current one: nothing changes.
    ASSERT_TRUE(vantor.Keys({"F10", "Right", "Right", "Right", "Down", "Down", "Down", "Down"}));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("menu-servers-third-current.png").empty());
    ASSERT_TRUE(vantor.Keys({"Return"}));
    EXPECT_EQ(States(), "10001110");
    // SOCKS5Server > the second server.
    ASSERT_TRUE(vantor.Keys({"F10", "Right", "Right", "Right", "Down", "Down", "Down", "Return"}));
    EXPECT_EQ(States(), "10001101");

    const std::vector<std::string> toggle = MenuKeys(2, 2); // View > Show Toolbar
    ASSERT_TRUE(vantor.Keys(toggle));
    EXPECT_EQ(States(), "");
    EXPECT_FALSE(vantor.SaveScreenshot("toolbar-hidden.png").empty());
    ASSERT_TRUE(vantor.Keys(toggle));
    EXPECT_EQ(States(), "10001101");
}

TEST_F(ToolBarTest, ShowFailedButtonTurnsIntoShowActiveAndTheTipFollows)
{
    EXPECT_TRUE(Shows(4, fail_xpm));
    ToolButton failed = Button(4);
    ASSERT_TRUE(vantor.PointerTo(failed.x + failed.width / 2, failed.y + failed.height / 2));
    SleepMs(300);
    RgbImage shot = vantor.ScreenOverWindow();
    // The tip: a white label just under the tool bar, 5 pixels right of the button.
    EXPECT_EQ(shot.At(failed.x + 5 + 6, 70 + 6), 0xffffffu);
    EXPECT_TRUE(WritePng(ArtifactPath("toolbar-tip-show-failed.png"), Crop(shot, 0, 0, 360, 110)));

    ASSERT_TRUE(Click(4));
    EXPECT_TRUE(Shows(4, active_xpm));
    EXPECT_FALSE(Shows(4, fail_xpm));
    ASSERT_TRUE(vantor.PointerTo(400, 300));
    ASSERT_TRUE(vantor.PointerTo(failed.x + failed.width / 2, failed.y + failed.height / 2));
    SleepMs(300);
    SaveToolBar("toolbar-tip-show-active.png");
    ASSERT_TRUE(vantor.PointerTo(400, 300));
    // The View menu shows Show Failed set.
    ASSERT_TRUE(vantor.Keys({"F10", "Right", "Right", "Down"}));
    EXPECT_FALSE(vantor.SaveScreenOverWindow("menu-view-show-failed.png").empty());
    ASSERT_TRUE(vantor.Keys({"Escape", "Escape"}));

    // Show Active from the menu turns the button back.
    ASSERT_TRUE(vantor.Keys(MenuKeys(2, 0)));
    EXPECT_TRUE(Shows(4, fail_xpm));
}

TEST_F(ToolBarTest, EveryMenuPosted)
{
    const struct {
        const char* picture;
        int menu, submenu; // the entry whose submenu is posted too, or -1
    } menus[] = {
        {"menu-file.png", 0, -1},        {"menu-action.png", 1, -1},
        {"menu-view.png", 2, -1},        {"menu-view-display.png", 2, 4},
        {"menu-servers.png", 3, -1},     {"menu-connection.png", 4, -1},
        {"menu-options.png", 5, -1},     {"menu-options-sort.png", 5, 3},
        {"menu-options-unit.png", 5, 4}, {"menu-options-naming.png", 5, 5},
        {"menu-help.png", 6, -1},
    };
    // Motif keeps a window of its own of that kind mapped: menus are counted beyond those.
    const int idle = PostedMenus(vantor.display());
    for (const auto& menu : menus) {
        // The keys that choose the entry, with Right for Return to post its submenu instead.
        std::vector<std::string> keys = MenuKeys(menu.menu, std::max(menu.submenu, 0));
        keys.back() = "Right";
        if (menu.submenu < 0)
            keys.pop_back();
        ASSERT_TRUE(vantor.Keys(keys));
        // The menu, and the submenu beside it, are on show.
        EXPECT_TRUE(Eventually([&] {
            return PostedMenus(vantor.display()) == idle + (menu.submenu < 0 ? 1 : 2);
        })) << menu.picture;
        SleepMs(200);
        EXPECT_FALSE(vantor.SaveScreenOverWindow(menu.picture).empty());
        ASSERT_TRUE(vantor.Keys({"Escape", "Escape", "Escape"}));
    }
}

} // namespace
