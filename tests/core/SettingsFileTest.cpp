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
#include <sstream>
#include <string>

#include "app/SettingsFile.h"
#include "DefaultSetting.h"

namespace {

std::string Written(const Setting* const* settings, int count)
{
    FILE* f = tmpfile();
    WriteSettingsTo(f, settings, count);
    rewind(f);
    std::string text;
    int c;
    while ((c = getc(f)) != EOF) text += static_cast<char>(c);
    fclose(f);
    return text;
}

void ReadText(const std::string& text, Setting* const* settings, int count)
{
    FILE* f = tmpfile();
    fputs(text.c_str(), f);
    rewind(f);
    ReadSettingsFrom(f, settings, count);
    fclose(f);
}

std::vector<std::string> Names(const std::string& text, bool* accepted)
{
    FILE* f = tmpfile();
    fputs(text.c_str(), f);
    rewind(f);
    std::vector<std::string> names;
    *accepted = ReadServerNamesFrom(f, &names);
    fclose(f);
    return names;
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char kDefaultBlock[] =
    "0  1  2  3  4  5  6  7  8  9  10  11  \n"
    "1  1  1  1  1  1  1  1  1  1  1  1  \n"
    "200  200  200  100  100  100  100  100  100  35  200  150  \n"
    "2  22  \n"
    "750  280  10  \n"
    "12  750  280  \n"
    "3  12  0  \n"
    "9  1.000000  60000  \n"
    "50  1  7  "
    "\nOthers  -1  1  0  "
    "\nTelnet  23  1  23  "
    "\nFTP  21  1  21  "
    "\nWeb  80  1  80  "
    "\nFinger  79  1  79  "
    "\nFTP_data  20  1  20  "
    "\nArchie  1525  1  1525  ";

void ExpectSameSetting(const Setting& a, const Setting& b)
{
    for (int i = 0; i < SETTING_COLUMNS; i++) {
        EXPECT_EQ(a.columnType[i], b.columnType[i]) << i;
        EXPECT_EQ(a.columnVisible[i], b.columnVisible[i]) << i;
        EXPECT_EQ(a.columnWidth[i], b.columnWidth[i]) << i;
    }
    EXPECT_EQ(a.frozenColumns, b.frozenColumns);
    EXPECT_EQ(a.cellHeight, b.cellHeight);
    EXPECT_EQ(a.tableWidth, b.tableWidth);
    EXPECT_EQ(a.tableHeight, b.tableHeight);
    EXPECT_EQ(a.tableRows, b.tableRows);
    EXPECT_EQ(a.tableColumns, b.tableColumns);
    EXPECT_EQ(a.chartWidth, b.chartWidth);
    EXPECT_EQ(a.chartHeight, b.chartHeight);
    EXPECT_EQ(a.sortType, b.sortType);
    EXPECT_EQ(a.nodeType, b.nodeType);
    EXPECT_EQ(a.showFailed, b.showFailed);
    EXPECT_EQ(a.unitType, b.unitType);
    EXPECT_FLOAT_EQ(a.unitFactor, b.unitFactor);
    EXPECT_EQ(a.updateInterval, b.updateInterval);
    EXPECT_EQ(a.maxRejected, b.maxRejected);
    EXPECT_EQ(a.showToolbar, b.showToolbar);
    ASSERT_EQ(a.serviceCount, b.serviceCount);
    for (int k = 0; k < a.serviceCount; k++) {
        EXPECT_STREQ(a.serviceName[k], b.serviceName[k]) << k;
        EXPECT_STREQ(a.servicePortText[k], b.servicePortText[k]) << k;
        EXPECT_EQ(a.serviceSelected[k], b.serviceSelected[k]) << k;
        EXPECT_EQ(a.servicePort[k], b.servicePort[k]) << k;
    }
}

// A private directory for file tests, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/vantor-core-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

} // namespace

TEST(MonitorIni, DefaultBlockIsWrittenByteForByte)
{
    DefaultSetting d;
    const Setting* one[] = {&d.s};
    EXPECT_EQ(Written(one, 1), std::string("1\n") + kDefaultBlock);

    // The next block starts on the line of the last service of the block before.
    const Setting* two[] = {&d.s, &d.s};
    EXPECT_EQ(Written(two, 2), std::string("2\n") + kDefaultBlock + kDefaultBlock);
}

TEST(MonitorIni, NonDefaultSettingsSurviveARoundTrip)
{
    DefaultSetting a, b;
    a.s.columnType[0] = 4;
    a.s.columnType[4] = 0;
    a.s.columnVisible[3] = 0;
    a.s.columnWidth[11] = 321;
    a.s.frozenColumns = 0;
    a.s.cellHeight = 30;
    a.s.tableWidth = 900;
    a.s.tableHeight = 400;
    a.s.tableRows = 17;
    a.s.tableColumns = 11;
    a.s.chartWidth = 640;
    a.s.chartHeight = 200;
    a.s.sortType = 8;
    a.s.nodeType = 13;
    a.s.showFailed = 1;
    a.s.unitType = 11;
    a.s.unitFactor = 1048576.0f;
    a.s.updateInterval = 4000;
    a.s.maxRejected = 250;
    a.s.showToolbar = 0;
    a.s.serviceCount = 9;
    strcpy(a.s.serviceName[7], "SSH");
    strcpy(a.s.servicePortText[7], "22");
    a.s.serviceSelected[7] = 1;
    a.s.servicePort[7] = 22;
    strcpy(a.s.serviceName[8], "Mail");
    strcpy(a.s.servicePortText[8], "25");
    a.s.serviceSelected[8] = 0;
    a.s.servicePort[8] = 25;
    a.s.serviceSelected[2] = 0;
    b.s.sortType = 6;

    const Setting* out[] = {&a.s, &b.s};
    std::string text = Written(out, 2);

    DefaultSetting ra, rb;
    Setting* in[] = {&ra.s, &rb.s};
    ReadText(text, in, 2);
    ExpectSameSetting(a.s, ra.s);
    ExpectSameSetting(b.s, rb.s);
    // "Others" has no port text: written as -1, read back empty.
    EXPECT_NE(text.find("\nOthers  -1  1  0  "), std::string::npos);
    EXPECT_STREQ(ra.s.servicePortText[0], "");
}

TEST(MonitorIni, AFileForThreeServersFillsTwoAndStops)
{
    DefaultSetting a, b, c;
    a.s.maxRejected = 11;
    b.s.maxRejected = 22;
    c.s.maxRejected = 33;
    const Setting* out[] = {&a.s, &b.s, &c.s};
    std::string text = Written(out, 3);

    DefaultSetting ra, rb;
    Setting* in[] = {&ra.s, &rb.s};
    ReadText(text, in, 2);
    EXPECT_EQ(ra.s.maxRejected, 11);
    EXPECT_EQ(rb.s.maxRejected, 22);

    // A file for one server leaves the second server's settings as they were.
    DefaultSetting sa, sb;
    Setting* in2[] = {&sa.s, &sb.s};
    const Setting* only[] = {&c.s};
    ReadText(Written(only, 1), in2, 2);
    EXPECT_EQ(sa.s.maxRejected, 33);
    EXPECT_EQ(sb.s.maxRejected, 50);
}

TEST(MonitorIni, OutOfRangeValuesKeepTheirDefaultsAndTheRestIsRead)
{
    // Every checked field damaged; maxRejected and the services behind them are sound.
    std::string text =
        "1\n"
        "0  1  2  3  4  5  6  7  8  9  10  99  \n"
        "1  1  1  1  1  1  1  1  1  1  1  7  \n"
        "200  200  200  100  100  100  100  100  100  35  200  -5  \n"
        "12  0  \n"
        "0  280  -10  \n"
        "40  750  280  \n"
        "9  14  2  \n"
        "12  1.000000  0  \n"
        "77  3  2  \n"
        "Others  -1  1  0  \n"
        "Telnet  23  5  70000  ";
    DefaultSetting d;
    Setting* in[] = {&d.s};
    ReadText(text, in, 1);
    DefaultSetting fresh;
    EXPECT_EQ(d.s.columnType[11], 11);
    EXPECT_EQ(d.s.columnVisible[11], 1);
    EXPECT_EQ(d.s.columnWidth[11], 150);
    EXPECT_EQ(d.s.frozenColumns, 2);
    EXPECT_EQ(d.s.cellHeight, 22);
    EXPECT_EQ(d.s.tableWidth, 750);
    EXPECT_EQ(d.s.tableRows, 10);
    EXPECT_EQ(d.s.tableColumns, 12);
    EXPECT_EQ(d.s.sortType, 3);
    EXPECT_EQ(d.s.nodeType, 12);
    EXPECT_EQ(d.s.showFailed, 0);
    EXPECT_EQ(d.s.unitType, 9);
    EXPECT_FLOAT_EQ(d.s.unitFactor, 1.0f);
    EXPECT_EQ(d.s.updateInterval, 60000);
    EXPECT_EQ(d.s.showToolbar, 1);
    // The sound values behind the damaged ones are used.
    EXPECT_EQ(d.s.maxRejected, 77);
    EXPECT_EQ(d.s.serviceCount, 2);
    EXPECT_STREQ(d.s.serviceName[1], "Telnet");
    EXPECT_EQ(d.s.serviceSelected[1], 1);
    EXPECT_EQ(d.s.servicePort[1], 23);
    // Services beyond the count read are unused, not left over from before.
    EXPECT_EQ(d.s.serviceSelected[2], 0);
    EXPECT_EQ(d.s.servicePort[2], -1);
    EXPECT_STREQ(d.s.serviceName[2], " ");
}

TEST(MonitorIni, UnitFactorFollowsTheUnitNotTheStoredText)
{
    DefaultSetting d;
    Setting* in[] = {&d.s};
    std::string block = kDefaultBlock;
    block.replace(block.find("9  1.000000"), 11, "10  77.5");
    ReadText("1\n" + block, in, 1);
    EXPECT_EQ(d.s.unitType, 10);
    EXPECT_FLOAT_EQ(d.s.unitFactor, 1024.0f);
}

TEST(MonitorIni, ServiceCountAboveTwentyKeepsTwentyAndTheNextBlockInStep)
{
    std::string block = kDefaultBlock;
    block.replace(block.find("50  1  7  "), 10, "50  1  25  ");
    for (int k = 7; k < 25; k++) {
        block += "\nS" + std::to_string(k) + "  " + std::to_string(1000 + k) + "  1  " + std::to_string(1000 + k) + "  ";
    }
    std::string second = kDefaultBlock;
    second.replace(second.find("50  1  7"), 8, "61  1  7");
    DefaultSetting a, b;
    Setting* in[] = {&a.s, &b.s};
    ReadText("2\n" + block + second, in, 2);
    EXPECT_EQ(a.s.serviceCount, 20);
    EXPECT_STREQ(a.s.serviceName[19], "S19");
    EXPECT_EQ(a.s.servicePort[19], 1019);
    EXPECT_EQ(b.s.maxRejected, 61);

    DefaultSetting n;
    Setting* one[] = {&n.s};
    std::string negative = kDefaultBlock;
    negative.replace(negative.find("50  1  7  "), 10, "50  1  -4  ");
    ReadText("1\n" + negative, one, 1);
    EXPECT_EQ(n.s.serviceCount, 7);
}

TEST(MonitorIni, LongWordsAreCutToTheirBuffersAndGarbageIsHarmless)
{
    std::string block = kDefaultBlock;
    std::string longName(40, 'N');
    std::string longPort(300, '9');
    block.replace(block.find("Telnet  23"), 10, longName + "  " + longPort);
    DefaultSetting d;
    Setting* in[] = {&d.s};
    ReadText("1\n" + block, in, 1);
    EXPECT_EQ(std::string(d.s.serviceName[1]), std::string(24, 'N'));
    EXPECT_EQ(std::string(d.s.servicePortText[1]), std::string(24, '9'));
    EXPECT_STREQ(d.s.serviceName[2], "FTP");

    std::string garbage;
    for (int i = 0; i < 5000; i++) garbage += static_cast<char>((i * 7919) % 256);
    ReadText("3\n" + garbage, in, 1);
    ReadText("", in, 1);
    ReadText("2147483647  1  2", in, 1);
    EXPECT_GE(d.s.serviceCount, 0);
    EXPECT_LE(d.s.serviceCount, 20);
}

TEST(SettingsPaths, EmptyHomeSendsMonitorIniToTmp)
{
    const char* saved = getenv("HOME");
    std::string old = saved ? saved : "";
    setenv("HOME", "", 1);
    EXPECT_EQ(MonitorIniPath(), "/tmp/monitor.ini");
    EXPECT_EQ(Socks5DatPath(), "/.vantorrc/socks5.dat");
    unsetenv("HOME");
    EXPECT_EQ(MonitorIniPath(), "/tmp/monitor.ini");
    setenv("HOME", "/home/op", 1);
    EXPECT_EQ(MonitorIniPath(), "/home/op/.vantorrc/monitor.ini");
    EXPECT_EQ(Socks5DatPath(), "/home/op/.vantorrc/socks5.dat");
    if (saved) setenv("HOME", old.c_str(), 1); else unsetenv("HOME");
}

TEST(Socks5Dat, HeaderWordInAnyCase)
{
    bool accepted = false;
    EXPECT_EQ(Names("SOCKS5s\nalpha\nbeta:1080\n", &accepted), (std::vector<std::string>{"alpha", "beta:1080"}));
    EXPECT_TRUE(accepted);
    Names("sOcKs5 one", &accepted);
    EXPECT_TRUE(accepted);
    Names("SOCKS5S", &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(Names("socks5s\n", &accepted).empty());
    EXPECT_TRUE(accepted);
    Names("servers alpha", &accepted);
    EXPECT_FALSE(accepted);
    Names("socks5x alpha", &accepted);
    EXPECT_FALSE(accepted);
    Names("", &accepted);
    EXPECT_FALSE(accepted);
}

TEST(Socks5Dat, LongNamesAreKeptUpToTheServerNameSize)
{
    std::string name200(200, 'h');
    std::string name255(255, 'i');
    std::string name256(256, 'j');
    bool accepted = false;
    std::vector<std::string> names = Names("SOCKS5s\n" + name200 + "\n" + name256 + "\n" + name255 + "\nlast\n", &accepted);
    EXPECT_EQ(names, (std::vector<std::string>{name200, name255, "last"}));
}

TEST(Socks5Dat, WrittenListReadsBack)
{
    std::vector<std::string> names;
    for (int i = 0; i < 11; i++) names.push_back("server" + std::to_string(i) + ".example:" + std::to_string(5051 + i));
    FILE* f = tmpfile();
    WriteServerNamesTo(f, names);
    rewind(f);
    std::string text;
    int c;
    while ((c = getc(f)) != EOF) text += static_cast<char>(c);
    fclose(f);
    EXPECT_EQ(text.substr(0, 8), "SOCKS5s\n");
    EXPECT_EQ(text.substr(text.size() - 22), "server10.example:5061\n");
    bool accepted = false;
    EXPECT_EQ(Names(text, &accepted), names);
}

TEST(SafeWrite, ReplacesTheFileAndKeepsItsMode)
{
    TempDir dir;
    std::string path = dir.path + "/monitor.ini";
    ASSERT_EQ(WriteFileSafely(path, [](FILE* f) { fputs("first", f); }), SAFE_WRITE_OK);
    chmod(path.c_str(), 0600);
    ASSERT_EQ(WriteFileSafely(path, [](FILE* f) { fputs("second", f); }), SAFE_WRITE_OK);
    EXPECT_EQ(FileText(path), "second");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // No temporary file is left behind.
    EXPECT_EQ(system(("test $(ls -A '" + dir.path + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(SafeWrite, RefusesASymbolicLinkAndLeavesItsTargetAlone)
{
    TempDir dir;
    std::string target = dir.path + "/target";
    std::string link = dir.path + "/monitor.ini";
    { std::ofstream(target) << "precious"; }
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(WriteFileSafely(link, [](FILE* f) { fputs("overwritten", f); }), SAFE_WRITE_NOT_REGULAR);
    EXPECT_EQ(FileText(target), "precious");
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // A dangling link is refused as well, and nothing is created at its target.
    std::string dangling = dir.path + "/socks5.dat";
    ASSERT_EQ(symlink((dir.path + "/nowhere").c_str(), dangling.c_str()), 0);
    EXPECT_EQ(WriteFileSafely(dangling, [](FILE* f) { fputs("x", f); }), SAFE_WRITE_NOT_REGULAR);
    EXPECT_NE(access((dir.path + "/nowhere").c_str(), F_OK), 0);

    EXPECT_EQ(WriteFileSafely(dir.path, [](FILE* f) { fputs("x", f); }), SAFE_WRITE_NOT_REGULAR);
}

TEST(SafeWrite, AFailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    std::string path = dir.path + "/monitor.ini";
    { std::ofstream(path) << "old settings"; }
    EXPECT_EQ(WriteFileSafely(dir.path + "/missing/monitor.ini", [](FILE* f) { fputs("x", f); }), SAFE_WRITE_FAILED);

    // A full disk, played by a file size limit in a child process.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        SafeWriteResult r = WriteFileSafely(path, [](FILE* f) {
            for (int i = 0; i < 1000; i++) fputs("a long line of new settings\n", f);
        });
        _exit(r == SAFE_WRITE_FAILED ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FileText(path), "old settings");
    EXPECT_EQ(system(("test $(ls -A '" + dir.path + "' | wc -l) -eq 1").c_str()), 0);
}
