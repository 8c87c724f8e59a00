// The PostScript document pieces: the device file, its prolog sections, page placement,
// one-page and tiled documents, each rendered by Ghostscript.
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>

#include "tests/support/Ghostscript.h"
#include "tests/support/TempDir.h"
#include "toolkit/ps_Device.h"
#include "toolkit/ps_Page.h"
#include "toolkit/ps_Prolog.h"

namespace {

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        count++;
    return count;
}

// Draws in window coordinates, as the canvas does: y down from the picture's top.
void Flip(XomPsDevice* device, double height)
{
    XomPsDeviceOp(device, "t", "0 %g", height);
    XomPsDeviceOp(device, "scale", "1 -1");
}

void FillRect(XomPsDevice* device, double r, double g, double b, double x, double y, double w,
              double h)
{
    XomPsDeviceOp(device, "C", "%g %g %g", r, g, b);
    XomPsDeviceOp(device, "n", NULL);
    XomPsDeviceOp(device, "R", "%g %g %g %g", x, y, w, h);
    XomPsDeviceOp(device, "fill", NULL);
}

// A picture of width by height drawn by draw, closed; the device is left for the caller.
XomPsDevice* Picture(double width, double height, const std::function<void(XomPsDevice*)>& draw,
                     int level = XOM_PS_LEVEL_2)
{
    XomPsDevice* device = XomPsDeviceOpen(0, 0, width, height, level);
    EXPECT_NE(device, nullptr);
    Flip(device, height);
    draw(device);
    EXPECT_TRUE(XomPsDeviceClose(device));
    return device;
}

// The final document of a picture, written to a file under the test artifacts.
std::string Document(XomPsDevice* device, const XomPsPlacement& placement, const std::string& name,
                     int* pages = nullptr)
{
    std::string path = ArtifactPath(name);
    FILE* out = fopen(path.c_str(), "w");
    FILE* in = fopen(XomPsDevicePath(device), "r");
    int written = XomPsWriteDocument(out, in, &placement, name.c_str());
    fclose(in);
    fclose(out);
    if (pages)
        *pages = written;
    return path;
}

TEST(PsDeviceTest, HeaderBoundingBoxAndLanguageLevelThenTheDrawingAndClosingLines)
{
    struct {
        int level;
        const char* lines;
    } const cases[] = {
        {XOM_PS_LEVEL_1, "%%LanguageLevel: 1\n"},
        {XOM_PS_LEVEL_1_CMYK, "%%LanguageLevel: 1\n%%Extensions: CMYK\n"},
        {XOM_PS_LEVEL_2, "%%LanguageLevel: 2\n"},
    };
    for (const auto& c : cases) {
        XomPsDevice* device = XomPsDeviceOpen(0.9, 0, 200.7, 100.2, c.level);
        ASSERT_NE(device, nullptr);
        XomPsDeviceOp(device, "m", "%g %g", 1.5, 2.0);
        XomPsDeviceOp(device, "S", NULL);
        ASSERT_TRUE(XomPsDeviceClose(device));
        std::string text = FileText(XomPsDevicePath(device));
        std::string head = std::string("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: OMX Widget Set 3.0\n"
                                       "%%BoundingBox: 0 0 200 100\n")
            + c.lines + XomPsSectionText(XOM_PS_SECTION_CORE);
        EXPECT_EQ(text.substr(0, head.size()), head) << c.level;
        EXPECT_EQ(text.substr(head.size()),
                  "%%BeginDocument: PostScript Output\ngsave\n1.5 2 m\nS\n"
                  "\nshowpage\ngrestore\n%%EndDocument\n");
        std::string path = XomPsDevicePath(device);
        XomPsDeviceDestroy(device);
        EXPECT_NE(access(path.c_str(), F_OK), 0) << "the temporary file is removed";
    }
}

TEST(PsDeviceTest, TemporaryFilesHaveFreshUnpredictableNames)
{
    XomPsDevice* first = XomPsDeviceOpen(0, 0, 1, 1, XOM_PS_LEVEL_2);
    XomPsDevice* second = XomPsDeviceOpen(0, 0, 1, 1, XOM_PS_LEVEL_2);
    ASSERT_TRUE(first && second);
    EXPECT_STRNE(XomPsDevicePath(first), XomPsDevicePath(second));
    EXPECT_EQ(std::string(XomPsDevicePath(first)).find("/xom"), 4u);
    XomPsDeviceDestroy(first);
    XomPsDeviceDestroy(second);
}

