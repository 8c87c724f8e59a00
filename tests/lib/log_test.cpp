// The log facility, observed from outside: each case runs log_probe in a fresh process.
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <stdlib.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

namespace {

const std::string kProbe = VANTOR_BINARY_DIR "/tests/lib/log_probe";

// Runs the probe with every log variable removed, then the given ones set.
ProcessResult Probe(const std::vector<std::string> &args, std::vector<std::string> env)
{
    std::vector<std::string> full = {"SOCKS5_LOG_SYSLOG", "SOCKS5_LOG_STDERR", "SOCKS5_LOG_FILE", "SOCKS5_DEBUG",
                                     "SOCKS5_LOG_NUMBER", "SOCKS5_LOG_SIZE"};
    full.insert(full.end(), env.begin(), env.end());
    std::vector<std::string> argv = {kProbe};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, full);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

const std::string kRestart = "libsocks5 Logging (re)started at ";

// The lines that are not restart notices of the default log.
std::vector<std::string> Messages(const std::string &text)
{
    std::vector<std::string> messages;
    for (const std::string &line : Lines(text))
        if (line.find(kRestart) == std::string::npos)
            messages.push_back(line);
    return messages;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vantor-log-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        file = dir + "/monitor.log";
    }
    void TearDown() override { RunProcess({"rm", "-rf", dir}); }
    std::string dir, file;
};

const std::regex kFileLine(R"(^[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} \[[0-9]{5,}\]: .*$)");

} // namespace

TEST(Log, NothingIsWrittenWhenTheEnvironmentIsUnset)
{
    ProcessResult r = Probe({"connect", "127.0.0.1:1"}, {});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
}

TEST(Log, RefusedConnectOnStandardErrorWithFiveDigitPid)
{
    ProcessResult r = Probe({"connect", "127.0.0.1:1"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG="});
    EXPECT_TRUE(std::regex_match(r.err, std::regex("[0-9]{5,}: Error in connect: Connection refused\n"))) << r.err;
}

TEST(Log, DebugVariableSetsTheThreshold)
{
    // 0 gives 5 x 0 + 4: levels up to 4 are written.
    EXPECT_NE(Probe({"level", "4"}, {"SOCKS5_LOG_STDERR=1", "SOCKS5_DEBUG=0"}).err, "");
    EXPECT_EQ(Probe({"level", "5"}, {"SOCKS5_LOG_STDERR=1", "SOCKS5_DEBUG=0"}).err, "");
    // -1 gives -1: nothing at all, not even level 1.
    EXPECT_EQ(Probe({"level", "1"}, {"SOCKS5_LOG_STDERR=1", "SOCKS5_DEBUG=-1"}).err, "");
    // Empty gives 29.
    EXPECT_NE(Probe({"level", "29"}, {"SOCKS5_LOG_STDERR=1", "SOCKS5_DEBUG="}).err, "");
    EXPECT_EQ(Probe({"level", "30"}, {"SOCKS5_LOG_STDERR=1", "SOCKS5_DEBUG="}).err, "");
    // Without SOCKS5_DEBUG nothing is logged even with a destination.
    EXPECT_EQ(Probe({"level", "1"}, {"SOCKS5_LOG_STDERR=1"}).err, "");
}

TEST(Log, ErrnoSurvivesAndPercentMShowsItsText)
{
    ProcessResult r = Probe({"errno"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.out, "errno=13\n");
    EXPECT_NE(r.err.find(": failed: Permission denied\n"), std::string::npos) << r.err;
}

TEST(Log, OverlongLineIsCutToTheLineBuffer)
{
    ProcessResult r = Probe({"long"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    ASSERT_EQ(Lines(r.err).size(), 1u);
    EXPECT_EQ(Lines(r.err)[0].size(), 2067u);
    EXPECT_EQ(Lines(r.err)[0].find("yyyy"), Lines(r.err)[0].find(": long ") + 7);
}

TEST(Log, ALineCutInsideAConversionLeavesNoHalfConversion)
{
    ProcessResult r = Probe({"cut"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].back(), 'a');
    EXPECT_EQ(lines[0].find('%'), std::string::npos);
}

TEST(Log, RecordsTheServerDoesNotHaveAndFailedOpensAreNamed)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("one.txt", "pass\nconn key=1 user=alice\n")});
    ProcessResult r = Probe({"missing", sim.address()}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.exitStatus, 0);
    std::vector<std::string> lines = Messages(r.err);
    const char *expected[] = {"MonGUIGet: no connection available", "MonGUIGetUser: no user available",
                              "Error in connect: Connection refused", "Failed to open network connection"};
    ASSERT_EQ(lines.size(), 4u) << r.err;
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(std::string("[0-9]{5,}: ") + expected[i]))) << lines[i];
}

