// Rectangle and text objects in an editor area: what they paint on the screen (pixels),
// what they ask of the canvas (recording), and how their boxes follow their resources.
#include <gtest/gtest.h>

#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/RecordingCanvas.h"
#include "toolkit/EditObject.h"
#include "toolkit/Group.h"
#include "toolkit/Text.h"
#include "toolkit/util.h"

namespace {

class GraphicTest : public DisplayFixture {
protected:
    // A white 200 by 100 area: one user unit is 2 pixels across and 1 down.
    Widget Area()
    {
        return XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, shell, XmNwidth,
                                       (Dimension)200, XmNheight, (Dimension)100, XmNbackground,
                                       Color("white"), XomNhandleSize, 0, NULL);
    }
    Pixel Color(const char* name) { return XomLoadColor(display, name); }
    Widget Rect(Widget area, float x1, float y1, float x2, float y2)
    {
        float corners[4] = {x1, y1, x2, y2};
        return XtVaCreateWidget("rec", xomRectangleObjectClass, area, XomNrectangle, corners,
                                XomNfillColor, Color("red"), XomNfillStyle, XomFILL_SOLID,
                                XomNcolor, Color("blue"), NULL);
    }
    Widget Label(Widget area, const char* text, float x, float y)
    {
        float location[2] = {x, y};
        return XtVaCreateWidget("y-coord", xomTextObjectClass, area, XomNtextLocation, location,
                                XomNtextString, text, XomNlabelFont, "fixed", NULL);
    }
    XomArea Bounds(Widget g)
    {
        XomArea b;
        XomGraphicBounds(g, &b);
        return b;
    }
};

// What an area asks of a canvas, and what that paints on the screen.
TEST_F(GraphicTest, AnAreaDrawsItsBackgroundThenItsObjectsInListOrderAndInTheirColours)
{
    Widget area = Area();
    Rect(area, 10, 10, 50, 50); // pixels 20..100 across, 10..50 down
    Widget text = Label(area, "Hi", 60, 60);
    XtVaSetValues(text, XomNhorizontalTextAlignment, XomHALIGN_RIGHT, NULL);
    ShowShell();

    std::vector<std::string> log;
    XomCanvas canvas = CreateRecordingCanvas(200, 100, &log);
    XomArea all = {0, 0, 200, 100};
    XomCompBaseDraw(area, canvas, &all);
    XomCanvasDestroy(canvas);

    XFontStruct* fixed = XLoadQueryFont(display, "fixed");
    ASSERT_TRUE(fixed);
    int width = XTextWidth(fixed, "Hi", 2) + 8, height = fixed->ascent + fixed->descent + 8;
    std::vector<std::string> expected = {
        "fillRectangle 0 0 200 100",
        "fillRectangle 20 10 81 41",
        "rectangle 20 10 80 40",
        "text " + std::to_string(120 - width + 4) + " " + std::to_string(60 + 4 + fixed->ascent)
            + " Hi",
    };
    EXPECT_EQ(Only(log, {"fillRectangle", "rectangle", "text"}), expected);
    EXPECT_EQ(Bounds(text).width, width);
    EXPECT_EQ(Bounds(text).height, height);
    XFreeFont(display, fixed);

    RgbImage image = ReadDrawable(display, XtWindow(area));
    WritePng(ArtifactPath("editobject-rectangle-text.png"), image);
    EXPECT_EQ(image.At(60, 30), 0xff0000u) << "filled inside";
    EXPECT_EQ(image.At(20, 30), 0x0000ffu) << "outlined left";
    EXPECT_EQ(image.At(60, 50), 0x0000ffu) << "outlined bottom";
    EXPECT_EQ(image.At(10, 30), 0xffffffu) << "background outside";
    EXPECT_GT(image.Count(0, 120 - width, 60, width, height), 10) << "the text's strokes";
    EXPECT_EQ(image.Count(0xffffff, 101, 0, 99, 60), 99 * 60) << "nothing above the anchor";
}

TEST_F(GraphicTest, SelectedObjectsGetHandlesOfHandleSize)
{
    Widget area = Area();
    XtVaSetValues(area, XomNhandleSize, 4, XomNhandleColor, Color("green"), NULL);
    Widget rect = Rect(area, 10, 10, 50, 50);
    ShowShell();
    EXPECT_NE(ReadPixel(display, XtWindow(area), 19, 9), 0x00ff00u);
    XomEditObjectSelectObject(area, rect);
    ProcessEvents();
    EXPECT_EQ(ReadPixel(display, XtWindow(area), 19, 9), 0x00ff00u) << "top-left handle";
    EXPECT_EQ(ReadPixel(display, XtWindow(area), 60, 50), 0x00ff00u) << "bottom-middle handle";
    XtVaSetValues(area, XomNhandleSize, 0, NULL);
    ProcessEvents();
    EXPECT_EQ(ReadPixel(display, XtWindow(area), 19, 9), 0xffffffu) << "size 0 shows none";
}

TEST_F(GraphicTest, TextBoxesFollowTheirAlignmentAroundTheAnchor)
{
    Widget area = Area();
    Widget text = Label(area, "abc", 50, 50); // anchor at pixel 100, 50
    XomArea b = Bounds(text);
    const struct {
        int horizontal, vertical, x, y;
    } cases[] = {
        {XomHALIGN_LEFT, XomVALIGN_TOP, 100, 50},
        {XomHALIGN_CENTER, XomVALIGN_CENTER, 100 - b.width / 2, 50 - b.height / 2},
        {XomHALIGN_RIGHT, XomVALIGN_BOTTOM, 100 - b.width, 50 - b.height},
    };
    for (const auto& c : cases) {
        XtVaSetValues(text, XomNhorizontalTextAlignment, c.horizontal, XomNverticalTextAlignment,
                      c.vertical, NULL);
        EXPECT_EQ(Bounds(text).x, c.x) << c.horizontal;
        EXPECT_EQ(Bounds(text).y, c.y) << c.vertical;
    }
    float moved[2] = {0, 0};
    XtVaSetValues(text, XomNtextLocation, moved, XomNhorizontalTextAlignment, XomHALIGN_LEFT,
                  XomNverticalTextAlignment, XomVALIGN_TOP, NULL);
    moved[0] = 99; // the object keeps its own copy
    EXPECT_EQ(Bounds(text).x, 0);
    EXPECT_EQ(Bounds(text).y, 0);
}

TEST_F(GraphicTest, APropagatingGroupPassesResourcesToItsMembers)
{
    Widget area = Area();
    Widget group = XtVaCreateWidget("chart", xomGroupObjectClass, area, XomNpropagate, True, NULL);
    Widget member = XtVaCreateWidget("rec", xomRectangleObjectClass, area, XomNgroup, group, NULL);
    XtVaSetValues(group, XomNlineThickness, 3, NULL);
    int thickness = 0;
    XtVaGetValues(member, XomNlineThickness, &thickness, NULL);
    EXPECT_EQ(thickness, 3);
    XtVaSetValues(group, XomNpropagate, False, XomNlineThickness, 5, NULL);
    XtVaGetValues(member, XomNlineThickness, &thickness, NULL);
    EXPECT_EQ(thickness, 3);
    EXPECT_EQ(Bounds(group).width, Bounds(member).width);

    // A member whose group goes returns to the area's own list.
    XomEditObjectDestroyObject(group);
    Cardinal count = 0;
    WidgetList list = nullptr;
    XtVaGetValues(area, XomNgraphicList, &list, XomNgraphicListCount, &count, NULL);
    EXPECT_EQ(std::vector<Widget>(list, list + count), std::vector<Widget>{member});
}

} // namespace
