// The General and Table Settings dialogs of the real program, opened from the Options menu
// by keyboard, changed, confirmed, and what they changed seen by the monitoring simulator
// and in the monitor.ini that Save Options writes.
#include <gtest/gtest.h>

#include <stdio.h>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

// Options: General, Table, Graph Settings..., Sort By, Traffic Unit, Host Naming, Save Options.
std::vector<std::string> OptionsEntry(int place)
{
    return MenuKeys(5, place);
}

// Width and height of a window.
std::pair<int, int> Size(const std::string& window)
{
    ProcessResult geometry = RunProcess({"xdotool", "getwindowgeometry", window}, {}, 10);
    int width = 0, height = 0;
    size_t at = geometry.out.find("Geometry: ");
    if (at != std::string::npos)
        sscanf(geometry.out.c_str() + at, "Geometry: %dx%d", &width, &height);
    return {width, height};
}

// Keys that replace what a text field holds with text.
std::vector<std::string> Retype(const std::string& text)
{
    std::vector<std::string> keys = {"End"};
    keys.insert(keys.end(), 8, "BackSpace");
    for (char c : text)
        keys.push_back(std::string(1, c));
    return keys;
}

} // namespace

TEST(SettingsDialogs, GeneralAndTableSettingsReachTheSimulatorAndTheSavedFile)
{
    MonsimProcess sim(FourConnectionsScript(1));
    VantorHome home({sim.address()}, 60000);
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    ASSERT_TRUE(vantor.StartMonitoring());
    ASSERT_TRUE(Eventually([&] { return sim.listRequests() == 1; }));

    ASSERT_TRUE(vantor.Keys(OptionsEntry(0)));
    std::string dialog = FocusDialog("General Settings");
    ASSERT_FALSE(dialog.empty());
    // The first field after the filter toggles is the maximum, the next the interval.
    std::vector<std::string> keys = {"Tab"};
    for (const std::string& key : Retype("77"))
        keys.push_back(key);
    keys.push_back("Tab");
    for (const std::string& key : Retype("1"))
        keys.push_back(key);
    for (const std::string& key : keys)
        RunProcess({"xdotool", "key", key}, {}, 10);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("general-settings-e2e.png").empty());
    ClickIn(dialog, Size(dialog).first - 52, 55); // OK, top of the button column
    EXPECT_TRUE(Eventually([] { return WindowsNamed("General Settings") == 0; }));

    // Polls now come every second.
    int before = sim.listRequests();
    EXPECT_TRUE(Eventually([&] { return sim.listRequests() >= before + 3; }, 6000));

    ASSERT_TRUE(vantor.Keys(OptionsEntry(1)));
    dialog = FocusDialog("Table Settings");
    ASSERT_FALSE(dialog.empty());
    // The first toggle (Source) has the focus; Duration is the sixth in the first column.
    for (const char* key : {"Down", "Down", "Down", "Down", "Down", "space"})
        RunProcess({"xdotool", "key", key}, {}, 10);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("table-settings-e2e.png").empty());
    ClickIn(dialog, 140, Size(dialog).second - 26); // OK
    EXPECT_TRUE(Eventually([] { return WindowsNamed("Table Settings") == 0; }));

    // Save Options keeps both.
    ASSERT_TRUE(vantor.Keys(OptionsEntry(6)));
    ASSERT_TRUE(WaitForWindow("Information"));
    AcknowledgeDialog("Information");
    std::string saved = FileText(home.File("monitor.ini"));
    EXPECT_NE(saved.find("\n1  1  1  1  1  0  1  1  1  1  1  1  \n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("9  1.000000  1000  \n77  1  7"), std::string::npos) << saved;
    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
}