TEST(Log, RestartOfTheDefaultLogIsAnnouncedAtLevelFour)
{
    ProcessResult r = Probe({"restart"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 2u) << r.err;
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("[0-9]{5,}: probe Logging \\(re\\)started at .+"))) << lines[1];
}

TEST(Log, EveryLaterMessageRestartsTheDefaultLog)
{
    // Each message goes through the default log, and every start after the first is a
    // restart, announced at level 4 before the message.
    ProcessResult r = Probe({"lines", "3"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    std::vector<std::string> lines = Lines(r.err);
    ASSERT_EQ(lines.size(), 5u) << r.err;
    EXPECT_NE(lines[0].find(": line 0000"), std::string::npos);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("[0-9]{5,}: libsocks5 Logging \\(re\\)started at .+"))) << lines[1];
    EXPECT_NE(lines[2].find(": line 0001"), std::string::npos);
    EXPECT_NE(lines[3].find(kRestart), std::string::npos);
}

TEST(Log, RefusedReplyVersionsAreNamed)
{
    ProcessResult r = Probe({"version", "1", "1"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_TRUE(std::regex_match(
        r.err, std::regex("[0-9]{5,}: Mon_MsgToUser: Msg type=8 has bad version=1.1 expected version=1.0\n")))
        << r.err;
    EXPECT_EQ(Probe({"version", "2", "0"}, {}).exitStatus, 1);
    EXPECT_EQ(Probe({"version", "0", "7"}, {}).exitStatus, 0);
    EXPECT_EQ(Probe({"version", "1", "0"}, {}).exitStatus, 0);
}

TEST(Log, HandleRefusalsCarryTheirMessages)
{
    ProcessResult r = Probe({"refusals"}, {"SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    std::vector<std::string> lines = Messages(r.err);
    const char *expected[] = {
        "S5MonClose(): bad handle=0x", "S5MonSendData: invalid handle=0x", "S5MonRecvData: invalid handle=0x",
        "S5MonRecvNextData : invalid handle=0x", "S5MonGetUser: invalid handle=0x",
        "S5MonGetNextUser: invalid handle=0x", "S5MonGetTot: invalid handle=0x",
        "MonNetOpen: bad client type=1 specified", "S5MonRecvData: invalid handle=0x"};
    ASSERT_EQ(lines.size(), sizeof expected / sizeof expected[0]) << r.err;
    for (size_t i = 0; i < lines.size(); i++) {
        size_t colon = lines[i].find(": ");
        ASSERT_NE(colon, std::string::npos);
        std::string text = lines[i].substr(colon + 2);
        EXPECT_EQ(text.rfind(expected[i], 0), 0u) << text;
        if (text.find("0x") != std::string::npos) {
            EXPECT_TRUE(std::regex_search(text, std::regex("0x[0-9a-f]+ specified$"))) << text;
        }
    }
}

// Syslog is opened once as the daemon facility with the process id; each line goes with the
// priority of its level, its text from the eighth character on (past "PPPPP: ").
TEST(Log, SyslogLinesCarryThePriorityOfTheirLevelAndTheTextPastThePid)
{
    const std::pair<int, int> priorities[] = {{1, LOG_ERR},      {2, LOG_NOTICE},  {3, LOG_WARNING},
                                              {8, LOG_WARNING},  {9, LOG_NOTICE},  {13, LOG_NOTICE},
                                              {14, LOG_INFO},    {18, LOG_INFO},   {19, LOG_DEBUG}};
    for (const auto &p : priorities) {
        ProcessResult r = Probe({"level", std::to_string(p.first)}, {"SOCKS5_LOG_SYSLOG=", "SOCKS5_DEBUG=4"});
        std::vector<std::string> lines = Messages(r.out);
        ASSERT_EQ(lines.size(), 2u) << r.out;
        int pid = 0;
        ASSERT_EQ(sscanf(lines[0].c_str(), "openlog libsocks5 %*d %*d %d", &pid), 1) << lines[0];
        EXPECT_EQ(lines[0], "openlog libsocks5 " + std::to_string(LOG_PID) + " " + std::to_string(LOG_DAEMON)
                                + " " + std::to_string(pid));
        char line[64];
        snprintf(line, sizeof line, "%05d: message at level %d", pid, p.first);
        EXPECT_EQ(lines[1], "syslog " + std::to_string(p.second) + " " + std::string(line).substr(7));
    }
}

// The size limit is tested before each line: a file already past the limit is rotated by the
// next line, one at the limit is not. Sparse files stand for the large sizes.
TEST_F(LogFileTest, SizeLimitIsInKilobytesWithADefaultOfOneGigabyteAndAtMostTwo)
{
    const long long kGiB = 1LL << 30;
    struct Case {
        const char *size;  // SOCKS5_LOG_SIZE, or null for unset
        long long limit;   // bytes
    } cases[] = {
        {nullptr, kGiB}, {"0", kGiB}, {"-5", kGiB}, {"many", kGiB},
        {"2097151", 2 * kGiB - 1024}, {"2097152", 2 * kGiB}, {"99999999", 2 * kGiB},
    };
    for (const Case &c : cases) {
        for (long long presize : {c.limit, c.limit + 1}) {
            RunProcess({"rm", "-f", file, file + "1"});
            FILE *f = fopen(file.c_str(), "w");
            ASSERT_NE(f, nullptr);
            ASSERT_EQ(ftruncate(fileno(f), presize), 0);
            fclose(f);
            std::vector<std::string> env = {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0"};
            if (c.size)
                env.push_back(std::string("SOCKS5_LOG_SIZE=") + c.size);
            Probe({"level", "1"}, env);
            EXPECT_EQ(Exists(file + "1"), presize > c.limit) << (c.size ? c.size : "unset") << ", " << presize;
        }
    }
}

TEST_F(LogFileTest, FileLinesStartWithTimeAndBracketedPid)
{
    ProcessResult r = Probe({"level", "1"}, {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0"});
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines = Lines(ReadFile(file));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(lines[0], kFileLine)) << lines[0];
    EXPECT_NE(lines[0].find("]: message at level 1"), std::string::npos);
}

TEST_F(LogFileTest, RotationKeepsOneOldFileByDefault)
{
    // About 100 bytes a line against a 1024-byte maximum.
    Probe({"lines", "40"}, {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0", "SOCKS5_LOG_SIZE=1"});
    ASSERT_TRUE(Exists(file + "1"));
    EXPECT_FALSE(Exists(file + "2"));
    std::string old = ReadFile(file + "1");
    // The size is tested before each line: the old file exceeds 1024 by at most one line.
    EXPECT_GT(old.size(), 1024u);
    EXPECT_LT(old.size(), 1024u + 130u);
    std::vector<std::string> current = Lines(ReadFile(file));
    ASSERT_FALSE(current.empty());
    EXPECT_NE(current.back().find("line 0039"), std::string::npos);
    for (const std::string &line : current)
        EXPECT_TRUE(std::regex_match(line, kFileLine)) << line;
}

TEST_F(LogFileTest, RotationWithNoOldFilesKeepsGrowingOneFile)
{
    Probe({"lines", "40"}, {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0", "SOCKS5_LOG_SIZE=1", "SOCKS5_LOG_NUMBER=0"});
    EXPECT_FALSE(Exists(file + "1"));
    EXPECT_EQ(Messages(ReadFile(file)).size(), 40u);
}

TEST_F(LogFileTest, NegativeOldFileCountCountsAsZero)
{
    ProcessResult r = Probe({"lines", "40"}, {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0", "SOCKS5_LOG_SIZE=1",
                                              "SOCKS5_LOG_NUMBER=-3"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_FALSE(Exists(file + "1"));
    EXPECT_FALSE(Exists(file + "-1"));
    EXPECT_EQ(Messages(ReadFile(file)).size(), 40u);
}

TEST_F(LogFileTest, RotationKeepsTheRequestedNumberOfOldFiles)
{
    Probe({"lines", "60"}, {"SOCKS5_LOG_FILE=" + file, "SOCKS5_DEBUG=0", "SOCKS5_LOG_SIZE=1", "SOCKS5_LOG_NUMBER=3"});
    EXPECT_TRUE(Exists(file + "1"));
    EXPECT_TRUE(Exists(file + "2"));
    EXPECT_TRUE(Exists(file + "3"));
    EXPECT_FALSE(Exists(file + "4"));
    // The newest old file continues where the oldest one left off.
    std::string newest = ReadFile(file + "1"), older = ReadFile(file + "2");
    EXPECT_LT(older.substr(older.find("line ")), newest.substr(newest.find("line ")));
}

TEST_F(LogFileTest, FilesThatCannotBeOpenedAreReportedOnce)
{
    ProcessResult empty = Probe({"lines", "3"}, {"SOCKS5_LOG_FILE=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(empty.err, "can't open `' for logging, please set SOCKS5_LOG_FILE\n");
    std::string missing = dir + "/no/such/dir.log";
    ProcessResult bad = Probe({"lines", "3"}, {"SOCKS5_LOG_FILE=" + missing, "SOCKS5_DEBUG=0"});
    EXPECT_EQ(bad.err, "can't open `" + missing + "' for logging\n");
    // Standard error keeps working beside a file that failed.
    ProcessResult both = Probe({"lines", "2"}, {"SOCKS5_LOG_FILE=" + missing, "SOCKS5_LOG_STDERR=", "SOCKS5_DEBUG=0"});
    EXPECT_EQ(Messages(both.err).size(), 3u);
}
