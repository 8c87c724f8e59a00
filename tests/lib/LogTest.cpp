// The log facility, observed from outside: each case runs log_probe in a fresh process.
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <stdlib.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

namespace {

const std::string kProbe = VANTOR_BINARY_DIR "/tests/lib/log_probe";

// Runs the probe with every log variable removed, then the given ones set.
ProcessResult Probe(const std::vector<std::string>& args, std::vector<std::string> env)
{
    std::vector<std::string> full = {"SOCKS5_LOG_SYSLOG", "SOCKS5_LOG_STDERR", "SOCKS5_LOG_FILE",
                                     "SOCKS5_DEBUG",      "SOCKS5_LOG_NUMBER", "SOCKS5_LOG_SIZE"};
    full.insert(full.end(), env.begin(), env.end());
    std::vector<std::string> argv = {kProbe};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, full);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const std::string kRestart = "libsocks5 Logging (re)started at ";

// The lines that are not restart notices of the default log.
std::vector<std::string> Messages(const std::string& text)
{
    std::vector<std::string> messages;
    for (const std::string& line : Lines(text))
        if (line.find(kRestart) == std::string::npos)
            messages.push_back(line);
    return messages;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class LogFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.path() + "/monitor.log";
};

const std::regex
    kFileLine(R"(^[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} \[[0-9]{5,}\]: .*$)");

} // namespace

