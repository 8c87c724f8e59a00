// The settings files: the exact format, round trips, damaged files, the server list and
// writing without following links.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

#include "core/SettingsFile.h"
#include "tests/core/DefaultSetting.h"
#include "tests/support/TempDir.h"

namespace {

// What write puts into a file.
std::string Written(const std::function<void(FILE*)>& write)
{
    FILE* f = tmpfile();
    write(f);
    rewind(f);
    std::string text;
    int c;
    while ((c = getc(f)) != EOF)
        text += static_cast<char>(c);
    fclose(f);
    return text;
}

std::string Written(const Setting* const* settings, int count)
{
    return Written([&](FILE* f) { WriteSettingsTo(f, settings, count); });
}

// The block a single setting is written as: every field the file holds.
std::string Written(const Setting& setting)
{
    const Setting* one[] = {&setting};
    return Written(one, 1);
}

FILE* FileWith(const std::string& text)
{
    FILE* f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    return f;
}

void ReadText(const std::string& text, Setting* const* settings, int count)
{
    FILE* f = FileWith(text);
    ReadSettingsFrom(f, settings, count);
    fclose(f);
}

// Reads a file of one block into a default setting.
void ReadBlock(const std::string& block, DefaultSetting& d)
{
    Setting* in[] = {&d.s};
    ReadText("1\n" + block, in, 1);
}

// The default block with one piece of text replaced.
std::string DefaultBlockWith(const std::string& from, const std::string& to)
{
    std::string block = kDefaultBlock;
    return block.replace(block.find(from), from.size(), to);
}

std::vector<std::string> Names(const std::string& text, bool* accepted)
{
    FILE* f = FileWith(text);
    std::vector<std::string> names;
    *accepted = ReadServerNamesFrom(f, &names);
    fclose(f);
    return names;
}

} // namespace

// One block is AppSettingsTest.SaveOptionsWritesTheDefaultBlockWithTheTableGeometry's.
TEST(MonitorIni, TheNextBlockStartsOnTheLineOfTheLastServiceOfTheBlockBefore)
{
    DefaultSetting d;
    const Setting* two[] = {&d.s, &d.s};
    EXPECT_EQ(Written(two, 2), std::string("2\n") + kDefaultBlock + kDefaultBlock);
}

TEST(MonitorIni, NonDefaultSettingsSurviveARoundTrip)
{
    // Every field off its default, and two services more; the second server's sort key only.
    std::string second = DefaultBlockWith("3  12  0", "6  12  0");
    std::string services = DefaultBlockWith("FTP  21  1", "FTP  21  0");
    services = services.substr(services.find("\nOthers")) + "\nSSH  22  1  22  \nMail  25  0  25  ";
    const std::string text = std::string("2\n")
        + "4  1  2  3  0  5  6  7  8  9  10  11  \n"
          "1  1  1  0  1  1  1  1  1  1  1  1  \n"
          "200  200  200  100  100  100  100  100  100  35  200  321  \n"
          "0  30  \n"
          "900  400  17  \n"
          "11  640  200  \n"
          "8  13  1  \n"
          "11  1048576.000000  4000  \n"
          "250  0  9  "
        + services + second;
    DefaultSetting a, b;
    Setting* in[] = {&a.s, &b.s};
    ReadText(text, in, 2);
    EXPECT_EQ(Written(in, 2), text);
    EXPECT_FLOAT_EQ(a.s.unitFactor, 1048576.0f);
    // "Others" has no port text: written as -1, read back empty.
    EXPECT_STREQ(a.s.servicePortText[0], "");
}

// A file for three servers read by two is
// AppSettingsTest.SavedSettingsAreReadBackAndAThirdServerIsIgnored.
TEST(MonitorIni, AFileForOneServerLeavesTheSecondAsItWas)
{
    DefaultSetting c;
    c.s.maxRejected = 33;
    DefaultSetting sa, sb;
    Setting* in[] = {&sa.s, &sb.s};
    const Setting* only[] = {&c.s};
    ReadText(Written(only, 1), in, 2);
    EXPECT_EQ(sa.s.maxRejected, 33);
    EXPECT_EQ(sb.s.maxRejected, 50);
}

