// The layers of the source tree: every include of our own names its layer, the toolkit
// includes nothing of the program, the monitor library and the core nothing of X, the tools
// nothing of the GUI (the X-free core they may share with the window). A breach is reported
// with its file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Rule {
    const char* layer;                  // directory under the source root
    std::vector<std::string> forbidden; // include prefixes the layer may not use
};

const std::vector<Rule> kRules = {
    {"toolkit", {"core/", "app/", "lib/", "tools/"}},
    {"lib", {"X11/", "Xm/", "toolkit/", "core/", "app/", "tools/"}},
    {"core", {"X11/", "Xm/", "toolkit/", "app/", "tools/"}},
    {"tools", {"app/", "toolkit/"}},
};

// Every quoted include starts with one of these.
const std::vector<std::string> kLayers = {"lib/",   "toolkit/", "core/",  "app/",
                                          "tools/", "tests/",   "bench/", "fuzz/"};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The name an #include line names, with its opening delimiter ('"' or '<'); "" for other lines.
std::string IncludedName(const std::string& line, char* delimiter)
{
    std::string rest = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!StartsWith(rest, "#"))
        return "";
    rest = rest.substr(1);
    rest = rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (!StartsWith(rest, "include"))
        return "";
    rest = rest.substr(7);
    rest = rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (rest.empty() || (rest[0] != '"' && rest[0] != '<'))
        return "";
    *delimiter = rest[0];
    size_t end = rest.find(rest[0] == '"' ? '"' : '>', 1);
    return end == std::string::npos ? "" : rest.substr(1, end - 1);
}

// "file:line: what" for each breach in the text of one file of the given layer.
std::vector<std::string> Breaches(const std::string& layer, const std::string& file,
                                  const std::string& text)
{
    std::vector<std::string> found;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); number++) {
        char delimiter = 0;
        std::string name = IncludedName(line, &delimiter);
        if (name.empty())
            continue;
        std::string where = file + ":" + std::to_string(number) + ": ";
        if (delimiter == '"'
            && std::none_of(kLayers.begin(), kLayers.end(),
                            [&](const std::string& l) { return StartsWith(name, l); })) {
            found.push_back(where + "\"" + name + "\" names no layer");
        }
        for (const Rule& rule : kRules) {
            if (layer != rule.layer)
                continue;
            for (const std::string& prefix : rule.forbidden) {
                if (StartsWith(name, prefix)) {
                    found.push_back(where + layer + "/ may not include " + name);
                }
            }
        }
    }
    return found;
}

bool IsSource(const fs::path& path)
{
    std::string ext = path.extension().string();
    return ext == ".h" || ext == ".cpp" || ext == ".c";
}

TEST(Layering, SourceTreeKeepsItsLayers)
{
    fs::path root = VANTOR_SOURCE_DIR;
    int files = 0;
    for (const char* layer : {"lib", "toolkit", "core", "app", "tools", "tests", "bench", "fuzz"}) {
        if (!fs::exists(root / layer))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / layer)) {
            if (!entry.is_regular_file() || !IsSource(entry.path()))
                continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            files++;
            for (const std::string& breach :
                 Breaches(layer, fs::relative(entry.path(), root).string(), text.str())) {
                ADD_FAILURE() << breach;
            }
        }
    }
    EXPECT_GT(files, 50) << "the source tree was not found under " << root;
}

// Files that hold tests are named FooTest.cpp, so that they are found by name.
TEST(Layering, TestFilesAreNamedAfterWhatTheyTest)
{
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(VANTOR_SOURCE_DIR) / "tests")) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp")
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        bool hasTests = text.str().find("\nTEST") != std::string::npos;
        std::string stem = entry.path().stem().string();
        bool namedAsTest = stem.size() > 4 && stem.compare(stem.size() - 4, 4, "Test") == 0;
        EXPECT_EQ(hasTests, namedAsTest) << entry.path().string();
    }
}

TEST(Layering, EachKindOfBreachIsReportedWithFileAndLine)
{
    struct Case {
        const char* layer;
        const char* text;
        const char* breach; // "" for none
    } cases[] = {
        {"toolkit", "#include <X11/Intrinsic.h>\n#include \"app/MonitorApp.h\"\n",
         "toolkit/F.cpp:2: toolkit/ may not include app/MonitorApp.h"},
        {"toolkit", "  #  include \"lib/monMsg.h\"\n",
         "toolkit/F.cpp:1: toolkit/ may not include lib/monMsg.h"},
        {"lib", "#include <Xm/Xm.h>\n", "lib/F.cpp:1: lib/ may not include Xm/Xm.h"},
        {"tools", "\n#include \"toolkit/Box.h\"\n",
         "tools/F.cpp:2: tools/ may not include toolkit/Box.h"},
        {"tools", "#include \"app/MonitorApp.h\"\n",
         "tools/F.cpp:1: tools/ may not include app/MonitorApp.h"},
        {"tools", "#include \"core/ConnectionLedger.h\"\n#include \"core/Setting.h\"\n", ""},
        {"core", "#include \"lib/monMsg.h\"\n#include <X11/Xlib.h>\n",
         "core/F.cpp:2: core/ may not include X11/Xlib.h"},
        {"core", "#include <Xm/Xm.h>\n", "core/F.cpp:1: core/ may not include Xm/Xm.h"},
        {"core", "#include \"app/MonTable.h\"\n",
         "core/F.cpp:1: core/ may not include app/MonTable.h"},
        {"toolkit", "#include \"core/Setting.h\"\n",
         "toolkit/F.cpp:1: toolkit/ may not include core/Setting.h"},
        {"app", "#include \"util.h\"\n", "app/F.cpp:1: \"util.h\" names no layer"},
        {"app", "#include \"toolkit/Box.h\"\n#include <X11/Xlib.h>\n// #include \"util.h\"\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> found = Breaches(c.layer, std::string(c.layer) + "/F.cpp", c.text);
        std::vector<std::string> expected;
        if (c.breach[0])
            expected.push_back(c.breach);
        EXPECT_EQ(found, expected) << c.text;
    }
}

} // namespace