TEST(PsPrologTest, EveryOperatorIsDefinedInItsOwnSectionAndNowhereElse)
{
    const char* const names[] = {"R",  "BC", "BF", "BT", "CI",  "SF", "CS", "CO", "SQ", "Ci",
                                 "AC", "FA", "a",  "A",  "PF2", "PF", "SX", "SY", "SD", "DPF",
                                 "MI", "AI", "BI", "GI", "II",  "TI", "iP", "RI", "IF", "F",
                                 "LS", "ST", "T",  "CT", "D",   "s",  "C",  "X"};
    for (const char* name : names) {
        int section = XomPsOperatorSection(name);
        ASSERT_GE(section, 0) << name;
        std::string definition = std::string("/") + name + " {";
        for (int other = 0; other < XOM_PS_SECTION_COUNT; other++)
            EXPECT_EQ(Count(XomPsSectionText(other), definition), other == section ? 1u : 0u)
                << name << " in section " << other;
    }
    EXPECT_EQ(XomPsOperatorSection("fill"), -1);
    EXPECT_EQ(XomPsSectionText(XOM_PS_SECTION_COUNT), nullptr);
}

TEST(PsDeviceTest, EachSectionIsWrittenOnceAtItsFirstUseBeforeTheDrawing)
{
    XomPsDevice* device = Picture(100, 100, [](XomPsDevice* d) {
        XomPsDeviceOp(d, "Ci", "%g %g %g", 10.0, 10.0, 5.0);
        XomPsDeviceOp(d, "T", "(a) %g %g", 1.0, 2.0);
        XomPsDeviceOp(d, "T", "(b) %g %g", 1.0, 2.0);
        XomPsDeviceOp(d, "Ci", "%g %g %g", 20.0, 10.0, 5.0);
    });
    std::string text = FileText(XomPsDevicePath(device));
    size_t circle = text.find(XomPsSectionText(XOM_PS_SECTION_CIRCLE));
    size_t words = text.find(XomPsSectionText(XOM_PS_SECTION_TEXT));
    size_t drawing = text.find("%%BeginDocument: PostScript Output\n");
    EXPECT_LT(circle, words);
    EXPECT_LT(words, drawing);
    EXPECT_EQ(Count(text, "/Ci {"), 1u);
    EXPECT_EQ(Count(text, "/T {"), 1u);
    for (int section : {XOM_PS_SECTION_ARC, XOM_PS_SECTION_PATTERN, XOM_PS_SECTION_MONO,
                        XOM_PS_SECTION_COLOR, XOM_PS_SECTION_FONT}) {
        EXPECT_FALSE(XomPsDeviceHasSection(device, section)) << section;
        EXPECT_EQ(text.find(XomPsSectionText(section)), std::string::npos) << section;
    }
    XomPsDeviceDestroy(device);
}

TEST(PsDeviceDeathTest, BrokenDrawingStopsWithTheSourceLine)
{
    XomPsDevice* device = XomPsDeviceOpen(0, 0, 10, 10, XOM_PS_LEVEL_2);
    std::string longText(300, 'x');
    EXPECT_EXIT(XomPsDeviceOp(device, "T", "(%s) 0 0", longText.c_str()),
                ::testing::ExitedWithCode(1),
                "File '.*ps_Device.cpp' line [0-9]+: assertion failed");
    EXPECT_EXIT((XomPsDeviceOp(device, "n", NULL), XomPsDeviceOp(device, "c", NULL)),
                ::testing::ExitedWithCode(1), "assertion failed \\(device->pathOpen\\)");
    XomPsDeviceDestroy(device);
}

TEST(PsPlacementTest, FitsTurnsOrTilesByModeAndScale)
{
    XomPsPageLayout letter = *XomPsLayout(); // printable area 564 by 744
    struct {
        double width, height, scale;
        int mode;
        int rotated;
        double factor;
        int rows, columns;
    } const cases[] = {
        {564, 372, 1, 1, 0, 1.0, 1, 1},  // upright fit fills the width
        {564, 372, 0, 1, 0, 1.0, 1, 1},  // scale 0 is full size
        {564, 372, -2, 1, 0, 1.0, 1, 1}, // and so is a negative one
        {564, 372, 0.5, 1, 0, 0.5, 1, 1},
        {744, 282, 1, 0, 1, 1.0, 1, 1},   // a wide picture is turned when that is larger
        {282, 744, 1, 0, 0, 1.0, 1, 1},   // a tall one is not
        {744, 282, 2, 0, 1, 2.0, 2, 1},   // twice the area: tiled down the turned page
        {1000, 1000, 1, 2, 0, 1.0, 2, 2}, // natural size beyond the area
        {100, 100, 0.75, 2, 0, 0.75, 1, 1},
    };
    for (const auto& c : cases) {
        XomPsPlacement p = XomPsPlace(&letter, 0, 0, c.width, c.height, c.scale, c.mode);
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " scale "
                     + std::to_string(c.scale) + " mode " + std::to_string(c.mode));
        EXPECT_EQ(p.rotated, c.rotated);
        EXPECT_NEAR(p.factor, c.factor, 1e-9);
        EXPECT_EQ(p.rows, c.rows);
        EXPECT_EQ(p.columns, c.columns);
        EXPECT_DOUBLE_EQ(p.areaX0, 24);
        EXPECT_DOUBLE_EQ(p.areaY1, 768);
    }
}

