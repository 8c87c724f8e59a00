// Only the X canvas may call Xlib's drawing functions or change a GC: every other file of
// the program draws through the canvas, so that printing draws the same picture.
#include <gtest/gtest.h>

#include <ctype.h>
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

bool IsNamePart(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string WithoutComments(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text.compare(i, 2, "/*") == 0) {
            size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 1;
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

bool HasWord(const std::string& text, const std::string& word)
{
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        if ((at == 0 || !IsNamePart(text[at - 1]))
            && (at + word.size() == text.size() || !IsNamePart(text[at + word.size()])))
            return true;
    return false;
}

// The functions a header declares with a GC among their parameters.
std::set<std::string> FunctionsTakingGc(const std::string& header)
{
    std::set<std::string> names;
    std::string text = WithoutComments(FileText(header));
    for (size_t at = text.find("extern"); at != std::string::npos;
         at = text.find("extern", at + 1)) {
        size_t open = text.find('(', at), close = text.find(");", at);
        if (open == std::string::npos || close == std::string::npos || close < open)
            continue;
        size_t end = open;
        while (end > at && isspace(static_cast<unsigned char>(text[end - 1])))
            end--;
        size_t begin = end;
        while (begin > at && IsNamePart(text[begin - 1]))
            begin--;
        std::string name = text.substr(begin, end - begin);
        if (name.size() > 1 && name[0] == 'X' && HasWord(text.substr(open, close - open), "GC"))
            names.insert(name);
    }
    return names;
}

// The family the test rejects, from Xlib's own prototypes: every function that takes a GC
// (all drawing, every change of a GC), and the two that paint a window's background
// without one. Reading a GC changes nothing, so those few are left out.
std::set<std::string> DrawingFamily()
{
    std::set<std::string> family = FunctionsTakingGc(XLIB_INCLUDE_DIR "/X11/Xlib.h");
    for (const std::string& name : FunctionsTakingGc(XLIB_INCLUDE_DIR "/X11/Xutil.h"))
        family.insert(name);
    family.insert({"XClearArea", "XClearWindow"});
    for (const char* reading : {"XGetGCValues", "XGContextFromGC", "XFlushGC"})
        family.erase(reading);
    return family;
}

const std::set<std::string>& Family()
{
    static const std::set<std::string> family = DrawingFamily();
    return family;
}

// The calls of the family in a source text (a name followed by an opening parenthesis),
// comments included: a call in a comment is suspicious enough.
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
        size_t next = text.find_first_not_of(" \t\n", end);
        if (Family().count(name) && next != std::string::npos && text[next] == '(')
            found.push_back(name);
        i = end;
    }
    return found;
}

// Calls that stay outside the canvas, each with its reason: the widgets that own a GC for
// their canvases free it when they go.
const struct {
    const char* file;
    const char* call;
    const char* reason;
} allowed[] = {
    {"toolkit/CompBase.cpp", "XFreeGC", "frees the GC its canvases draw with"},
    {"toolkit/Scroll.cpp", "XFreeGC", "frees the GC its strips' canvases draw with"},
};

bool Allowed(const std::string& file, const std::string& call)
{
    for (const auto& a : allowed)
        if (file == a.file && call == a.call)
            return true;
    return false;
}

