// What an administrator reaches for first in the connection table of the real program,
// driven by keys and clicks against the simulator: the filter (Ctrl+f), sorting by a click on
// a column heading both ways, Export of the rows on show as CSV (read back by Python's csv
// module; a symbolic link at the name refused), and Ctrl+c of a selected row read back with
// xclip. Screenshots of the filtered table, the sort arrow and the export dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kExport = MenuKeys(4, 1);

// The default settings with Total Traffic moved to the fourth column, in view beside the
// two frozen ones, and a poll a minute: the one poll of Start gives the rows.
std::string SettingsWithTotalFourth()
{
    std::string block = SettingsBlock(60000);
    block.replace(0, block.find('\n'), "0  1  2  8  3  4  5  6  7  9  10  11  ");
    return "1\n" + block + "\n";
}

// The users column of a CSV file as Python's csv module reads it, apart by "|", after the
// number of records and the header's fields.
std::string CsvUsers(const std::string& path)
{
    ProcessResult r =
        RunProcess({"python3", "-c",
                    "import csv, sys\n"
                    "rows = list(csv.reader(open(sys.argv[1], newline='')))\n"
                    "print(len(rows), ','.join(rows[0]))\n"
                    "print('|'.join(r[rows[0].index('User Name')] for r in rows[1:]))\n",
                    path});
    return r.exitStatus == 0 ? r.out : "python3 failed: " + r.err;
}

// Where the heading of the fourth column, Total Traffic, is in the main window.
const struct {
    int x, y;
} kTotalHeading = {675, 111};

TEST(TableFeaturesTest, FilterSortByHeadingExportAndCopy)
{
    MonsimProcess sim(FourConnectionsScript(5));
    VantorHome home({sim.address()});
    {
        std::ofstream settings(home.File("monitor.ini"));
        settings << SettingsWithTotalFourth();
    }
    VantorDriver vantor(home.path());
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    ASSERT_TRUE(vantor.StartMonitoring());
    int x = vantor.Screenshot().width / 2;
    ASSERT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 2; }, 8000));

    // Ctrl+f "alice": her row alone.
    ASSERT_TRUE(vantor.Keys({"ctrl+f"}));
    ASSERT_TRUE(KeysInDialog("Filter", {"a", "l", "i", "c", "e", "Return"}));
    EXPECT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 1; }));
    EXPECT_FALSE(vantor.SaveScreenshot("table-filtered.png").empty());
    // An empty text shows every row again.
    ASSERT_TRUE(vantor.Keys({"ctrl+f"}));
    std::vector<std::string> erase = {"End"};
    erase.insert(erase.end(), 5, "BackSpace");
    erase.push_back("Return");
    ASSERT_TRUE(KeysInDialog("Filter", erase));
    EXPECT_TRUE(Eventually([&] { return PinkBands(vantor.Screenshot(), x) == 2; }));

    // The heading of Total Traffic, clicked twice: largest first.
    ASSERT_TRUE(vantor.ClickAt(kTotalHeading.x, kTotalHeading.y));
    ASSERT_TRUE(vantor.ClickAt(kTotalHeading.x, kTotalHeading.y));
    SleepMs(300);
    EXPECT_FALSE(vantor.SaveScreenshot("table-sort-arrow.png").empty());

    // Export, to the name the dialog offers, in the home directory.
    std::string csv = vantor.home() + "/vantor-connections.csv";
    ASSERT_TRUE(vantor.Keys(kExport));
    ASSERT_FALSE(FocusDialog("Export Shown Connections").empty());
    SleepMs(300);
    EXPECT_FALSE(vantor.SaveScreenOverWindow("export-dialog.png").empty());
    ASSERT_TRUE(KeysInDialog("Export Shown Connections", {"Return"}));
    ASSERT_TRUE(Eventually([&] { return access(csv.c_str(), R_OK) == 0; }));
    SleepMs(200);
    EXPECT_EQ(CsvUsers(csv),
              "4 Source,Destination,User Name,Total Traffic,Service,Start Time,Duration,In "
              "Traffic,Out Traffic,Auth,Proxy Server,Errors\ncarol|alice|bob\n");
    EXPECT_NE(FileText(csv).find("carol-pc,secure.example,carol,5070.00,https,"),
              std::string::npos);

    // A symbolic link planted at the name is refused, and what it points to stays.
    std::string target = vantor.home() + "/target.txt";
    {
        std::ofstream(target) << "kept\n";
    }
    ASSERT_EQ(unlink(csv.c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), csv.c_str()), 0);
    ASSERT_TRUE(vantor.Keys(kExport));
    ASSERT_TRUE(KeysInDialog("Export Shown Connections", {"Return"}));
    EXPECT_TRUE(KeysInDialog("Warning", {"Return"}));
    ASSERT_TRUE(KeysInDialog("Export Shown Connections", {"Escape"}));
    EXPECT_EQ(FileText(target), "kept\n");

    // A click on carol's row (now the first) and Ctrl+c: her cells on the clipboard.
    int top = 0;
    ASSERT_EQ(PinkBands(vantor.Screenshot(), x, &top), 2);
    ASSERT_TRUE(vantor.ClickAt(x, top + 5));
    ASSERT_TRUE(vantor.Keys({"ctrl+c"}));
    std::string clip = ClipboardText();
    EXPECT_EQ(clip.substr(0, clip.find("\t", 40)),
              "carol-pc\tsecure.example\tcarol\t5070.00\thttps");
    EXPECT_EQ(WindowsNamed("Warning"), 0);

    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
}

} // namespace