TEST(PsDocumentTest, OnePageDocumentPlacesThePictureAndRendersIt)
{
    XomPsDevice* device = Picture(200, 100, [](XomPsDevice* d) {
        FillRect(d, 1, 0, 0, 0, 0, 100, 50);    // top left quarter red
        FillRect(d, 0, 0, 1, 100, 50, 100, 50); // bottom right quarter blue
    });
    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, 200, 100, 1, 2);
    int pages = 0;
    std::string path = Document(device, placement, "one-page.ps", &pages);
    XomPsDeviceDestroy(device);
    EXPECT_EQ(pages, 1);
    std::string text = FileText(path);
    // Centred on the page: lower left corner at (206, 346).
    EXPECT_EQ(text.substr(0, text.find("%%EndComments")),
              "%!PS-Adobe-3.0\n%%Creator: OMX Widget Set 3.0\n%%BoundingBox: 206 346 406 446\n");

    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 1u);
    const RgbImage& page = r.pages[0];
    EXPECT_EQ(page.width, 612);
    // Page point (x, y) is pixel (x, 792 - y) at 72 dpi.
    EXPECT_EQ(page.At(206 + 50, 792 - 446 + 25), 0xff0000u);
    EXPECT_EQ(page.At(206 + 150, 792 - 446 + 75), 0x0000ffu);
    EXPECT_EQ(page.At(206 + 150, 792 - 446 + 25), 0xffffffu) << "no background: unpainted";
    WritePng(ArtifactPath("one-page.png"), page);
}

TEST(PsDocumentTest, TurnedPictureKeepsItsTopLeftCornerAtTheTopRightOfThePage)
{
    XomPsDevice* device =
        Picture(744, 282, [](XomPsDevice* d) { FillRect(d, 1, 0, 0, 0, 0, 20, 20); });
    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, 744, 282, 1, 0);
    ASSERT_TRUE(placement.rotated);
    std::string path = Document(device, placement, "turned.ps");
    XomPsDeviceDestroy(device);
    EXPECT_NE(FileText(path).find("0 744 translate -90 rotate 1 1 scale "), std::string::npos);
    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 1u);
    // The picture spans x 165..447 on the page and the full printable height, turned a
    // quarter clockwise: its top left corner lands at the top right.
    EXPECT_EQ(r.pages[0].At(447 - 10, 792 - 768 + 10), 0xff0000u);
    EXPECT_EQ(r.pages[0].At(165 + 10, 792 - 768 + 10), 0xffffffu);
}

TEST(PsDocumentTest, LargePictureIsTiledOverPagesEachWithItsComment)
{
    // Four coloured quadrants of a 1000 by 1000 picture at natural size: 2 by 2 pages.
    XomPsDevice* device = Picture(1000, 1000, [](XomPsDevice* d) {
        FillRect(d, 1, 0, 0, 0, 0, 564, 744);
        FillRect(d, 0, 1, 0, 564, 0, 436, 744);
        FillRect(d, 0, 0, 1, 0, 744, 564, 256);
        FillRect(d, 1, 1, 0, 564, 744, 436, 256);
    });
    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, 1000, 1000, 1, 2);
    int pages = 0;
    std::string path = Document(device, placement, "tiled.ps", &pages);
    XomPsDeviceDestroy(device);
    EXPECT_EQ(pages, 4);
    std::string text = FileText(path);
    EXPECT_NE(text.find("%%Creator: OMX Widget Set 3.0\n%%Pages: 4\n"), std::string::npos);
    for (const char* comment :
         {"%%Page: 1-1 1\n", "%%Page: 1-2 2\n", "%%Page: 2-1 3\n", "%%Page: 2-2 4\n"})
        EXPECT_EQ(Count(text, comment), 1u) << comment;
    EXPECT_EQ(text.substr(text.size() - 14), "%%EndDocument\n");

    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 4u);
    const uint32_t expected[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00};
    for (int i = 0; i < 4; i++) {
        // The middle of the printable area of each page shows its own quadrant.
        EXPECT_EQ(r.pages[i].At(100, 100), expected[i]) << "page " << i + 1;
        EXPECT_EQ(r.pages[i].At(10, 10), 0xffffffu) << "margin of page " << i + 1;
        WritePng(ArtifactPath("tiled-" + std::to_string(i + 1) + ".png"), r.pages[i]);
    }
}

