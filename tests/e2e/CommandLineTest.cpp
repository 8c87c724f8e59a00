// The command line: only the first argument counts, and the toolkit sees none.
#include <gtest/gtest.h>

#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const char* const kUsage = "usage: vantor [-v|--version] [-h|--help] \n ";

// No display: whatever the arguments, the program must not need one to answer.
ProcessResult RunVantor(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {VantorBinary()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, {"DISPLAY"}, 30);
}

TEST(CommandLineTest, VersionOrElseUsageFromTheFirstArgumentAlone)
{
    const std::vector<std::string> version = {"Vantor Version 1.0\n", ""};
    const std::vector<std::string> usage = {"", kUsage};
    const struct {
        std::vector<std::string> args;
        int exitStatus;
        std::vector<std::string> outAndErr;
    } cases[] = {{{"-v"}, 0, version},
                 {{"--version", "-h"}, 0, version},
                 {{"-h"}, 255, usage},
                 {{"--help"}, 255, usage},
                 {{"-display", ":1"}, 255, usage},
                 {{"-V"}, 255, usage},
                 {{"extra", "-v"}, 255, usage},
                 {{""}, 255, usage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        ProcessResult result = RunVantor(c.args);
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.out, c.outAndErr[0]);
        EXPECT_EQ(result.err, c.outAndErr[1]);
    }
}

} // namespace
