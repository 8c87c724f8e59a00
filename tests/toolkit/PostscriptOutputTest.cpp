// Printing: the PostScript canvas against the X canvas and the recording canvas on the
// same drawing, and the output of widget trees with its failures, rendered by Ghostscript.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include <X11/IntrinsicP.h>
#include <Xm/MessageB.h>
#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/Ghostscript.h"
#include "tests/support/MotifText.h"
#include "tests/support/PixelReader.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TempDir.h"
#include "toolkit/CanvasPost.h"
#include "toolkit/EditObject.h"
#include "toolkit/Postscript.h"
#include "toolkit/util.h"

namespace {

class PostscriptOutputTest : public DisplayFixture {
protected:
    Pixel Color(const char* name) { return XomLoadColor(display, name); }

    // A picture drawn by draw on the PostScript canvas, closed, rendered at one dot a pixel.
    template <typename Draw>
    RgbImage PrintedPicture(int width, int height, Draw draw, std::string* text = nullptr)
    {
        XomPsDevice* picture = XomPsDeviceOpen(0, 0, width, height, XOM_PS_LEVEL_2);
        XomColorTable* colors = XomCreateColorTable(shell);
        XomCanvas canvas =
            XomCreatePostscriptCanvas(picture, display, width, height, colors, False);
        draw(canvas);
        XomCanvasDestroy(canvas);
        XomDestroyColorTable(colors);
        EXPECT_TRUE(XomPsDeviceClose(picture));
        if (text)
            *text = FileText(XomPsDevicePath(picture));
        Rendering r = RenderPostscript(XomPsDevicePath(picture), 72, true);
        XomPsDeviceDestroy(picture);
        EXPECT_TRUE(r.ok) << r.messages;
        return r.pages.empty() ? RgbImage() : r.pages[0];
    }

    template <typename Draw>
    RgbImage ShownPicture(int width, int height, Draw draw)
    {
        Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), width, height,
                                      DefaultDepth(display, DefaultScreen(display)));
        GC gc = XCreateGC(display, pixmap, 0, NULL);
        XSetForeground(display, gc, WhitePixel(display, DefaultScreen(display)));
        XFillRectangle(display, pixmap, gc, 0, 0, width, height);
        XomCanvas canvas = XomCreateXCanvas(display, pixmap, gc, width, height);
        draw(canvas);
        XomCanvasDestroy(canvas);
        RgbImage image = ReadDrawable(display, pixmap);
        XFreeGC(display, gc);
        XFreePixmap(display, pixmap);
        return image;
    }

    // The message of the toolkit's dialog posted on w, or "".
    std::string Message(Widget w)
    {
        for (Cardinal i = 0; i < w->core.num_popups; i++) {
            Widget box = XtNameToWidget(w->core.popup_list[i], "xom_message");
            if (box && !box->core.being_destroyed)
                return ShownText(box, XmNmessageString);
        }
        return "";
    }

    // Two drawing areas, one above the other with a gap of 20 pixels between them.
    void TwoAreas()
    {
        Widget box = OmStandardBox(shell, 1, 0, 20);
        const char* colors[] = {"red", "blue"};
        for (int i = 0; i < 2; i++)
            areas[i] = XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, box,
                                               XmNwidth, (Dimension)300, XmNheight, (Dimension)100,
                                               XtVaTypedArg, XmNbackground, XmRString, colors[i],
                                               strlen(colors[i]) + 1, NULL);
        ShowShell();
    }

    static void HardcopyCallback(Widget, XtPointer client, XtPointer call)
    {
        static_cast<PostscriptOutputTest*>(client)->hardcopy =
            *static_cast<XomHardcopyCallbackStruct*>(call);
    }

    TempDir dir;
    Widget areas[2] = {};
    XomHardcopyCallbackStruct hardcopy = {};
};

