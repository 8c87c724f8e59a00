// The two programs as installed things: their help texts, manual pages, installation,
// exit statuses and vantor-mon's repeated passes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include "ProxyProcess.h"

namespace {

const std::string BIN = VANTOR_BINARY_DIR;
const std::string SRC = VANTOR_SOURCE_DIR;

std::string fileText(const std::string &path)
{
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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

std::string withoutBackslashes(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\\'), text.end());
    return text;
}

bool isFile(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

TEST(ToolPrograms, HelpListsEveryOptionAndTheManualPageDescribesIt)
{
    for (const char *name : {"vantor-proxy", "vantor-mon"}) {
        std::string program = BIN + "/tools/" + (std::string(name) == "vantor-proxy" ? "proxy/" : "mon/") + name;
        std::string help;
        ASSERT_EQ(runCommand(program + " --help", &help), 0) << name;
        std::set<std::string> options = longOptions(help);
        EXPECT_GE(options.size(), 5u) << help;
        // Manual pages write "--" as "\-\-".
        std::string page = withoutBackslashes(fileText(SRC + "/doc/" + name + ".1"));
        ASSERT_FALSE(page.empty()) << name;
        for (const std::string &opt : options)
            EXPECT_NE(page.find(opt), std::string::npos) << name << ".1 lacks " << opt;
        std::string ignored;
        EXPECT_EQ(runCommand(program + " --no-such-option 2>/dev/null", &ignored), 2) << name;
    }
}

TEST(ToolPrograms, InstallPutsProgramsAndManualPages)
{
    char dir[] = "/tmp/vantor-install-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string prefix = dir;
    std::string out;
    for (const char *sub : {"tools/proxy", "tools/mon", "doc"})
        ASSERT_EQ(runCommand("cmake -DCMAKE_INSTALL_PREFIX=" + prefix + " -P " + BIN + "/" + sub
                             + "/cmake_install.cmake", &out), 0) << sub;
    EXPECT_TRUE(isFile(prefix + "/bin/vantor-proxy"));
    EXPECT_TRUE(isFile(prefix + "/bin/vantor-mon"));
    EXPECT_TRUE(isFile(prefix + "/share/man/man1/vantor-proxy.1"));
    EXPECT_TRUE(isFile(prefix + "/share/man/man1/vantor-mon.1"));
    EXPECT_EQ(runCommand(prefix + "/bin/vantor-mon --version", &out), 0);
    EXPECT_EQ(out, "vantor-mon 1.0\n");
    EXPECT_EQ(runCommand("rm -rf " + prefix, &out), 0);
}

TEST(ToolPrograms, MonitorWatchesAndReportsAnUnreachableServer)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    std::string mon = BIN + "/tools/mon/vantor-mon";
    std::string out;
    ASSERT_EQ(runCommand(mon + " --csv --watch 1 --count 2 " + proxy.monitorAddress(), &out), 0);
    EXPECT_EQ(out, "key,state,status,start,cur,end,source,destination,proxy,srchost,dsthost,"
                   "proxyhost,user,service,authen,cmd,in,out,socks_err,error\n");  // one header
    ASSERT_EQ(runCommand(mon + " --watch 1 --count 2 " + proxy.monitorAddress(), &out), 0);
    EXPECT_EQ(out, "KEY  STATUS  START  DURATION  SOURCE  DESTINATION  HOST  USER  SERVICE  IN  OUT  ERROR\n\n"
                   "KEY  STATUS  START  DURATION  SOURCE  DESTINATION  HOST  USER  SERVICE  IN  OUT  ERROR\n");
    std::string address = proxy.monitorAddress();
    ASSERT_TRUE(proxy.stop());
    EXPECT_EQ(runCommand(mon + " " + address + " 2>&1", &out), 1);
    EXPECT_EQ(out, "vantor-mon: cannot connect to " + address + "\n");
}
