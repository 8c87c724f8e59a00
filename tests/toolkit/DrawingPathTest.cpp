// Only the X canvas may call Xlib's drawing functions: every other toolkit file draws
// through the canvas, so that printing draws the same picture.
#include <gtest/gtest.h>

#include <ctype.h>
#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool IsNamePart(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The Xlib drawing calls in a source text (XDraw..., XFill..., XCopyArea followed by an
// opening parenthesis), comments included: a call in a comment is suspicious enough.
std::vector<std::string> DrawingCalls(const std::string& text)
{
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != 'X' || (i > 0 && IsNamePart(text[i - 1])))
            continue;
        size_t end = i;
        while (end < text.size() && IsNamePart(text[end]))
            end++;
        std::string name = text.substr(i, end - i);
        bool drawing =
            name.rfind("XDraw", 0) == 0 || name.rfind("XFill", 0) == 0 || name == "XCopyArea";
        size_t next = text.find_first_not_of(" \t", end);
        if (drawing && next != std::string::npos && text[next] == '(')
            found.push_back(name);
        i = end;
    }
    return found;
}

// "file: call" for every call outside the X canvas in the files of dir.
std::vector<std::string> Violations(const std::string& dir)
{
    std::vector<std::string> violations;
    DIR* d = opendir(dir.c_str());
    if (!d)
        return {"cannot read " + dir};
    while (dirent* entry = readdir(d)) {
        std::string name = entry->d_name;
        bool source = name.size() > 2
            && (name.rfind(".cpp") == name.size() - 4 || name.rfind(".h") == name.size() - 2);
        if (!source || name == "CanvasX.cpp")
            continue;
        std::ifstream in(dir + "/" + name);
        std::stringstream text;
        text << in.rdbuf();
        for (const std::string& call : DrawingCalls(text.str()))
            violations.push_back(name + ": " + call);
    }
    closedir(d);
    return violations;
}

TEST(DrawingPathTest, OnlyTheXCanvasCallsXlibDrawingFunctions)
{
    EXPECT_EQ(Violations(VANTOR_SOURCE_DIR "/toolkit"), std::vector<std::string>{});
}

TEST(DrawingPathTest, APlantedCallIsFound)
{
    const struct {
        const char* source;
        std::vector<std::string> calls;
    } cases[] = {
        {"XDrawLine(d, w, gc, 0, 0, 1, 1);", {"XDrawLine"}},
        {"  XFillRectangle (d, w, gc, 0, 0, 1, 1);", {"XFillRectangle"}},
        {"if (x) XCopyArea(d, a, b, gc, 0, 0, 1, 1, 0, 0);", {"XCopyArea"}},
        {"XomCanvasFillRectangle(c, 0, 0, 1, 1); MyXDrawLine(1);", {}},
        {"XDrawString(a); XFillArc(b);", {"XDrawString", "XFillArc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DrawingCalls(c.source), c.calls) << c.source;

    char dir[] = "/tmp/drawing-path-XXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    std::ofstream(std::string(dir) + "/Planted.cpp") << "void f() { XDrawPoint(0, 0, 0, 0, 0); }\n";
    std::ofstream(std::string(dir) + "/CanvasX.cpp")
        << "void g() { XDrawLine(0, 0, 0, 0, 0, 0, 0); }\n";
    EXPECT_EQ(Violations(dir), std::vector<std::string>{"Planted.cpp: XDrawPoint"});
    remove((std::string(dir) + "/Planted.cpp").c_str());
    remove((std::string(dir) + "/CanvasX.cpp").c_str());
    rmdir(dir);
}

} // namespace