TEST(MonitorIni, OutOfRangeValuesKeepTheirDefaultsAndTheRestIsRead)
{
    // Every checked field out of range; maxRejected and the services behind them are sound.
    std::string text = "0  1  2  3  4  5  6  7  8  9  10  99  \n"
                       "1  1  1  1  1  1  1  1  1  1  1  7  \n"
                       "200  200  200  100  100  100  100  100  100  35  200  -5  \n"
                       "12  0  \n"
                       "0  280  -10  \n"
                       "40  750  280  \n"
                       "9  14  2  \n"
                       "12  1.000000  0  \n"
                       "77  3  2  \n"
                       "Others  -1  1  0  \n"
                       "Telnet  23  0  70000  ";
    DefaultSetting d;
    strcpy(d.s.serviceName[2], "Kept");
    ReadBlock(text, d);
    // Only the sound values behind the damaged ones are used; a port is any number typed.
    DefaultSetting expected;
    expected.s.maxRejected = 77;
    expected.s.serviceCount = 2;
    expected.s.serviceSelected[1] = 0;
    expected.s.servicePort[1] = 70000;
    EXPECT_EQ(Written(d.s), Written(expected.s));
    // Services from the new count on keep what they held: their traffic goes on being
    // counted when the count grows again.
    EXPECT_STREQ(d.s.serviceName[2], "Kept");
    EXPECT_EQ(d.s.servicePort[2], 21);
}

TEST(MonitorIni, ANegativeFrozenCountIsReadBackAsTheColumnDialogStoresIt)
{
    for (int frozen : {-1, -99, 0, 11}) {
        DefaultSetting d;
        d.s.frozenColumns = frozen;
        DefaultSetting r;
        ReadBlock(Written(d.s).substr(2), r);
        EXPECT_EQ(r.s.frozenColumns, frozen);
    }
}

// A damaged file: where reading stops, and what the two servers hold afterwards.
struct DamageCase {
    const char* what;
    std::string text;
    int line;              // 0: sound
    int server;            // the block the damage lies in (-1: the server count)
    int firstServices;     // the first server's service count afterwards
    int secondMaxRejected; // 50: the second server kept its settings
};

TEST(MonitorIni, DamageStopsReadingThereWithWhatWasReadWholeKept)
{
    const std::string second = DefaultBlockWith("50  1  7", "61  1  7");
    const std::string nineOfSeven = DefaultBlockWith("50  1  7  ", "50  1  9  ");
    const std::string bad = DefaultBlockWith("750  280  10", "750  x280  10");
    const DamageCase cases[] = {
        {"sound", "2\n" + std::string(kDefaultBlock) + second, 0, -1, 7, 61},
        {"nothing at all", "  \n ", 0, -1, 7, 50},
        {"no server count", "two\n" + std::string(kDefaultBlock), 1, -1, 7, 50},
        // Nine services announced, seven listed: the next block's numbers are no services.
        {"short service list", "2\n" + nineOfSeven + second, 17, 0, 7, 50},
        {"file ends in the services", "1\n" + nineOfSeven, 17, 0, 7, 50},
        {"file ends in the fixed part", "1\n0  1  2  3\n", 3, 0, 7, 50},
        {"negative service count", "2\n" + DefaultBlockWith("50  1  7  ", "50  1  -3  ") + second,
         10, 0, 7, 50},
        {"no number", "2\n" + bad + second, 6, 0, 7, 50},
        {"damage in the second block", "2\n" + std::string(kDefaultBlock) + bad, 21, 1, 7, 50},
        {"control byte in a name", "2\n" + DefaultBlockWith("Finger", "Fin\x1bger") + second, 15, 0,
         4, 50},
        {"NUL in a name", "2\n" + DefaultBlockWith("Finger", std::string("Fin\0ger", 7)) + second,
         15, 0, 4, 50},
    };
    for (const DamageCase& c : cases) {
        DefaultSetting a, b;
        a.s.serviceCount = 7;
        Setting* in[] = {&a.s, &b.s};
        FILE* f = FileWith(c.text);
        SettingsDamage damage = ReadSettingsFrom(f, in, 2);
        fclose(f);
        EXPECT_EQ(damage.line, c.line) << c.what;
        if (c.line > 0) {
            EXPECT_EQ(damage.server, c.server) << c.what;
        }
        EXPECT_EQ(a.s.serviceCount, c.firstServices) << c.what;
        EXPECT_EQ(b.s.maxRejected, c.secondMaxRejected) << c.what;
        // No service is ever blank, and what was read is read back the same, undamaged.
        for (int k = 0; k < a.s.serviceCount; k++)
            EXPECT_STRNE(a.s.serviceName[k], " ") << c.what;
        std::string written = Written(in, 2);
        DefaultSetting ra, rb;
        Setting* again[] = {&ra.s, &rb.s};
        FILE* w = FileWith(written);
        EXPECT_EQ(ReadSettingsFrom(w, again, 2).line, 0) << c.what;
        fclose(w);
        EXPECT_EQ(Written(again, 2), written) << c.what;
    }
}