TEST(PsDocumentTest, ManySegmentsAreGroupedIntoClusters)
{
    XomPsPageLayout saved = *XomPsLayout();
    XomPsLayout()->segmentLines = 2;
    XomPsLayout()->segmentsPerCluster = 3;
    XomPsDevice* device = Picture(1000, 400, [](XomPsDevice* d) {
        for (int i = 0; i < 10; i++)
            FillRect(d, i % 2, 0, 1 - i % 2, i * 100, 0, 100, 400);
    });
    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, 1000, 400, 1, 2);
    std::string path = Document(device, placement, "clusters.ps");
    *XomPsLayout() = saved;
    XomPsDeviceDestroy(device);
    std::string text = FileText(path);
    EXPECT_NE(text.find("/Cluster0 {\nSeg0\nSeg1\nSeg2\n} def\n"), std::string::npos);
    size_t segments = Count(text, "} def\n/Seg") + 1;
    size_t clusters = (segments + 2) / 3;
    EXPECT_EQ(Count(text, "/Cluster"), clusters);
    EXPECT_NE(text.find("/Page {\nCluster0\nCluster1\n"), std::string::npos);
    EXPECT_EQ(text.find("/Page {\nSeg0"), std::string::npos);
    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 2u);
    EXPECT_EQ(r.pages[0].At(24 + 50, 792 - 768 + 50), 0x0000ffu);
    EXPECT_EQ(r.pages[0].At(24 + 150, 792 - 768 + 50), 0xff0000u);
}

TEST(PsDocumentTest, NotADevicePictureWritesNothing)
{
    FILE* in = tmpfile();
    fputs("%!PS\n0 0 moveto\n", in);
    rewind(in);
    FILE* out = tmpfile();
    XomPsPlacement placement = XomPsPlace(XomPsLayout(), 0, 0, 10, 10, 1, 0);
    EXPECT_EQ(XomPsWriteDocument(out, in, &placement, "x"), 0);
    EXPECT_EQ(ftell(out), 0);
    fclose(in);
    fclose(out);
}

// Every procedure of every section, used once, renders without an error.
TEST(PsDocumentTest, EverySectionRendersWithoutError)
{
    // The operations as the device writes them, one a line: the arguments, then the operator.
    const std::string program =
        "0.9 0.9 0.6 BC\n300 200 BT\n5 5 10 10 BF\n1 SF\n2 sw\n[3 2] 0 sd\n1 sc\n1 sj\n10 sl\n"
        "0 0.5 0 C\nn\n10 30 m\n60 30 l\n70 40 80 50 90 30 ct\nc\nS\n[] 0 sd\nn\n120 30 10 SQ\n"
        "S\n150 30 10 Ci\nS\nn\n180 30 15 8 0 -90 AC\nS\n220 30 15 10 0 120 FA\nn\n"
        "260 30 10 0 180 a\n260 30 5 180 0 A\nS\n0 60 300 60 CS\n50 60 30 30 1 PF\n"
        "90 60 30 30 2 PF\n130 60 30 30 3 PF\n170 60 30 30 DPF\nn\n210 60 30 30 R\n2 PF2\nCO\n"
        "10 100 8 2 <f00f> MI\n30 100 8 2 <f00f> AI\n50 100 8 2 <aa55> BI\n"
        "70 100 2 2 <00408000> GI\n90 100 2 1 <ff000000ff00> II\n"
        "110 100 2 1 <ff000000ff00> RI\n130 100 2 1 <ff000000ff00> TI\n"
        "/Helvetica-Latin1 /Helvetica LS\n/Helvetica-Latin1 12 F\n(plain \\(text\\)) 10 140 T\n"
        "(centred) 150 160 CT\n(squeezed into forty points) 200 140 40 ST\n"
        "(turned) 260 190 45 D\n";
    for (int level : {XOM_PS_LEVEL_1, XOM_PS_LEVEL_2}) {
        XomPsDevice* device = Picture(
            300, 200,
            [&](XomPsDevice* d) {
                std::istringstream in(program);
                for (std::string line; std::getline(in, line);) {
                    size_t space = line.rfind(' ');
                    if (space == std::string::npos)
                        XomPsDeviceOp(d, line.c_str(), NULL);
                    else
                        XomPsDeviceOp(d, line.substr(space + 1).c_str(), "%s",
                                      line.substr(0, space).c_str());
                }
            },
            level);
        for (int section = 0; section < XOM_PS_SECTION_COUNT; section++)
            EXPECT_TRUE(XomPsDeviceHasSection(device, section)) << section;
        Rendering r = RenderPostscript(XomPsDevicePath(device), 144, true);
        EXPECT_TRUE(r.ok) << "level " << level << ": " << r.messages;
        ASSERT_EQ(r.pages.size(), 1u);
        EXPECT_EQ(r.pages[0].width, 600);
        WritePng(ArtifactPath("all-sections-" + std::to_string(level) + ".png"), r.pages[0]);
        XomPsDeviceDestroy(device);
    }
}

} // namespace
