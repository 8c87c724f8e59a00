// The two programs as installed things: their help texts, manual pages, installation,
// exit statuses and vantor-mon's repeated passes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

#include "tests/tools/ProxyProcess.h"
#include "tests/support/RunProcess.h"

namespace {

const std::string BIN = VANTOR_BINARY_DIR;
const std::string SRC = VANTOR_SOURCE_DIR;

// Every "--word" in the text.
std::set<std::string> longOptions(const std::string &text)
{
    std::set<std::string> out;
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
        size_t end = at + 2;
        while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
            ++end;
        if (end > at + 3)
            out.insert(text.substr(at, end - at));
    }
    return out;
}

} // namespace

TEST(ToolPrograms, HelpListsEveryOptionAndTheManualPageDescribesIt)
{
    for (const std::string name : {"vantor-proxy", "vantor-mon"}) {
        std::string program = BIN + "/tools/" + (name == "vantor-proxy" ? "proxy/" : "mon/") + name;
        ProcessResult help = RunProcess({program, "--help"});
        ASSERT_EQ(help.exitStatus, 0) << name;
        std::set<std::string> options = longOptions(help.out);
        EXPECT_GE(options.size(), 5u) << help.out;
        std::ifstream in(SRC + "/doc/" + name + ".1");
        std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        page.erase(std::remove(page.begin(), page.end(), '\\'), page.end());  // "\-\-" is "--"
        ASSERT_FALSE(page.empty()) << name;
        for (const std::string &opt : options)
            EXPECT_NE(page.find(opt), std::string::npos) << name << ".1 lacks " << opt;
        ProcessResult bad = RunProcess({program, "--no-such-option"});
        EXPECT_EQ(bad.exitStatus, 2) << name;
        EXPECT_NE(bad.err.find("--no-such-option"), std::string::npos) << bad.err;
    }
}

TEST(ToolPrograms, InstallPutsProgramsAndManualPages)
{
    char dir[] = "/tmp/vantor-install-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string prefix = dir;
    for (const char *sub : {"tools/proxy", "tools/mon", "doc"})
        ASSERT_EQ(RunProcess({"cmake", "-DCMAKE_INSTALL_PREFIX=" + prefix, "-P",
                              BIN + "/" + sub + "/cmake_install.cmake"}).exitStatus, 0) << sub;
    for (const char *file : {"bin/vantor-proxy", "bin/vantor-mon", "share/man/man1/vantor-proxy.1",
                             "share/man/man1/vantor-mon.1"})
        EXPECT_NE(std::ifstream(prefix + "/" + file).peek(), EOF) << file;  // there, not empty
    ProcessResult version = RunProcess({prefix + "/bin/vantor-mon", "--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "vantor-mon 1.0\n");
    EXPECT_EQ(RunProcess({"rm", "-rf", prefix}).exitStatus, 0);
}

TEST(ToolPrograms, MonitorWatchesAndReportsAnUnreachableServer)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    std::string mon = BIN + "/tools/mon/vantor-mon";
    ProcessResult csv = RunProcess({mon, "--csv", "--watch", "1", "--count", "2", proxy.monitorAddress()});
    ASSERT_EQ(csv.exitStatus, 0);
    EXPECT_EQ(csv.out, "key,state,status,start,cur,end,source,destination,proxy,srchost,dsthost,"
                       "proxyhost,user,service,authen,cmd,in,out,socks_err,error\n");  // one header
    ProcessResult table = RunProcess({mon, "--watch", "1", "--count", "2", proxy.monitorAddress()});
    ASSERT_EQ(table.exitStatus, 0);
    EXPECT_EQ(table.out, "KEY  STATUS  START  DURATION  SOURCE  DESTINATION  HOST  USER  SERVICE  IN  OUT  ERROR\n\n"
                         "KEY  STATUS  START  DURATION  SOURCE  DESTINATION  HOST  USER  SERVICE  IN  OUT  ERROR\n");
    std::string address = proxy.monitorAddress();
    ASSERT_TRUE(proxy.stop());
    ProcessResult gone = RunProcess({mon, address});
    EXPECT_EQ(gone.exitStatus, 1);
    EXPECT_EQ(gone.err, "vantor-mon: cannot connect to " + address + "\n");
}