TEST(MonitorIni, TheWriterWritesEveryServiceTextAsOneWord)
{
    DefaultSetting d;
    d.s.serviceCount = 10; // services 7 to 9 are blank in the template
    strcpy(d.s.serviceName[8], "two words");
    strcpy(d.s.servicePortText[8], " 80 ");
    std::string text = Written(d.s);
    EXPECT_NE(text.find("\n-  -1  0  -1  \ntwo_words  80  0  -1  \n-  -1  0  -1  "),
              std::string::npos)
        << text;
    DefaultSetting r;
    ReadBlock(text.substr(2), r);
    EXPECT_EQ(r.s.serviceCount, 10);
    EXPECT_EQ(Written(r.s), text);
}

// Whatever file was read, writing it and reading that back gives the same settings: walked
// over many damaged variants of a written file (the fuzz target does the same at random).
TEST(MonitorIni, WriteAfterAnyReadIsReadBackTheSame)
{
    DefaultSetting a, b;
    a.s.serviceCount = 9;
    const Setting* out[] = {&a.s, &b.s};
    const std::string sound = Written(out, 2);
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xffff; };
    for (int round = 0; round < 400; round++) {
        std::string text = sound;
        for (int edits = 1 + next() % 4; edits > 0; edits--) {
            size_t at = next() % text.size();
            switch (next() % 4) {
            case 0:
                text.erase(at, 1 + next() % 12);
                break;
            case 1:
                text.insert(at, 1, " -9x\n\0\t"[next() % 8]);
                break;
            case 2:
                text[at] = static_cast<char>(next());
                break;
            default:
                text.insert(at, text.substr(next() % text.size(), next() % 30));
                break;
            }
        }
        DefaultSetting ra, rb, sa, sb;
        Setting* first[] = {&ra.s, &rb.s};
        Setting* second[] = {&sa.s, &sb.s};
        FILE* f = FileWith(text);
        ReadSettingsFrom(f, first, 2);
        fclose(f);
        std::string written = Written(first, 2);
        f = FileWith(written);
        ASSERT_EQ(ReadSettingsFrom(f, second, 2).line, 0) << testing::PrintToString(text);
        fclose(f);
        ASSERT_EQ(Written(second, 2), written) << testing::PrintToString(text);
    }
}

TEST(MonitorIni, UnitFactorFollowsTheUnitNotTheStoredText)
{
    DefaultSetting d;
    ReadBlock(DefaultBlockWith("9  1.000000", "10  77.5"), d);
    EXPECT_EQ(d.s.unitType, UNIT_KILOBYTES);
    EXPECT_FLOAT_EQ(d.s.unitFactor, 1024.0f);
}

TEST(MonitorIni, ServiceCountAboveTwentyKeepsTwentyAndTheNextBlockInStep)
{
    std::string block = DefaultBlockWith("50  1  7  ", "50  1  25  ");
    for (int k = 7; k < 25; k++) {
        block += "\nS" + std::to_string(k) + "  " + std::to_string(1000 + k) + "  1  "
            + std::to_string(1000 + k) + "  ";
    }
    std::string second = DefaultBlockWith("50  1  7", "61  1  7");
    DefaultSetting a, b;
    Setting* in[] = {&a.s, &b.s};
    ReadText("2\n" + block + second, in, 2);
    EXPECT_EQ(a.s.serviceCount, 20);
    EXPECT_STREQ(a.s.serviceName[19], "S19");
    EXPECT_EQ(a.s.servicePort[19], 1019);
    EXPECT_EQ(b.s.maxRejected, 61);
}

TEST(MonitorIni, LongWordsAreCutToTheirBuffersAndHugeCountsAreHarmless)
{
    DefaultSetting d;
    ReadBlock(DefaultBlockWith("Telnet  23", std::string(40, 'N') + "  " + std::string(300, '9')),
              d);
    EXPECT_EQ(std::string(d.s.serviceName[1]), std::string(24, 'N'));
    EXPECT_EQ(std::string(d.s.servicePortText[1]), std::string(24, '9'));
    EXPECT_STREQ(d.s.serviceName[2], "FTP");

    // Damaged files at random are WriteAfterAnyReadIsReadBackTheSame and the fuzz target.
    Setting* in[] = {&d.s};
    ReadText("", in, 1);
    ReadText("2147483647  1  2", in, 1);
    EXPECT_GE(d.s.serviceCount, 0);
    EXPECT_LE(d.s.serviceCount, 20);
}

