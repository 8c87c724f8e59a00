// Start-up of the real program: its window, its settings directory, its resources, and
// leaving it through the menu.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/VantorDriver.h"

namespace {

const uint32_t kGrey77 = 0xc4c4c4;

mode_t ModeOf(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return 0;
    return info.st_mode;
}

// Starts the program and leaves it through the File menu.
void RunAndQuit(VantorDriver& vantor)
{
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    ASSERT_TRUE(vantor.QuitThroughMenu());
    EXPECT_EQ(vantor.WaitForExit(), 0);
}

TEST(StartupTest, FreshHomeGetsAPrivateSettingsDirectoryAndTheMainWindow)
{
    VantorDriver vantor;
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();

    std::string settings = vantor.home() + "/.vantorrc";
    EXPECT_TRUE(S_ISDIR(ModeOf(settings)));
    EXPECT_EQ(ModeOf(settings) & 0777, 0700u);

    RgbImage shot = vantor.Screenshot();
    EXPECT_GE(shot.width, 800);
    EXPECT_GE(shot.height, 600);
    // The built-in resources give the window its grey background.
    EXPECT_EQ(shot.At(1, shot.height - 2), kGrey77);
    EXPECT_FALSE(vantor.SaveScreenshot("main-window.png").empty());

    ASSERT_TRUE(vantor.QuitThroughMenu());
    EXPECT_EQ(vantor.WaitForExit(), 0);
    EXPECT_EQ(vantor.StandardError(), "");
}

// A settings directory made by the user keeps its mode and files; the user's resources
// override the built-in ones.
TEST(StartupTest, ExistingSettingsDirectoryAndUserResourcesAreKept)
{
    TempDir home;
    std::string settings = home.path() + "/.vantorrc", resources = home.path() + "/resources";
    ASSERT_EQ(mkdir(settings.c_str(), 0750), 0);
    chmod(settings.c_str(), 0750);
    std::ofstream(settings + "/notes") << "kept\n";
    std::ofstream(resources) << "Vantor*background: #ff0000\n";

    VantorDriver vantor(home.path(), {"XENVIRONMENT=" + resources});
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    RgbImage shot = vantor.Screenshot();
    EXPECT_EQ(shot.At(1, shot.height - 2), 0xff0000u);
    // Control-x leaves the program as the menu does.
    ASSERT_TRUE(vantor.Keys({"ctrl+x"}));
    EXPECT_EQ(vantor.WaitForExit(), 0);
    EXPECT_EQ(ModeOf(settings) & 0777, 0750u);
    EXPECT_EQ(FileText(settings + "/notes"), "kept\n");
}

// A directory whose name holds blanks, substitutions and a separator still gets its
// settings directory, and nothing runs (a shell would create the marker in the working
// directory the program shares with this test).
TEST(StartupTest, ShellCharactersInHomeRunNoCommand)
{
    TempDir base;
    std::string marker = "vantor-pwned-marker";
    unlink(marker.c_str());
    std::string home = base.path() + "/a b;$(touch " + marker + ")`touch " + marker + "`";
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    {
        VantorDriver vantor(home);
        RunAndQuit(vantor);
    }
    EXPECT_TRUE(S_ISDIR(ModeOf(home + "/.vantorrc")));
    EXPECT_NE(access(marker.c_str(), F_OK), 0);
}

// The environment of a program that finds the user's entry of the password database in a
// private file with the given home directory, and gets no HOME (or an empty one).
std::vector<std::string> PasswordDatabaseWithHome(const TempDir& dir, const std::string& home,
                                                  bool emptyHome)
{
    std::string passwd = dir.path() + "/passwd", group = dir.path() + "/group";
    std::ofstream(passwd) << "op:x:" << geteuid() << ":" << getegid() << ":op:" << home
                          << ":/bin/sh\n";
    std::ofstream(group) << "op:x:" << getegid() << ":\n";
    // The sanitizer build allows the preloaded library before its runtime, and the library
    // must not bind its look-ups deeply, which the sanitizers cannot follow.
    return {emptyHome ? "HOME=" : "HOME",     "LD_PRELOAD=libnss_wrapper.so",
            "NSS_WRAPPER_PASSWD=" + passwd,   "NSS_WRAPPER_GROUP=" + group,
            "NSS_WRAPPER_DISABLE_DEEPBIND=1", "ASAN_OPTIONS=verify_asan_link_order=0"};
}

// An empty HOME is told from an unset one in SettingsPaths.
TEST(StartupTest, WithoutHomeTheSettingsGoToTheHomeOfThePasswordDatabase)
{
    TempDir dir;
    std::string home = dir.path() + "/op";
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    VantorDriver vantor("", PasswordDatabaseWithHome(dir, home, false));
    RunAndQuit(vantor);
    EXPECT_TRUE(S_ISDIR(ModeOf(home + "/.vantorrc")));
}

TEST(StartupTest, WithoutAnyHomeNoSettingsFileIsUsedAndTheUserIsToldOnce)
{
    TempDir dir;
    int before = WindowsNamed("Warning");
    VantorDriver vantor("", PasswordDatabaseWithHome(dir, "", true));
    ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
    EXPECT_EQ(WindowsNamed("Warning"), before + 1);
    // Nothing was made in the root directory, in the shared temporary one or where it runs.
    EXPECT_EQ(ModeOf("/.vantorrc"), 0u);
    EXPECT_EQ(ModeOf("/tmp/monitor.ini"), 0u);
    EXPECT_EQ(ModeOf(".vantorrc"), 0u);
}

// The resident memory of a process in KiB, or -1.
long ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

TEST(StartupTest, SizesTooLargeForTheWindowAreBoundedWithOneWarningAndCostNoMemory)
{
    long resident[2] = {0, 0};
    for (int huge = 0; huge < 2; huge++) {
        SCOPED_TRACE(huge ? "a cell height of 32767 and 10,000,000 rows" : "the defaults");
        VantorHome home({"127.0.0.1:1"}, 60000);
        if (huge) {
            std::string block = SettingsBlock(60000);
            block.replace(block.find("2  22  \n"), 8, "2  32767  \n");
            block.replace(block.find("750  280  10"), 12, "750  280  10000000");
            std::ofstream(home.File("monitor.ini")) << "1\n" << block << "\n";
        }
        VantorDriver vantor(home.path());
        ASSERT_TRUE(vantor.Start()) << vantor.StandardError();
        if (huge) {
            EXPECT_TRUE(WaitForWindow("Warning"));
            SleepMs(500);
            EXPECT_EQ(WindowsNamed("Warning"), 1) << "one warning names the values";
        }
        SleepMs(500);
        resident[huge] = ResidentKiB(vantor.pid());
        ASSERT_GT(resident[huge], 0);
        EXPECT_EQ(vantor.StandardError(), "");
    }
    printf("resident: %ld KiB with the defaults, %ld KiB with the huge sizes\n", resident[0],
           resident[1]);
    EXPECT_LT(resident[1] - resident[0], 50 * 1024);
}

} // namespace