// "file: call" for every call of the family outside the X canvas in the sources below
// root/dir, file named from root.
void Scan(const std::string& root, const std::string& dir, std::vector<std::string>* violations)
{
    DIR* d = opendir((root + "/" + dir).c_str());
    if (!d) {
        violations->push_back("cannot read " + dir);
        return;
    }
    while (dirent* entry = readdir(d)) {
        std::string name = entry->d_name, file = dir + "/" + name;
        struct stat st;
        if (name[0] == '.' || stat((root + "/" + file).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            Scan(root, file, violations);
            continue;
        }
        size_t dot = name.rfind('.');
        std::string ending = dot == std::string::npos ? "" : name.substr(dot);
        if ((ending != ".cpp" && ending != ".h" && ending != ".c") || file == "toolkit/CanvasX.cpp")
            continue;
        for (const std::string& call : DrawingCalls(FileText(root + "/" + file)))
            if (!Allowed(file, call))
                violations->push_back(file + ": " + call);
    }
    closedir(d);
}

std::vector<std::string> Violations(const std::string& root)
{
    std::vector<std::string> violations;
    for (const char* dir : {"app", "core", "lib", "toolkit", "tools"}) {
        struct stat st;
        if (stat((root + "/" + dir).c_str(), &st) == 0)
            Scan(root, dir, &violations);
    }
    return violations;
}

TEST(DrawingPathTest, OnlyTheXCanvasDrawsOrChangesAGc)
{
    EXPECT_EQ(Violations(VANTOR_SOURCE_DIR), std::vector<std::string>{});
}

TEST(DrawingPathTest, TheFamilyIsXlibsWholeAndAPlantedCallIsFound)
{
    // Xlib declares some 55 such functions; a header that could not be read gives none.
    EXPECT_GE(Family().size(), 50u);
    for (const char* name : {"XDrawLine",      "XFillRectangle",
                             "XCopyArea",      "XCopyPlane",
                             "XPutImage",      "XSetForeground",
                             "XSetBackground", "XSetLineAttributes",
                             "XSetFont",       "XSetClipRectangles",
                             "XSetClipMask",   "XSetDashes",
                             "XSetFunction",   "XSetFillStyle",
                             "XSetStipple",    "XSetTile",
                             "XChangeGC",      "XCopyGC",
                             "XSetClipOrigin", "XSetTSOrigin",
                             "XSetPlaneMask",  "XSetGraphicsExposures",
                             "XSetRegion",     "XSetState",
                             "XmbDrawString",  "Xutf8DrawString",
                             "XClearArea",     "XFreeGC"})
        EXPECT_EQ(Family().count(name), 1u) << name;
    EXPECT_EQ(Family().count("XGetGCValues"), 0u);

    const struct {
        const char* source;
        std::vector<std::string> calls;
    } cases[] = {
        {"XDrawLine(d, w, gc, 0, 0, 1, 1);", {"XDrawLine"}},
        {"  XSetForeground (d, gc, pixel);", {"XSetForeground"}},
        {"if (x) XCopyPlane(d, a, b, gc, 0, 0, 1, 1, 0, 0, 1);", {"XCopyPlane"}},
        {"XomCanvasFillRectangle(c, 0, 0, 1, 1); MyXDrawLine(1); XSetForegroundX(1);", {}},
        {"XChangeGC(a); XFillArc(b); XGetGCValues(c);", {"XChangeGC", "XFillArc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DrawingCalls(c.source), c.calls) << c.source;

    char root[] = "/tmp/drawing-path-XXXXXX";
    ASSERT_TRUE(mkdtemp(root));
    std::string toolkit = std::string(root) + "/toolkit", app = std::string(root) + "/app";
    mkdir(toolkit.c_str(), 0700);
    mkdir(app.c_str(), 0700);
    std::ofstream(toolkit + "/Planted.cpp") << "void f() { XSetForeground(0, 0, 1); }\n";
    std::ofstream(toolkit + "/CanvasX.cpp") << "void g() { XDrawLine(0, 0, 0, 0, 0, 0, 0); }\n";
    std::ofstream(toolkit + "/CompBase.cpp") << "void h() { XFreeGC(0, 0); }\n";
    std::ofstream(app + "/View.cpp") << "void k() { XFreeGC(0, 0); }\n";
    std::vector<std::string> found = Violations(root);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(
        found,
        (std::vector<std::string>{"app/View.cpp: XFreeGC", "toolkit/Planted.cpp: XSetForeground"}));
    for (const char* file :
         {"/toolkit/Planted.cpp", "/toolkit/CanvasX.cpp", "/toolkit/CompBase.cpp", "/app/View.cpp"})
        remove((std::string(root) + file).c_str());
    rmdir(toolkit.c_str());
    rmdir(app.c_str());
    rmdir(root);
}

} // namespace