// Nothing is written while the environment asks for no log.
TEST(Log, RefusedConnectOnStandardErrorWithFiveDigitPidOnlyWhenAsked)
{
    ProcessResult r = Probe({"connect", "127.0.0.1:1"}, {});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    r = Probe({"connect", "127.0.0.1:1"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG="});
    EXPECT_TRUE(
        std::regex_match(r.err, std::regex("[0-9]{5,}: Error in connect: Connection refused\n")))
        << r.err;
}

TEST(Log, DebugVariableSetsTheThreshold)
{
    const struct {
        const char* debug; // SOCKS5_DEBUG, or null for unset
        int level;
        bool written;
    } cases[] = {
        {"0", 4, true},   {"0", 5, false}, // 5 x 0 + 4
        {"", 29, true},   {"", 30, false}, // empty: 29
        {"-1", 1, false}, {nullptr, 1, false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> env = {"SOCKS5_LOG_STDERR=1"};
        if (c.debug)
            env.push_back(std::string("SOCKS5_DEBUG=") + c.debug);
        EXPECT_EQ(Probe({"level", std::to_string(c.level)}, env).err.empty(), !c.written)
            << (c.debug ? c.debug : "unset") << ", level " << c.level;
    }
}

TEST(Log, ErrnoSurvivesAndPercentMShowsItsText)
{
    ProcessResult r = Probe({"errno"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.out, "errno=13\n");
    EXPECT_NE(r.err.find(": failed: Permission denied\n"), std::string::npos) << r.err;
}

// A line longer than the buffer is cut to it; a cut inside a conversion leaves none behind.
TEST(Log, OverlongLinesAreCutToTheLineBuffer)
{
    std::vector<std::string> lines =
        Lines(Probe({"long"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"}).err);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 2067u);
    EXPECT_EQ(lines[0].find("yyyy"), lines[0].find(": long ") + 7);
    lines = Lines(Probe({"cut"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"}).err);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].back(), 'a');
    EXPECT_EQ(lines[0].find('%'), std::string::npos);
}

TEST(Log, RecordsTheServerDoesNotHaveAndFailedOpensAreNamed)
{
    MonsimProcess sim(
        {"--script", MonsimProcess::writeTempFile("one.txt", "pass\nconn key=1 user=alice\n")});
    ProcessResult r = Probe({"missing", sim.address()}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.exitStatus, 0);
    std::vector<std::string> lines = Messages(r.err);
    const char* expected[] = {
        "MonGUIGet: no connection available", "MonGUIGetUser: no user available",
        "Error in connect: Connection refused", "Failed to open network connection"};
    ASSERT_EQ(lines.size(), 4u) << r.err;
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(
            std::regex_match(lines[i], std::regex(std::string("[0-9]{5,}: ") + expected[i])))
            << lines[i];
}

// Every start of a log after the first is a restart, announced at level 4; each message
// through the default log starts it again, so the notice follows every message but the first.
TEST(Log, RestartsAreAnnouncedAtLevelFour)
{
    std::vector<std::string> lines =
        Lines(Probe({"restart"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"}).err);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex("[0-9]{5,}: probe Logging \\(re\\)started at .+")))
        << lines[1];

    lines = Lines(Probe({"lines", "3"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"}).err);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[0].find(": line 0000"), std::string::npos);
    EXPECT_TRUE(std::regex_match(lines[1],
                                 std::regex("[0-9]{5,}: libsocks5 Logging \\(re\\)started at .+")))
        << lines[1];
    EXPECT_NE(lines[2].find(": line 0001"), std::string::npos);
    EXPECT_NE(lines[3].find(kRestart), std::string::npos);
}

TEST(Log, HandleRefusalsCarryTheirMessages)
{
    ProcessResult r = Probe({"refusals"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    std::vector<std::string> lines = Messages(r.err);
    const char* expected[] = {
        "S5MonClose(): bad handle=0x",      "S5MonSendData: invalid handle=0x",
        "S5MonRecvData: invalid handle=0x", "S5MonRecvNextData : invalid handle=0x",
        "S5MonGetUser: invalid handle=0x",  "S5MonGetNextUser: invalid handle=0x",
        "S5MonGetTot: invalid handle=0x",   "MonNetOpen: bad client type=1 specified",
        "S5MonRecvData: invalid handle=0x"};
    ASSERT_EQ(lines.size(), sizeof expected / sizeof expected[0] + 1) << r.err;
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        size_t colon = lines[i].find(": ");
        ASSERT_NE(colon, std::string::npos);
        std::string text = lines[i].substr(colon + 2);
        EXPECT_EQ(text.rfind(expected[i], 0), 0u) << text;
        if (text.find("0x") != std::string::npos) {
            EXPECT_TRUE(std::regex_search(text, std::regex("0x[0-9a-f]+ specified$"))) << text;
        }
    }
    // A user reply of a newer version is refused with both versions named.
    EXPECT_TRUE(std::regex_match(lines.back(),
                                 std::regex("[0-9]{5,}: Mon_MsgToUser: Msg type=8 "
                                            "has bad version=1.1 expected version=1.0")))
        << lines.back();
}

// Syslog is opened once as the daemon facility with the process id; each line goes with the
// priority of its level, its text from the eighth character on (past "PPPPP: ").
TEST(Log, SyslogLinesCarryThePriorityOfTheirLevelAndTheTextPastThePid)
{
    const std::pair<int, int> priorities[] = {{1, LOG_ERR},     {2, LOG_NOTICE}, {3, LOG_WARNING},
                                              {8, LOG_WARNING}, {9, LOG_NOTICE}, {13, LOG_NOTICE},
                                              {14, LOG_INFO},   {18, LOG_INFO},  {19, LOG_DEBUG}};
    for (const auto& p : priorities) {
        ProcessResult r =
            Probe({"level", std::to_string(p.first)}, {"SOCKS5_LOG_SYSLOG=", "SOCKS5_DEBUG=4"});
        std::vector<std::string> lines = Messages(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        int pid = 0;
        ASSERT_EQ(sscanf(lines[0].c_str(), "openlog libsocks5 %*d %*d %d", &pid), 1) << lines[0];
        EXPECT_EQ(lines[0],
                  "openlog libsocks5 " + std::to_string(LOG_PID) + " " + std::to_string(LOG_DAEMON)
                      + " " + std::to_string(pid));
        char line[64];
        snprintf(line, sizeof line, "%05d: message at level %d", pid, p.first);
        EXPECT_EQ(lines[1],
                  "syslog " + std::to_string(p.second) + " " + std::string(line).substr(7));
    }
}

// The size limit is tested before each line: a file already past the limit is rotated by the
// next line, one at the limit is not. Sparse files stand for the large sizes.
TEST_F(LogFileTest, SizeLimitIsInKilobytesWithADefaultOfOneGigabyteAndAtMostTwo)
{
    const long long kGiB = 1LL << 30;
    struct Case {
        const char* size; // SOCKS5_LOG_SIZE, or null for unset
        long long limit;  // bytes
    } cases[] = {
        {nullptr, kGiB},
        {"0", kGiB},
        {"-5", kGiB},
        {"many", kGiB},
        {"2097151", 2 * kGiB - 1024},
        {"2097152", 2 * kGiB},
        {"99999999", 2 * kGiB},
    };
    for (const Case& c : cases) {
        for (long long presize : {c.limit, c.limit + 1}) {
            RunProcess({"sh", "-c", "rm -f " + file + "*"});
            FILE* f = fopen(file.c_str(), "w");
            ASSERT_NE(f, nullptr);
            ASSERT_EQ(ftruncate(fileno(f), presize), 0);
            fclose(f);
            std::vector<std::string> env = {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0"};
            if (c.size)
                env.push_back(std::string("SOCKS5_LOG_SIZE=") + c.size);
            Probe({"level", "1"}, env);
            EXPECT_EQ(Exists(file + "1"), presize > c.limit)
                << (c.size ? c.size : "unset") << ", " << presize;
        }
    }
}

// About 100 bytes a line against a 1024-byte maximum. The size is tested before each line:
// an old file exceeds 1024 bytes by at most one line, and each continues where the next
// older one left off. No old files (also for a negative number) keeps one growing file.
// Every line starts with the time and the bracketed process id.
TEST_F(LogFileTest, RotationKeepsTheNumberOfOldFilesAsked)
{
    const struct {
        const char* number; // SOCKS5_LOG_NUMBER, or null for unset
        int oldFiles;
    } cases[] = {{nullptr, 1}, {"3", 3}, {"0", 0}, {"-3", 0}};
    for (const auto& c : cases) {
        RunProcess({"sh", "-c", "rm -f " + file + "*"});
        std::vector<std::string> env = {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0",
                                        "SOCKS5_LOG_SIZE=1"};
        if (c.number)
            env.push_back(std::string("SOCKS5_LOG_NUMBER=") + c.number);
        ProcessResult r = Probe({"lines", "60"}, env);
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.err, "") << "a file log writes nothing on standard error";
        std::string label = c.number ? c.number : "unset";
        for (int n = 1; n <= c.oldFiles; n++) {
            std::string old = FileText(file + std::to_string(n));
            EXPECT_GT(old.size(), 1024u) << label << ", old file " << n;
            EXPECT_LT(old.size(), 1024u + 130u) << label << ", old file " << n;
            if (n > 1) {
                std::string newer = FileText(file + std::to_string(n - 1));
                EXPECT_LT(old.substr(old.find("line ")), newer.substr(newer.find("line ")))
                    << label;
            }
        }
        EXPECT_FALSE(Exists(file + std::to_string(c.oldFiles + 1))) << label;
        EXPECT_FALSE(Exists(file + "-1")) << label;
        std::vector<std::string> current = Lines(FileText(file));
        ASSERT_FALSE(current.empty());
        EXPECT_NE(current.back().find("line 0059"), std::string::npos) << label;
        for (const std::string& line : current) {
            EXPECT_TRUE(std::regex_match(line, kFileLine)) << line;
        }
        if (c.oldFiles == 0) {
            EXPECT_EQ(Messages(FileText(file)).size(), 60u) << label;
        }
    }
}

TEST_F(LogFileTest, FilesThatCannotBeOpenedAreReportedOnce)
{
    ProcessResult empty = Probe({"lines", "3"}, {"SOCKS5_LOG_FILE=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(empty.err, "can't open `' for logging, please set SOCKS5_LOG_FILE\n");
    std::string missing = dir.path() + "/no/such/dir.log";
    ProcessResult bad = Probe({"lines", "3"}, {"SOCKS5_LOG_FILE=" + missing, "SOCKS5_DEBUG=0"});
    EXPECT_EQ(bad.err, "can't open `" + missing + "' for logging\n");
    // Standard error keeps working beside a file that failed.
    ProcessResult both = Probe(
        {"lines", "2"}, {"SOCKS5_LOG_FILE=" + missing, "SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(Messages(both.err).size(), 3u);
}
