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

TEST(CommandLineTest, VersionOptionsPrintTheVersionLine)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-v"}, {"--version"}, {"-v", "extra"}, {"--version", "-h"}}) {
        ProcessResult result = RunVantor(args);
        EXPECT_EQ(result.exitStatus, 0) << args[0];
        EXPECT_EQ(result.out, "Vantor Version 1.0\n");
        EXPECT_EQ(result.err, "");
    }
}

TEST(CommandLineTest, AnyOtherFirstArgumentPrintsTheUsageAndFails)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-h"},
                                                 {"--help"},
                                                 {"-display", ":1"},
                                                 {"--bogus"},
                                                 {"-V"},
                                                 {"extra", "-v"},
                                                 {""}}) {
        ProcessResult result = RunVantor(args);
        EXPECT_EQ(result.exitStatus, 255) << args[0];
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, kUsage) << args[0];
    }
}

} // namespace
