// Saving and reading the settings files through the application.
#include <gtest/gtest.h>

#include "tests/support/AppFixture.h"

#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Xm/Xm.h>

#include <fstream>

#include "tests/core/DefaultSetting.h"
#include "app/MonMenu.h"
#include "app/MonTable.h"

namespace {

class AppSettingsTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        dir = TestHome() + "/.vantorrc";
        unlink((dir + "/monitor.ini").c_str());
        unlink((dir + "/socks5.dat").c_str());
    }
    void TearDown() override
    {
        setenv("HOME", TestHome().c_str(), 1);
        AppTest::TearDown();
    }
    std::string dir;
};

} // namespace

TEST_F(AppSettingsTest, SaveOptionsWritesTheDefaultBlockWithTheTableGeometry)
{
    app->AddSOCKS5("alpha");
    ASSERT_EQ(app->WriteSetting(), 1);
    Dimension width = 0, height = 0;
    XtVaGetValues(app->tableView->table, XmNwidth, &width, XmNheight, &height, NULL);
    // The table's own size replaces the template's 750 by 280.
    std::string expected = std::string("1\n") + kDefaultBlock;
    expected.replace(expected.find("750  280  10"), 8,
                     std::to_string(width) + "  " + std::to_string(height));
    EXPECT_EQ(FileText(dir + "/monitor.ini"), expected);
    EXPECT_EQ(app->current->setting.tableWidth, width);
    // Stop and the removal of the shown server clear the table of all rows: saved then, the
    // ten blank rows an empty list shows stay as they were.
    app->tableView->ClearTable();
    ASSERT_EQ(app->WriteSetting(), 1);
    EXPECT_EQ(FileText(dir + "/monitor.ini"), expected);
    EXPECT_TRUE(TakeMessages().empty());
}

// The file's own format is walked through in the unit tests; here the application's use.
TEST_F(AppSettingsTest, SavedSettingsAreReadBackAndAThirdServerIsIgnored)
{
    for (const char* name : {"a", "b", "c"})
        app->AddSOCKS5(name);
    for (int i = 0; i < 3; i++) {
        app->servers[i]->setting.sortType = static_cast<SortKey>(SORT_BY_SERVICE + i);
        snprintf(app->servers[i]->setting.serviceName[1], SETTING_TEXT_SIZE, "Remote%d", i);
    }
    ASSERT_EQ(app->WriteSetting(), 1);
    app->RemoveSOCKS5(2);
    for (int i = 0; i < 2; i++)
        app->servers[i]->setting.sortType = SORT_BY_SOURCE;
    app->ReadSettingFile();
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(app->servers[i]->setting.sortType, SORT_BY_SERVICE + i);
        EXPECT_EQ(std::string(app->servers[i]->setting.serviceName[1]),
                  "Remote" + std::to_string(i));
    }
}

TEST_F(AppSettingsTest, SymbolicLinksAreRefusedAndTheirTargetsUntouchedAndFailedOpensAreTold)
{
    app->AddSOCKS5("a");
    std::string target = TestHome() + "/precious";
    std::ofstream(target) << "keep me";
    ASSERT_EQ(symlink(target.c_str(), (dir + "/monitor.ini").c_str()), 0);
    ASSERT_EQ(symlink(target.c_str(), (dir + "/socks5.dat").c_str()), 0);

    EXPECT_EQ(app->WriteSetting(), 0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: " + dir
                        + "/monitor.ini is a symbolic link. Can not write to a symbolic link."}));

    EXPECT_EQ(app->WriteSOCKS5Data(), 0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: " + dir
                        + "/socks5.dat is a symbolic link. Can not write to a symbolic link."}));
    EXPECT_EQ(FileText(target), "keep me");

    // Reading does not follow the link either, and says so.
    std::string block = kDefaultBlock;
    std::ofstream(target) << "1\n" << block.replace(block.find("3  12  0"), 8, "7  12  0");
    app->ReadSettingFile();
    EXPECT_EQ(app->current->setting.sortType, SORT_BY_SOURCE);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: " + dir + "/monitor.ini is a symbolic link and was not read."}));
    // A FIFO or a directory is named for what it is.
    unlink((dir + "/monitor.ini").c_str());
    ASSERT_EQ(mkdir((dir + "/monitor.ini").c_str(), 0700), 0);
    EXPECT_EQ(app->WriteSetting(), 0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: " + dir
                        + "/monitor.ini is a directory. Can not write to a "
                          "directory."}));
    rmdir((dir + "/monitor.ini").c_str());

    // Without a settings directory: the messages of a failed open.
    setenv("HOME", (TestHome() + "/no-such-home").c_str(), 1);
    EXPECT_EQ(app->WriteSetting(), 0);
    EXPECT_EQ(app->WriteSOCKS5Data(), 0);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: Cannot open monitor.ini to save changes.",
                        "Warning: Cannot open socks5.dat to save SOCKS5Server changes."}));
}