TEST(SettingsPaths, AnUnsetEmptyOrRelativeHomeFallsBackToThePasswordDatabase)
{
    const struct {
        const char* home;
        const char* passwordHome;
        const char* chosen;
    } cases[] = {
        {"/home/op", "/home/other", "/home/op"},
        {nullptr, "/home/pw", "/home/pw"},
        {"", "/home/pw", "/home/pw"},
        {"relative", "/home/pw", "/home/pw"},
        {nullptr, nullptr, ""},
        {"", "", ""},
        {"", "relative", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseSettingsHome(c.home, c.passwordHome), c.chosen)
            << (c.home ? c.home : "(unset)") << " " << (c.passwordHome ? c.passwordHome : "(none)");
    }
    const char* saved = getenv("HOME");
    std::string old = saved ? saved : "";
    // The paths under a set home are AppSettingsTest's; never a shared directory such as /tmp.
    setenv("HOME", "", 1);
    EXPECT_EQ(MonitorIniPath().find("/tmp/"), std::string::npos);
    if (saved)
        setenv("HOME", old.c_str(), 1);
    else
        unsetenv("HOME");
}

// A link, a FIFO and a file of another user, and what each refusal is called, are the
// application's settings tests.
TEST(SettingsOpen, OnlyARegularFileIsOpened)
{
    TempDir dir;
    std::string file = dir.path() + "/monitor.ini";
    {
        std::ofstream(file) << "1\n";
    }
    const struct {
        std::string path;
        SettingsOpenResult result;
    } cases[] = {{file, SETTINGS_OPENED},
                 {dir.path(), SETTINGS_NOT_REGULAR},
                 {dir.path() + "/none", SETTINGS_ABSENT},
                 {"", SETTINGS_ABSENT}};
    for (const auto& c : cases) {
        SettingsOpenResult result;
        FILE* in = OpenSettingsFile(c.path, &result);
        EXPECT_EQ(result, c.result) << c.path;
        EXPECT_EQ(in != nullptr, c.result == SETTINGS_OPENED) << c.path;
        if (in)
            fclose(in);
    }
}

// The header word in any case, then a name a line: names with control bytes or NULs are
// skipped, and those beyond the server name size.
TEST(Socks5Dat, NamesAreReadUnderTheHeaderWordAndBackAsWritten)
{
    const std::string name200(200, 'h'), name255(255, 'i');
    const struct {
        std::string text;
        bool accepted;
        std::vector<std::string> names;
    } cases[] = {
        {"SOCKS5s\nalpha\nbeta:1080\n", true, {"alpha", "beta:1080"}},
        {"socks5s\n", true, {}},
        {"sOcKs5 one", true, {"one"}},
        {"SOCKS5S", true, {}},
        {"servers alpha", false, {}},
        {"socks5x alpha", false, {}},
        {"", false, {}},
        {std::string("SOCKS5s\nalpha\nbe\0ta\n\0\ngam\x1bma\nlast\n", 34), true, {"alpha", "last"}},
        {"SOCKS5s\n" + name200 + "\n" + std::string(256, 'j') + "\n" + name255 + "\nlast\n",
         true,
         {name200, name255, "last"}},
    };
    bool accepted = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 40)));
        EXPECT_EQ(Names(c.text, &accepted), c.names);
        EXPECT_EQ(accepted, c.accepted);
    }

    const std::vector<std::string> names = {"alpha", "beta.example:1080", name255};
    std::string text = Written([&](FILE* f) { WriteServerNamesTo(f, names); });
    EXPECT_EQ(text, "SOCKS5s\nalpha\nbeta.example:1080\n" + name255 + "\n");
    EXPECT_EQ(Names(text, &accepted), names);
}