// What printing draws is what the screen shows: the same shapes in the same colours at
// the same pixels (text fonts differ between the two, so only shapes are compared).
TEST_F(PostscriptOutputTest, PostscriptCanvasDrawsWhatTheXCanvasDraws)
{
    Pixel red = Color("red"), navy = Color("navy"), green = Color("green3"),
          orange = Color("orange"), grey = Color("grey50"), white = Color("white");
    auto scene = [&](XomCanvas c) {
        XomCanvasSetOffset(c, 10, 10);
        XomCanvasSetColor(c, red);
        XomCanvasFillRectangle(c, 0, 0, 60, 40);
        XomArea clip = {70, 0, 30, 30};
        XomCanvasSetClip(c, &clip);
        XomCanvasSetColor(c, navy);
        XomCanvasFillRectangle(c, 60, 0, 60, 60); // cut to 70..100 by 0..30
        XomCanvasRemoveClip(c);
        XomCanvasSetColor(c, green);
        const XomPoint triangle[] = {{120, 0}, {180, 0}, {150, 50}};
        XomCanvasPolygon(c, triangle, 3);
        XomCanvasSetColor(c, orange);
        XomCanvasFillArc(c, 0, 60, 60, 60, 0, 270 * 64);
        XomCanvasSetColor(c, grey);
        XomCanvasFillRoundRectangle(c, 80, 70, 80, 50, 10);
        XomLineAttributes thick = c->line;
        thick.width = 3;
        thick.color = navy;
        XomCanvasSetLineAttributes(c, &thick);
        XomCanvasLine(c, 180, 60, 180, 120);
        XomCanvasRectangle(c, 195, 60, 30, 60);
        XomCanvasLine3D(c, 0, 130, 220, 130, 4, XomSHADOW_OUT, white, navy);
    };
    RgbImage shown = ShownPicture(250, 150, scene);
    RgbImage printed = PrintedPicture(250, 150, scene);
    ASSERT_EQ(printed.width, 250);
    ASSERT_EQ(printed.height, 150);
    WritePng(ArtifactPath("canvas-shown.png"), shown);
    WritePng(ArtifactPath("canvas-printed.png"), printed);

    const struct {
        int x, y;
        uint32_t rgb;
        const char* what;
    } probes[] = {
        {40, 30, 0xff0000, "filled rectangle"},  {90, 20, 0x000080, "clipped fill"},
        {90, 55, 0xffffff, "clipped away"},      {160, 20, 0x00cd00, "polygon"},
        {25, 95, 0xffa500, "pie slice"},         {55, 115, 0xffffff, "pie slice's gap"},
        {130, 100, 0x7f7f7f, "round rectangle"}, {191, 100, 0x000080, "thick line"},
        {206, 71, 0x000080, "outline"},          {220, 100, 0xffffff, "inside the outline"},
        {100, 140, 0xffffff, "3D line, top"},    {100, 142, 0x000080, "3D line, bottom"},
    };
    for (const auto& p : probes) {
        EXPECT_EQ(shown.At(p.x, p.y), p.rgb) << "shown " << p.what;
        EXPECT_EQ(printed.At(p.x, p.y), p.rgb) << "printed " << p.what;
    }
    int differing = 0;
    for (int y = 0; y < 150; y++)
        for (int x = 0; x < 250; x++)
            differing += shown.At(x, y) != printed.At(x, y);
    EXPECT_LT(differing, 250 * 150 / 50) << "edges may differ by a pixel, not more";
}

// Every operation the recording canvas sees for the sample drawing comes out as the
// matching PostScript, at the same device pixels.
TEST_F(PostscriptOutputTest, PostscriptFollowsTheRecordingOfTheSameDrawing)
{
    std::vector<std::string> log;
    XomCanvas recording = CreateRecordingCanvas(100, 80, &log);
    DrawSampleScene(recording);
    XomCanvasDestroy(recording);
    std::string ps;
    PrintedPicture(100, 80, DrawSampleScene, &ps);

    size_t at = ps.find("%%BeginDocument: PostScript Output");
    for (const std::string& line : log) {
        std::istringstream in(line);
        std::string op;
        in >> op;
        std::vector<std::string> args;
        for (std::string a; in >> a;)
            args.push_back(a);
        auto shifted = [&](size_t i) { return std::to_string(std::stoi(args[i])) + ".5"; };
        std::string expected;
        if (op == "fillRectangle" || op == "setClip")
            expected = args[0] + " " + args[1] + " " + args[2] + " " + args[3]
                + (op == "setClip" ? " CS" : " R\nfill");
        else if (op == "line")
            expected =
                shifted(0) + " " + shifted(1) + " m\n" + shifted(2) + " " + shifted(3) + " l\nS";
        else if (op == "restrictedText")
            expected = "(" + args[5] + ")";
        else if (op == "text")
            expected = "(" + args[2] + ") " + args[0] + " " + args[1];
        else if (op == "polyline")
            expected = " m\n";
        else if (op == "arc")
            expected = " AC\nS";
        else
            continue; // attributes, clip removal and flushing leave no line of their own
        size_t found = ps.find(expected, at);
        EXPECT_NE(found, std::string::npos) << line << " -> " << expected << "\n" << ps.substr(at);
        if (found != std::string::npos)
            at = found;
    }
}