// All names are read; the list keeps ten of them (see the server list tests).
TEST_F(AppSettingsTest, TheServerListFileIsReadWhole)
{
    std::string path = dir + "/socks5.dat";
    std::string name200(200, 'h');
    std::string text = "SOCKS5s\n" + name200 + "\n";
    for (int i = 1; i <= 10; i++)
        text += "server" + std::to_string(i) + ":5051\n";
    std::ofstream(path) << text;
    char** names = app->menu->OpenSOCKS5Data(path.c_str());
    ASSERT_NE(names, nullptr);
    ASSERT_EQ(app->menu->serverNameCount, 11);
    EXPECT_EQ(std::string(names[0]), name200);
    EXPECT_EQ(std::string(names[10]), "server10:5051");
    for (int i = 0; i < app->menu->serverNameCount; i++)
        free(names[i]);
    free(names);
    EXPECT_EQ(app->menu->OpenSOCKS5Data((dir + "/none").c_str()), nullptr);
}

TEST_F(AppSettingsTest, ADamagedFileIsReadUpToTheDamageAndSaidOnce)
{
    app->AddSOCKS5("a");
    app->AddSOCKS5("b");
    std::string block = kDefaultBlock;
    std::string shortList = block;
    shortList.replace(shortList.find("50  1  7  "), 10, "51  1  9  ");
    std::ofstream(dir + "/monitor.ini") << "2\n" + shortList + block;
    app->servers[1]->setting.maxRejected = 77;
    app->ReadSettingFile();
    EXPECT_EQ(
        TakeMessages(),
        (Messages{
            "Warning: " + dir
            + "/monitor.ini is damaged at line 17 (a).\nSettings from there on were not read."}));
    EXPECT_EQ(app->servers[0]->setting.maxRejected, 51);
    EXPECT_EQ(app->servers[0]->setting.serviceCount, 7);
    EXPECT_EQ(app->servers[1]->setting.maxRejected, 77);
}

TEST_F(AppSettingsTest, AFifoOrAFileOfAnotherUserIsNeverRead)
{
    // Nobody writes to the FIFO: opening it for reading must not wait for a writer.
    std::string fifo = dir + "/socks5.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    signal(SIGALRM, [](int) {});
    alarm(5); // ends a blocked open, so that the fault fails the test instead of hanging it
    time_t start = time(nullptr);
    EXPECT_EQ(app->menu->OpenSOCKS5Data(fifo.c_str()), nullptr);
    alarm(0);
    EXPECT_LE(time(nullptr) - start, 1);
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: " + fifo + " is a FIFO and was not read."}));

    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    app->AddSOCKS5("a");
    std::string text = "1\n" + std::string(kDefaultBlock);
    text.replace(text.find("50  1  7"), 8, "66  1  7");
    std::ofstream(dir + "/monitor.ini") << text;
    ASSERT_EQ(chown((dir + "/monitor.ini").c_str(), 4242, 4242), 0);
    app->ReadSettingFile();
    EXPECT_EQ(app->current->setting.maxRejected, 50);
    EXPECT_EQ(
        TakeMessages(),
        (Messages{"Warning: " + dir + "/monitor.ini belongs to another user and was not read."}));
}