// A link to a file and a directory are refused in the application's settings tests; a
// dangling link is refused as well, and nothing is created at its target.
TEST(SafeWrite, RefusesADanglingLink)
{
    TempDir dir;
    std::string dangling = dir.path() + "/socks5.dat";
    ASSERT_EQ(symlink((dir.path() + "/nowhere").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(WriteFileSafely(dangling, [](FILE* f) { fputs("x", f); }), SAFE_WRITE_NOT_REGULAR);
    EXPECT_NE(access((dir.path() + "/nowhere").c_str(), F_OK), 0);
}

TEST(SafeWrite, ReplacesTheFileKeepingItsModeAndAFailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    std::string path = dir.path() + "/monitor.ini";
    ASSERT_EQ(WriteFileSafely(path, [](FILE* f) { fputs("first", f); }), SAFE_WRITE_OK);
    chmod(path.c_str(), 0600);
    ASSERT_EQ(WriteFileSafely(path, [](FILE* f) { fputs("old settings", f); }), SAFE_WRITE_OK);
    EXPECT_EQ(FileText(path), "old settings");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(dir.EntryCount(), 1);

    EXPECT_EQ(WriteFileSafely(dir.path() + "/missing/monitor.ini", [](FILE* f) { fputs("x", f); }),
              SAFE_WRITE_FAILED);

    // A full disk, played by a file size limit in a child process.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        SafeWriteResult r = WriteFileSafely(path, [](FILE* f) {
            for (int i = 0; i < 1000; i++)
                fputs("a long line of new settings\n", f);
        });
        _exit(r == SAFE_WRITE_FAILED ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FileText(path), "old settings");
    EXPECT_EQ(dir.EntryCount(), 1);
}

TEST(ServerNames, APortIsDecimalFrom1To65535)
{
    struct Case {
        const char* name;
        bool valid;
        std::string badPort;
    } cases[] = {
        {"proxy", true, ""},
        {"proxy:1", true, ""},
        {"127.0.0.1:65535", true, ""},
        {"127.0.0.1:65536", false, "65536"},
        {"127.0.0.1:0", false, "0"},
        {"127.0.0.1:", false, ""},
        {"h:+80", false, "+80"},
        {"h:080", true, ""},
        {"h:1:2", false, "1:2"},
        {"h:999999999999", false, "999999999999"},
        {"[::1]:5051", true, ""},
        {"[::1]", true, ""},
        {"::1", true, ""},
        {"2001:db8::9", true, ""},
        {"[::1]:0", false, "0"},
        {"[::1]:", false, ""},
        {"[::1]5051", false, "5051"},
        {"[::1", false, ""},
    };
    for (const Case& c : cases) {
        std::string bad = "unset";
        EXPECT_EQ(ServerPortValid(c.name, &bad), c.valid) << c.name;
        EXPECT_EQ(bad, c.valid ? "unset" : c.badPort) << c.name;
    }
}

TEST(SettingsFile, SizesBeyondWhatTheWindowShowsAreBoundedAndListedByLine)
{
    std::string block = DefaultBlockWith("2  22  \n", "2  32767  \n");
    block.replace(block.find("750  280  10"), 12, "750  280  10000000");
    block.replace(block.find("12  750  280"), 12, "12  20000  280");
    block.replace(block.find("200  200  200"), 13, "200  30000  200");
    // The second block is damaged after its sizes: its bounds are not listed.
    std::string damaged = DefaultBlockWith("2  22  \n", "2  500  \n");
    damaged.replace(damaged.find("3  12  0"), 8, "3  12  x");
    DefaultSetting a, b;
    Setting* in[] = {&a.s, &b.s};
    FILE* f = FileWith("2\n" + block + "\n" + damaged);
    SettingsDamage damage = ReadSettingsFrom(f, in, 2);
    fclose(f);
    EXPECT_GT(damage.line, 0);
    EXPECT_EQ(damage.server, 1);
    EXPECT_EQ(a.s.cellHeight, SETTING_CELL_HEIGHT_MAX);
    EXPECT_EQ(a.s.tableRows, SETTING_TABLE_ROWS_MAX);
    EXPECT_EQ(a.s.chartWidth, SETTING_PIXELS_MAX);
    EXPECT_EQ(a.s.columnWidth[1], SETTING_PIXELS_MAX);
    EXPECT_EQ(a.s.columnWidth[0], 200);
    EXPECT_EQ(b.s.cellHeight, 22) << "a damaged block is not committed";
    std::vector<std::string> listed;
    for (const SettingsDamage::Bounded& x : damage.bounded)
        listed.push_back("line " + std::to_string(x.line) + ": " + x.field + " "
                         + std::to_string(x.read) + " -> " + std::to_string(x.used));
    EXPECT_EQ(listed,
              (std::vector<std::string>{
                  "line 4: column width 30000 -> 8192", "line 5: cell height 32767 -> 200",
                  "line 6: table rows 10000000 -> 1000", "line 7: chart width 20000 -> 8192"}));
}