TEST_F(PostscriptOutputTest, WindowIsPrintedWithItsDrawingAreasAndHardcopyCallback)
{
    TwoAreas();
    XtAddCallback(areas[0], XomNhardcopyCallback, HardcopyCallback, this);
    std::string path = dir.path() + "/window.ps";
    ASSERT_EQ(XomOutputPostscript(shell, path.c_str(), 1.0, 0, 2), 1);
    EXPECT_EQ(hardcopy.reason, 0) << "only a printed drawing widget itself is told";

    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    ASSERT_EQ(r.pages.size(), 1u);
    WritePng(ArtifactPath("two-areas.png"), r.pages[0]);
    // 300 by 220 points centred on the page: from (156, 286) to (456, 506).
    EXPECT_EQ(r.pages[0].At(306, 792 - 506 + 50), 0xff0000u);
    EXPECT_EQ(r.pages[0].At(306, 792 - 506 + 170), 0x0000ffu);
    EXPECT_EQ(r.pages[0].At(306, 792 - 506 + 110), 0xffffffu) << "the gap stays unpainted";

    ASSERT_EQ(XomOutputPostscript(areas[0], path.c_str(), 1.0, 0, 2), 1);
    EXPECT_EQ(hardcopy.reason, XomCR_HARDCOPY);
    EXPECT_EQ(hardcopy.event, nullptr);
    EXPECT_EQ(hardcopy.x, 0);
    EXPECT_EQ(hardcopy.y, 0);
    EXPECT_FLOAT_EQ(hardcopy.width, 300);
    EXPECT_FLOAT_EQ(hardcopy.height, 100);
    EXPECT_NE(hardcopy.file, nullptr);
}

TEST_F(PostscriptOutputTest, BackgroundFillsTheGaps)
{
    TwoAreas();
    XomPostscriptSetBackground(Color("yellow"));
    std::string path = dir.path() + "/background.ps";
    ASSERT_EQ(XomOutputPostscript(shell, path.c_str(), 1.0, 0, 2), 1);
    XomPostscriptSetBackground(XOM_PS_NO_BACKGROUND);
    Rendering r = RenderPostscript(path);
    ASSERT_TRUE(r.ok) << r.messages;
    EXPECT_EQ(r.pages[0].At(306, 792 - 506 + 110), 0xffff00u) << "the gap is painted";
    EXPECT_EQ(r.pages[0].At(306, 792 - 506 + 50), 0xff0000u);
}

TEST_F(PostscriptOutputTest, NothingPrintableBadFileNamesLinksAndNoTemporaryFileAreRefused)
{
    TwoAreas();
    Widget empty = OmStandardBox(XtParent(areas[0]), 1, 0, 0);
    std::string nothing = dir.path() + "/nothing.ps";
    EXPECT_EQ(XomOutputPostscript(empty, nothing.c_str(), 1, 0, 0), 0);
    EXPECT_EQ(Message(empty), "No widget specified has postcript hardcopy support.");
    EXPECT_NE(access(nothing.c_str(), F_OK), 0);

    std::string target = dir.path() + "/precious";
    FILE* file = fopen(target.c_str(), "w");
    fputs("keep me\n", file);
    fclose(file);
    std::string link = dir.path() + "/link.ps";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

    for (const char* name : {(const char*)nullptr, "", "/nonexistent/dir/out.ps", link.c_str()}) {
        EXPECT_EQ(XomOutputPostscript(shell, name, 1, 0, 0), 0) << (name ? name : "null");
        EXPECT_EQ(Message(shell), "Bad Postscript filename") << (name ? name : "null");
        ProcessEvents();
        for (Cardinal i = 0; i < shell->core.num_popups; i++)
            XtDestroyWidget(shell->core.popup_list[i]);
        ProcessEvents();
    }
    EXPECT_EQ(FileText(target), "keep me\n");

    // A drawing widget reports through its own warning path.
    size_t before = Warnings().size();
    EXPECT_EQ(XomOutputPostscript(areas[0], "", 1, 0, 0), 0);
    ASSERT_EQ(Warnings().size(), before + 1);
    EXPECT_NE(Warnings().back().find("Bad Postscript filename"), std::string::npos);

    // Without a temporary file for the picture there is no output either.
    const char* old = getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", "/nonexistent", 1);
    std::string path = dir.path() + "/out.ps";
    EXPECT_EQ(XomOutputPostscript(shell, path.c_str(), 1, 0, 0), 0);
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_EQ(Message(shell), "Unable to open postscript file");
}

} // namespace
